// The real platform backend against the system's own functions: what the
// program relies on from each call, checked where the system really runs it
// (Windows, or Wine in CI). The window system and visual styles as the
// program calls them: a window procedure replaced and called on, thread
// hooks, and uxtheme looked up at run time. The typed registry layer over
// the real registry: the shared suite (tests/common/RegistryConformance) in a
// test key under HKCU.
#include "platform/win32/WinPlatform.h"
#include "common/RegistryConformance.h"
#include "platform/TextCompare.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <process.h>
#include <string>
#include <vector>

namespace {

namespace w = tw::win;
using tw::win32::WinPlatform;

using namespace tw::winetests;
using tw::test::RegistryConformance;

TEST(WinPlatformSystem, VersionIsTheNtFamilyAndWow64IsAnsweredForThisProcess) {
    WinPlatform platform;
    w::OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_NE(platform.GetVersionExA(&info), 0);
    EXPECT_EQ(info.dwPlatformId, w::VER_PLATFORM_WIN32_NT);
    EXPECT_GE(info.dwMajorVersion, 5u);
    ASSERT_TRUE(platform.HasIsWow64Process());
    w::BOOL wow64 = -1;
    ASSERT_NE(platform.IsWow64Process(platform.GetCurrentProcess(), &wow64), 0);
#ifdef _WIN64
    EXPECT_EQ(wow64, 0) << "a 64-bit process never runs under WOW64";
#else
    EXPECT_TRUE(wow64 == 0 || wow64 == 1);
#endif
}

TEST(WinPlatformMessages, SystemMessageEndsWithCrLfAndFailuresGiveTheirErrorCode) {
    WinPlatform platform;
    char16_t text[256] = {};
    auto message = [&](w::DWORD code, w::DWORD size) {
        const w::DWORD n = platform.FormatMessageW(0x1200, nullptr, code, 0, text, size, nullptr);
        return std::u16string(text, n);
    };
    // Wine words its message table a little differently.
    EXPECT_EQ(message(w::ERROR_ACCESS_DENIED, 256),
              RunningUnderWine() ? u"Access denied.\r\n" : u"Access is denied.\r\n");
    EXPECT_EQ(message(0x2000FFFFu, 256), u""); // the customer bit: never a system message
    EXPECT_EQ(platform.GetLastError(), w::ERROR_MR_MID_NOT_FOUND);
    EXPECT_EQ(message(w::ERROR_ACCESS_DENIED, 4), u"");
    EXPECT_EQ(platform.GetLastError(), w::ERROR_INSUFFICIENT_BUFFER);
}

TEST(WinPlatformNames, SizesAreAsTheProgramReadsThem) {
    WinPlatform platform;
    char16_t name[257] = {}, expanded[257] = {};
    w::DWORD size = 1;
    EXPECT_EQ(platform.GetUserNameW(name, &size), 0);
    EXPECT_EQ(platform.GetLastError(), w::ERROR_INSUFFICIENT_BUFFER);
    EXPECT_GT(size, 1u) << "the size it needs";
    size = 257;
    ASSERT_NE(platform.GetUserNameW(name, &size), 0);
    EXPECT_EQ(size, std::u16string(name).size() + 1) << "the user name's size counts the final NUL";
    platform.ExpandEnvironmentStringsW(u"%USERNAME%", expanded, 257);
    EXPECT_EQ(std::u16string(name), std::u16string(expanded));
    size = 16; // MAX_COMPUTERNAME_LENGTH + 1
    ASSERT_NE(platform.GetComputerNameW(name, &size), 0);
    EXPECT_EQ(size, std::u16string(name).size()) << "the computer name's does not";
    platform.ExpandEnvironmentStringsW(u"%COMPUTERNAME%", expanded, 257);
    EXPECT_EQ(std::u16string(name), std::u16string(expanded));
}

TEST(WinPlatformLanguage, CodePageTranslatesToItsCharacterSet) {
    WinPlatform platform;
    const w::UINT acp = platform.GetACP();
    w::CHARSETINFO info{};
    // The code page travels in the pointer itself.
    auto* source = reinterpret_cast<w::DWORD*>(static_cast<std::uintptr_t>(acp));
    ASSERT_NE(platform.TranslateCharsetInfo(source, &info, w::TCI_SRCCODEPAGE), 0);
    EXPECT_EQ(info.ciACP, acp);
    if (acp == 1252) {
        EXPECT_EQ(info.ciCharset, 0u); // ANSI_CHARSET
    }
    EXPECT_NE(platform.GetUserDefaultUILanguage(), 0);
    EXPECT_NE(platform.GetThreadLocale(), 0u);
    char16_t picture[80] = {};
    EXPECT_GT(platform.GetLocaleInfoW(w::LOCALE_USER_DEFAULT, w::LOCALE_SLONGDATE, picture, 80), 1);
}

TEST(WinPlatformNetApi, CurrentUserIsListedAndReadsThroughTheProgramsLayout) {
    WinPlatform platform;
    char16_t me[257] = {};
    w::DWORD size = 257;
    ASSERT_NE(platform.GetUserNameW(me, &size), 0);
    w::LPBYTE buffer = nullptr;
    w::DWORD read = 0, total = 0, resume = 0;
    ASSERT_EQ(platform.NetUserEnum(nullptr, 0, w::FILTER_NORMAL_ACCOUNT, &buffer,
                                   w::MAX_PREFERRED_LENGTH, &read, &total, &resume),
              w::NERR_Success);
    const auto* users = reinterpret_cast<const w::USER_INFO_0*>(buffer);
    EXPECT_TRUE(std::any_of(users, users + read, [&](const w::USER_INFO_0& user) {
        return tw::EqualsIgnoringCase(user.usri0_name, me);
    }));
    EXPECT_EQ(platform.NetApiBufferFree(buffer), w::NERR_Success);
    const w::NET_API_STATUS status = platform.NetUserGetInfo(nullptr, me, 3, &buffer);
    if (status == 2140 && RunningUnderWine())
        GTEST_SKIP() << "Wine's netapi32 has no level 3 (NERR_InternalError)";
    ASSERT_EQ(status, w::NERR_Success);
    const auto* user = reinterpret_cast<const w::USER_INFO_3*>(buffer);
    EXPECT_TRUE(tw::EqualsIgnoringCase(user->usri3_name, me));
    EXPECT_NE(user->usri3_flags & w::UF_NORMAL_ACCOUNT, 0u);
    platform.NetApiBufferFree(buffer);
}

TEST(WinPlatformFiles, WholeFileIsReadAndMissingFileFails) {
    WinPlatform platform;
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("tw-wine-test-" + std::to_string(_getpid()) + ".loc");
    const std::u16string path = file.u16string(), folder = file.parent_path().u16string();
    const std::string content = "Frm.Status_Wait=Bitte warten...\r\n";
    ASSERT_TRUE(std::ofstream(file, std::ios::binary) << content);

    std::vector<w::BYTE> bytes;
    EXPECT_TRUE(platform.ReadWholeFile(path.c_str(), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), content);
    EXPECT_NE(platform.GetFileAttributesW(path.c_str()), w::INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(platform.GetFileAttributesW(folder.c_str()) & w::FILE_ATTRIBUTE_DIRECTORY,
              w::FILE_ATTRIBUTE_DIRECTORY);
    std::filesystem::remove(file);

    std::vector<w::BYTE> untouched{1, 2, 3};
    EXPECT_FALSE(platform.ReadWholeFile(path.c_str(), untouched));
    EXPECT_EQ(platform.GetFileAttributesW(path.c_str()), w::INVALID_FILE_ATTRIBUTES);
}

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

w::LRESULT TW_CALLBACK KeyboardHook(int code, w::WPARAM wp, w::LPARAM lp) {
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

class RealRegistry : public tw::test::RegistryBackend {
public:
    ~RealRegistry() override { RemoveUserKey(path_); }
    tw::win::Platform platform() override { return platform_.platform(); }
    std::u16string freshKey() override {
        const std::string id = std::to_string(_getpid());
        path_ = u"Software\\Quillmere\\TarnwickLayerTests\\" + std::u16string(id.begin(), id.end());
        return path_;
    }
    void setVariable(const std::u16string& name, const std::u16string& value) override {
        SetEnvironmentVariableForTest(name, value);
    }

private:
    tw::win32::WinPlatform platform_;
    std::u16string path_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, RegistryConformance,
                         testing::Values(tw::test::RegistryBackendFactory{
                             "Win32", [] { return std::make_unique<RealRegistry>(); }}),
                         tw::test::RegistryBackendName);
