// The network-management user functions of netapi32, as the program calls them.
#pragma once

#include "WinTypes.h"

namespace tw::win {

class INetApi {
public:
    virtual ~INetApi() = default;

    virtual NET_API_STATUS NetUserEnum(LPCWSTR servername, DWORD level, DWORD filter,
                                       LPBYTE* bufptr, DWORD prefmaxlen, LPDWORD entriesread,
                                       LPDWORD totalentries, PDWORD resume_handle) = 0;
    virtual NET_API_STATUS NetUserGetInfo(LPCWSTR servername, LPCWSTR username, DWORD level,
                                          LPBYTE* bufptr) = 0;
    virtual NET_API_STATUS NetUserSetInfo(LPCWSTR servername, LPCWSTR username, DWORD level,
                                          LPBYTE buf, LPDWORD parm_err) = 0;
    virtual NET_API_STATUS NetUserModalsGet(LPCWSTR servername, DWORD level, LPBYTE* bufptr) = 0;
    virtual NET_API_STATUS NetUserModalsSet(LPCWSTR servername, DWORD level, LPBYTE buf,
                                            LPDWORD parm_err) = 0;
    virtual NET_API_STATUS NetApiBufferFree(LPVOID Buffer) = 0;
};

} // namespace tw::win
