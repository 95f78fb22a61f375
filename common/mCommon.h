// The common services of the program: the platform check, the platform's
// error texts and the localization. The module's state lives in this object;
// the window owns one for the whole run.
#pragma once

#include "LanguageTable.h"
#include "LocArg.h"
#include "platform/Platform.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

class mCommon {
public:
    mCommon(win::ISystem& system, win::IFileSystem& files, std::u16string executableFolder);
    mCommon(win::Platform& platform, std::u16string executableFolder);

    // --- Platform check (PlatformCheck.cpp) ---

    // False for anything but the NT family; sets the three flags once.
    bool CheckPlatform();
    bool IsWin2000OrLater() const { return isWin2000OrLater_; }
    bool IsXPOrLater() const { return isXPOrLater_; }
    bool IsWow64() const { return isWow64_; }

    // --- Error text (ErrorText.cpp) ---

    // The system's message for a status code without its final CR LF, or
    // "Error <n> in FormatMessage" when the system has none that fits.
    std::u16string ApiErrorText(std::int32_t code) const;

    // --- Localization (Localization.cpp) ---

    // Reads <executable folder>\<language>.loc; language 0 is the user's
    // interface language. Missing or unreadable files leave the built-in texts.
    void LoadLanguageFile(win::LANGID language);
    // The file's text for key (or def), with its placeholders filled.
    std::u16string LocString(std::u16string_view key, std::u16string_view def,
                             std::initializer_list<LocArg> args = {}) const;
    // The font character set of the system's ANSI code page.
    std::int32_t AnsiCharset() const;
    bool LanguageLoaded() const { return languageLoaded_; }
    // Null until a language file was found.
    const LanguageTable* LanguageTexts() const {
        return languageTexts_ ? &*languageTexts_ : nullptr;
    }

private:
    win::ISystem& system_;
    win::IFileSystem& files_;
    std::u16string executableFolder_;

    bool isWin2000OrLater_ = false;
    bool isXPOrLater_ = false;
    bool isWow64_ = false;

    std::optional<LanguageTable> languageTexts_;
    bool languageLoaded_ = false;
};

// The path with one "\" appended unless it already ends with one.
std::u16string AddBackslash(std::u16string_view path);

} // namespace tw
