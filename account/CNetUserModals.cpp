#include "CNetUser.h"

#include "NetStatus.h"

namespace tw {

namespace {

constexpr win::DWORD kLevelPasswords = 0; // USER_MODALS_INFO_0
constexpr win::DWORD kLevelLockout = 3;   // USER_MODALS_INFO_3

std::int32_t bits(win::DWORD value) {
    return static_cast<std::int32_t>(value);
}
win::DWORD bits(std::int32_t value) {
    return static_cast<win::DWORD>(value);
}

} // namespace

bool CNetUser::RefreshModals(std::int32_t* Result) {
    // A success without a record counts as a failure of its level, which
    // leaves both records as they were.
    win::LPBYTE buffer = nullptr;
    win::NET_API_STATUS status = net_.NetUserModalsGet(serverPointer(), kLevelPasswords, &buffer);
    if (status == win::NERR_Success && buffer == nullptr)
        status = netstatus::kNoRecord;
    netstatus::Report(Result, status);
    if (status == win::NERR_Success) {
        const auto& info = *reinterpret_cast<const win::USER_MODALS_INFO_0*>(buffer);
        currentModals_.MinPwdLen = bits(info.usrmod0_min_passwd_len);
        currentModals_.MaxPwdAge = bits(info.usrmod0_max_passwd_age);
        currentModals_.MinPwdAge = bits(info.usrmod0_min_passwd_age);
        currentModals_.ForceLogoff = bits(info.usrmod0_force_logoff);
        currentModals_.PwdHistoryLen = bits(info.usrmod0_password_hist_len);
        loadedModals_.MinPwdLen = currentModals_.MinPwdLen;
        loadedModals_.MaxPwdAge = currentModals_.MaxPwdAge;
        loadedModals_.MinPwdAge = currentModals_.MinPwdAge;
        loadedModals_.ForceLogoff = currentModals_.ForceLogoff;
        loadedModals_.PwdHistoryLen = currentModals_.PwdHistoryLen;
    }
    freeBuffer(buffer);
    if (status != win::NERR_Success)
        return false; // the lockout level is not read

    buffer = nullptr;
    status = net_.NetUserModalsGet(serverPointer(), kLevelLockout, &buffer);
    if (status == win::NERR_Success && buffer == nullptr)
        status = netstatus::kNoRecord;
    netstatus::Report(Result, status);
    if (status == win::NERR_Success) {
        const auto& info = *reinterpret_cast<const win::USER_MODALS_INFO_3*>(buffer);
        currentModals_.LockoutDuration = bits(info.usrmod3_lockout_duration);
        currentModals_.LockoutObsWin = bits(info.usrmod3_lockout_observation_window);
        currentModals_.LockoutThreshold = bits(info.usrmod3_lockout_threshold);
        loadedModals_.LockoutDuration = currentModals_.LockoutDuration;
        loadedModals_.LockoutObsWin = currentModals_.LockoutObsWin;
        loadedModals_.LockoutThreshold = currentModals_.LockoutThreshold;
    }
    freeBuffer(buffer);
    // True even when the lockout level failed: only Result tells.
    return true;
}

bool CNetUser::SetModals(std::int32_t* Result) {
    win::DWORD parameterError = 0; // which field was refused; not looked at
    win::USER_MODALS_INFO_0 passwords{
        bits(currentModals_.MinPwdLen), bits(currentModals_.MaxPwdAge),
        bits(currentModals_.MinPwdAge), bits(currentModals_.ForceLogoff),
        bits(currentModals_.PwdHistoryLen)};
    win::NET_API_STATUS status =
        net_.NetUserModalsSet(serverPointer(), kLevelPasswords,
                              reinterpret_cast<win::LPBYTE>(&passwords), &parameterError);
    netstatus::Report(Result, status);
    if (status != win::NERR_Success)
        return false; // the lockout level is not written

    win::USER_MODALS_INFO_3 lockout{bits(currentModals_.LockoutDuration),
                                    bits(currentModals_.LockoutObsWin),
                                    bits(currentModals_.LockoutThreshold)};
    status = net_.NetUserModalsSet(serverPointer(), kLevelLockout,
                                   reinterpret_cast<win::LPBYTE>(&lockout), &parameterError);
    netstatus::Report(Result, status);
    // True even when the lockout level failed: only Result tells.
    return true;
}

bool CNetUser::RefreshModalsKeepingChanges(std::int32_t* Result) {
    const UserModals edited = currentModals_;
    const UserModals loaded = loadedModals_;
    std::int32_t status = 0;
    RefreshModals(&status);
    if (Result != nullptr)
        *Result = status;
    if (status != 0) {
        currentModals_ = edited;
        loadedModals_ = loaded;
        return false;
    }
    for (std::int32_t UserModals::*field : UserModals::Fields) {
        if (edited.*field != loaded.*field)
            currentModals_.*field = edited.*field;
    }
    return true;
}

bool CNetUser::ModalsChanged() const {
    return currentModals_ != loadedModals_;
}

} // namespace tw
