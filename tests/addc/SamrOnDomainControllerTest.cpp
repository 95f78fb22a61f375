// The SAMR backend against a Samba Active Directory domain controller: what
// it hands out and writes, checked against the directory itself (ldbsearch on
// sam.ldb, samba-tool) and against real logons, NTLM and Kerberos.
#include "DomainController.h"
#include "servers/SamrCalls.h"

#include <string>

namespace tw::test {
namespace {

using namespace win;
using samr::SamrNetApi;

class SamrOnDomainController : public SamrCalls {
protected:
    DomainController& dc = SharedDomainController();

    // Accounts of this test alone, gone after it.
    void add(const std::vector<std::pair<std::string, std::uint32_t>>& accounts) {
        changes_.add(accounts, kPassword);
    }
    SamrNetApi& net(samr::SamrConnection c = {}) {
        return connect(c.user.empty() ? dc.connectionAs() : std::move(c));
    }
    std::int64_t control(const std::string& name) {
        return dc.accountNumber(name, "userAccountControl");
    }

    static constexpr const char* kPassword = "Account-pw1";

private:
    DomainChanges changes_{dc};
};

// "User cannot change password" is the user object's DACL, as Windows keeps
// it: deny ACEs of the right for Everyone and SELF before all others, which
// the DC then holds against the user's own change; granting it again takes
// them away. Owner, group and SACL stay as they were. A right denied with
// samba-tool reads as denied.
TEST_F(SamrOnDomainController, TheChangePasswordRightIsTheUserObjectsDacl) {
    add({{"dan", uac::kNormal}, {"eve", uac::kNormal}});
    net();
    EXPECT_EQ(net_->ChangePasswordRight(nullptr, u"dan").keeper,
              samr::ChangeRightKeeper::Directory);
    const std::string before = dc.descriptor("dan");
    const std::string deny = "(OD;;CR;ab721a53-1e2f-11d0-9819-00aa0040529b;;";
    ASSERT_EQ(setFlags(u"dan", 0x201 | UF_PASSWD_CANT_CHANGE), 0u);
    EXPECT_EQ(info(u"dan").usri3_flags, 0x201u | UF_PASSWD_CANT_CHANGE);
    const std::string denied = dc.descriptor("dan");
    const auto dacl = denied.find("D:");
    ASSERT_NE(dacl, std::string::npos) << denied;
    EXPECT_EQ(denied.substr(dacl, 5 + 2 * (deny.size() + 3)), "D:AI" + deny + "WD)" + deny + "PS)(")
        << denied;
    EXPECT_EQ(denied.find("(OA;;CR;ab721a53-1e2f-11d0-9819-00aa0040529b;;"), std::string::npos)
        << "the allow ACEs of the right go";
    EXPECT_EQ(denied.substr(0, dacl), before.substr(0, before.find("D:"))) << "owner and group";
    EXPECT_EQ(denied.substr(denied.find("S:")), before.substr(before.find("S:"))) << "SACL";
    EXPECT_EQ(control("dan"), uac::kNormal);
    EXPECT_FALSE(dc.changeOwnPassword("dan", kPassword, "Changed-pw1"));
    EXPECT_NE(dc.lastOutput().find("NT_STATUS_ACCESS_DENIED"), std::string::npos)
        << dc.lastOutput();

    ASSERT_EQ(setFlags(u"dan", 0x201), 0u);
    EXPECT_EQ(info(u"dan").usri3_flags, 0x201u);
    EXPECT_EQ(dc.descriptor("dan").find(deny), std::string::npos);
    EXPECT_TRUE(dc.changeOwnPassword("dan", kPassword, "Changed-pw2")) << dc.lastOutput();
    EXPECT_TRUE(dc.logon("dan", "Changed-pw2")) << dc.lastOutput();

    dc.denyPasswordChange("eve");
    EXPECT_EQ(info(u"eve").usri3_flags, 0x201u | UF_PASSWD_CANT_CHANGE);
}

// By the DC's name, a password signs in to the directory with a Kerberos
// ticket made from it in memory, though SAMR itself signed in with NTLM (the
// ticket cache's way: the conformance suite's Kerberos rows).
TEST_F(SamrOnDomainController, ByItsNameAPasswordReachesTheDirectoryWithKerberos) {
    add({{"gil", uac::kNormal}});
    samr::SamrConnection connection = dc.connectionAs();
    connection.localHost = dc.host();
    net(std::move(connection));
    ASSERT_EQ(setFlags(u"gil", 0x201 | UF_PASSWD_CANT_CHANGE), 0u);
    EXPECT_EQ(info(u"gil").usri3_flags, 0x201u | UF_PASSWD_CANT_CHANGE);
    const samr::ChangeRight right = net_->ChangePasswordRight(nullptr, u"gil");
    EXPECT_EQ(right.keeper, samr::ChangeRightKeeper::Directory);
    EXPECT_NE(right.detail.find("Kerberos (password)"), std::string::npos) << right.detail;
}

// A server whose SAMR answers but whose directory cannot be reached (here
// the DC's SMB port alone, relayed to another loopback address): the right
// is out of reach, the account reads as SAMR shows it, and a write of the
// right fails with 50 before any bit is written.
TEST_F(SamrOnDomainController, WithoutTheDirectoryTheRightIsOutOfReachAndNothingIsWritten) {
    add({{"fay", uac::kNormal}});
    PortRelay smb("127.0.0.2", 445);
    auto connection = dc.connectionAs();
    connection.localHost = "127.0.0.2";
    net(std::move(connection));
    EXPECT_EQ(info(u"fay").usri3_flags, 0x201u);
    const samr::ChangeRight right = net_->ChangePasswordRight(nullptr, u"fay");
    EXPECT_EQ(right.keeper, samr::ChangeRightKeeper::OutOfReach);
    EXPECT_EQ(right.status, ERROR_NOT_SUPPORTED);
    EXPECT_NE(right.detail, "");
    EXPECT_EQ(setFlags(u"fay", 0x201 | UF_ACCOUNTDISABLE | UF_PASSWD_CANT_CHANGE),
              ERROR_NOT_SUPPORTED);
    EXPECT_EQ(control("fay"), uac::kNormal) << "nothing written";
    EXPECT_EQ(setFlags(u"fay", 0x201 | UF_ACCOUNTDISABLE), 0u) << "the bits alone are";
    EXPECT_EQ(control("fay"), uac::kNormal | uac::kDisabled);
    net_.reset(); // before the relay goes
}

// A directory connection that goes away (its relay stopped) fails the write
// of the right before any bit is written; the next read opens a new one.
TEST_F(SamrOnDomainController, ALostDirectoryIsOpenedAgain) {
    add({{"hal", uac::kNormal}});
    PortRelay smb("127.0.0.3", 445);
    auto ldap = std::make_unique<PortRelay>("127.0.0.3", 389);
    auto connection = dc.connectionAs();
    connection.localHost = "127.0.0.3";
    net(std::move(connection));
    EXPECT_EQ(info(u"hal").usri3_flags, 0x201u);
    EXPECT_EQ(net_->ChangePasswordRight(nullptr, u"hal").keeper,
              samr::ChangeRightKeeper::Directory);
    ldap.reset();
    EXPECT_EQ(setFlags(u"hal", 0x201 | UF_ACCOUNTDISABLE | UF_PASSWD_CANT_CHANGE),
              ERROR_NOT_SUPPORTED);
    EXPECT_EQ(control("hal"), uac::kNormal) << "nothing written";
    ldap = std::make_unique<PortRelay>("127.0.0.3", 389);
    ASSERT_EQ(setFlags(u"hal", 0x201 | UF_ACCOUNTDISABLE | UF_PASSWD_CANT_CHANGE), 0u);
    EXPECT_EQ(info(u"hal").usri3_flags, 0x201u | UF_ACCOUNTDISABLE | UF_PASSWD_CANT_CHANGE);
    EXPECT_EQ(control("hal"), uac::kNormal | uac::kDisabled);
    net_.reset();
}

// The directory keeps policy times in units of 100 ns: seconds that are no
// whole minutes are kept as they are (a standalone server rounds them).
// A listing at level 20 shows a lockout the DC made after real bad logons,
// a disabled account and an expired password as level 3 does.
TEST_F(SamrOnDomainController, Level20ShowsLockoutDisabledAndExpiredAsLevel3Does) {
    add({{"locked", uac::kNormal}, {"off", uac::kNormal | uac::kDisabled}, {"on", uac::kNormal}});
    dc.setDomainAttributes({{"lockoutThreshold", "2"},
                            {"lockoutDuration", "-18000000000"},
                            {"lockOutObservationWindow", "-18000000000"}});
    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(dc.logon("locked", "wrong"));
    net();
    ASSERT_EQ(setFlags(u"on", 0x201 | UF_PASSWORD_EXPIRED), 0u);
    const auto listed = level20FlagsAsLevel3();
    ASSERT_EQ(listed.size(), dc.normalAccounts().size());
    EXPECT_NE(listed.at(u"locked") & UF_LOCKOUT, 0u);
    EXPECT_NE(listed.at(u"off") & UF_ACCOUNTDISABLE, 0u);
    EXPECT_NE(listed.at(u"on") & UF_PASSWORD_EXPIRED, 0u);
}

TEST_F(SamrOnDomainController, PolicyTimesAreKeptToTheSecond) {
    net();
    USER_MODALS_INFO_3 level3{3690, 1830, 3};
    ASSERT_EQ(net_->NetUserModalsSet(nullptr, 3, reinterpret_cast<LPBYTE>(&level3), nullptr), 0u);
    const auto read = policy();
    EXPECT_EQ(std::vector<DWORD>(read.begin() + 5, read.end()),
              (std::vector<DWORD>{3690, 1830, 3}));
    const auto domain = dc.domainAttributes();
    EXPECT_EQ(domain.at("lockoutDuration"), "-36900000000");
    EXPECT_EQ(domain.at("lockOutObservationWindow"), "-18300000000");
}

// NTLM logons over SMB leave the logon count alone; each Kerberos logon
// counts (twice: the ticket and the service ticket of kinit's check).
TEST_F(SamrOnDomainController, LogonCountsAreTheDirectorysOwn) {
    add({{"lou", uac::kNormal}});
    net();
    ASSERT_TRUE(dc.logon("lou", kPassword)) << dc.lastOutput();
    EXPECT_EQ(dc.accountNumber("lou", "logonCount"), 0);
    EXPECT_EQ(info(u"lou").usri3_num_logons, 0u);
    ASSERT_TRUE(dc.kinit("lou", kPassword)) << dc.lastOutput();
    const auto counted = dc.accountNumber("lou", "logonCount");
    EXPECT_GT(counted, 0);
    EXPECT_EQ(info(u"lou").usri3_num_logons, static_cast<DWORD>(counted));
}

TEST_F(SamrOnDomainController, StatusCodesAreWindowsOnes) {
    add({{"alice", uac::kNormal}, {"bob", uac::kNormal}});
    // Not an administrator: reads, but writes are refused.
    net(dc.connectionAs("alice", kPassword));
    info(u"bob");
    EXPECT_EQ(setFlags(u"bob", 0x203), ERROR_ACCESS_DENIED);
    EXPECT_EQ(setFlags(u"bob", 0x201 | UF_PASSWD_CANT_CHANGE), ERROR_ACCESS_DENIED)
        << "the directory refuses the DACL";
    EXPECT_EQ(dc.descriptor("bob").find("(OD;"), std::string::npos);
    USER_MODALS_INFO_3 level3{1800, 900, 4};
    EXPECT_EQ(net_->NetUserModalsSet(nullptr, 3, reinterpret_cast<LPBYTE>(&level3), nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(control("bob"), uac::kNormal);
    // A wrong password.
    net(dc.connectionAs("alice", "wrong"));
    info(u"bob", ERROR_LOGON_FAILURE);
}

} // namespace
} // namespace tw::test
