#include "FakeNetApi.h"
#include "account/CNetUser.h"
#include "common/FakeSystem.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tw;
using tw::test::FakeNetApi;
using tw::test::FakeSystem;

class Modals : public testing::Test {
protected:
    FakeNetApi net;
    FakeSystem system;
    CNetUser user{net, system};

    void ScriptPolicy() {
        net.modals0 = {7, 0xFFFFFFFFu, 86400, 0xFFFFFFFEu, 24};
        net.modals3 = {1800, 900, 5};
    }

    static UserModals Policy() { return {7, -1, 86400, -2, 24, 1800, 900, 5}; }
};

TEST_F(Modals, StartAtZeroAndUnchanged) {
    EXPECT_EQ(user.CurrentModals(), UserModals{});
    EXPECT_EQ(user.LoadedModals(), UserModals{});
    EXPECT_FALSE(user.ModalsChanged());
}

TEST_F(Modals, RefreshReadsBothLevelsIntoBothRecords) {
    ScriptPolicy();
    user.SetServer(u"dc1");
    std::int32_t status = -1;
    ASSERT_TRUE(user.RefreshModals(&status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(user.CurrentModals(), Policy());
    EXPECT_EQ(user.LoadedModals(), Policy());
    EXPECT_FALSE(user.ModalsChanged());
    EXPECT_EQ(user.ModalsMinPwdLen(), 7);
    EXPECT_EQ(user.ModalsMaxPwdAge(), -1);
    EXPECT_EQ(user.ModalsMinPwdAge(), 86400);
    EXPECT_EQ(user.ModalsPwdHistoryLen(), 24);
    EXPECT_EQ(user.ModalsLockoutDuration(), 1800);
    EXPECT_EQ(user.ModalsLockoutObsWin(), 900);
    EXPECT_EQ(user.ModalsLockoutThreshold(), 5);
    ASSERT_EQ(net.calls.size(), 2u);
    EXPECT_EQ(net.calls[0].level, 0u);
    EXPECT_EQ(net.calls[1].level, 3u);
    EXPECT_EQ(net.calls[0].server, u"\\\\dc1");
    EXPECT_EQ(net.Allocations(), 2);
    EXPECT_EQ(net.Outstanding(), 0);
}

TEST_F(Modals, ALevel0ReadFailureStopsBeforeLevel3AndKeepsBothRecords) {
    ScriptPolicy();
    ASSERT_TRUE(user.RefreshModals());
    net.modals0 = {1, 2, 3, 4, 5};
    net.modalsGetStatus[0] = win::ERROR_ACCESS_DENIED;
    net.modalsBufferOnFailure = true;
    std::int32_t status = 0;
    EXPECT_FALSE(user.RefreshModals(&status));
    EXPECT_EQ(status, 5);
    EXPECT_EQ(net.CallsOf("NetUserModalsGet"), 3);
    EXPECT_EQ(user.CurrentModals(), Policy());
    EXPECT_EQ(user.LoadedModals(), Policy());
    EXPECT_EQ(net.Outstanding(), 0);
}

TEST_F(Modals, ALevel3ReadFailureStillSucceedsWithItsStatus) {
    ScriptPolicy();
    ASSERT_TRUE(user.RefreshModals());
    net.modals0 = {8, 100, 200, 300, 10};
    net.modals3 = {1, 2, 3};
    net.modalsGetStatus[3] = win::ERROR_INVALID_LEVEL;
    std::int32_t status = 0;
    EXPECT_TRUE(user.RefreshModals(&status));
    EXPECT_EQ(status, 124);
    const UserModals expected{8, 100, 200, 300, 10, 1800, 900, 5};
    EXPECT_EQ(user.CurrentModals(), expected);
    EXPECT_EQ(user.LoadedModals(), expected);
    EXPECT_EQ(net.Outstanding(), 0);
}

TEST_F(Modals, PropertiesChangeOnlyTheCurrentRecord) {
    ScriptPolicy();
    ASSERT_TRUE(user.RefreshModals());
    user.SetModalsLockoutThreshold(10);
    EXPECT_TRUE(user.ModalsChanged());
    EXPECT_EQ(user.LoadedModals().LockoutThreshold, 5);
    user.SetModalsLockoutThreshold(5);
    EXPECT_FALSE(user.ModalsChanged());

    struct Setter {
        void (CNetUser::*set)(std::int32_t);
        std::int32_t (CNetUser::*get)() const;
    };
    const std::vector<Setter> setters{
        {&CNetUser::SetModalsMinPwdLen, &CNetUser::ModalsMinPwdLen},
        {&CNetUser::SetModalsMinPwdAge, &CNetUser::ModalsMinPwdAge},
        {&CNetUser::SetModalsMaxPwdAge, &CNetUser::ModalsMaxPwdAge},
        {&CNetUser::SetModalsPwdHistoryLen, &CNetUser::ModalsPwdHistoryLen},
        {&CNetUser::SetModalsLockoutDuration, &CNetUser::ModalsLockoutDuration},
        {&CNetUser::SetModalsLockoutObsWin, &CNetUser::ModalsLockoutObsWin},
        {&CNetUser::SetModalsLockoutThreshold, &CNetUser::ModalsLockoutThreshold}};
    for (const auto& s : setters) {
        const std::int32_t before = (user.*s.get)();
        (user.*s.set)(before + 1);
        EXPECT_EQ((user.*s.get)(), before + 1);
        EXPECT_TRUE(user.ModalsChanged());
        (user.*s.set)(before);
        EXPECT_FALSE(user.ModalsChanged());
    }
    EXPECT_EQ(user.LoadedModals(), Policy());
}

TEST_F(Modals, ChangedComparesForceLogoffToo) {
    ScriptPolicy();
    ASSERT_TRUE(user.RefreshModals());
    // Only a read sets ForceLogoff; a level 0 read that brings a new value
    // while level 3 fails still leaves the two records equal.
    net.modals0.usrmod0_force_logoff = 60;
    net.modalsGetStatus[3] = win::ERROR_ACCESS_DENIED;
    EXPECT_TRUE(user.RefreshModals());
    EXPECT_EQ(user.CurrentModals().ForceLogoff, 60);
    EXPECT_EQ(user.LoadedModals().ForceLogoff, 60);
    EXPECT_FALSE(user.ModalsChanged());
}

TEST_F(Modals, SetWritesBothLevelsWithForceLogoffCarried) {
    ScriptPolicy();
    ASSERT_TRUE(user.RefreshModals());
    user.SetModalsMaxPwdAge(-1);
    user.SetModalsMinPwdLen(12);
    user.SetModalsLockoutDuration(3600);
    std::int32_t status = -1;
    EXPECT_TRUE(user.SetModals(&status));
    EXPECT_EQ(status, 0);
    ASSERT_EQ(net.calls.size(), 4u);
    const auto& level0 = net.calls[2];
    const auto& level3 = net.calls[3];
    EXPECT_EQ(level0.function, "NetUserModalsSet");
    EXPECT_EQ(level0.level, 0u);
    EXPECT_EQ(level0.values, (std::vector<win::DWORD>{12, 0xFFFFFFFFu, 86400, 0xFFFFFFFEu, 24}));
    EXPECT_TRUE(level0.parameterErrorGiven);
    EXPECT_EQ(level3.level, 3u);
    EXPECT_EQ(level3.values, (std::vector<win::DWORD>{3600, 900, 5}));
    // Writing changes neither record.
    EXPECT_EQ(user.LoadedModals(), Policy());
    EXPECT_TRUE(user.ModalsChanged());
}

TEST_F(Modals, ALevel0WriteFailureStopsBeforeLevel3) {
    net.modalsSetStatus[0] = win::ERROR_ACCESS_DENIED;
    std::int32_t status = 0;
    EXPECT_FALSE(user.SetModals(&status));
    EXPECT_EQ(status, 5);
    EXPECT_EQ(net.CallsOf("NetUserModalsSet"), 1);
}

TEST_F(Modals, ALevel3WriteFailureStillSucceedsWithItsStatus) {
    net.modalsSetStatus[3] = win::ERROR_INVALID_PARAMETER;
    std::int32_t status = 0;
    EXPECT_TRUE(user.SetModals(&status));
    EXPECT_EQ(status, 87);
    EXPECT_EQ(net.CallsOf("NetUserModalsSet"), 2);
    EXPECT_TRUE(user.SetModals()); // the status may be left out
}

TEST_F(Modals, ChangingTheTargetKeepsBothRecords) {
    ScriptPolicy();
    ASSERT_TRUE(user.RefreshModals());
    user.SetServer(u"other");
    EXPECT_EQ(user.CurrentModals(), Policy());
    EXPECT_EQ(user.LoadedModals(), Policy());
}

TEST_F(Modals, ASuccessWithoutARecordLeavesTheRecords) {
    class NoBuffer : public FakeNetApi {
    public:
        win::NET_API_STATUS NetUserModalsGet(win::LPCWSTR, win::DWORD,
                                             win::LPBYTE* buffer) override {
            *buffer = nullptr;
            return 0;
        }
    } empty;
    CNetUser other(empty, system);
    std::int32_t status = 0;
    EXPECT_FALSE(other.RefreshModals(&status));
    EXPECT_EQ(status, 13);
    EXPECT_EQ(other.LoadedModals(), UserModals{});
}
