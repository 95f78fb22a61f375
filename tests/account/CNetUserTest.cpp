#include "account/CNetUser.h"
#include "FakeNetApi.h"
#include "common/FakeSystem.h"

#include <gtest/gtest.h>

#include <ostream>

#include <optional>
#include <string>

using namespace tw;
using tw::test::FakeNetApi;
using tw::test::FakeSystem;

namespace {

constexpr double kSecond = 1.0 / 86400.0;

} // namespace

class CNetUserTest : public testing::Test {
protected:
    FakeNetApi net;
    FakeSystem system;
    CNetUser user{net, system};

    void ScriptAccount() {
        net.accountName = u"Alice";
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
    EXPECT_EQ(user.ServerArg(), GetParam().argument);
    user.RefreshUser();
    ASSERT_EQ(net.calls.size(), 1u);
    EXPECT_EQ(net.calls[0].server, GetParam().argument);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ServerArgument,
    testing::Values(ServerCase{u"", std::nullopt}, ServerCase{u"srv", u"\\\\srv"},
                    ServerCase{u"\\\\srv", u"\\\\srv"}, ServerCase{u"\\srv", u"\\\\\\srv"},
                    ServerCase{u" srv ", u"\\\\ srv "}, ServerCase{u"\\\\", u"\\\\"}));

TEST_F(CNetUserTest, ANewObjectTargetsTheLocalComputerWithEmptyFields) {
    EXPECT_EQ(user.Server(), u"");
    EXPECT_FALSE(user.ServerArg().has_value());
    EXPECT_EQ(user.UserName(), u"");
    EXPECT_EQ(user.Flags(), 0);
    EXPECT_EQ(user.PasswordAge(), 0);
    EXPECT_FALSE(user.PasswordExpired());
    EXPECT_DOUBLE_EQ(user.LastLogonDate(), 25569.0);
}

TEST_F(CNetUserTest, ServerCanBeClearedAgain) {
    user.SetServer(u"srv");
    user.SetServer(u"");
    EXPECT_FALSE(user.ServerArg().has_value());
    user.EnumerateUsers();
    EXPECT_FALSE(net.calls.back().server.has_value());
}

TEST_F(CNetUserTest, UserNameStaysEmptyUntilARefreshSucceeds) {
    ScriptAccount();
    user.SetUserName(u"alice");
    EXPECT_EQ(user.UserName(), u"");
    EXPECT_TRUE(net.calls.empty()); // setting the name fetches nothing
    ASSERT_TRUE(user.RefreshUser());
    EXPECT_EQ(user.UserName(), u"Alice"); // the platform's form
    EXPECT_EQ(net.calls[0].user, u"alice");
    EXPECT_EQ(net.calls[0].level, 3u);
}

TEST_F(CNetUserTest, RefreshUserCopiesTheRecordAndFreesTheBuffer) {
    ScriptAccount();
    user.SetUserName(u"alice");
    std::int32_t status = -1;
    ASSERT_TRUE(user.RefreshUser(&status));
    EXPECT_EQ(status, 0);
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
    EXPECT_EQ(net.Allocations(), 1);
    EXPECT_EQ(net.Outstanding(), 0);
    EXPECT_EQ(net.BadFrees(), 0);
}

TEST_F(CNetUserTest, AFailedRefreshKeepsThePreviousAccountAndFreesTheBuffer) {
    ScriptAccount();
    user.SetUserName(u"alice");
    ASSERT_TRUE(user.RefreshUser());

    net.getInfoStatus = win::NERR_UserNotFound;
    net.getInfoBufferOnFailure = true;
    net.accountName = u"Nobody";
    net.account = {};
    user.SetUserName(u"nobody");
    std::int32_t status = 0;
    EXPECT_FALSE(user.RefreshUser(&status));
    EXPECT_EQ(status, 2221);
    EXPECT_EQ(user.UserName(), u"Alice");
    EXPECT_EQ(user.Flags(), 0x10211);
    EXPECT_EQ(user.PasswordAge(), -16);
    EXPECT_EQ(user.NumLogons(), 17);
    EXPECT_TRUE(user.PasswordExpired());
    EXPECT_EQ(net.Allocations(), 2);
    EXPECT_EQ(net.Outstanding(), 0);
}

TEST_F(CNetUserTest, AFailedRefreshWithoutABufferFreesNothing) {
    net.getInfoStatus = win::ERROR_ACCESS_DENIED;
    std::int32_t status = 0;
    EXPECT_FALSE(user.RefreshUser(&status));
    EXPECT_EQ(status, 5);
    EXPECT_EQ(net.Frees(), 0);
    EXPECT_EQ(net.BadFrees(), 0);
}

TEST_F(CNetUserTest, ASuccessWithoutARecordCountsAsAFailure) {
    ScriptAccount();
    ASSERT_TRUE(user.RefreshUser());
    net.getInfoNullBufferOnSuccess = true;
    std::int32_t status = 0;
    EXPECT_FALSE(user.RefreshUser(&status));
    EXPECT_EQ(status, 13);
    EXPECT_EQ(user.UserName(), u"Alice");
}

TEST_F(CNetUserTest, SetFlagsSendsLevel1008AndStoresNothing) {
    ScriptAccount();
    user.SetServer(u"srv");
    user.SetUserName(u"alice");
    ASSERT_TRUE(user.RefreshUser());
    std::int32_t status = -1;
    EXPECT_TRUE(user.SetFlags(0x800213, &status));
    EXPECT_EQ(status, 0);
    const auto& call = net.calls.back();
    EXPECT_EQ(call.function, "NetUserSetInfo");
    EXPECT_EQ(call.server, u"\\\\srv");
    EXPECT_EQ(call.user, u"alice");
    EXPECT_EQ(call.level, 1008u);
    ASSERT_EQ(call.values.size(), 1u);
    EXPECT_EQ(call.values[0], 0x800213u);
    EXPECT_TRUE(call.parameterErrorGiven);
    EXPECT_EQ(user.Flags(), 0x10211);
}

TEST_F(CNetUserTest, SetFlagsPassesAFailureThrough) {
    net.setInfoStatus = win::ERROR_ACCESS_DENIED;
    std::int32_t status = 0;
    EXPECT_FALSE(user.SetFlags(2, &status));
    EXPECT_EQ(status, 5);
    EXPECT_FALSE(user.SetFlags(2)); // the status may be left out
}

TEST(NetTimeToVbTime, CountsDaysFrom1899WithoutTimeZones) {
    EXPECT_EQ(CNetUser::NetTimeToVbTime(0), 25569.0);
    EXPECT_DOUBLE_EQ(CNetUser::NetTimeToVbTime(-1), 25569.0 - kSecond);
    EXPECT_DOUBLE_EQ(CNetUser::NetTimeToVbTime(86400), 25570.0);
    EXPECT_DOUBLE_EQ(CNetUser::NetTimeToVbTime(43200), 25569.5);
    EXPECT_DOUBLE_EQ(CNetUser::NetTimeToVbTime(INT32_MIN), 25569.0 - 2147483648.0 / 86400.0);
    EXPECT_LT(CNetUser::NetTimeToVbTime(INT32_MIN), 25569.0); // before 1970
    EXPECT_DOUBLE_EQ(CNetUser::NetTimeToVbTime(INT32_MAX), 25569.0 + 2147483647.0 / 86400.0);
}

TEST_F(CNetUserTest, DatesOfAnAccountThatNeverLoggedOnOrExpires) {
    ScriptAccount();
    net.account.usri3_last_logon = 0;
    net.account.usri3_last_logoff = 0;
    net.account.usri3_acct_expires = 0xFFFFFFFFu;
    ASSERT_TRUE(user.RefreshUser());
    EXPECT_EQ(user.LastLogonDate(), 25569.0);
    EXPECT_EQ(user.LastLogoffDate(), 25569.0);
    EXPECT_EQ(user.AcctExpiresDate(), 25569);
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

TEST_F(CNetUserTest, CurrentUserNameTakesTheSizeLessItsNul) {
    system.userName = u"alice";
    EXPECT_EQ(user.CurrentUserName(), u"alice");
    EXPECT_EQ(system.userNameSizeOffered, 257u);
    system.userNameSizeReported = 3; // counts the NUL: two characters
    EXPECT_EQ(user.CurrentUserName(), u"al");
}

TEST_F(CNetUserTest, CurrentUserNameTakes256CharactersAtMost) {
    system.userName = std::u16string(256, u'u');
    EXPECT_EQ(user.CurrentUserName(), std::u16string(256, u'u'));
    system.userName = std::u16string(257, u'u');
    EXPECT_EQ(user.CurrentUserName(), u"");
    system.userName.reset();
    EXPECT_EQ(user.CurrentUserName(), u"");
}

// Found by fuzzing: a size beyond the buffer took the NUL (or what lay
// behind the name) into it.
TEST_F(CNetUserTest, ANameSizeBeyondTheBufferTakesOnlyTheBuffersCharacters) {
    system.userName = u"alice";
    system.userNameSizeReported = 1000;
    EXPECT_EQ(user.CurrentUserName().size(), 256u);
    EXPECT_EQ(user.CurrentUserName().substr(0, 6), std::u16string(u"alice\0", 6));
    system.computerName = u"WS01";
    system.computerNameSizeReported = 1000;
    EXPECT_EQ(user.CurrentMachineName().size(), 15u);
    EXPECT_EQ(user.CurrentMachineName().substr(0, 5), std::u16string(u"WS01\0", 5));
}

TEST_F(CNetUserTest, CurrentMachineNameTakesTheSizeAsItIs) {
    system.computerName = u"WORKSTATION";
    EXPECT_EQ(user.CurrentMachineName(), u"WORKSTATION");
    EXPECT_EQ(system.computerNameSizeOffered, 16u);
    system.computerNameSizeReported = 3; // does not count the NUL: three characters
    EXPECT_EQ(user.CurrentMachineName(), u"WOR");
}

TEST_F(CNetUserTest, CurrentMachineNameTakes15CharactersAtMost) {
    system.computerName = u"ABCDEFGHIJKLMNO";
    EXPECT_EQ(user.CurrentMachineName(), u"ABCDEFGHIJKLMNO");
    system.computerName = u"ABCDEFGHIJKLMNOP";
    EXPECT_EQ(user.CurrentMachineName(), u"");
    system.computerName.reset();
    EXPECT_EQ(user.CurrentMachineName(), u"");
}
