// The network-management user functions over MS-SAMR: the accounts and the
// policy of Windows and Samba servers, reached from any computer, handed out
// exactly as netapi32 hands them out.
#pragma once

#include "SamrConnection.h"

#include "platform/INetApi.h"
#include "platform/NetBufferPool.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct tw_samr_session;

namespace tw::samr {

class SamrNetApi : public win::INetApi {
public:
    // `now` gives the current time in seconds since 1970 (for password ages).
    explicit SamrNetApi(SamrConnection connection, std::function<std::uint64_t()> now = {});
    ~SamrNetApi() override;

    win::NET_API_STATUS NetUserEnum(win::LPCWSTR servername, win::DWORD level, win::DWORD filter,
                                    win::LPBYTE* bufptr, win::DWORD prefmaxlen,
                                    win::LPDWORD entriesread, win::LPDWORD totalentries,
                                    win::PDWORD resume_handle) override;
    win::NET_API_STATUS NetUserGetInfo(win::LPCWSTR servername, win::LPCWSTR username,
                                       win::DWORD level, win::LPBYTE* bufptr) override;
    win::NET_API_STATUS NetUserSetInfo(win::LPCWSTR servername, win::LPCWSTR username,
                                       win::DWORD level, win::LPBYTE buf,
                                       win::LPDWORD parm_err) override;
    win::NET_API_STATUS NetUserModalsGet(win::LPCWSTR servername, win::DWORD level,
                                         win::LPBYTE* bufptr) override;
    win::NET_API_STATUS NetUserModalsSet(win::LPCWSTR servername, win::DWORD level, win::LPBYTE buf,
                                         win::LPDWORD parm_err) override;
    win::NET_API_STATUS NetApiBufferFree(win::LPVOID Buffer) override;

    // Asked for credentials when a call needs them and has none, because the
    // server refused the last ones (`refusal` is the status it gave). True
    // once new ones are in `connection`, which the call then signs in with;
    // false when the administrator gives none: the call fails with the
    // refusal, and nothing is sent. Without it every such call fails so.
    using SignIn = std::function<bool(SamrConnection& connection, const std::string& host,
                                      win::NET_API_STATUS refusal)>;
    void SetSignIn(SignIn signIn) { signIn_ = std::move(signIn); }

    // Buffers handed out and not yet freed.
    std::size_t OutstandingBuffers() const { return buffers_.outstanding(); }
    // Every call, as "NetUserEnum.0 \\srv" ("-" for the local computer).
    const std::vector<std::string>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // Connections made so far (a reused one counts once).
    std::size_t Connections() const { return connections_; }

private:
    struct Session;
    struct Listing {
        std::string host;
        std::uint32_t acb = 0;
        std::vector<std::u16string> names;
    };

    // Records the call, finds the server's host and runs `work` on a
    // connection to it: the current one if it is to that host, else a new
    // one; when the connection turns out to be gone, once more on a new one.
    win::NET_API_STATUS onServer(const char* function, win::DWORD level, win::LPCWSTR servername,
                                 const std::function<std::uint32_t(tw_samr_session*)>& work);
    win::NET_API_STATUS connect(const std::string& host);
    // Records a call refused before any server is asked, and its status.
    win::NET_API_STATUS refuse(const char* function, win::DWORD level, win::LPCWSTR servername,
                               win::NET_API_STATUS status);

    SamrConnection connection_;
    SignIn signIn_;
    // How the server refused the credentials last dropped; 0 while none were.
    win::NET_API_STATUS refusal_ = win::NERR_Success;
    std::function<std::uint64_t()> now_;
    std::unique_ptr<Session> session_;
    std::string sessionHost_;
    Listing listing_;
    win::NetBufferPool buffers_;
    std::vector<std::string> calls_;
    std::size_t connections_ = 0;
};

} // namespace tw::samr
