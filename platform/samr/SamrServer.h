// What a Windows or Samba server reached over MS-SAMR does for the
// network-management user functions.
#pragma once

#include "SamrConnection.h"

#include "SamrClient.h"

#include "platform/INetServer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tw::samr {

// Where a server keeps an account's right to change its own password
// (UF_PASSWD_CANT_CHANGE), as the last read or write of the account found.
enum class ChangeRightKeeper {
    NotRead,    // the account was not read on this server yet
    Samr,       // the DACL of the account's SAMR descriptor (Windows, Samba standalone)
    Directory,  // the user object's DACL over LDAP (a Samba AD domain controller)
    OutOfReach, // neither: no DACL over SAMR, and no LDAP with a security layer
};

struct ChangeRight {
    ChangeRightKeeper keeper = ChangeRightKeeper::NotRead;
    // What reading it last came to: 0, or the status a write of the flag
    // gets for the same reason. OutOfReach always comes with
    // ERROR_NOT_SUPPORTED (50), and the account then reads as allowed to
    // change its password, as SAMR shows it.
    win::NET_API_STATUS status = win::NERR_Success;
    // How the directory was reached, or why it was not or what it refused,
    // in its or the security library's words; empty for Samr.
    std::string detail;
};

// The servers reached over MS-SAMR, behind SamrNetApi's front: one
// connection at a time, kept while calls go to the same host.
class SamrServer : public win::INetServer {
public:
    // `now` gives the current time in seconds since 1970 (for password ages).
    explicit SamrServer(SamrConnection connection, std::function<std::uint64_t()> now = {});
    ~SamrServer() override;

    win::NET_API_STATUS ListUsers(const std::u16string& server, win::DWORD level, win::DWORD filter,
                                  bool continuing, std::vector<win::ListedUser>& users) override;
    win::NET_API_STATUS GetUser(const std::u16string& server, const std::u16string& name,
                                const win::NetBufferAllocator& allocate, void*& record) override;
    win::NET_API_STATUS SetUserFlags(const std::u16string& server, const std::u16string& name,
                                     win::DWORD flags) override;
    win::NET_API_STATUS GetPolicy(const std::u16string& server, win::DWORD level,
                                  win::USER_MODALS_INFO_0& passwords,
                                  win::USER_MODALS_INFO_3& lockout) override;
    win::NET_API_STATUS SetPasswordPolicy(const std::u16string& server,
                                          const win::USER_MODALS_INFO_0& passwords,
                                          win::DWORD& parmErr) override;
    win::NET_API_STATUS SetLockoutPolicy(const std::u16string& server,
                                         const win::USER_MODALS_INFO_3& lockout,
                                         win::DWORD& parmErr) override;

    // Asked for credentials when a call needs them and has none, because the
    // server refused the last ones (`refusal` is the status it gave). True
    // once new ones are in `connection`, which the call then signs in with;
    // false when the administrator gives none: the call fails with the
    // refusal, and nothing is sent. Without it every such call fails so.
    using SignIn = std::function<bool(SamrConnection& connection, const std::string& host,
                                      win::NET_API_STATUS refusal)>;
    void SetSignIn(SignIn signIn) { signIn_ = std::move(signIn); }

    // Where `server` keeps the change-password right of account `name`, from
    // the last NetUserGetInfo or NetUserSetInfo of that account; the account
    // is read for it when neither was made. OutOfReach: the window cannot
    // show or write UF_PASSWD_CANT_CHANGE for that server.
    ChangeRight ChangePasswordRight(const std::u16string& server, const std::u16string& name);

    // Connections made so far (a reused one counts once).
    std::size_t Connections() const { return connections_; }

private:
    struct Session;

    // Runs `work` on a connection to the computer: the current one if it is
    // to that host, else a new one; when the connection turns out to be
    // gone, once more on a new one.
    win::NET_API_STATUS onServer(const std::u16string& server,
                                 const std::function<std::uint32_t(tw_samr_session*)>& work);
    win::NET_API_STATUS connect(const std::string& host);
    // The display information's accounts with their bits, in its order, as
    // far as the server filled them in (`complete`: all of them). Fails
    // only when the server did not answer or the connection was lost.
    std::uint32_t readDisplay(tw_samr_session* session, std::vector<win::ListedUser>& shown,
                              bool& complete);
    // What NetUserEnum's level 20 shows of the listed accounts (`users`, by
    // name and relative ID): as `shown` in the display information, and the
    // rest read account by account (docs/design.md, SAMR).
    std::uint32_t describeListed(tw_samr_session* session, std::vector<win::ListedUser> shown,
                                 std::vector<win::ListedUser>& users);
    struct DirectoryRight;
    // The right of an account whose SAMR descriptor has no DACL, from the
    // directory (into `user`); what came of it is recorded for the account.
    DirectoryRight readRight(const std::string& account, tw_samr_user& user);
    // Writes the right into the directory and reads back what it kept.
    std::uint32_t writeRight(const std::string& account, const DirectoryRight& right, bool denied);
    std::string rightKey(const std::string& account) const;
    // Both levels of the policy in one read, then what `write` makes of them.
    win::NET_API_STATUS
    writePolicy(const std::u16string& server,
                const std::function<std::uint32_t(tw_samr_session*, const tw_samr_policy&)>& write);

    SamrConnection connection_;
    SignIn signIn_;
    // How the server refused the credentials last dropped; 0 while none were.
    win::NET_API_STATUS refusal_ = win::NERR_Success;
    std::function<std::uint64_t()> now_;
    std::unique_ptr<Session> session_;
    std::string sessionHost_;
    std::size_t connections_ = 0;
    std::map<std::string, ChangeRight> rights_; // by host and account, in lower case
};

} // namespace tw::samr
