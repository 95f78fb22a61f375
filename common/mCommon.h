// The common services of the program: the platform check, the platform's
// error texts, the localization, the visual styles, colours and icons, and
// the keyboard cues. The module's state lives in this object; the window owns
// one for the whole run.
#pragma once

#include "LanguageTable.h"
#include "LocArg.h"
#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// A window whose message procedure the program replaced with the message
// thunk (mCommon::MessageThunk), which hands it every message.
class ISubclassedWindow {
public:
    virtual ~ISubclassedWindow() = default;
    virtual win::LRESULT WindowProc(win::HWND hWnd, win::UINT uMsg, win::WPARAM wParam,
                                    win::LPARAM lParam) = 0;
};

// The window's colour roles, from the visual style or the system: concrete
// colours 0x00BBGGRR or system colour constants 0x80000000 + index.
struct FormColors {
    std::uint32_t face;     // window background, push buttons
    std::uint32_t text;     // window text, labels, check box text
    std::uint32_t back;     // pane rectangles, check boxes, lists, text boxes
    std::uint32_t backText; // text of lists and text boxes
    std::uint32_t dark;     // borders of the panes and the separator lines
};

// The colours of one text box.
struct FieldColors {
    std::uint32_t back;
    std::uint32_t text;
};

// The light yellow that a focused text box's background is blended with.
constexpr std::uint32_t kFieldHighlight = 0x80FFFF;

class mCommon {
public:
    // For the services that need no window (platform check, error text,
    // localization): the window functions fail, the visual styles are missing.
    mCommon(win::ISystem& system, win::IFileSystem& files, std::u16string executableFolder);
    mCommon(win::Platform& platform, std::u16string executableFolder);
    // Leaves the hooks and the window procedure as they are (Form_Terminate
    // and Form_Unload remove them), but no hook or message reaches this
    // object any more.
    ~mCommon();
    mCommon(const mCommon&) = delete;
    mCommon& operator=(const mCommon&) = delete;

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
    // The status line's text for a failed call: "Error %1. %2" (the language
    // file's "Frm.Status_Error") with the code and its system message.
    std::u16string StatusErrorText(std::int32_t code) const;

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

    // --- Visual styles, colours and icons (VisualStyles.cpp) ---

    // Reads whether visual styles are in use for this program.
    void DetectVisualStyles();
    bool ThemesActive() const { return themesActive_; }
    bool ThemeLibraryPresent() const { return themeLibraryPresent_; }
    // Opens (or, with force, reopens) the theme data of `classes` for the
    // window while visual styles are active, and closes it when they are not.
    void EnsureThemeData(win::HTHEME& theme, win::HWND window, bool force,
                         std::u16string_view classes);
    // A system colour constant as the theme has it; a concrete colour as it
    // is. Without theme data the constant stays (or, with fallback, becomes
    // the system's current colour).
    std::uint32_t ResolveThemeColor(std::uint32_t color, win::HWND window, win::HTHEME& theme,
                                    bool force, std::u16string_view classes, bool closeAfter,
                                    bool fallback);
    std::uint32_t SysColorToRgb(std::uint32_t color);
    // Each channel the mean of the two, rounded down.
    std::uint32_t BlendColors(std::uint32_t a, std::uint32_t b);
    // The colour roles that ApplyFormColors gives the window's controls.
    FormColors ResolveFormColors(win::HWND window);
    // The colours ApplyFieldColors gives a text box; `active`: it is the
    // window's active control and is highlighted.
    FieldColors ResolveFieldColors(win::HWND window, bool active);
    // The window's small and large icons from icon group 1, at the system's sizes.
    void SetFormIcons(win::HWND window);

    // The window that the message thunk hands its messages to (empty: none).
    void SetSubclassedForm(ISubclassedWindow* window);
    ISubclassedWindow* SubclassedForm() const { return subclassedForm_; }
    // The window procedure SubclassWindow installs.
    static win::LRESULT TW_CALLBACK MessageThunk(win::HWND hWnd, win::UINT uMsg, win::WPARAM wParam,
                                                 win::LPARAM lParam);

    // --- Keyboard cues (KeyboardCues.cpp) ---

    void ReadKeyboardCuesSetting();
    bool KeyboardCuesAlwaysShown() const { return keyboardCuesAlwaysShown_; }
    // The keyboard and mouse hooks of this thread; each is installed once.
    void InstallCueHooks();
    // Unhooks what is installed; harmless when nothing is.
    void RemoveCueHooks();
    win::HHOOK KeyboardHook() const { return keyboardHook_; }
    win::HHOOK MouseHook() const { return mouseHook_; }
    // Where the pointer was when a mouse move last hid the cues.
    win::POINT LastMousePoint() const { return lastMousePoint_; }
    // How the hooks reach the program's active window: `show` true asks it to
    // show its cues (ICue::Cue), false to hide them (ICue::UnCue). The window
    // layer supplies it and does nothing when no window is active or the
    // active one takes no cue requests.
    void SetCueTarget(std::function<void(bool show)> cueActiveWindow);
    static win::LRESULT TW_CALLBACK KeyboardCueHook(int code, win::WPARAM wParam,
                                                    win::LPARAM lParam);
    static win::LRESULT TW_CALLBACK MouseCueHook(int code, win::WPARAM wParam, win::LPARAM lParam);

private:
    void SetFormIcon(win::HWND window, win::HMODULE module, int widthMetric, int heightMetric,
                     win::WPARAM which);
    void AskActiveWindow(bool show);

    win::ISystem& system_;
    win::IFileSystem& files_;
    win::IWindowSystem& windowSystem_;
    win::IVisualStyles& visualStyles_;
    std::u16string executableFolder_;

    bool isWin2000OrLater_ = false;
    bool isXPOrLater_ = false;
    bool isWow64_ = false;

    std::optional<LanguageTable> languageTexts_;
    bool languageLoaded_ = false;

    bool themesActive_ = false;
    bool themeLibraryPresent_ = false;
    // Icons SetFormIcons gave the window; destroyed once the window gives them back.
    std::vector<win::HICON> iconsSet_;
    ISubclassedWindow* subclassedForm_ = nullptr;

    bool keyboardCuesAlwaysShown_ = false;
    win::HHOOK keyboardHook_ = nullptr;
    win::HHOOK mouseHook_ = nullptr;
    win::POINT lastMousePoint_{0, 0};
    std::function<void(bool show)> cueActiveWindow_;

    // Windows calls hook procedures and window procedures with nothing of the
    // program's own, so the way back to the object is kept per thread (hooks
    // and window procedures run on the thread that installed them). Each is
    // set by the object that installs and cleared by the same object when it
    // removes them or ends.
    static thread_local mCommon* hookOwner_;
    static thread_local mCommon* subclassOwner_;
};

// The path with one "\" appended unless it already ends with one.
std::u16string AddBackslash(std::u16string_view path);

} // namespace tw
