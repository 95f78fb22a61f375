// The network-management user functions of the simulated computers.
#include "SimPlatform.h"

#include "FailureKeys.h"
#include "platform/TextCompare.h"

#include "platform/TextConvert.h"

#include <cstring>

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

// Writes strings into a buffer after its records.
class StringArea {
public:
    explicit StringArea(void* start) : next_(static_cast<WCHAR*>(start)) {}
    LPWSTR put(std::u16string_view text) {
        LPWSTR at = next_;
        std::memcpy(at, text.data(), text.size() * sizeof(WCHAR));
        at[text.size()] = 0;
        next_ += text.size() + 1;
        return at;
    }

private:
    WCHAR* next_;
};

std::size_t stringBytes(std::u16string_view text) {
    return (text.size() + 1) * sizeof(WCHAR);
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
    auto injected = findFailure(computer->fail, function, level, ofFunction, ofLevel);
    if (injected && *injected != 0) {
        // A rule with status 0 lets the call through (it overrides a wider rule).
        status = *injected;
        return nullptr;
    }
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
    std::size_t start = resume_handle != nullptr ? *resume_handle : 0;
    start = std::min(start, listed.size());
    std::size_t end = start;
    std::uint64_t bytes = 0;
    while (end < listed.size()) {
        const auto& name = computer->accounts[listed[end]].name;
        std::uint64_t cost = sizeof(USER_INFO_0) + stringBytes(name);
        if (end > start && prefmaxlen != MAX_PREFERRED_LENGTH && bytes + cost > prefmaxlen)
            break;
        bytes += cost;
        ++end;
    }
    std::size_t count = end - start;
    if (count > 0) {
        void* buffer = buffers_.allocate(static_cast<std::size_t>(bytes));
        auto* records = static_cast<USER_INFO_0*>(buffer);
        StringArea strings(records + count);
        for (std::size_t i = 0; i < count; ++i)
            records[i].usri0_name = strings.put(computer->accounts[listed[start + i]].name);
        *bufptr = static_cast<LPBYTE>(buffer);
    }
    *entriesread = static_cast<DWORD>(count);
    *totalentries = static_cast<DWORD>(listed.size() - start);
    bool more = end < listed.size();
    if (resume_handle != nullptr)
        *resume_handle = more ? static_cast<DWORD>(end) : 0;
    return more ? ERROR_MORE_DATA : NERR_Success;
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
    constexpr std::size_t logonHoursBytes = 21; // one bit per hour of the week
    std::size_t bytes = sizeof(USER_INFO_3) + stringBytes(account->name) + stringBytes(u"") +
                        stringBytes(logonServer) + logonHoursBytes;
    void* buffer = buffers_.allocate(bytes);
    auto* info = static_cast<USER_INFO_3*>(buffer);
    StringArea strings(info + 1);
    info->usri3_name = strings.put(account->name);
    LPWSTR empty = strings.put(u"");
    info->usri3_logon_server = strings.put(logonServer);
    info->usri3_logon_hours = static_cast<BYTE*>(buffer) + bytes - logonHoursBytes;
    std::memset(info->usri3_logon_hours, 0xFF, logonHoursBytes);
    info->usri3_password = nullptr; // never handed out
    info->usri3_home_dir = empty;
    info->usri3_comment = empty;
    info->usri3_script_path = empty;
    info->usri3_full_name = empty;
    info->usri3_usr_comment = empty;
    info->usri3_parms = empty;
    info->usri3_workstations = empty;
    info->usri3_profile = empty;
    info->usri3_home_dir_drive = empty;
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
    *bufptr = static_cast<LPBYTE>(buffer);
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
    return NERR_Success;
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
    if (level == 0) {
        auto* info =
            static_cast<USER_MODALS_INFO_0*>(buffers_.allocate(sizeof(USER_MODALS_INFO_0)));
        *info = USER_MODALS_INFO_0{p.minPwdLen, p.maxPwdAge, p.minPwdAge, p.forceLogoff,
                                   p.pwdHistoryLen};
        *bufptr = reinterpret_cast<LPBYTE>(info);
    } else {
        auto* info =
            static_cast<USER_MODALS_INFO_3*>(buffers_.allocate(sizeof(USER_MODALS_INFO_3)));
        *info = USER_MODALS_INFO_3{p.lockoutDuration, p.lockoutObsWin, p.lockoutThreshold};
        *bufptr = reinterpret_cast<LPBYTE>(info);
    }
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
    return NERR_Success;
}

NET_API_STATUS SimPlatform::NetApiBufferFree(LPVOID Buffer) {
    if (Buffer == nullptr)
        return NERR_Success;
    return buffers_.release(Buffer) ? NERR_Success : ERROR_INVALID_PARAMETER;
}

} // namespace tw::sim
