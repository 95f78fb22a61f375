// Enumerations the platform answers in several batches: resumed by its
// handle, given up on a failure, never a partial list, every buffer freed.
#include "FakeNetApi.h"
#include "account/CNetUser.h"
#include "common/FakeSystem.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace tw;
using tw::test::EnumBatch;
using tw::test::FakeNetApi;

using Names = std::vector<std::u16string>;

namespace {

std::deque<EnumBatch> Repeat(int times, EnumBatch batch, std::deque<EnumBatch> then = {}) {
    then.insert(then.begin(), static_cast<std::size_t>(times), batch);
    return then;
}

std::deque<EnumBatch> EmptyBatchesMovingTheHandle() {
    std::deque<EnumBatch> batches;
    for (win::DWORD i = 1; i <= 40; ++i)
        batches.push_back(EnumBatch{234, {}, i});
    batches.push_back(EnumBatch{0, {u"last"}, 0});
    return batches;
}

} // namespace

struct EnumerateCase {
    const char* name;
    std::deque<EnumBatch> batches;
    FakeNetApi::Buffers buffers;
    Names names;
    std::int32_t status;
    std::vector<win::DWORD> resumesIn; // empty: not checked
};

void PrintTo(const EnumerateCase& c, std::ostream* os) {
    *os << c.name;
}

class EnumerateUsers : public testing::TestWithParam<EnumerateCase> {};

TEST_P(EnumerateUsers, GivesTheWholeListOrNothing) {
    FakeNetApi net;
    test::FakeSystem system;
    CNetUser user(net, system);
    net.batches = GetParam().batches;
    net.buffers = GetParam().buffers;
    std::int32_t status = -1;
    EXPECT_EQ(user.EnumerateUsers(&status), GetParam().names);
    EXPECT_EQ(status, GetParam().status);
    if (!GetParam().resumesIn.empty()) {
        std::vector<win::DWORD> resumes;
        for (const auto& call : net.calls)
            resumes.push_back(call.resumeIn);
        EXPECT_EQ(resumes, GetParam().resumesIn);
    }
    EXPECT_EQ(net.Outstanding(), 0);
    EXPECT_EQ(net.BadFrees(), 0);
    net.batches = GetParam().batches;
    EXPECT_EQ(user.EnumerateUsers(), GetParam().names); // the status may be left out
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, EnumerateUsers,
    testing::Values(EnumerateCase{"BatchesInOrderNamesAsGiven",
                                  {{234, {u"zed", u"Alice"}, 7},
                                   {234, {u"bob"}, 19},
                                   {234, {}, 23},
                                   {0, {u"Carol", u"alice", u" padded ", u""}, 0}},
                                  FakeNetApi::Buffers::OnSuccess,
                                  {u"zed", u"Alice", u"bob", u"Carol", u"alice", u" padded ", u""},
                                  0,
                                  {0, 7, 19, 23}},
                    EnumerateCase{"ALaterFailureDropsTheEarlierNamesAndFreesItsBuffer",
                                  {{234, {u"a", u"b"}, 5}, {234, {u"c"}, 9}, {1722, {u"junk"}, 0}},
                                  FakeNetApi::Buffers::AlsoOnFailure,
                                  {},
                                  1722,
                                  {0, 5, 9}},
                    EnumerateCase{"EmptyBatchesThatMoveTheHandleAreProgress",
                                  EmptyBatchesMovingTheHandle(),
                                  FakeNetApi::Buffers::OnSuccess,
                                  Names{u"last"},
                                  0,
                                  {}},
                    EnumerateCase{"AStalledRunIsForgivenOnceTheHandleMoves",
                                  Repeat(15, {234, {}, 0},
                                         Repeat(1, {234, {u"a"}, 4},
                                                Repeat(15, {234, {}, 4}, {{0, {u"b"}, 0}}))),
                                  FakeNetApi::Buffers::OnSuccess,
                                  Names{u"a", u"b"},
                                  0,
                                  {}},
                    EnumerateCase{"RecordsPromisedWithoutABufferAreAFailure",
                                  {{0, {u"a"}, 0}},
                                  FakeNetApi::Buffers::Never,
                                  {},
                                  13,
                                  {}}),
    [](const testing::TestParamInfo<EnumerateCase>& info) { return std::string(info.param.name); });
