// The platform check: only the Windows NT family is supported, and the
// version and WOW64 flags the rest of the program asks.
#include "FakeFileSystem.h"
#include "FakeSystem.h"
#include "common/mCommon.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace tw;
using tw::test::FakeFileSystem;
using tw::test::FakeSystem;

struct VersionCase {
    win::DWORD platform, major, minor;
    bool versionCall, hasIsWow64Process;
    int wow64Answer; // of IsWow64Process: 1 under WOW64, 0 native, -1 the call fails
    bool supported, win2000OrLater, xpOrLater, wow64;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << "platform " << c.platform << ", version " << c.major << "." << c.minor;
}

class CheckPlatform : public testing::TestWithParam<VersionCase> {};

TEST_P(CheckPlatform, RefusesAllButNtAndSetsTheFlags) {
    const auto& c = GetParam();
    FakeSystem system;
    FakeFileSystem files;
    system.version = FakeSystem::nt(c.major, c.minor, c.platform);
    system.versionSucceeds = c.versionCall;
    system.hasIsWow64Process = c.hasIsWow64Process;
    system.isWow64Result = c.wow64Answer >= 0;
    system.wow64Flag = c.wow64Answer == 1;
    mCommon common(system, files, u"C:\\App");
    EXPECT_EQ(common.CheckPlatform(), c.supported);
    EXPECT_EQ(common.IsWin2000OrLater(), c.win2000OrLater);
    EXPECT_EQ(common.IsXPOrLater(), c.xpOrLater);
    EXPECT_EQ(common.IsWow64(), c.wow64);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckPlatform,
    testing::Values(VersionCase{2, 3, 51, true, true, 1, true, false, false, true},
                    VersionCase{2, 5, 0, true, true, 1, true, true, false, true},
                    VersionCase{2, 5, 1, true, true, 1, true, true, true, true},
                    VersionCase{2, 10, 0, true, true, 1, true, true, true, true},
                    // A native process; without IsWow64Process, or when it fails,
                    // the flag stays false too.
                    VersionCase{2, 6, 1, true, true, 0, true, true, true, false},
                    VersionCase{2, 6, 1, true, false, 1, true, true, true, false},
                    VersionCase{2, 6, 1, true, true, -1, true, true, true, false},
                    // Refused: Windows 9x, Win32s, CE, and a failing version call.
                    // (NT 4 and Windows 98: scenarios appearance/nt4-no-hooks and
                    // startup/unsupported-platform.)
                    VersionCase{1, 5, 1, true, true, 1, false, false, false, false},
                    VersionCase{0, 6, 0, true, true, 1, false, false, false, false},
                    VersionCase{3, 6, 0, true, true, 1, false, false, false, false},
                    VersionCase{2, 6, 1, false, true, 1, false, false, false, false}));
