// A platform that answers "more data" for ever must not hang the window:
// neither one that is stuck (nothing new, the same handle) nor one that keeps
// making progress (new names or a new handle every time).
#include "FakeNetApi.h"
#include "account/CNetUser.h"
#include "common/FakeSystem.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace tw;
using tw::test::EnumBatch;

enum class Shape {
    Stuck,              // no names, the same handle
    NewNameEachTime,    // one name per batch, the handle moves
    EmptyButMoving,     // no names, the handle moves
    SameNamesSameHandle // the same two names, the handle stays
};

// Answers every NetUserEnum with ERROR_MORE_DATA in the given shape, up to a
// call that may finish the enumeration.
void Script(test::FakeNetApi& net, Shape shape, std::uint32_t finishAtCall = 0) {
    net.logCalls = false;
    net.enumScript = [shape, finishAtCall](std::uint32_t call) {
        EnumBatch batch{win::ERROR_MORE_DATA, {}, 0};
        const bool moves = shape == Shape::NewNameEachTime || shape == Shape::EmptyButMoving;
        if (call == finishAtCall || shape == Shape::NewNameEachTime)
            batch.names = {u"u" + std::u16string(1, static_cast<char16_t>(u'a' + call % 26))};
        else if (shape == Shape::SameNamesSameHandle)
            batch.names = {u"alice", u"bob"};
        if (call == finishAtCall)
            batch.status = win::NERR_Success;
        else if (moves)
            batch.resumeOut = call;
        return batch;
    };
}

struct EndlessCase {
    const char* name;
    Shape shape;
    std::uint32_t expectedCalls;
};

void PrintTo(const EndlessCase& c, std::ostream* os) {
    *os << c.name;
}

class EnumerationLimit : public testing::TestWithParam<EndlessCase> {};

TEST_P(EnumerationLimit, GivesUpWithAnEmptyListAndMoreData) {
    test::FakeNetApi net;
    Script(net, GetParam().shape);
    test::FakeSystem system;
    CNetUser user(net, system);
    std::int32_t status = 0;
    EXPECT_TRUE(user.EnumerateUsers(&status).empty());
    EXPECT_EQ(status, static_cast<std::int32_t>(win::ERROR_MORE_DATA));
    EXPECT_EQ(net.enumCalls, GetParam().expectedCalls);
    EXPECT_EQ(net.Outstanding(), 0);
    EXPECT_EQ(net.BadFrees(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    ForEver, EnumerationLimit,
    testing::Values(
        // Stuck (nothing new, the same handle) is given up on sooner:
        // FaultSweep.AServerThatNeverFinishesItsListIsReported.
        // Progress for ever: stopped by the number of calls.
        EndlessCase{"NewNameEachTime", Shape::NewNameEachTime, CNetUser::kMaxEnumerationCalls},
        EndlessCase{"EmptyButMoving", Shape::EmptyButMoving, CNetUser::kMaxEnumerationCalls},
        EndlessCase{"SameNamesSameHandle", Shape::SameNamesSameHandle,
                    CNetUser::kMaxEnumerationCalls}),
    [](const testing::TestParamInfo<EndlessCase>& info) { return std::string(info.param.name); });

TEST(EnumerationLimitEdge, AnEnumerationThatEndsOnTheLastAllowedCallIsComplete) {
    test::FakeNetApi net;
    Script(net, Shape::NewNameEachTime, CNetUser::kMaxEnumerationCalls);
    test::FakeSystem system;
    CNetUser user(net, system);
    std::int32_t status = -1;
    const std::vector<std::u16string> names = user.EnumerateUsers(&status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(names.size(), CNetUser::kMaxEnumerationCalls);
    EXPECT_EQ(net.Outstanding(), 0);
}

} // namespace
