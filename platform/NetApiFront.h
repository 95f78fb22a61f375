// The network-management user functions in front of every server that is
// not Windows itself (the simulated computers, servers reached over SAMR):
// the argument checks, in one order for every call (the level, then the
// pointers and the filter, then the values the server keeps in 16 bits),
// the server name's forms ("\\NAME", "NAME", none), the call log, the
// listing a NetUserEnum goes through batch by batch, and the buffers. The
// server behind it (INetServer) does only what its server does.
#pragma once

#include "INetApi.h"
#include "INetServer.h"
#include "NetBufferPool.h"

#include <optional>
#include <string>
#include <vector>

namespace tw::win {

class NetApiFront : public INetApi {
public:
    // `server` must outlive the front; it is not used while constructing.
    explicit NetApiFront(INetServer& server) : server_(server) {}

    NET_API_STATUS NetUserEnum(LPCWSTR servername, DWORD level, DWORD filter, LPBYTE* bufptr,
                               DWORD prefmaxlen, LPDWORD entriesread, LPDWORD totalentries,
                               PDWORD resume_handle) override;
    NET_API_STATUS NetUserGetInfo(LPCWSTR servername, LPCWSTR username, DWORD level,
                                  LPBYTE* bufptr) override;
    NET_API_STATUS NetUserSetInfo(LPCWSTR servername, LPCWSTR username, DWORD level, LPBYTE buf,
                                  LPDWORD parm_err) override;
    NET_API_STATUS NetUserModalsGet(LPCWSTR servername, DWORD level, LPBYTE* bufptr) override;
    NET_API_STATUS NetUserModalsSet(LPCWSTR servername, DWORD level, LPBYTE buf,
                                    LPDWORD parm_err) override;
    NET_API_STATUS NetApiBufferFree(LPVOID Buffer) override;

    // Every call but NetApiBufferFree, in order, also those refused:
    // "NetUserModalsGet.0 \\SRV01" (the function, '.', the level, ' ', the
    // server argument as passed or "-" for none).
    const std::vector<std::string>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // Buffers handed out and not yet freed; frees of anything else.
    std::size_t OutstandingBuffers() const { return buffers_.outstanding(); }
    std::size_t BadFrees() const { return buffers_.badFrees(); }

private:
    // Logs the call and gives the computer's name as the server takes it;
    // none when the argument names no computer.
    std::optional<std::u16string> begin(const char* function, DWORD level, LPCWSTR servername);

    // The listing a NetUserEnum hands out in batches, from its first call
    // (resume handle 0) until its last batch.
    struct Listing {
        bool open = false;
        std::u16string server;
        DWORD level = 0;
        DWORD filter = 0;
        std::vector<ListedUser> users;
    };

    INetServer& server_;
    NetBufferPool buffers_;
    std::vector<std::string> calls_;
    Listing listing_;
};

} // namespace tw::win
