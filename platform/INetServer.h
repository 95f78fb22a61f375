// What one kind of server does for the network-management user functions:
// the accounts and the policy of the computers it answers for. NetApiFront
// calls it once a call's arguments passed its checks, so a server sees only
// well-formed requests. `server` names the computer: empty for the local
// one, else its name without the leading backslashes.
#pragma once

#include "NetBuffer.h"
#include "WinTypes.h"

#include <string>
#include <vector>

namespace tw::win {

// An account as a listing gives it: at level 0 the name alone; at level 20
// also its full name, its comment, its flags as NetUserGetInfo's level 3
// gives them (the expired password only where the server's listing carries
// it) and its relative ID.
struct ListedUser {
    std::u16string name;
    std::u16string fullName;
    std::u16string comment;
    DWORD flags = 0;
    DWORD userId = 0;
};

class INetServer {
public:
    virtual ~INetServer() = default;

    // The accounts a filter (known FILTER_* bits only) lists, in the server's
    // order, as NetUserEnum's `level` (0 or 20) needs them, all from one
    // listing. `continuing`: the caller goes on with a listing the front
    // holds already; the server answers the call (or fails it) and may leave
    // `users` empty.
    virtual NET_API_STATUS ListUsers(const std::u16string& server, DWORD level, DWORD filter,
                                     bool continuing, std::vector<ListedUser>& users) = 0;
    // One account's USER_INFO_3 in a buffer of `allocate`; `record` stays
    // null when the call fails.
    virtual NET_API_STATUS GetUser(const std::u16string& server, const std::u16string& name,
                                   const NetBufferAllocator& allocate, void*& record) = 0;
    // The account's flags as USER_INFO_1008 gives them.
    virtual NET_API_STATUS SetUserFlags(const std::u16string& server, const std::u16string& name,
                                        DWORD flags) = 0;
    // The policy, for a call at `level` (0 or 3); both records are filled.
    virtual NET_API_STATUS GetPolicy(const std::u16string& server, DWORD level,
                                     USER_MODALS_INFO_0& passwords,
                                     USER_MODALS_INFO_3& lockout) = 0;
    // Level 0 of the policy; its 16-bit lengths fit. `parmErr` as the
    // function's: the parameter refused, when the server names one.
    virtual NET_API_STATUS SetPasswordPolicy(const std::u16string& server,
                                             const USER_MODALS_INFO_0& passwords,
                                             DWORD& parmErr) = 0;
    // Level 3 of the policy; its threshold fits in 16 bits.
    virtual NET_API_STATUS SetLockoutPolicy(const std::u16string& server,
                                            const USER_MODALS_INFO_3& lockout, DWORD& parmErr) = 0;
};

} // namespace tw::win
