// The status netapi32 reports for what a server or the connection to it
// answered (an NTSTATUS of SamrClient.h).
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>

namespace tw::samr {

// NTSTATUS values this layer meets by name.
enum NtStatus : std::uint32_t {
    kNtSuccess = 0,
    kNtNoMemory = 0xC0000017,
    kNtAccessDenied = 0xC0000022,
    kNtObjectNameNotFound = 0xC0000034,
    kNtNoSuchUser = 0xC0000064,
    kNtWrongPassword = 0xC000006A,
    kNtLogonFailure = 0xC000006D,
    kNtAccountRestriction = 0xC000006E,
    kNtInvalidLogonHours = 0xC000006F,
    kNtInvalidWorkstation = 0xC0000070,
    kNtAccountExpired = 0xC0000193,
    kNtLogonTypeNotGranted = 0xC000015B,
    kNtPasswordExpired = 0xC0000071,
    kNtAccountDisabled = 0xC0000072,
    kNtNoneMapped = 0xC0000073,
    kNtInvalidParameter = 0xC000000D,
    kNtInvalidInfoClass = 0xC0000003,
    kNtInvalidHandle = 0xC0000008,
    kNtEndOfFile = 0xC0000011,
    kNtPipeDisconnected = 0xC00000B0,
    kNtIoTimeout = 0xC00000B5,
    kNtBadNetworkPath = 0xC00000BE,
    kNtNetworkUnreachable = 0xC000023C,
    kNtHostUnreachable = 0xC000023D,
    kNtPipeBroken = 0xC000014B,
    kNtIoDeviceError = 0xC0000185,
    kNtConnectionDisconnected = 0xC000020C,
    kNtConnectionReset = 0xC000020D,
    kNtConnectionRefused = 0xC0000236,
    kNtBadNetworkName = 0xC00000CC,
    kNtAccountLockedOut = 0xC0000234,
    kNtPasswordMustChange = 0xC0000224,
    kNtRpcProtocolError = 0xC002004F,
    kNtRpcBadStubData = 0xC002000C,
    kNtRpcSsContextMismatch = 0xC0030009,
    kNtNotSupported = 0xC00000BB,
    kNtNoSuchDomain = 0xC00000DF,
    kNtNoLogonServers = 0xC000005E,
    kNtTimeDifferenceAtDc = 0xC0000133,
    kNtInvalidSecurityDescr = 0xC0000079,
};

// Where a failing status came from: connecting (signing in included) or a
// call on a connection that was up.
enum class Stage { Connect, Call };

win::NET_API_STATUS WinStatusOf(std::uint32_t ntStatus, Stage stage);

// Whether the server refused to sign the administrator in with the
// credentials given (a wrong password, a locked, disabled or expired
// account...): sending them again can only count more bad logons.
bool LogonRefused(std::uint32_t ntStatus);

// Whether the connection is gone (the server dropped it or restarted), so
// that the call is worth making once more on a new connection.
bool ConnectionLost(std::uint32_t ntStatus);

} // namespace tw::samr
