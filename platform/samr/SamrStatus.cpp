#include "SamrStatus.h"

#include "SamrClient.h"

namespace tw::samr {

using namespace win;

namespace {

struct Row {
    std::uint32_t nt;
    NET_API_STATUS connecting; // while connecting and signing in
    NET_API_STATUS calling;    // on a connection that was up
    bool lost = false;         // the connection is gone: worth making again
};

// Where netapi32 reports a situation with its own code, or where Samba's
// general translation would say something else than Windows does.
constexpr Row kRows[] = {
    {kNtSuccess, NERR_Success, NERR_Success},
    {kNtNoSuchUser, NERR_UserNotFound, NERR_UserNotFound},
    {kNtNoneMapped, NERR_UserNotFound, NERR_UserNotFound},
    {kNtAccessDenied, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED},
    {kNtLogonFailure, ERROR_LOGON_FAILURE, ERROR_LOGON_FAILURE},
    {kNtWrongPassword, ERROR_LOGON_FAILURE, ERROR_INVALID_PASSWORD},
    {kNtAccountRestriction, ERROR_ACCOUNT_RESTRICTION, ERROR_ACCOUNT_RESTRICTION},
    {kNtInvalidLogonHours, ERROR_INVALID_LOGON_HOURS, ERROR_INVALID_LOGON_HOURS},
    {kNtInvalidWorkstation, ERROR_INVALID_WORKSTATION, ERROR_INVALID_WORKSTATION},
    {kNtAccountExpired, ERROR_ACCOUNT_EXPIRED, ERROR_ACCOUNT_EXPIRED},
    {kNtLogonTypeNotGranted, ERROR_LOGON_TYPE_NOT_GRANTED, ERROR_LOGON_TYPE_NOT_GRANTED},
    {kNtPasswordExpired, ERROR_PASSWORD_EXPIRED, ERROR_PASSWORD_EXPIRED},
    {kNtPasswordMustChange, ERROR_PASSWORD_MUST_CHANGE, ERROR_PASSWORD_MUST_CHANGE},
    {kNtAccountDisabled, ERROR_ACCOUNT_DISABLED, ERROR_ACCOUNT_DISABLED},
    {kNtAccountLockedOut, ERROR_ACCOUNT_LOCKED_OUT, ERROR_ACCOUNT_LOCKED_OUT},
    {kNtInvalidParameter, ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER},
    {kNtInvalidInfoClass, ERROR_INVALID_LEVEL, ERROR_INVALID_LEVEL},
    {kNtNotSupported, ERROR_NOT_SUPPORTED, ERROR_NOT_SUPPORTED},
    {kNtNoSuchDomain, ERROR_NO_SUCH_DOMAIN, ERROR_NO_SUCH_DOMAIN},
    // Kerberos: no KDC for the realm, or the clocks too far apart.
    {kNtNoLogonServers, ERROR_NO_LOGON_SERVERS, ERROR_NO_LOGON_SERVERS},
    {kNtTimeDifferenceAtDc, ERROR_TIME_SKEW, ERROR_TIME_SKEW},
    {kNtInvalidSecurityDescr, ERROR_INVALID_SECURITY_DESCR, ERROR_INVALID_SECURITY_DESCR},
    {kNtBadNetworkName, ERROR_BAD_NET_NAME, ERROR_BAD_NET_NAME},
    // No server there: Samba's client says "no memory" for a refused
    // connection, so while connecting that too means the path is bad.
    {kNtNoMemory, ERROR_BAD_NETPATH, ERROR_NOT_ENOUGH_MEMORY},
    {kNtObjectNameNotFound, ERROR_BAD_NETPATH, ERROR_BAD_NETPATH},
    {kNtBadNetworkPath, ERROR_BAD_NETPATH, ERROR_BAD_NETPATH},
    {kNtConnectionRefused, ERROR_BAD_NETPATH, ERROR_BAD_NETPATH},
    {kNtHostUnreachable, ERROR_BAD_NETPATH, ERROR_BAD_NETPATH},
    {kNtNetworkUnreachable, ERROR_BAD_NETPATH, ERROR_BAD_NETPATH},
    // No answer in time: no server there while connecting; a call that went
    // out and got no answer may or may not have been carried out.
    {kNtIoTimeout, ERROR_BAD_NETPATH, RPC_S_CALL_FAILED},
    // The connection went while a call was on it.
    {kNtConnectionDisconnected, ERROR_BAD_NETPATH, RPC_S_CALL_FAILED, true},
    {kNtConnectionReset, ERROR_BAD_NETPATH, RPC_S_CALL_FAILED, true},
    {kNtPipeBroken, ERROR_BAD_NETPATH, RPC_S_CALL_FAILED, true},
    {kNtPipeDisconnected, ERROR_BAD_NETPATH, RPC_S_CALL_FAILED, true},
    {kNtEndOfFile, ERROR_BAD_NETPATH, RPC_S_CALL_FAILED, true},
    {kNtIoDeviceError, ERROR_BAD_NETPATH, RPC_S_CALL_FAILED, true},
    {kNtInvalidHandle, ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE, true},
    {kNtRpcSsContextMismatch, ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE, true},
    {kNtRpcProtocolError, RPC_S_PROTOCOL_ERROR, RPC_S_PROTOCOL_ERROR},
    // A record the server sent that makes no sense (no name, for one).
    {kNtRpcBadStubData, RPC_X_BAD_STUB_DATA, RPC_X_BAD_STUB_DATA},
};

// What a server answers while signing in when it will not take the
// credentials.
constexpr std::uint32_t kLogonRefusals[] = {
    kNtLogonFailure,      kNtWrongPassword,      kNtNoSuchUser,      kNtAccountRestriction,
    kNtInvalidLogonHours, kNtInvalidWorkstation, kNtPasswordExpired, kNtAccountDisabled,
    kNtAccountLockedOut,  kNtPasswordMustChange, kNtAccountExpired,  kNtLogonTypeNotGranted,
};

} // namespace

bool LogonRefused(std::uint32_t ntStatus) {
    for (std::uint32_t refusal : kLogonRefusals) {
        if (refusal == ntStatus)
            return true;
    }
    return false;
}

NET_API_STATUS WinStatusOf(std::uint32_t ntStatus, Stage stage) {
    for (const auto& row : kRows) {
        if (row.nt == ntStatus)
            return stage == Stage::Connect ? row.connecting : row.calling;
    }
    return tw_samr_status_to_win32(ntStatus);
}

bool ConnectionLost(std::uint32_t ntStatus) {
    for (const auto& row : kRows) {
        if (row.nt == ntStatus)
            return row.lost;
    }
    return false;
}

} // namespace tw::samr
