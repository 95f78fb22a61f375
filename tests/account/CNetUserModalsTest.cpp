#include "FakeNetApi.h"
#include "account/CNetUser.h"
#include "common/FakeSystem.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using namespace tw;
using tw::test::FakeNetApi;
using tw::test::FakeSystem;

namespace {

const UserModals kPolicy{7, -1, 86400, -2, 24, 1800, 900, 5};

void ScriptPolicy(FakeNetApi& net) {
    net.modals0 = {7, 0xFFFFFFFFu, 86400, 0xFFFFFFFEu, 24};
    net.modals3 = {1800, 900, 5};
}

} // namespace

// A second read after kPolicy was read, with one level failing (and handing
// out a buffer anyway): only what was read changes, in both records alike.
struct ReadFailure {
    win::DWORD level;
    bool ok;
    std::int32_t status;
    int level3Reads;
    UserModals after;
};

void PrintTo(const ReadFailure& r, std::ostream* os) {
    *os << "level " << r.level << " fails";
}

class ModalsReadFailure : public testing::TestWithParam<ReadFailure> {};

TEST_P(ModalsReadFailure, KeepsWhatWasNotRead) {
    FakeNetApi net;
    FakeSystem system;
    CNetUser user(net, system);
    ScriptPolicy(net);
    ASSERT_TRUE(user.RefreshModals());
    EXPECT_EQ(user.LoadedModals(), kPolicy);
    net.modals0 = {8, 100, 200, 60, 10};
    net.modals3 = {1, 2, 3};
    net.modalsGetStatus[GetParam().level] = win::ERROR_ACCESS_DENIED;
    net.buffers = FakeNetApi::Buffers::AlsoOnFailure;
    user.SetServer(u"other"); // changing the target keeps both records
    std::int32_t status = -1;
    EXPECT_EQ(user.RefreshModals(&status), GetParam().ok);
    EXPECT_EQ(status, GetParam().status);
    EXPECT_EQ(user.CurrentModals(), GetParam().after);
    EXPECT_EQ(user.LoadedModals(), GetParam().after);
    EXPECT_FALSE(user.ModalsChanged()); // ForceLogoff is compared too
    EXPECT_EQ(net.Outstanding(), 0);
    int level3Reads = 0;
    for (const auto& call : net.calls)
        level3Reads += call.function == "NetUserModalsGet" && call.level == 3 ? 1 : 0;
    EXPECT_EQ(level3Reads, GetParam().level3Reads);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, ModalsReadFailure,
    testing::Values(ReadFailure{0, false, 5, 1, kPolicy},
                    ReadFailure{3, true, 5, 2, UserModals{8, 100, 200, 60, 10, 1800, 900, 5}}));

TEST(Modals, SetWritesBothLevelsWithForceLogoffCarriedAndChangesNeitherRecord) {
    FakeNetApi net;
    FakeSystem system;
    CNetUser user(net, system);
    ScriptPolicy(net);
    ASSERT_TRUE(user.RefreshModals());
    user.SetModalsMaxPwdAge(-1);
    user.SetModalsMinPwdLen(12);
    user.SetModalsLockoutDuration(3600);
    EXPECT_TRUE(user.ModalsChanged());
    std::int32_t status = -1;
    EXPECT_TRUE(user.SetModals(&status));
    EXPECT_EQ(status, 0);
    ASSERT_EQ(net.CallsOf("NetUserModalsSet"), 2);
    EXPECT_EQ(net.calls[2].level, 0u);
    EXPECT_EQ(net.calls[2].values,
              (std::vector<win::DWORD>{12, 0xFFFFFFFFu, 86400, 0xFFFFFFFEu, 24}));
    EXPECT_EQ(net.calls[3].level, 3u);
    EXPECT_EQ(net.calls[3].values, (std::vector<win::DWORD>{3600, 900, 5}));
    EXPECT_EQ(user.LoadedModals(), kPolicy);
    EXPECT_TRUE(user.ModalsChanged());
}
