#include "account/CNetUser.h"
#include "FakeNetApi.h"
#include "common/FakeSystem.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

using namespace tw;
using tw::test::FakeNetApi;
using tw::test::FakeSystem;

class CNetUserTest : public testing::Test {
protected:
    FakeNetApi net;
    FakeSystem system;
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

struct ServerCase {
    const char16_t* text;
    std::optional<std::u16string> argument;
};

void PrintTo(const ServerCase& c, std::ostream* os) {
    *os << "server " << testing::PrintToString(std::u16string(c.text));
}

class ServerArgument : public testing::TestWithParam<ServerCase> {};

TEST_P(ServerArgument, IsDerivedFromTheServerText) {
    FakeNetApi net;
    FakeSystem system;
    CNetUser user(net, system);
    user.SetServer(GetParam().text);
    EXPECT_EQ(user.Server(), GetParam().text);
    user.RefreshUser();
    ASSERT_EQ(net.calls.size(), 1u);
    EXPECT_EQ(net.calls[0].server, GetParam().argument);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ServerArgument,
    // "" and a plain name: scenarios target/server-by-name and option-buttons-by-keyboard.
    testing::Values(ServerCase{u"\\\\srv", u"\\\\srv"}, ServerCase{u"\\srv", u"\\\\\\srv"},
                    ServerCase{u" srv ", u"\\\\ srv "}, ServerCase{u"\\\\", u"\\\\"}));

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

class AcctExpiresDate : public testing::TestWithParam<ExpiryCase> {};

TEST_P(AcctExpiresDate, RoundsHalfToEven) {
    FakeNetApi net;
    FakeSystem system;
    CNetUser user(net, system);
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

class CurrentNames : public testing::TestWithParam<NameCase> {};

TEST_P(CurrentNames, TakeWhatFitsTheirBuffers) {
    FakeNetApi net;
    FakeSystem system;
    CNetUser user(net, system);
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
