#include "FakeNetApi.h"
#include "account/CNetUser.h"
#include "common/FakeSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tw;
using tw::test::EnumBatch;
using tw::test::FakeNetApi;
using tw::test::FakeSystem;

using Names = std::vector<std::u16string>;

class EnumerateUsers : public testing::Test {
protected:
    FakeNetApi net;
    FakeSystem system;
    CNetUser user{net, system};
};

TEST_F(EnumerateUsers, AsksForOrdinaryAccountsInSmallBatches) {
    net.batches = {EnumBatch{0, {u"Administrator", u"Guest"}, 0}};
    user.SetServer(u"srv");
    std::int32_t status = -1;
    EXPECT_EQ(user.EnumerateUsers(&status), (Names{u"Administrator", u"Guest"}));
    EXPECT_EQ(status, 0);
    ASSERT_EQ(net.calls.size(), 1u);
    const auto& call = net.calls[0];
    EXPECT_EQ(call.server, u"\\\\srv");
    EXPECT_EQ(call.level, 0u);
    EXPECT_EQ(call.filter, 2u);
    EXPECT_EQ(call.preferredLength, 255u);
    EXPECT_EQ(call.resumeIn, 0u);
    EXPECT_EQ(net.Outstanding(), 0);
}

TEST_F(EnumerateUsers, CollectsEveryBatchInOrderAndFreesEveryBuffer) {
    net.batches = {EnumBatch{234, {u"zed", u"Alice"}, 7}, EnumBatch{234, {u"bob"}, 19},
                   EnumBatch{234, {}, 23}, EnumBatch{0, {u"Carol", u"alice"}, 0}};
    std::int32_t status = -1;
    EXPECT_EQ(user.EnumerateUsers(&status), (Names{u"zed", u"Alice", u"bob", u"Carol", u"alice"}));
    EXPECT_EQ(status, 0);
    ASSERT_EQ(net.calls.size(), 4u);
    EXPECT_EQ(net.calls[0].resumeIn, 0u);
    EXPECT_EQ(net.calls[1].resumeIn, 7u);
    EXPECT_EQ(net.calls[2].resumeIn, 19u);
    EXPECT_EQ(net.calls[3].resumeIn, 23u);
    EXPECT_EQ(net.Allocations(), 4);
    EXPECT_EQ(net.Frees(), 4);
    EXPECT_EQ(net.BadFrees(), 0);
}

TEST_F(EnumerateUsers, AnEmptyTargetGivesAnEmptyList) {
    net.batches = {EnumBatch{0, {}, 0}};
    std::int32_t status = -1;
    EXPECT_TRUE(user.EnumerateUsers(&status).empty());
    EXPECT_EQ(status, 0);
    EXPECT_EQ(net.Outstanding(), 0);
}

TEST_F(EnumerateUsers, AFailureInTheFirstBatchGivesAnEmptyList) {
    net.batches = {EnumBatch{win::ERROR_BAD_NETPATH, {}, 0}};
    std::int32_t status = 0;
    EXPECT_TRUE(user.EnumerateUsers(&status).empty());
    EXPECT_EQ(status, 53);
    EXPECT_EQ(net.Frees(), 0);
}

TEST_F(EnumerateUsers, AFailureInALaterBatchDropsTheEarlierNames) {
    net.batches = {EnumBatch{234, {u"a", u"b"}, 5}, EnumBatch{234, {u"c"}, 9},
                   EnumBatch{win::RPC_S_SERVER_UNAVAILABLE, {u"junk"}, 0, true}};
    std::int32_t status = 0;
    EXPECT_TRUE(user.EnumerateUsers(&status).empty());
    EXPECT_EQ(status, 1722);
    EXPECT_EQ(net.calls.size(), 3u);
    EXPECT_EQ(net.Allocations(), 3);
    EXPECT_EQ(net.Outstanding(), 0); // the failed call's buffer is released too
}

TEST_F(EnumerateUsers, WorksWithoutAStatusOutput) {
    net.batches = {EnumBatch{234, {u"a"}, 1}, EnumBatch{0, {u"b"}, 0}};
    EXPECT_EQ(user.EnumerateUsers(), (Names{u"a", u"b"}));
}

TEST_F(EnumerateUsers, KeepsNamesAsThePlatformGivesThem) {
    net.batches = {EnumBatch{0, {u" padded ", u"", u"\u00C4rger"}, 0}};
    EXPECT_EQ(user.EnumerateUsers(), (Names{u" padded ", u"", u"\u00C4rger"}));
}

TEST_F(EnumerateUsers, GivesUpOnAPlatformThatNeverMovesOn) {
    net.batches = {EnumBatch{234, {u"a"}, 3}, EnumBatch{234, {}, 3}};
    std::int32_t status = 0;
    EXPECT_TRUE(user.EnumerateUsers(&status).empty());
    EXPECT_EQ(status, 234);
    EXPECT_EQ(net.calls.size(), 1u + CNetUser::kMaxStalledEnumerationCalls);
    EXPECT_EQ(net.Outstanding(), 0);
}

TEST_F(EnumerateUsers, EmptyBatchesThatMoveTheHandleAreProgress) {
    std::deque<EnumBatch> batches;
    for (win::DWORD i = 1; i <= 40; ++i)
        batches.push_back(EnumBatch{234, {}, i});
    batches.push_back(EnumBatch{0, {u"last"}, 0});
    net.batches = batches;
    std::int32_t status = -1;
    EXPECT_EQ(user.EnumerateUsers(&status), (Names{u"last"}));
    EXPECT_EQ(status, 0);
}

TEST_F(EnumerateUsers, AStalledRunIsForgivenOnceTheHandleMoves) {
    std::deque<EnumBatch> batches;
    for (int i = 0; i < 15; ++i)
        batches.push_back(EnumBatch{234, {}, 0});
    batches.push_back(EnumBatch{234, {u"a"}, 4});
    for (int i = 0; i < 15; ++i)
        batches.push_back(EnumBatch{234, {}, 4});
    batches.push_back(EnumBatch{0, {u"b"}, 0});
    net.batches = batches;
    EXPECT_EQ(user.EnumerateUsers(), (Names{u"a", u"b"}));
}
