#include "SimTestSupport.h"

#include <gtest/gtest.h>

using namespace tw;
using namespace tw::sim;
using namespace tw::sim::test;
using namespace tw::win;

const char* const kDescribed = R"({"messages": {"5": "Denied here.\r\n", "6": null}})";

// A message from the system's table or the described messages, in a buffer
// of the given size; or the failure.
struct MessageRow {
    using TestRow = void;
    std::string machine;
    DWORD code, size;
    const char16_t* text; // null: the call fails with `error`
    DWORD error;
};

class SimSystemMessages : public testing::TestWithParam<MessageRow> {};

TEST_P(SimSystemMessages, ComeWithTheirFinalLineBreakWhenTheyFitWithTheirTerminator) {
    auto sim = makeSim(GetParam().machine);
    std::u16string buffer(300, u'#');
    const DWORD n = sim->system().FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetParam().code, 0,
        buffer.data(), GetParam().size, nullptr);
    if (GetParam().text != nullptr) {
        EXPECT_EQ(buffer.substr(0, n), GetParam().text);
        EXPECT_EQ(buffer[n], u'\0');
    } else {
        EXPECT_EQ(n, 0u);
        EXPECT_EQ(sim->system().GetLastError(), GetParam().error);
    }
}

// 5 and 53 show in the status line of the scenarios under target/, policy/ and
// expiry/. A code outside the table fails with ERROR_MR_MID_NOT_FOUND:
// user/fetch-fails.json shows the program's "Error 317 in FormatMessage" for 2221.
// A message one unit too long for the buffer, and inserts left alone: the
// program's ApiErrorText rows in mCommonTest, on described messages.
INSTANTIATE_TEST_SUITE_P(
    Rows, SimSystemMessages,
    testing::Values(
        MessageRow{"{}", 317, 256,
                   u"The system cannot find message text for message number 0x%1 in the "
                   u"message file for %2.\r\n",
                   0},
        MessageRow{"{}", 5, 20, u"Access is denied.\r\n", 0},
        MessageRow{kDescribed, 5, 256, u"Denied here.\r\n", 0},
        MessageRow{kDescribed, 6, 256, nullptr, ERROR_MR_MID_NOT_FOUND}));

// The user's name read whole, its size counting the terminator: the running
// user chosen at the start in scenarios/user/failed-load-keeps-the-name.json and
// running-user-case.json.
TEST(SimSystem, UserNameSizeCountsTheTerminator) {
    auto sim = makeSim("{}");
    char16_t buffer[257] = {};
    DWORD size = 5;
    EXPECT_FALSE(sim->system().GetUserNameW(buffer, &size));
    EXPECT_EQ(sim->system().GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, 6u);
    sim->applyPatch({{"system", {{"userName", nullptr}, {"computerName", nullptr}}}});
    size = 257;
    EXPECT_FALSE(sim->system().GetUserNameW(buffer, &size));
    EXPECT_NE(sim->system().GetLastError(), 0u);
    size = 16;
    EXPECT_FALSE(sim->system().GetComputerNameW(buffer, &size));
    EXPECT_NE(sim->system().GetLastError(), 0u);
}

TEST(SimSystem, ComputerNameSizeLeavesOutTheTerminatorOnSuccess) {
    auto sim = makeSim(R"({"system": {"computerName": "WORKSTATION-0001"}})");
    char16_t buffer[32] = {};
    DWORD size = 16;
    EXPECT_FALSE(sim->system().GetComputerNameW(buffer, &size));
    EXPECT_EQ(sim->system().GetLastError(), 111u); // ERROR_BUFFER_OVERFLOW
    EXPECT_EQ(size, 17u);
    size = 17;
    ASSERT_TRUE(sim->system().GetComputerNameW(buffer, &size));
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(std::u16string(buffer), u"WORKSTATION-0001");
}

// The version as described, with the structure's size set: the CheckPlatform rows.
TEST(SimSystem, VersionNeedsAKnownStructureSize) {
    auto sim = makeSim(R"({"system": {"platformId": 1, "major": 4, "minor": 90}})");
    OSVERSIONINFOA info{};
    EXPECT_FALSE(sim->system().GetVersionExA(&info));
    EXPECT_EQ(sim->system().GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(info.dwPlatformId, 0u);
}

// The version, WOW64, the languages and the code page as described, and the
// code page's character set: the platform check, the language file's name and
// code page and OnSim.AnsiCharsetIsTheCodePagesOrZero in mCommonTest. The long
// date picture the locale gives: scenarios/user/counters-and-dates.json. An
// expansion too long for its buffer, which reports the size it needs:
// RegistryConformance's "expand" row, grown past mRegistry's first buffer.

struct ExpandRow {
    using TestRow = void;
    const char16_t* source;
    const char16_t* expanded;
};

class SimExpand : public testing::TestWithParam<ExpandRow> {};

TEST_P(SimExpand, ReplacesKnownVariablesWithoutRegardToCase) {
    auto sim = makeSim(R"({"system": {"environment": {"TEMP": "C:\\Temp", "EMPTY": ""}}})");
    char16_t buffer[260] = {};
    DWORD n = sim->system().ExpandEnvironmentStringsW(GetParam().source, buffer, 260);
    EXPECT_EQ(std::u16string(buffer), GetParam().expanded);
    EXPECT_EQ(n, std::u16string(GetParam().expanded).size() + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SimExpand,
    testing::Values(ExpandRow{u"%SystemRoot%\\system32", u"C:\\Windows\\system32"},
                    ExpandRow{u"%systemroot%|%WINDIR%", u"C:\\Windows|C:\\Windows"},
                    ExpandRow{u"%UNKNOWN%\\%temp%", u"%UNKNOWN%\\C:\\Temp"},
                    ExpandRow{u"100% sure", u"100% sure"}, ExpandRow{u"%%", u"%%"},
                    ExpandRow{u"a%EMPTY%b", u"ab"}, ExpandRow{u"", u""},
                    ExpandRow{u"%TEMP%%TEMP", u"C:\\Temp%TEMP"}));
