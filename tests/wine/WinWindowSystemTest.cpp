// The real window system and visual styles, as the program calls them through
// the platform: colours, the keyboard-cue setting, a window procedure replaced
// and called on, thread hooks, and uxtheme looked up at run time.
#include "platform/win32/WinPlatform.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace w = tw::win;
using tw::win32::WinPlatform;
using namespace tw::winetests;

// A window procedure of the program's own types, put in front of a static
// control's through the platform.
std::vector<w::UINT> seen;
w::WNDPROC previous = nullptr;
w::IWindowSystem* current = nullptr;

w::LRESULT TW_CALLBACK Recording(w::HWND hwnd, w::UINT msg, w::WPARAM wp, w::LPARAM lp) {
    if (msg == w::WM_SYSCOLORCHANGE || msg == w::WM_THEMECHANGED)
        seen.push_back(msg);
    return current->CallWindowProcW(previous, hwnd, msg, wp, lp);
}

TEST(WinWindowSystem, ReplacedWindowProcedureSeesMessagesAndHandsThemOn) {
    constexpr w::UINT WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D;
    WinPlatform platform;
    w::IWindowSystem& windows = platform.platform().windowSystem;
    const auto hwnd = reinterpret_cast<w::HWND>(CreateStaticWindow(u"before"));
    ASSERT_NE(hwnd, nullptr);
    seen.clear();
    current = &windows;
    previous = reinterpret_cast<w::WNDPROC>(
        windows.SetWindowLongW(hwnd, w::GWL_WNDPROC, reinterpret_cast<w::LONG_PTR>(&Recording)));
    ASSERT_NE(previous, nullptr);
    windows.SendMessageW(hwnd, w::WM_SYSCOLORCHANGE, 0, 0);
    windows.SendMessageW(hwnd, w::WM_THEMECHANGED, 0, 0);
    // The static control's own procedure still keeps its text, through CallWindowProcW.
    EXPECT_NE(windows.SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<w::LPARAM>(u"after")), 0);
    char16_t text[16] = {};
    EXPECT_EQ(windows.SendMessageW(hwnd, WM_GETTEXT, 16, reinterpret_cast<w::LPARAM>(text)), 5);
    EXPECT_EQ(std::u16string(text), u"after");
    EXPECT_EQ((std::vector<w::UINT>{w::WM_SYSCOLORCHANGE, w::WM_THEMECHANGED}), seen);
    // Put back, the old procedure answers alone.
    windows.SetWindowLongW(hwnd, w::GWL_WNDPROC, reinterpret_cast<w::LONG_PTR>(previous));
    windows.SendMessageW(hwnd, w::WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(seen.size(), 2u);
    DestroyTestWindow(reinterpret_cast<HWND__*>(hwnd));
}

int keyboardHookCalls = 0;

w::LRESULT TW_CALLBACK KeyboardHook(int code, w::WPARAM wp, w::LPARAM lp) {
    ++keyboardHookCalls;
    return current->CallNextHookEx(nullptr, code, wp, lp);
}

TEST(WinWindowSystem, ThreadKeyboardHookIsSetAndRemoved) {
    WinPlatform platform;
    w::IWindowSystem& windows = platform.platform().windowSystem;
    current = &windows;
    EXPECT_NE(windows.GetModuleHandleW(nullptr), nullptr);
    const w::HHOOK hook = windows.SetWindowsHookExW(w::WH_KEYBOARD, &KeyboardHook, nullptr,
                                                    windows.GetCurrentThreadId());
    ASSERT_NE(hook, nullptr) << "a hook of this thread, by its id";
    w::BYTE keys[256] = {};
    EXPECT_NE(windows.GetKeyboardState(keys), 0);
    EXPECT_NE(windows.UnhookWindowsHookEx(hook), 0);
    EXPECT_EQ(windows.UnhookWindowsHookEx(hook), 0) << "a hook is removed once";
}

TEST(WinVisualStyles, UxThemeIsFoundAndItsFunctionsAnswer) {
    WinPlatform platform;
    w::IVisualStyles& styles = platform.platform().visualStyles;
    ASSERT_TRUE(styles.HasUxTheme()) << "every system since Windows XP has uxtheme.dll";
    const w::DWORD before = styles.GetThemeAppProperties();
    styles.SetThemeAppProperties(w::STAP_ALLOW_NONCLIENT);
    EXPECT_EQ(styles.GetThemeAppProperties(), w::STAP_ALLOW_NONCLIENT);
    styles.SetThemeAppProperties(before);
    EXPECT_EQ(styles.GetThemeAppProperties(), before);
    EXPECT_EQ(styles.CloseThemeData(nullptr), w::E_HANDLE);
    const w::BOOL active = styles.IsThemeActive();
    EXPECT_TRUE(active == 0 || active == 1);
    // No theme data while the desktop has no theme.
    const w::HTHEME theme = styles.OpenThemeData(nullptr, u"WINDOW");
    if (active == 0) {
        EXPECT_EQ(theme, nullptr);
    }
    if (theme != nullptr) {
        EXPECT_EQ(styles.CloseThemeData(theme), w::S_OK);
    }
}

} // namespace
