// The network-management user functions of the simulated computers.
#include "SimNetwork.h"

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

// The filter bit that lists an account; one without any type bit is normal.
DWORD filterOf(DWORD flags) {
    for (const auto& type : kAccountTypeBits) {
        if (flags & type[0])
            return type[1];
    }
    return FILTER_NORMAL_ACCOUNT;
}

// Whether the password has expired: marked so, or with the flag kept from
// an older description.
bool passwordExpired(const Account& account) {
    return account.passwordExpired || (account.flags & UF_PASSWORD_EXPIRED) != 0;
}

// The flags NetUserGetInfo and NetUserEnum hand out: the flag says whether
// the password has expired, as Windows has it since XP.
DWORD userFlags(const Account& account) {
    return passwordExpired(account) ? account.flags | UF_PASSWORD_EXPIRED : account.flags;
}

} // namespace

Computer* SimNetwork::serveCall(const char* function, DWORD level, const std::u16string& server,
                                NET_API_STATUS& status) {
    Computer* computer = findComputer(server);
    if (computer == nullptr) {
        status = state_.machine.unknownServerStatus;
        return nullptr;
    }
    // Every call counts, also those that fail below.
    std::string prefix = ToUtf8(FoldCase(computer->name)) + "|";
    std::uint32_t ofFunction =
        ++callCounts_[prefix + failKey(function, std::nullopt, std::nullopt)];
    std::uint32_t ofLevel = ++callCounts_[prefix + failKey(function, level, std::nullopt)];
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

Computer* SimNetwork::findComputer(const std::u16string& server) {
    const std::u16string name = server.empty() ? localComputerName(state_.machine.system) : server;
    Computer* found = nullptr;
    for (auto& c : state_.machine.computers) {
        if (EqualsIgnoringCase(c.name, name))
            found = &c;
    }
    return name.empty() ? nullptr : found;
}

Account* SimNetwork::findAccount(Computer& computer, const std::u16string& name) {
    for (auto& a : computer.accounts) {
        if (EqualsIgnoringCase(a.name, name))
            return &a;
    }
    return nullptr;
}

std::optional<std::u16string> SimNetwork::ChangeRightOutOfReach(const std::u16string& server,
                                                                const std::u16string& name) {
    Computer* computer = findComputer(server.starts_with(u"\\\\") ? server.substr(2) : server);
    const Account* account = computer != nullptr ? findAccount(*computer, name) : nullptr;
    return account != nullptr ? account->changeRightOutOfReach : std::nullopt;
}

NET_API_STATUS SimNetwork::ListUsers(const std::u16string& server, DWORD level, DWORD filter,
                                     bool continuing, std::vector<ListedUser>& users) {
    NET_API_STATUS status = 0;
    Computer* computer = serveCall("NetUserEnum", level, server, status);
    if (computer == nullptr || continuing)
        return status;
    for (std::size_t i = 0; i < computer->accounts.size(); ++i) {
        const Account& account = computer->accounts[i];
        if (filter != 0 && (filterOf(account.flags) & filter) == 0)
            continue;
        ListedUser& user = users.emplace_back();
        user.name = account.name;
        if (level == 0)
            continue; // the name is all level 0 shows
        user.fullName = account.fullName;
        user.comment = account.comment;
        user.flags = userFlags(account);
        user.userId = relativeId(account, i);
    }
    return NERR_Success;
}

NET_API_STATUS SimNetwork::GetUser(const std::u16string& server, const std::u16string& name,
                                   const NetBufferAllocator& allocate, void*& record) {
    NET_API_STATUS status = 0;
    Computer* computer = serveCall("NetUserGetInfo", 3, server, status);
    if (computer == nullptr)
        return status;
    Account* account = findAccount(*computer, name);
    if (account == nullptr)
        return NERR_UserNotFound;

    constexpr std::u16string_view logonServer = u"\\\\*";
    std::array<BYTE, 21> logonHours; // one bit per hour of the week
    logonHours.fill(0xFF);
    NetBufferBuilder<USER_INFO_3> buffer(1);
    buffer.addText(0, &USER_INFO_3::usri3_name, account->name);
    buffer.addText(0, &USER_INFO_3::usri3_comment, account->comment);
    buffer.addText(0, &USER_INFO_3::usri3_full_name, account->fullName);
    buffer.addText(0,
                   {&USER_INFO_3::usri3_home_dir, &USER_INFO_3::usri3_script_path,
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
    info->usri3_flags = userFlags(*account);
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
    info->usri3_user_id =
        relativeId(*account, static_cast<std::size_t>(account - computer->accounts.data()));
    info->usri3_primary_group_id = 513; // DOMAIN_GROUP_RID_USERS
    info->usri3_password_expired = passwordExpired(*account) ? 1 : 0;
    record = buffer.build(allocate);
    return record != nullptr ? NERR_Success : ERROR_NOT_ENOUGH_MEMORY;
}

NET_API_STATUS SimNetwork::SetUserFlags(const std::u16string& server, const std::u16string& name,
                                        DWORD flags) {
    NET_API_STATUS status = 0;
    Computer* computer = serveCall("NetUserSetInfo", 1008, server, status);
    if (computer == nullptr)
        return status;
    Account* account = findAccount(*computer, name);
    if (account == nullptr)
        return NERR_UserNotFound;
    // Only the system locks an account out; a caller can only clear the lockout.
    if ((account->flags & UF_LOCKOUT) == 0)
        flags &= ~UF_LOCKOUT;
    // The bit expires the password, or ends its expiry, as Windows writes it.
    account->passwordExpired = (flags & UF_PASSWORD_EXPIRED) != 0;
    account->flags = flags & ~UF_PASSWORD_EXPIRED;
    return writeAnswer();
}

NET_API_STATUS SimNetwork::GetPolicy(const std::u16string& server, DWORD level,
                                     USER_MODALS_INFO_0& passwords, USER_MODALS_INFO_3& lockout) {
    NET_API_STATUS status = 0;
    Computer* computer = serveCall("NetUserModalsGet", level, server, status);
    if (computer == nullptr)
        return status;
    const Policy& p = computer->policy;
    passwords = {p.minPwdLen, p.maxPwdAge, p.minPwdAge, p.forceLogoff, p.pwdHistoryLen};
    lockout = {p.lockoutDuration, p.lockoutObsWin, p.lockoutThreshold};
    return NERR_Success;
}

NET_API_STATUS SimNetwork::SetPasswordPolicy(const std::u16string& server,
                                             const USER_MODALS_INFO_0& info, DWORD& /*parmErr*/) {
    NET_API_STATUS status = 0;
    Computer* computer = serveCall("NetUserModalsSet", 0, server, status);
    if (computer == nullptr)
        return status;
    Policy& p = computer->policy;
    p.minPwdLen = info.usrmod0_min_passwd_len;
    p.maxPwdAge = info.usrmod0_max_passwd_age;
    p.minPwdAge = info.usrmod0_min_passwd_age;
    p.forceLogoff = info.usrmod0_force_logoff;
    p.pwdHistoryLen = info.usrmod0_password_hist_len;
    return writeAnswer();
}

NET_API_STATUS SimNetwork::SetLockoutPolicy(const std::u16string& server,
                                            const USER_MODALS_INFO_3& info, DWORD& /*parmErr*/) {
    NET_API_STATUS status = 0;
    Computer* computer = serveCall("NetUserModalsSet", 3, server, status);
    if (computer == nullptr)
        return status;
    Policy& p = computer->policy;
    p.lockoutDuration = info.usrmod3_lockout_duration;
    p.lockoutObsWin = info.usrmod3_lockout_observation_window;
    p.lockoutThreshold = info.usrmod3_lockout_threshold;
    return writeAnswer();
}

} // namespace tw::sim
