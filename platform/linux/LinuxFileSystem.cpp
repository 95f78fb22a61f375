#include "LinuxFileSystem.h"

#include "platform/SmallFile.h"
#include "platform/TextConvert.h"

#include <sys/stat.h>

namespace tw::lx {

using namespace win;

namespace {

constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

} // namespace

std::string LinuxFileSystem::LinuxPath(LPCWSTR path) {
    std::string text = path == nullptr ? std::string() : ToUtf8(path);
    for (char& c : text) {
        if (c == '\\')
            c = '/';
    }
    return text;
}

DWORD LinuxFileSystem::GetFileAttributesW(LPCWSTR lpFileName) {
    struct stat status {};
    const std::string path = LinuxPath(lpFileName);
    if (path.empty() || stat(path.c_str(), &status) != 0)
        return INVALID_FILE_ATTRIBUTES;
    if (S_ISDIR(status.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return (status.st_mode & S_IWUSR) != 0 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

bool LinuxFileSystem::ReadWholeFile(LPCWSTR lpFileName, std::vector<BYTE>& bytes) {
    // A FIFO, a device or a file past the limit is no language file.
    std::string content;
    if (ReadSmallFile(LinuxPath(lpFileName), content))
        return false;
    bytes.assign(content.begin(), content.end());
    return true;
}

} // namespace tw::lx
