// The network-management user functions of the simulated computers.
#include "SimPlatform.h"

#include "FailureKeys.h"
#include "platform/NetBuffer.h"
#include "platform/TextCompare.h"

#include "platform/TextConvert.h"

#include <array>
#include <chrono>
#include <cstring>
#include <thread>

namespace tw::sim {

using namespace win;

namespace {

constexpr DWORD kAccountTypeBits[][2] = {
    // account type bit, the filter bit that lists it
    {0x0100, 0x01}, // UF_TEMP_DUPLICATE_ACCOUNT
    {0x0800, 0x08}, // UF_INTERDOMAIN_TRUST_ACCOUNT
    {0x1000, 0x10}, // UF_WORKSTATION_TRUST_ACCOUNT
    {0x2000, 0x20}, // UF_SERVER_TRUST_ACCOUNT
};
constexpr DWORD kKnownFilters = 0x01 | FILTER_NORMAL_ACCOUNT | 0x08 | 0x10 | 0x20;

// The filter bit that lists an account; one without any type bit is normal.
DWORD filterOf(DWORD flags) {
    for (const auto& type : kAccountTypeBits) {
        if (flags & type[0])
            return type[1];
    }
    return FILTER_NORMAL_ACCOUNT;
}

std::string serverText(LPCWSTR server) {
    return server == nullptr ? std::string("-") : ToUtf8(server);
}

} // namespace

Computer* SimPlatform::beginNetCall(const char* function, DWORD level, LPCWSTR server,
                                    NET_API_STATUS& status) {
    calls_.push_back(std::string(function) + "." + std::to_string(level) + " " +
                     serverText(server));
    std::u16string name = server == nullptr ? std::u16string() : std::u16string(server);
    if (name.empty())
        name = localComputerName(machine_.system);
    else if (name.size() >= 2 && name[0] == u'\\' && name[1] == u'\\')
        name.erase(0, 2);
    Computer* computer = nullptr;
    for (auto& c : machine_.computers) {
        if (EqualsIgnoringCase(c.name, name))
            computer = &c;
    }
    if (computer == nullptr || name.empty()) {
        status = machine_.unknownServerStatus;
        return nullptr;
    }
    // Every call counts, also those that fail below.
    std::string prefix = ToUtf8(FoldCase(computer->name)) + "|";
    std::uint32_t ofFunction =
        ++netCallCounts_[prefix + failKey(function, std::nullopt, std::nullopt)];
    std::uint32_t ofLevel = ++netCallCounts_[prefix + failKey(function, level, std::nullopt)];
    // A slow server: the call answers after its delay, whatever it answers.
    if (auto delay = findFailure(computer->delay, function, level, ofFunction, ofLevel))
        std::this_thread::sleep_for(std::chrono::milliseconds(*delay));
    auto injected = findFailure(computer->fail, function, level, ofFunction, ofLevel);
    if (injected && *injected != 0) {
        // A rule with status 0 lets the call through (it overrides a wider rule).
        status = *injected;
        return nullptr;
    }
    answerLost_ =
        findFailure(computer->answerLost, function, level, ofFunction, ofLevel).value_or(0);
    status = NERR_Success;
    return computer;
}

Account* SimPlatform::findAccount(Computer& computer, LPCWSTR name) {
    if (name == nullptr)
        return nullptr;
    for (auto& a : computer.accounts) {
        if (EqualsIgnoringCase(a.name, name))
            return &a;
    }
    return nullptr;
}

const std::vector<std::uint32_t>& SimPlatform::listedAccounts(const Computer& computer,
                                                              DWORD filter) {
    EnumList& list = enumLists_[FoldCase(computer.name)];
    if (list.version != accountsVersion_ || list.filter != filter) {
        list.version = accountsVersion_;
        list.filter = filter;
        list.indices.clear();
        for (std::uint32_t i = 0; i < computer.accounts.size(); ++i) {
            if (filter == 0 || (filterOf(computer.accounts[i].flags) & filter) != 0)
                list.indices.push_back(i);
        }
    }
    return list.indices;
}

NET_API_STATUS SimPlatform::NetUserEnum(LPCWSTR servername, DWORD level, DWORD filter,
                                        LPBYTE* bufptr, DWORD prefmaxlen, LPDWORD entriesread,
                                        LPDWORD totalentries, PDWORD resume_handle) {
    if (bufptr != nullptr)
        *bufptr = nullptr;
    if (entriesread != nullptr)
        *entriesread = 0;
    if (totalentries != nullptr)
        *totalentries = 0;
    NET_API_STATUS status = 0;
    Computer* computer = beginNetCall("NetUserEnum", level, servername, status);
    if (computer == nullptr)
        return status;
    if (level != 0)
        return ERROR_INVALID_LEVEL;
    if (bufptr == nullptr || entriesread == nullptr || totalentries == nullptr ||
        (filter & ~kKnownFilters) != 0)
        return ERROR_INVALID_PARAMETER;

    const auto& listed = listedAccounts(*computer, filter);
    return HandOutNameBatch(
        listed.size(),
        [&](std::size_t i) -> std::u16string_view { return computer->accounts[listed[i]].name; },
        prefmaxlen, buffers_.allocator(), bufptr, entriesread, totalentries, resume_handle);
}

NET_API_STATUS SimPlatform::NetUserGetInfo(LPCWSTR servername, LPCWSTR username, DWORD level,
                                           LPBYTE* bufptr) {
    if (bufptr != nullptr)
        *bufptr = nullptr;
    NET_API_STATUS status = 0;
    Computer* computer = beginNetCall("NetUserGetInfo", level, servername, status);
    if (computer == nullptr)
        return status;
    if (level != 3)
        return ERROR_INVALID_LEVEL;
    if (bufptr == nullptr)
        return ERROR_INVALID_PARAMETER;
    Account* account = findAccount(*computer, username);
    if (account == nullptr)
        return NERR_UserNotFound;

    constexpr std::u16string_view logonServer = u"\\\\*";
    std::array<BYTE, 21> logonHours; // one bit per hour of the week
    logonHours.fill(0xFF);
    NetBufferBuilder<USER_INFO_3> buffer(1);
    buffer.addText(0, &USER_INFO_3::usri3_name, account->name);
    buffer.addText(0,
                   {&USER_INFO_3::usri3_home_dir, &USER_INFO_3::usri3_comment,
                    &USER_INFO_3::usri3_script_path, &USER_INFO_3::usri3_full_name,
                    &USER_INFO_3::usri3_usr_comment, &USER_INFO_3::usri3_parms,
                    &USER_INFO_3::usri3_workstations, &USER_INFO_3::usri3_profile,
                    &USER_INFO_3::usri3_home_dir_drive},
                   u"");
    buffer.addText(0, &USER_INFO_3::usri3_logon_server, logonServer);
    buffer.addBytes(0, &USER_INFO_3::usri3_logon_hours, logonHours);
    USER_INFO_3* info = &buffer.record(0);
    info->usri3_password = nullptr; // never handed out
    info->usri3_password_age = account->passwordAge;
    info->usri3_priv = account->privilege;
    info->usri3_flags = account->flags;
    info->usri3_auth_flags = account->authFlags;
    info->usri3_last_logon = account->lastLogon;
    info->usri3_last_logoff = account->lastLogoff;
    info->usri3_acct_expires = account->acctExpires;
    info->usri3_max_storage = 0xFFFFFFFFu; // USER_MAXSTORAGE_UNLIMITED
    info->usri3_units_per_week = 168;      // UNITS_PER_WEEK: hours
    info->usri3_bad_pw_count = account->badPwCount;
    info->usri3_num_logons = account->numLogons;
    info->usri3_country_code = 0;
    info->usri3_code_page = 0;
    info->usri3_user_id = 1000 + static_cast<DWORD>(account - computer->accounts.data());
    info->usri3_primary_group_id = 513; // DOMAIN_GROUP_RID_USERS
    info->usri3_password_expired = account->passwordExpired ? 1 : 0;
    *bufptr = static_cast<LPBYTE>(buffer.build(buffers_.allocator()));
    return NERR_Success;
}

NET_API_STATUS SimPlatform::NetUserSetInfo(LPCWSTR servername, LPCWSTR username, DWORD level,
                                           LPBYTE buf, LPDWORD /*parm_err*/) {
    NET_API_STATUS status = 0;
    Computer* computer = beginNetCall("NetUserSetInfo", level, servername, status);
    if (computer == nullptr)
        return status;
    if (level != 1008)
        return ERROR_INVALID_LEVEL;
    if (buf == nullptr)
        return ERROR_INVALID_PARAMETER;
    Account* account = findAccount(*computer, username);
    if (account == nullptr)
        return NERR_UserNotFound;
    DWORD flags = reinterpret_cast<const USER_INFO_1008*>(buf)->usri1008_flags;
    // Only the system locks an account out; a caller can only clear the lockout.
    if ((account->flags & UF_LOCKOUT) == 0)
        flags &= ~UF_LOCKOUT;
    account->flags = flags;
    ++accountsVersion_;
    return writeAnswer();
}

NET_API_STATUS SimPlatform::NetUserModalsGet(LPCWSTR servername, DWORD level, LPBYTE* bufptr) {
    if (bufptr != nullptr)
        *bufptr = nullptr;
    NET_API_STATUS status = 0;
    Computer* computer = beginNetCall("NetUserModalsGet", level, servername, status);
    if (computer == nullptr)
        return status;
    if (level != 0 && level != 3)
        return ERROR_INVALID_LEVEL;
    if (bufptr == nullptr)
        return ERROR_INVALID_PARAMETER;
    const Policy& p = computer->policy;
    void* buffer = nullptr;
    if (level == 0) {
        buffer = BuildNetBuffer(USER_MODALS_INFO_0{p.minPwdLen, p.maxPwdAge, p.minPwdAge,
                                                   p.forceLogoff, p.pwdHistoryLen},
                                buffers_.allocator());
    } else {
        buffer = BuildNetBuffer(
            USER_MODALS_INFO_3{p.lockoutDuration, p.lockoutObsWin, p.lockoutThreshold},
            buffers_.allocator());
    }
    *bufptr = static_cast<LPBYTE>(buffer);
    return NERR_Success;
}

NET_API_STATUS SimPlatform::NetUserModalsSet(LPCWSTR servername, DWORD level, LPBYTE buf,
                                             LPDWORD /*parm_err*/) {
    NET_API_STATUS status = 0;
    Computer* computer = beginNetCall("NetUserModalsSet", level, servername, status);
    if (computer == nullptr)
        return status;
    if (level != 0 && level != 3)
        return ERROR_INVALID_LEVEL;
    if (buf == nullptr)
        return ERROR_INVALID_PARAMETER;
    Policy& p = computer->policy;
    if (level == 0) {
        USER_MODALS_INFO_0 info;
        std::memcpy(&info, buf, sizeof info);
        p.minPwdLen = info.usrmod0_min_passwd_len;
        p.maxPwdAge = info.usrmod0_max_passwd_age;
        p.minPwdAge = info.usrmod0_min_passwd_age;
        p.forceLogoff = info.usrmod0_force_logoff;
        p.pwdHistoryLen = info.usrmod0_password_hist_len;
    } else {
        USER_MODALS_INFO_3 info;
        std::memcpy(&info, buf, sizeof info);
        p.lockoutDuration = info.usrmod3_lockout_duration;
        p.lockoutObsWin = info.usrmod3_lockout_observation_window;
        p.lockoutThreshold = info.usrmod3_lockout_threshold;
    }
    return writeAnswer();
}

NET_API_STATUS SimPlatform::NetApiBufferFree(LPVOID Buffer) {
    if (Buffer == nullptr)
        return NERR_Success;
    return buffers_.release(Buffer) ? NERR_Success : ERROR_INVALID_PARAMETER;
}

} // namespace tw::sim
