#include "FakeFileSystem.h"
#include "FakeSystem.h"
#include "common/mCommon.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace tw;
using tw::test::FakeFileSystem;
using tw::test::FakeSystem;

struct VersionCase {
    win::DWORD platform;
    win::DWORD major;
    win::DWORD minor;
    bool supported;
    bool win2000OrLater;
    bool xpOrLater;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << "platform " << c.platform << ", version " << c.major << "." << c.minor;
}

class CheckPlatformVersions : public testing::TestWithParam<VersionCase> {};

TEST_P(CheckPlatformVersions, SetsTheFlags) {
    const auto& c = GetParam();
    FakeSystem system;
    FakeFileSystem files;
    system.version = FakeSystem::nt(c.major, c.minor, c.platform);
    system.wow64Flag = 1;
    mCommon common(system, files, u"C:\\App");

    EXPECT_EQ(common.CheckPlatform(), c.supported);
    EXPECT_EQ(common.IsWin2000OrLater(), c.win2000OrLater);
    EXPECT_EQ(common.IsXPOrLater(), c.xpOrLater);
    EXPECT_EQ(common.IsWow64(), c.supported); // the fake says WOW64 when asked
    EXPECT_EQ(system.versionSizeSeen, 148u);
    EXPECT_TRUE(system.versionRecordWasZero);
}

INSTANTIATE_TEST_SUITE_P(Table, CheckPlatformVersions,
                         testing::Values(VersionCase{2, 3, 51, true, false, false},
                                         VersionCase{2, 4, 0, true, false, false},
                                         VersionCase{2, 5, 0, true, true, false},
                                         VersionCase{2, 5, 1, true, true, true},
                                         VersionCase{2, 5, 2, true, true, true},
                                         VersionCase{2, 6, 0, true, true, true},
                                         VersionCase{2, 10, 0, true, true, true},
                                         VersionCase{1, 4, 10, false, false, false},
                                         VersionCase{1, 5, 1, false, false, false},
                                         VersionCase{0, 6, 0, false, false, false},
                                         VersionCase{3, 6, 0, false, false, false}));

TEST(CheckPlatform, RefusesWhenTheVersionCallFails) {
    FakeSystem system;
    FakeFileSystem files;
    system.versionSucceeds = false;
    mCommon common(system, files, u"C:\\App");
    EXPECT_FALSE(common.CheckPlatform());
    EXPECT_FALSE(common.IsWin2000OrLater());
    EXPECT_FALSE(common.IsWow64());
    EXPECT_EQ(system.isWow64Calls, 0);
}

TEST(CheckPlatform, AsksIsWow64ProcessAboutTheOwnProcess) {
    FakeSystem system;
    FakeFileSystem files;
    system.wow64Flag = 1;
    mCommon common(system, files, u"C:\\App");
    EXPECT_TRUE(common.CheckPlatform());
    EXPECT_TRUE(common.IsWow64());
    EXPECT_EQ(system.processSeen, FakeSystem::kProcess);
}

TEST(CheckPlatform, LeavesWow64FalseForANativeProcess) {
    FakeSystem system;
    FakeFileSystem files;
    system.wow64Flag = 0;
    mCommon common(system, files, u"C:\\App");
    EXPECT_TRUE(common.CheckPlatform());
    EXPECT_FALSE(common.IsWow64());
}

TEST(CheckPlatform, PassesWithoutIsWow64Process) {
    FakeSystem system;
    FakeFileSystem files;
    system.hasIsWow64Process = false;
    system.wow64Flag = 1;
    mCommon common(system, files, u"C:\\App");
    EXPECT_TRUE(common.CheckPlatform());
    EXPECT_FALSE(common.IsWow64());
    EXPECT_EQ(system.isWow64Calls, 0);
}

TEST(CheckPlatform, IgnoresTheFlagWhenIsWow64ProcessFails) {
    FakeSystem system;
    FakeFileSystem files;
    system.isWow64Result = 0;
    system.wow64Flag = 1;
    mCommon common(system, files, u"C:\\App");
    EXPECT_TRUE(common.CheckPlatform());
    EXPECT_FALSE(common.IsWow64());
    EXPECT_EQ(system.isWow64Calls, 1);
}

TEST(CheckPlatform, FlagsAreFalseBeforeTheCheck) {
    FakeSystem system;
    FakeFileSystem files;
    mCommon common(system, files, u"C:\\App");
    EXPECT_FALSE(common.IsWin2000OrLater());
    EXPECT_FALSE(common.IsXPOrLater());
    EXPECT_FALSE(common.IsWow64());
}
