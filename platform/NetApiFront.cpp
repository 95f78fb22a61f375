#include "NetApiFront.h"

#include "TextCompare.h"
#include "TextConvert.h"

#include <cstring>

namespace tw::win {

namespace {

// FILTER_TEMP_DUPLICATE_ACCOUNT, _NORMAL_, _INTERDOMAIN_TRUST_,
// _WORKSTATION_TRUST_ and _SERVER_TRUST_ACCOUNT.
constexpr DWORD kKnownFilters = 0x01 | FILTER_NORMAL_ACCOUNT | 0x08 | 0x10 | 0x20;

// The parameter numbers of USER_MODALS_INFO_0 and _3 that a refusal names.
constexpr DWORD kMinPasswordLengthParameter = 1; // MODALS_MIN_PASSWD_LEN_PARMNUM
constexpr DWORD kHistoryLengthParameter = 5;     // MODALS_PASSWD_HIST_LEN_PARMNUM
constexpr DWORD kLockoutThresholdParameter = 3;  // the third field of level 3

// What an entry takes in a NetUserEnum buffer: its record and its texts.
std::size_t entryBytes(DWORD level, const ListedUser& user) {
    if (level == 0)
        return sizeof(USER_INFO_0) + NetTextBytes(user.name);
    return sizeof(USER_INFO_20) + NetTextBytes(user.name) + NetTextBytes(user.fullName) +
           NetTextBytes(user.comment);
}

// The buffer of the entries from `first` up to `end` at the level.
void* buildEntries(DWORD level, const std::vector<ListedUser>& users, std::size_t first,
                   std::size_t end, const NetBufferAllocator& allocate) {
    if (level == 0) {
        NetBufferBuilder<USER_INFO_0> names(end - first);
        for (std::size_t i = first; i < end; ++i)
            names.addText(i - first, &USER_INFO_0::usri0_name, users[i].name);
        return names.build(allocate);
    }
    NetBufferBuilder<USER_INFO_20> records(end - first);
    for (std::size_t i = first; i < end; ++i) {
        const ListedUser& user = users[i];
        records.addText(i - first, &USER_INFO_20::usri20_name, user.name);
        records.addText(i - first, &USER_INFO_20::usri20_full_name, user.fullName);
        records.addText(i - first, &USER_INFO_20::usri20_comment, user.comment);
        records.record(i - first).usri20_flags = user.flags;
        records.record(i - first).usri20_user_id = user.userId;
    }
    return records.build(allocate);
}

} // namespace

std::optional<std::u16string> NetApiFront::begin(const char* function, DWORD level,
                                                 LPCWSTR servername) {
    calls_.push_back(std::string(function) + "." + std::to_string(level) + " " +
                     (servername == nullptr ? std::string("-") : ToUtf8(servername)));
    std::u16string name = servername == nullptr ? std::u16string() : std::u16string(servername);
    if (name.size() >= 2 && name[0] == u'\\' && name[1] == u'\\') {
        name.erase(0, 2);
        if (name.empty())
            return std::nullopt; // "\\" alone names no computer
    }
    return name;
}

NET_API_STATUS NetApiFront::NetUserEnum(LPCWSTR servername, DWORD level, DWORD filter,
                                        LPBYTE* bufptr, DWORD prefmaxlen, LPDWORD entriesread,
                                        LPDWORD totalentries, PDWORD resume_handle) {
    const std::optional<std::u16string> server = begin("NetUserEnum", level, servername);
    if (bufptr != nullptr)
        *bufptr = nullptr;
    if (entriesread != nullptr)
        *entriesread = 0;
    if (totalentries != nullptr)
        *totalentries = 0;
    if (level != 0 && level != 20)
        return ERROR_INVALID_LEVEL;
    if (bufptr == nullptr || entriesread == nullptr || totalentries == nullptr ||
        (filter & ~kKnownFilters) != 0)
        return ERROR_INVALID_PARAMETER;
    if (!server)
        return ERROR_BAD_NETPATH;
    // A listing goes on from where the caller's handle points into the
    // accounts the server gave when it began; a handle that points beyond
    // them (the accounts went) lists nothing more.
    const DWORD resume = resume_handle != nullptr ? *resume_handle : 0;
    const bool continuing = resume != 0 && listing_.open && listing_.level == level &&
                            listing_.filter == filter &&
                            EqualsIgnoringCase(listing_.server, *server);
    std::vector<ListedUser> users;
    NET_API_STATUS status = server_.ListUsers(*server, level, filter, continuing, users);
    if (status != NERR_Success) {
        listing_ = {};
        return status;
    }
    if (!continuing)
        listing_ = {true, *server, level, filter, std::move(users)};
    const std::vector<ListedUser>& listed = listing_.users;
    status = HandOutBatch(
        listed.size(), [&](std::size_t i) { return entryBytes(level, listed[i]); },
        [&](std::size_t first, std::size_t end) {
            return buildEntries(level, listed, first, end, buffers_.allocator());
        },
        prefmaxlen, bufptr, entriesread, totalentries, resume_handle);
    if (status != ERROR_MORE_DATA)
        listing_ = {}; // complete: a new listing asks the server again
    return status;
}

NET_API_STATUS NetApiFront::NetUserGetInfo(LPCWSTR servername, LPCWSTR username, DWORD level,
                                           LPBYTE* bufptr) {
    const std::optional<std::u16string> server = begin("NetUserGetInfo", level, servername);
    if (bufptr != nullptr)
        *bufptr = nullptr;
    if (level != 3)
        return ERROR_INVALID_LEVEL;
    if (bufptr == nullptr || username == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (!server)
        return ERROR_BAD_NETPATH;
    void* record = nullptr;
    const NET_API_STATUS status = server_.GetUser(*server, username, buffers_.allocator(), record);
    if (status != NERR_Success) {
        if (record != nullptr)
            buffers_.release(record);
        return status;
    }
    *bufptr = static_cast<LPBYTE>(record);
    return NERR_Success;
}

NET_API_STATUS NetApiFront::NetUserSetInfo(LPCWSTR servername, LPCWSTR username, DWORD level,
                                           LPBYTE buf, LPDWORD /*parm_err*/) {
    const std::optional<std::u16string> server = begin("NetUserSetInfo", level, servername);
    if (level != 1008)
        return ERROR_INVALID_LEVEL;
    if (buf == nullptr || username == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (!server)
        return ERROR_BAD_NETPATH;
    USER_INFO_1008 info;
    std::memcpy(&info, buf, sizeof info);
    return server_.SetUserFlags(*server, username, info.usri1008_flags);
}

NET_API_STATUS NetApiFront::NetUserModalsGet(LPCWSTR servername, DWORD level, LPBYTE* bufptr) {
    const std::optional<std::u16string> server = begin("NetUserModalsGet", level, servername);
    if (bufptr != nullptr)
        *bufptr = nullptr;
    if (level != 0 && level != 3)
        return ERROR_INVALID_LEVEL;
    if (bufptr == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (!server)
        return ERROR_BAD_NETPATH;
    USER_MODALS_INFO_0 passwords{};
    USER_MODALS_INFO_3 lockout{};
    const NET_API_STATUS status = server_.GetPolicy(*server, level, passwords, lockout);
    if (status != NERR_Success)
        return status;
    void* block = level == 0 ? BuildNetBuffer(passwords, buffers_.allocator())
                             : BuildNetBuffer(lockout, buffers_.allocator());
    if (block == nullptr)
        return ERROR_NOT_ENOUGH_MEMORY;
    *bufptr = static_cast<LPBYTE>(block);
    return NERR_Success;
}

NET_API_STATUS NetApiFront::NetUserModalsSet(LPCWSTR servername, DWORD level, LPBYTE buf,
                                             LPDWORD parm_err) {
    const std::optional<std::u16string> server = begin("NetUserModalsSet", level, servername);
    if (level != 0 && level != 3)
        return ERROR_INVALID_LEVEL;
    if (buf == nullptr)
        return ERROR_INVALID_PARAMETER;
    // Servers keep these lengths and the threshold in 16 bits: a larger one
    // is refused with the parameter's number, never cut.
    DWORD refused = 0;
    USER_MODALS_INFO_0 passwords{};
    USER_MODALS_INFO_3 lockout{};
    if (level == 0) {
        std::memcpy(&passwords, buf, sizeof passwords);
        if (passwords.usrmod0_min_passwd_len > 0xFFFF)
            refused = kMinPasswordLengthParameter;
        else if (passwords.usrmod0_password_hist_len > 0xFFFF)
            refused = kHistoryLengthParameter;
    } else {
        std::memcpy(&lockout, buf, sizeof lockout);
        if (lockout.usrmod3_lockout_threshold > 0xFFFF)
            refused = kLockoutThresholdParameter;
    }
    if (refused != 0) {
        if (parm_err != nullptr)
            *parm_err = refused;
        return ERROR_INVALID_PARAMETER;
    }
    if (!server)
        return ERROR_BAD_NETPATH;
    DWORD parameter = 0;
    const NET_API_STATUS status = level == 0
                                      ? server_.SetPasswordPolicy(*server, passwords, parameter)
                                      : server_.SetLockoutPolicy(*server, lockout, parameter);
    if (parm_err != nullptr && status != NERR_Success && parameter != 0)
        *parm_err = parameter;
    return status;
}

NET_API_STATUS NetApiFront::NetApiBufferFree(LPVOID Buffer) {
    if (Buffer == nullptr)
        return NERR_Success;
    return buffers_.release(Buffer) ? NERR_Success : ERROR_INVALID_PARAMETER;
}

} // namespace tw::win
