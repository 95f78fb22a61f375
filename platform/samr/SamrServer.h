// What a Windows or Samba server reached over MS-SAMR does for the
// network-management user functions.
#pragma once

#include "SamrConnection.h"

#include "SamrClient.h"

#include "platform/INetServer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tw::samr {

// The servers reached over MS-SAMR, behind SamrNetApi's front: one
// connection at a time, kept while calls go to the same host.
class SamrServer : public win::INetServer {
public:
    // `now` gives the current time in seconds since 1970 (for password ages).
    explicit SamrServer(SamrConnection connection, std::function<std::uint64_t()> now = {});
    ~SamrServer() override;

    win::NET_API_STATUS ListUsers(const std::u16string& server, win::DWORD filter, bool continuing,
                                  std::vector<std::u16string>& names) override;
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
};

} // namespace tw::samr
