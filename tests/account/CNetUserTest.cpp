// CNetUser over a scripted network-management layer: the account, the
// policy, and enumerations the platform answers in several batches: resumed
// by its handle, given up on a failure, never a partial list, every buffer
// freed, and never hanging the window on a platform that answers "more data"
// for ever. The server argument: scenarios/target/server-argument-forms.json.
#include "account/CNetUser.h"
#include "FakeNetApi.h"
#include "common/NamesSystem.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

using namespace tw;
using tw::test::EnumBatch;
using tw::test::FakeNetApi;
using tw::test::NamesSystem;
using Names = std::vector<std::u16string>;

namespace {

class CNetUserTest : public testing::Test {
protected:
    FakeNetApi net;
    NamesSystem system;
    CNetUser user{net, system};

    void ScriptAccount() {
        net.account.usri3_password_age = 0xFFFFFFF0u;
        net.account.usri3_priv = 1;
        net.account.usri3_flags = 0x10211;
        net.account.usri3_auth_flags = 4;
        net.account.usri3_last_logon = 86400;
        net.account.usri3_last_logoff = 43200;
        net.account.usri3_acct_expires = 0xFFFFFFFFu;
        net.account.usri3_bad_pw_count = 3;
        net.account.usri3_num_logons = 17;
        net.account.usri3_password_expired = 5;
    }
    void ExpectScriptedAccount() {
        EXPECT_EQ(user.UserName(), u"Alice"); // the platform's form
        EXPECT_EQ(user.PasswordAge(), -16);
        EXPECT_EQ(user.Privilege(), 1);
        EXPECT_EQ(user.Flags(), 0x10211);
        EXPECT_EQ(user.AuthFlags(), 4);
        EXPECT_EQ(user.LastLogon(), 86400);
        EXPECT_EQ(user.LastLogoff(), 43200);
        EXPECT_EQ(user.AcctExpires(), -1);
        EXPECT_EQ(user.BadPasswordCount(), 3);
        EXPECT_EQ(user.NumLogons(), 17);
        EXPECT_TRUE(user.PasswordExpired());
    }
};

template <typename Row>
class CNetUserRows : public CNetUserTest, public testing::WithParamInterface<Row> {};

TEST_F(CNetUserTest, AFailedRefreshKeepsThePreviousAccountAndFreesTheBuffer) {
    ScriptAccount();
    user.SetUserName(u"alice");
    EXPECT_EQ(user.UserName(), u""); // until a refresh succeeds
    std::int32_t status = -1;
    ASSERT_TRUE(user.RefreshUser(&status));
    EXPECT_EQ(status, 0);
    ExpectScriptedAccount();

    net.getInfoStatus = win::NERR_UserNotFound;
    net.buffers = FakeNetApi::Buffers::AlsoOnFailure;
    net.accountName = u"Nobody";
    net.account = {};
    EXPECT_FALSE(user.RefreshUser(&status));
    EXPECT_EQ(status, 2221);
    ExpectScriptedAccount();
    EXPECT_EQ(net.Outstanding(), 0);
    EXPECT_EQ(net.BadFrees(), 0);
}

// Success without a record: each get call reports ERROR_INVALID_DATA and
// leaves what was stored.
TEST_F(CNetUserTest, ASuccessWithoutARecordCountsAsAFailure) {
    ScriptAccount();
    ASSERT_TRUE(user.RefreshUser());
    net.buffers = FakeNetApi::Buffers::Never;
    std::int32_t status = 0;
    EXPECT_FALSE(user.RefreshUser(&status));
    EXPECT_EQ(status, 13);
    ExpectScriptedAccount();
    EXPECT_FALSE(user.RefreshModals(&status));
    EXPECT_EQ(status, 13);
    EXPECT_EQ(user.LoadedModals(), UserModals{});
    EXPECT_FALSE(user.ModalsChanged());
}

struct ExpiryCase {
    win::DWORD seconds;
    std::int32_t serial;
};

void PrintTo(const ExpiryCase& c, std::ostream* os) {
    *os << c.seconds << " s";
}

class AcctExpiresDate : public CNetUserRows<ExpiryCase> {};

TEST_P(AcctExpiresDate, RoundsHalfToEven) {
    net.account.usri3_acct_expires = GetParam().seconds;
    ASSERT_TRUE(user.RefreshUser());
    EXPECT_EQ(user.AcctExpiresDate(), GetParam().serial) << GetParam().seconds;
}

INSTANTIATE_TEST_SUITE_P(
    Serials, AcctExpiresDate,
    testing::Values(ExpiryCase{0, 25569}, ExpiryCase{43199, 25569},
                    ExpiryCase{43200, 25570},         // 25569.5: to the even 25570
                    ExpiryCase{86400 + 43200, 25570}, // 25570.5: stays on the even 25570
                    ExpiryCase{86400 + 43201, 25571}, ExpiryCase{0xFFFFFFFFu, 25569},
                    ExpiryCase{0xFFFF5740u, 25568}, // -43200 s: 25568.5 stays even
                    ExpiryCase{0x80000000u, 25569 - 24855}));

// The names of the running user and computer, whatever size the platform
// reports: the user name's size counts the NUL, the computer name's does not.
struct NameCase {
    std::optional<std::u16string> name;
    std::optional<win::DWORD> sizeReported;
    std::u16string userName;     // as the user name
    std::u16string computerName; // as the computer name
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << (c.name ? c.name->size() : 0) << " characters, size "
        << (c.sizeReported ? *c.sizeReported : 0);
}

class CurrentNames : public CNetUserRows<NameCase> {};

TEST_P(CurrentNames, TakeWhatFitsTheirBuffers) {
    system.userName = system.computerName = GetParam().name;
    if (GetParam().sizeReported)
        system.userNameSizeReported = system.computerNameSizeReported = *GetParam().sizeReported;
    EXPECT_EQ(user.CurrentUserName(), GetParam().userName);
    EXPECT_EQ(user.CurrentMachineName(), GetParam().computerName);
    EXPECT_EQ(system.userNameSizeOffered, 257u);
    EXPECT_EQ(system.computerNameSizeOffered, 16u);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CurrentNames,
    testing::Values(
        NameCase{u"WORKSTATION", std::nullopt, u"WORKSTATION", u"WORKSTATION"},
        NameCase{u"alice", 3, u"al", u"ali"}, NameCase{std::nullopt, std::nullopt, u"", u""},
        NameCase{u"ABCDEFGHIJKLMNO", std::nullopt, u"ABCDEFGHIJKLMNO", u"ABCDEFGHIJKLMNO"},
        NameCase{u"ABCDEFGHIJKLMNOP", std::nullopt, u"ABCDEFGHIJKLMNOP", u""},
        NameCase{std::u16string(256, u'u'), std::nullopt, std::u16string(256, u'u'), u""},
        NameCase{std::u16string(257, u'u'), std::nullopt, u"", u""},
        // Found by fuzzing: a size beyond the buffer took the NUL (or what lay
        // behind the name) into it.
        NameCase{u"WS01", 1000, std::u16string(u"WS01") + std::u16string(252, u'\0'),
                 std::u16string(u"WS01") + std::u16string(11, u'\0')}));

std::deque<EnumBatch> Repeat(int times, EnumBatch batch, std::deque<EnumBatch> then = {}) {
    then.insert(then.begin(), static_cast<std::size_t>(times), batch);
    return then;
}

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

class EnumerateUsers : public CNetUserRows<EnumerateCase> {};

TEST_P(EnumerateUsers, GivesTheWholeListOrNothing) {
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

const UserModals kPolicy{7, -1, 86400, -2, 24, 1800, 900, 5};

void ScriptPolicy(FakeNetApi& net) {
    net.modals0 = {7, 0xFFFFFFFFu, 86400, 0xFFFFFFFEu, 24};
    net.modals3 = {1800, 900, 5};
}

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

class ModalsReadFailure : public CNetUserRows<ReadFailure> {};

TEST_P(ModalsReadFailure, KeepsWhatWasNotRead) {
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

// Read again before a write, keeping the changes made here and nothing of a
// failed read: scenarios/policy/set-keeps-server-changes.json and
// failed-reread-takes-nothing-over.json.
TEST_F(CNetUserTest, ModalsSetWritesBothLevelsWithForceLogoffCarriedAndChangesNeitherRecord) {
    ScriptPolicy(net);
    ASSERT_TRUE(user.RefreshModals());
    user.SetModalsMaxPwdAge(-1);
    user.SetModalsMinPwdLen(12);
    user.SetModalsLockoutDuration(3600);
    EXPECT_TRUE(user.ModalsChanged());
    std::int32_t status = -1;
    EXPECT_TRUE(user.SetModals(&status));
    EXPECT_EQ(status, 0);
    ASSERT_EQ(net.calls.size(), 4u); // the two reads, then the two writes with their values
    EXPECT_EQ(net.calls[2].level, 0u);
    EXPECT_EQ(net.calls[2].values,
              (std::vector<win::DWORD>{12, 0xFFFFFFFFu, 86400, 0xFFFFFFFEu, 24}));
    EXPECT_EQ(net.calls[3].level, 3u);
    EXPECT_EQ(net.calls[3].values, (std::vector<win::DWORD>{3600, 900, 5}));
    EXPECT_EQ(user.LoadedModals(), kPolicy);
    EXPECT_TRUE(user.ModalsChanged());
}

enum class Shape {
    NewNameEachTime,    // one name per batch, the handle moves
    EmptyButMoving,     // no names, the handle moves
    SameNamesSameHandle // the same two names, the handle stays
};

// Answers every NetUserEnum with ERROR_MORE_DATA in the given shape, up to a
// call that may finish the enumeration.
void Script(FakeNetApi& net, Shape shape, std::uint32_t finishAtCall = 0) {
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
    std::uint32_t finishAtCall; // 0: never
    std::size_t names;
};

void PrintTo(const EndlessCase& c, std::ostream* os) {
    *os << c.name;
}

class EnumerationLimit : public CNetUserRows<EndlessCase> {};

TEST_P(EnumerationLimit, GivesUpWithAnEmptyListAndMoreDataUnlessTheLastAllowedCallEnds) {
    Script(net, GetParam().shape, GetParam().finishAtCall);
    const bool ends = GetParam().finishAtCall != 0;
    std::int32_t status = -1;
    EXPECT_EQ(user.EnumerateUsers(&status).size(), GetParam().names);
    EXPECT_EQ(status, ends ? 0 : static_cast<std::int32_t>(win::ERROR_MORE_DATA));
    EXPECT_EQ(net.enumCalls, ends ? GetParam().finishAtCall : CNetUser::kMaxEnumerationCalls);
    EXPECT_EQ(net.Outstanding(), 0);
    EXPECT_EQ(net.BadFrees(), 0);
}

constexpr std::uint32_t kLast = CNetUser::kMaxEnumerationCalls;

INSTANTIATE_TEST_SUITE_P(
    ForEver, EnumerationLimit,
    testing::Values(
        // Stuck (nothing new, the same handle) is given up on sooner:
        // scenarios/target/list-never-finishes.json.
        // Progress for ever: stopped by the number of calls.
        EndlessCase{"NewNameEachTime", Shape::NewNameEachTime, 0, 0},
        EndlessCase{"EmptyButMoving", Shape::EmptyButMoving, 0, 0},
        EndlessCase{"SameNamesSameHandle", Shape::SameNamesSameHandle, 0, 0},
        EndlessCase{"EndsOnTheLastAllowedCall", Shape::NewNameEachTime, kLast, kLast},
        // Past the stalled limit, empty batches that move the handle still end the list.
        EndlessCase{"EmptyBatchesThatMoveTheHandleAreProgress", Shape::EmptyButMoving, 41, 1}),
    [](const testing::TestParamInfo<EndlessCase>& info) { return std::string(info.param.name); });

} // namespace
