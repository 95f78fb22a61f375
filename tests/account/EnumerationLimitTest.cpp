// A platform that answers "more data" for ever must not hang the window:
// neither one that is stuck (nothing new, the same handle) nor one that keeps
// making progress (new names or a new handle every time).
#include "account/CNetUser.h"
#include "common/FakeSystem.h"
#include "platform/NetBuffer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace tw;

// Answers every NetUserEnum with ERROR_MORE_DATA in the shape asked for, up to
// a call that may finish the enumeration. Kept lean (no call log) because the
// limit is a million calls.
class EndlessNetApi : public win::INetApi {
public:
    enum class Shape {
        Stuck,              // no names, the same handle
        NewNameEachTime,    // one name per batch, the handle moves
        EmptyButMoving,     // no names, the handle moves
        SameNamesSameHandle // the same two names, the handle stays
    };

    explicit EndlessNetApi(Shape shape, std::uint32_t finishAtCall = 0)
        : shape_(shape), finishAtCall_(finishAtCall) {}
    ~EndlessNetApi() override {
        for (void* p : live_)
            std::free(p);
    }

    std::uint32_t calls = 0;
    int Outstanding() const { return static_cast<int>(live_.size()); }
    int badFrees = 0;

    win::NET_API_STATUS NetUserEnum(win::LPCWSTR, win::DWORD, win::DWORD, win::LPBYTE* buffer,
                                    win::DWORD, win::LPDWORD entriesRead, win::LPDWORD totalEntries,
                                    win::PDWORD resumeHandle) override {
        ++calls;
        const bool last = calls == finishAtCall_;
        std::vector<std::u16string> names;
        if (last || shape_ == Shape::NewNameEachTime)
            names = {u"u" + std::u16string(1, static_cast<char16_t>(u'a' + calls % 26))};
        else if (shape_ == Shape::SameNamesSameHandle)
            names = {u"alice", u"bob"};
        *buffer = place(names);
        *entriesRead = static_cast<win::DWORD>(names.size());
        *totalEntries = *entriesRead + 1;
        if (last) {
            *resumeHandle = 0;
            return win::NERR_Success;
        }
        if (shape_ == Shape::NewNameEachTime || shape_ == Shape::EmptyButMoving)
            *resumeHandle = calls;
        return win::ERROR_MORE_DATA;
    }
    win::NET_API_STATUS NetUserGetInfo(win::LPCWSTR, win::LPCWSTR, win::DWORD,
                                       win::LPBYTE*) override {
        return 50;
    }
    win::NET_API_STATUS NetUserSetInfo(win::LPCWSTR, win::LPCWSTR, win::DWORD, win::LPBYTE,
                                       win::LPDWORD) override {
        return 50;
    }
    win::NET_API_STATUS NetUserModalsGet(win::LPCWSTR, win::DWORD, win::LPBYTE*) override {
        return 50;
    }
    win::NET_API_STATUS NetUserModalsSet(win::LPCWSTR, win::DWORD, win::LPBYTE,
                                         win::LPDWORD) override {
        return 50;
    }
    win::NET_API_STATUS NetApiBufferFree(win::LPVOID buffer) override {
        for (std::size_t i = 0; i < live_.size(); ++i) {
            if (live_[i] == buffer) {
                std::free(buffer);
                live_[i] = live_.back();
                live_.pop_back();
                return 0;
            }
        }
        ++badFrees;
        return win::ERROR_INVALID_PARAMETER;
    }

private:
    win::LPBYTE place(const std::vector<std::u16string>& names) {
        win::NetBufferBuilder<win::USER_INFO_0> buffer(names.size());
        for (std::size_t i = 0; i < names.size(); ++i)
            buffer.addText(i, &win::USER_INFO_0::usri0_name, names[i]);
        return static_cast<win::LPBYTE>(buffer.build([this](std::size_t bytes) {
            void* p = std::malloc(bytes == 0 ? 1 : bytes);
            live_.push_back(p);
            return p;
        }));
    }

    Shape shape_;
    std::uint32_t finishAtCall_;
    std::vector<void*> live_;
};

struct EndlessCase {
    const char* name;
    EndlessNetApi::Shape shape;
    std::uint32_t expectedCalls;
};

class EnumerationLimit : public testing::TestWithParam<EndlessCase> {};

TEST_P(EnumerationLimit, GivesUpWithAnEmptyListAndMoreData) {
    EndlessNetApi net(GetParam().shape);
    test::FakeSystem system;
    CNetUser user(net, system);
    std::int32_t status = 0;
    EXPECT_TRUE(user.EnumerateUsers(&status).empty());
    EXPECT_EQ(status, static_cast<std::int32_t>(win::ERROR_MORE_DATA));
    EXPECT_EQ(net.calls, GetParam().expectedCalls);
    EXPECT_EQ(net.Outstanding(), 0);
    EXPECT_EQ(net.badFrees, 0);
}

INSTANTIATE_TEST_SUITE_P(
    ForEver, EnumerationLimit,
    testing::Values(
        // Stuck: nothing new and the same handle, given up on quickly.
        EndlessCase{"Stuck", EndlessNetApi::Shape::Stuck, CNetUser::kMaxStalledEnumerationCalls},
        // Progress for ever: stopped by the number of calls.
        EndlessCase{"NewNameEachTime", EndlessNetApi::Shape::NewNameEachTime,
                    CNetUser::kMaxEnumerationCalls},
        EndlessCase{"EmptyButMoving", EndlessNetApi::Shape::EmptyButMoving,
                    CNetUser::kMaxEnumerationCalls},
        EndlessCase{"SameNamesSameHandle", EndlessNetApi::Shape::SameNamesSameHandle,
                    CNetUser::kMaxEnumerationCalls}),
    [](const testing::TestParamInfo<EndlessCase>& info) { return std::string(info.param.name); });

TEST(EnumerationLimitEdge, AnEnumerationThatEndsOnTheLastAllowedCallIsComplete) {
    EndlessNetApi net(EndlessNetApi::Shape::NewNameEachTime, CNetUser::kMaxEnumerationCalls);
    test::FakeSystem system;
    CNetUser user(net, system);
    std::int32_t status = -1;
    const std::vector<std::u16string> names = user.EnumerateUsers(&status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(names.size(), CNetUser::kMaxEnumerationCalls);
    EXPECT_EQ(net.Outstanding(), 0);
}

} // namespace
