// A throw-away Samba Active Directory domain controller for tests: started
// from the domain template tests/addc/run-in-domain.sh provides, inside the
// private network, mount and PID namespaces that script made, so it answers
// on the standard ports of a loopback nobody else sees and writes only to
// tmpfs mounts that go with the namespace. The helpers give the DC accounts
// and policy and read them back with Samba's own tools (samba-tool, the ldb
// tools on its sam.ldb, smbclient and kinit logons), never through the code
// under test.
#pragma once

#include "platform/samr/SamrConnection.h"

#include <csignal>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tw::test {

// userAccountControl bits (the same numbers as the UF_ flags).
namespace uac {
constexpr std::uint32_t kDisabled = 0x2;
constexpr std::uint32_t kLockout = 0x10;
constexpr std::uint32_t kPasswordNotRequired = 0x20;
constexpr std::uint32_t kNormal = 0x200;
constexpr std::uint32_t kInterdomainTrust = 0x800;
constexpr std::uint32_t kWorkstationTrust = 0x1000;
constexpr std::uint32_t kServerTrust = 0x2000;
constexpr std::uint32_t kDontExpirePassword = 0x10000;
constexpr std::uint32_t kPasswordExpired = 0x800000;
} // namespace uac

class DomainController {
public:
    // Unpacks the template and starts the DC; throws when this process was
    // not started by run-in-domain.sh (the DC would write to the real
    // /var/lib/samba) or the DC does not answer.
    DomainController();
    ~DomainController();
    DomainController(const DomainController&) = delete;
    DomainController& operator=(const DomainController&) = delete;

    // The domain's NetBIOS name, its realm, the DC's host name and the base
    // of its directory (DC=ad,DC=...).
    const std::string& domain() const { return domain_; }
    const std::string& realm() const { return realm_; }
    const std::string& host() const { return host_; }
    const std::string& baseDn() const { return baseDn_; }
    const std::string& adminPassword() const { return adminPassword_; }
    static constexpr const char* kAdmin = "Administrator";

    // How to reach the DC signed in with a name and password (NTLM): the
    // administrator when none is named.
    samr::SamrConnection connectionAs(const std::string& user = {},
                                      const std::string& password = {}) const;
    // The administrator's connection as `-A FILE` makes it, or as `-k` does
    // after kinit (the DC by its name).
    samr::SamrConnection administratorConnection(bool kerberos) const;

    // Accounts made with one ldbadd on the DC's sam.ldb (objects of class
    // computer for trust accounts, user otherwise), all with `password` and
    // their userAccountControl as given; a DN each, in the given order.
    std::vector<std::string>
    addAccounts(const std::vector<std::pair<std::string, std::uint32_t>>& accounts,
                const std::string& password);
    // The DN of an account by its name.
    std::string accountDn(const std::string& name) const;
    // Objects gone, by DN (ldbdel).
    void remove(const std::vector<std::string>& dns);

    // samba-tool with the DC's configuration and database; throws when it fails
    // unless `status` takes its exit code.
    std::string sambaTool(std::vector<std::string> arguments, int* status = nullptr) const;
    // One attribute of an account as ldbsearch reads it from sam.ldb (e.g.
    // userAccountControl, lockoutTime, badPwdCount, or the computed
    // msDS-User-Account-Control-Computed); nothing when the account lacks it.
    std::optional<std::string> accountAttribute(const std::string& name,
                                                const std::string& attribute) const;
    std::int64_t accountNumber(const std::string& name, const std::string& attribute) const;
    // userAccountControl with the lockout the directory computes: UF_ flags.
    std::uint32_t accountFlags(const std::string& name) const;
    // The domain object's attributes (ldbsearch), and replacing them
    // (ldbmodify): minPwdLength, maxPwdAge, forceLogoff, lockoutDuration...
    std::map<std::string, std::string> domainAttributes() const;
    void setDomainAttributes(const std::map<std::string, std::string>& values);
    // Replacing attributes of an account (ldbmodify): displayName...
    void setAccountAttributes(const std::string& name,
                              const std::map<std::string, std::string>& values);
    // samba-tool domain passwordsettings set.
    void setPasswordSettings(const std::vector<std::string>& options);

    // An account's security descriptor as `samba-tool dsacl get` shows it
    // (SDDL: "O:...G:...D:...S:...").
    std::string descriptor(const std::string& name) const;
    // Denies Everyone and SELF the change-password right of an account with
    // `samba-tool dsacl set` (deny ACEs put first).
    void denyPasswordChange(const std::string& name);
    // The account changes its own password (rpcclient chgpasswd3, signed in
    // as itself over NTLM); false when refused.
    bool changeOwnPassword(const std::string& name, const std::string& oldPassword,
                           const std::string& newPassword) const;

    // The names of the accounts a user listing shows (UF_NORMAL_ACCOUNT) in
    // the DC's order: by relative ID.
    std::vector<std::string> normalAccounts() const;

    // A logon over SMB with NTLM (smbclient to IPC$); false when refused.
    bool logon(const std::string& name, const std::string& password) const;
    // A Kerberos logon (kinit into a cache of its own); false when refused.
    bool kinit(const std::string& name, const std::string& password) const;
    const std::string& lastOutput() const { return lastOutput_; }
    // kinit into this process's ticket cache (KRB5CCNAME), as an
    // administrator does before -k; kdestroy empties it again.
    bool obtainTicket(const std::string& name, const std::string& password) const;
    void dropTickets() const;

    void start();
    void stop();
    // SIGSTOP and SIGCONT to every process of the DC: frozen, it takes what
    // it is sent and answers nothing until it is thawed.
    void freeze() const { signal(SIGSTOP); }
    void thaw() const { signal(SIGCONT); }

private:
    void signal(int number) const;
    // Replaces attributes of the object (ldbmodify).
    void modify(const std::string& dn, const std::map<std::string, std::string>& values);
    std::string run(const std::vector<std::string>& command, const std::string& input = {},
                    int* status = nullptr) const;
    std::string scratch(const std::string& name) const { return fixture_ + "/" + name; }

    std::string dir_;     // the DC's own folder (smb.conf, sam.ldb...)
    std::string fixture_; // the test's files beside it
    std::string template_;
    std::string domain_, realm_, host_, baseDn_, adminPassword_;
    std::string conf_, sam_;
    int pid_ = -1;
    mutable std::string lastOutput_;
};

// What a test changes on the shared DC, undone when it goes: the accounts
// it added, and the domain's policy.
class DomainChanges {
public:
    explicit DomainChanges(DomainController& dc);
    ~DomainChanges();
    DomainChanges(const DomainChanges&) = delete;
    DomainChanges& operator=(const DomainChanges&) = delete;
    void add(const std::vector<std::pair<std::string, std::uint32_t>>& accounts,
             const std::string& password);

private:
    DomainController& dc_;
    std::vector<std::string> made_;
    std::map<std::string, std::string> policy_;
};

// One port of the DC, and nothing else of it, also at another loopback
// address (socat, for as long as this lives): the SMB port alone makes a
// server that answers SAMR but whose directory cannot be reached.
class PortRelay {
public:
    PortRelay(const std::string& address, int port);
    ~PortRelay();
    PortRelay(const PortRelay&) = delete;
    PortRelay& operator=(const PortRelay&) = delete;

private:
    int pid_ = -1;
};

} // namespace tw::test

namespace tw::test {

// The one DC this test program started (tests/addc/main.cpp): the tests
// share it, and each removes the accounts it made.
DomainController& SharedDomainController();

} // namespace tw::test
