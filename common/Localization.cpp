#include "CodePage.h"
#include "mCommon.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

namespace {

constexpr win::LANGID kEnglishUnitedStates = 1033;

std::u16string decimal(std::int32_t number) {
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

std::u16string AddBackslash(std::u16string_view path) {
    std::u16string out(path);
    if (out.empty() || out.back() != u'\\')
        out += u'\\';
    return out;
}

void mCommon::LoadLanguageFile(win::LANGID language) {
    // Each call starts afresh; start-up calls this once.
    languageTexts_.reset();
    languageLoaded_ = false;

    if (language == 0) {
        language = isWin2000OrLater_ ? system_.GetUserDefaultUILanguage()
                                     : static_cast<win::LANGID>(system_.GetThreadLocale() & 0xFFFF);
    }
    if (language == 0)
        language = kEnglishUnitedStates;

    // The identifier is written as a signed 16-bit number.
    const std::u16string path =
        AddBackslash(executableFolder_) + decimal(static_cast<std::int16_t>(language)) + u".loc";

    const win::DWORD attributes = files_.GetFileAttributesW(path.c_str());
    if (attributes == win::INVALID_FILE_ATTRIBUTES ||
        (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0)
        return;

    languageTexts_.emplace();
    std::vector<win::BYTE> bytes;
    if (!files_.ReadWholeFile(path.c_str(), bytes))
        return; // a file that cannot be read to its end is not consulted at all

    languageTexts_->ReadLines(DecodeAnsi(bytes, system_.GetACP()));
    languageLoaded_ = true;
}

std::u16string mCommon::LocString(std::u16string_view key, std::u16string_view def,
                                  std::initializer_list<LocArg> args) const {
    std::u16string_view text = def;
    if (languageLoaded_ && languageTexts_) {
        if (const std::u16string* found = languageTexts_->Find(key))
            text = *found;
    }
    return FillPlaceholders(text, std::span<const LocArg>(args.begin(), args.size()));
}

std::int32_t mCommon::AnsiCharset() const {
    // TranslateCharsetInfo takes the code page itself in place of the source
    // pointer when asked with TCI_SRCCODEPAGE. Its result is ignored: on
    // failure the zero-filled record gives 0, the Western character set.
    const win::UINT codePage = system_.GetACP();
    win::CHARSETINFO info{};
    system_.TranslateCharsetInfo(
        reinterpret_cast<win::DWORD*>(static_cast<std::uintptr_t>(codePage)), &info,
        win::TCI_SRCCODEPAGE);
    return static_cast<std::int32_t>(info.ciCharset);
}

} // namespace tw
