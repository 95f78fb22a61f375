// The file system as the program sees it: the executable's folder and the
// language file in it.
#include "SimFiles.h"

#include "platform/TextCompare.h"

namespace tw::sim {

using namespace win;

namespace {

constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;

// Both separators, no doubled or trailing separators, letter case folded.
std::u16string normalPath(std::u16string_view path) {
    std::u16string out;
    for (char16_t c : path) {
        if (c == u'/')
            c = u'\\';
        if (c == u'\\' && !out.empty() && out.back() == u'\\')
            continue;
        out += FoldCase(c);
    }
    while (out.size() > 1 && out.back() == u'\\')
        out.pop_back();
    return out;
}

} // namespace

SimFiles::FileKind SimFiles::fileAt(LPCWSTR path) const {
    if (path == nullptr)
        return FileKind::Missing;
    std::u16string wanted = normalPath(path);
    std::u16string folder = normalPath(state_.machine.system.executableFolder);
    // The executable's folder and every folder above it.
    if (folder.compare(0, wanted.size(), wanted) == 0 && !wanted.empty() &&
        (wanted.size() == folder.size() || folder[wanted.size()] == u'\\'))
        return FileKind::Folder;
    const auto& file = state_.machine.languageFile;
    if (file && wanted == normalPath(folder + u"\\" + file->name))
        return file->folder ? FileKind::Folder : FileKind::LanguageFile;
    return FileKind::Missing;
}

DWORD SimFiles::GetFileAttributesW(LPCWSTR lpFileName) {
    switch (fileAt(lpFileName)) {
    case FileKind::Folder:
        return FILE_ATTRIBUTE_DIRECTORY;
    case FileKind::LanguageFile:
        return FILE_ATTRIBUTE_ARCHIVE;
    case FileKind::Missing:
        break;
    }
    state_.lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_FILE_ATTRIBUTES;
}

bool SimFiles::ReadWholeFile(LPCWSTR lpFileName, std::vector<BYTE>& bytes) {
    switch (fileAt(lpFileName)) {
    case FileKind::Folder:
        state_.lastError = ERROR_ACCESS_DENIED; // a folder cannot be opened as a file
        return false;
    case FileKind::LanguageFile: {
        const LanguageFile& file = *state_.machine.languageFile;
        if (file.unreadable) {
            state_.lastError = ERROR_SHARING_VIOLATION;
            return false;
        }
        bytes.assign(file.content.begin(), file.content.end());
        return true;
    }
    case FileKind::Missing:
        break;
    }
    state_.lastError = ERROR_FILE_NOT_FOUND;
    return false;
}

} // namespace tw::sim
