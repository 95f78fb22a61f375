// The real platform backend against the system's own functions: what the
// program relies on from each call, checked where the system really runs it
// (Windows, or Wine in CI).
#include "platform/win32/WinPlatform.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

namespace w = tw::win;
using tw::win32::WinPlatform;

std::u16string Text(const char16_t* buffer) {
    return buffer;
}

using namespace tw::winetests;

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
    EXPECT_EQ(size, Text(name).size() + 1) << "the user name's size counts the final NUL";
    platform.ExpandEnvironmentStringsW(u"%USERNAME%", expanded, 257);
    EXPECT_EQ(Text(name), Text(expanded));
    size = 16; // MAX_COMPUTERNAME_LENGTH + 1
    ASSERT_NE(platform.GetComputerNameW(name, &size), 0);
    EXPECT_EQ(size, Text(name).size()) << "the computer name's does not";
    platform.ExpandEnvironmentStringsW(u"%COMPUTERNAME%", expanded, 257);
    EXPECT_EQ(Text(name), Text(expanded));
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
        return SameTextIgnoringCase(user.usri0_name, me);
    }));
    EXPECT_EQ(platform.NetApiBufferFree(buffer), w::NERR_Success);
    const w::NET_API_STATUS status = platform.NetUserGetInfo(nullptr, me, 3, &buffer);
    if (status == 2140 && RunningUnderWine())
        GTEST_SKIP() << "Wine's netapi32 has no level 3 (NERR_InternalError)";
    ASSERT_EQ(status, w::NERR_Success);
    const auto* user = reinterpret_cast<const w::USER_INFO_3*>(buffer);
    EXPECT_TRUE(SameTextIgnoringCase(user->usri3_name, me));
    EXPECT_NE(user->usri3_flags & w::UF_NORMAL_ACCOUNT, 0u);
    platform.NetApiBufferFree(buffer);
}

TEST(WinPlatformFiles, WholeFileIsReadAndMissingFileFails) {
    WinPlatform platform;
    const std::u16string folder = TempFolder();
    ASSERT_FALSE(folder.empty());
    const std::string id = std::to_string(ProcessId());
    const std::u16string path =
        folder + u"tw-wine-test-" + std::u16string(id.begin(), id.end()) + u".loc";
    const std::string content = "Frm.Status_Wait=Bitte warten...\r\n";
    ASSERT_TRUE(WriteBytes(path, content));

    std::vector<w::BYTE> bytes;
    EXPECT_TRUE(platform.ReadWholeFile(path.c_str(), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), content);
    EXPECT_NE(platform.GetFileAttributesW(path.c_str()), w::INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(platform.GetFileAttributesW(folder.c_str()) & w::FILE_ATTRIBUTE_DIRECTORY,
              w::FILE_ATTRIBUTE_DIRECTORY);
    RemoveFile(path);

    std::vector<w::BYTE> untouched{1, 2, 3};
    EXPECT_FALSE(platform.ReadWholeFile(path.c_str(), untouched));
    EXPECT_EQ(platform.GetFileAttributesW(path.c_str()), w::INVALID_FILE_ATTRIBUTES);
}

} // namespace
