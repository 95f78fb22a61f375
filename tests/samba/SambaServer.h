// A throw-away standalone Samba server for tests: smbd on 127.0.0.1 at a free
// high port, its configuration, account database and Unix user list
// (nss_wrapper) in a temporary folder that goes with the object, also when a
// test fails. The user running the tests is its administrator.
#pragma once

#include "platform/samr/SamrConnection.h"

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

namespace tw::test {

class SambaServer {
public:
    SambaServer();
    ~SambaServer();
    SambaServer(const SambaServer&) = delete;
    SambaServer& operator=(const SambaServer&) = delete;

    int port() const { return port_; }
    // The server's own folder, removed with it: room for a test's files too.
    const std::string& folder() const { return dir_; }
    const std::string& adminUser() const { return admin_; }
    static constexpr const char* kAdminPassword = "Admin-pw1";
    // How to reach this server signed in as that account (the administrator
    // when none is named).
    samr::SamrConnection connectionAs(const std::string& user = {},
                                      const std::string& password = kAdminPassword) const;

    // Adds an account with that password; `flags` as pdbedit -c takes them
    // ("[D]" disabled, "[X]" password never expires, "" none).
    void addAccount(const std::string& name, const std::string& password,
                    const std::string& flags = "");
    // Many accounts at once, all with the same account flags as smbpasswd
    // files write them ("U" a normal account, "W" a workstation's, "DU" a
    // disabled one...).
    void addAccounts(const std::vector<std::string>& names, const std::string& flags = "U");
    // pdbedit -c: the flags pdbedit can set ("[D]" disabled, "[X]" never
    // expires, "[L]" locked...), replacing those it can set.
    void setAccountFlags(const std::string& name, const std::string& flags);
    // pdbedit -f: the account's full name.
    void setFullName(const std::string& name, const std::string& fullName);
    // The server's count of bad passwords given for the account.
    int badPasswordCount(const std::string& name) const;
    // pdbedit -P NAME -C VALUE: one account policy value.
    void setPolicy(const std::string& name, long value);
    // pdbedit -P NAME: the server's own value of one account policy.
    long pdbeditPolicy(const std::string& name) const;
    // The account's bits as pdbedit's letters show them, as UF_ flags
    // (disabled, locked out, no password required, never expires).
    std::uint32_t accountFlags(const std::string& name) const;
    // The account as pdbedit -v shows it, line by line: the server's own view.
    std::string pdbeditShow(const std::string& name) const;
    // A logon with that password over SMB (smbclient); false when refused.
    bool logon(const std::string& name, const std::string& password) const;
    // The account changes its own password over SAMR (rpcclient
    // chgpasswd3); false when the server refuses.
    bool changePassword(const std::string& name, const std::string& old,
                        const std::string& password) const;

    void stop();
    void start();
    // SIGSTOP and SIGCONT to every process of the server: frozen, it takes
    // what it is sent and answers nothing until it is thawed.
    void freeze() const { signalAll(SIGSTOP); }
    void thaw() const { signalAll(SIGCONT); }

private:
    void signalAll(int signal) const;
    std::string run(const std::vector<std::string>& command, const std::string& input = {},
                    int* status = nullptr) const;
    void addUnixUser(const std::string& name);

    std::string dir_;
    std::string conf_;
    std::string admin_;
    int port_ = 0;
    int nextUid_ = 30000;
    int pid_ = -1;
};

} // namespace tw::test
