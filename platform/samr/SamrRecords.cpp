#include "SamrRecords.h"

#include "platform/TextConvert.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tw::samr {

using namespace win;

namespace {

struct FlagPair {
    DWORD uf;
    std::uint32_t acb;
};

// The user flags and the account bits that say the same.
constexpr FlagPair kFlagPairs[] = {
    {UF_ACCOUNTDISABLE, ACB_DISABLED},
    {0x8, 0x2}, // UF_HOMEDIR_REQUIRED, ACB_HOMDIRREQ
    {UF_PASSWD_NOTREQD, 0x4},
    {0x100, 0x8}, // UF_TEMP_DUPLICATE_ACCOUNT, ACB_TEMPDUP
    {UF_NORMAL_ACCOUNT, ACB_NORMAL},
    {0x20000, 0x20}, // UF_MNS_LOGON_ACCOUNT, ACB_MNS
    {0x800, 0x40},   // UF_INTERDOMAIN_TRUST_ACCOUNT, ACB_DOMTRUST
    {0x1000, 0x80},  // UF_WORKSTATION_TRUST_ACCOUNT, ACB_WSTRUST
    {0x2000, 0x100}, // UF_SERVER_TRUST_ACCOUNT, ACB_SVRTRUST
    {UF_DONT_EXPIRE_PASSWD, ACB_PWNOEXP},
    {UF_LOCKOUT, ACB_AUTOLOCK},
    {0x80, 0x800},       // UF_ENCRYPTED_TEXT_PASSWORD_ALLOWED
    {0x40000, 0x1000},   // UF_SMARTCARD_REQUIRED
    {0x80000, 0x2000},   // UF_TRUSTED_FOR_DELEGATION
    {0x100000, 0x4000},  // UF_NOT_DELEGATED
    {0x200000, 0x8000},  // UF_USE_DES_KEY_ONLY
    {0x400000, 0x10000}, // UF_DONT_REQUIRE_PREAUTH
    {UF_PASSWORD_EXPIRED, ACB_PW_EXPIRED},
    {0x1000000, 0x40000},  // UF_TRUSTED_TO_AUTHENTICATE_FOR_DELEGATION
    {0x2000000, 0x80000},  // UF_NO_AUTH_DATA_REQUIRED
    {0x4000000, 0x100000}, // UF_PARTIAL_SECRETS_ACCOUNT
};
constexpr DWORD UF_SCRIPT = 0x1;

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
// 1 January 1970 in NT time.
constexpr std::uint64_t kNtTimeOf1970 = 116'444'736'000'000'000ull;
// Samba hands out "never expires" as one of these moments (in 2036 and 2038).
constexpr DWORD kSambaNever[] = {2085923199, 0x7FFFFFFF};

// Builtin aliases (their RIDs) that give a privilege or an operator flag.
constexpr std::uint32_t kAdministrators = 544, kUsers = 545, kGuests = 546;
constexpr std::uint32_t kAccountOperators = 548, kServerOperators = 549, kPrintOperators = 550;
constexpr DWORD USER_PRIV_GUEST = 0, USER_PRIV_USER = 1, USER_PRIV_ADMIN = 2;
constexpr DWORD AF_OP_PRINT = 0x1, AF_OP_SERVER = 0x4, AF_OP_ACCOUNTS = 0x8;

bool inAlias(const tw_samr_user& user, std::uint32_t rid) {
    for (std::size_t i = 0; i < user.builtin_alias_count && i < std::size(user.builtin_alias_rids);
         ++i) {
        if (user.builtin_alias_rids[i] == rid)
            return true;
    }
    return false;
}

DWORD privilegeOf(const tw_samr_user& user) {
    if (inAlias(user, kAdministrators))
        return USER_PRIV_ADMIN;
    if (inAlias(user, kGuests) && !inAlias(user, kUsers))
        return USER_PRIV_GUEST;
    return USER_PRIV_USER;
}

DWORD operatorFlagsOf(const tw_samr_user& user) {
    DWORD flags = 0;
    if (inAlias(user, kPrintOperators))
        flags |= AF_OP_PRINT;
    if (inAlias(user, kServerOperators))
        flags |= AF_OP_SERVER;
    if (inAlias(user, kAccountOperators))
        flags |= AF_OP_ACCOUNTS;
    return flags;
}

// A text field; a NUL the conversion made ends it, as in a C string.
std::optional<std::u16string> wide(const tw_samr_text& text) {
    if (text.text == nullptr)
        return std::nullopt;
    std::u16string converted = FromUtf8(text.text);
    converted.resize(std::u16string_view(converted.c_str()).size());
    return converted;
}

} // namespace

std::optional<std::u16string> AccountName(const char* utf8) {
    if (utf8 == nullptr || *utf8 == '\0')
        return std::nullopt;
    std::u16string name = FromUtf8(utf8);
    if (name.empty() || name.find(u'\0') != std::u16string::npos)
        return std::nullopt;
    return name;
}

DWORD UserFlagsFromAccountBits(std::uint32_t acb, bool cantChangePassword) {
    DWORD flags = UF_SCRIPT;
    for (const auto& pair : kFlagPairs) {
        if (acb & pair.acb)
            flags |= pair.uf;
    }
    if (cantChangePassword)
        flags |= UF_PASSWD_CANT_CHANGE;
    return flags;
}

std::uint32_t AccountBitsFromUserFlags(DWORD flags, std::uint32_t current) {
    std::uint32_t acb = current;
    for (const auto& pair : kFlagPairs) {
        if (pair.acb == ACB_PW_EXPIRED)
            continue; // the expired password is the server's to set
        if (flags & pair.uf)
            acb |= pair.acb;
        else
            acb &= ~pair.acb;
    }
    if ((current & ACB_AUTOLOCK) == 0)
        acb &= ~ACB_AUTOLOCK; // only the server locks an account out
    return acb;
}

bool PasswordExpired(const tw_samr_user& user) {
    return user.password_expired != 0 || (user.acct_flags & ACB_PW_EXPIRED) != 0;
}

bool AccountBitsOfFilter(DWORD filter, std::uint32_t& acb) {
    constexpr FlagPair kFilters[] = {{0x01, 0x8},
                                     {FILTER_NORMAL_ACCOUNT, ACB_NORMAL},
                                     {0x08, 0x40},
                                     {0x10, 0x80},
                                     {0x20, 0x100}};
    acb = 0;
    for (const auto& pair : kFilters) {
        if (filter & pair.uf) {
            acb |= pair.acb;
            filter &= ~pair.uf;
        }
    }
    return filter == 0;
}

namespace {

// The seconds since 1970 of an NT time after 1970; none for a moment 32 bits
// cannot hold or one Samba hands out for "never".
std::optional<DWORD> secondsAfter1970(std::uint64_t ntTime) {
    const std::uint64_t seconds = (ntTime - kNtTimeOf1970) / kTicksPerSecond;
    if (seconds >= kForever ||
        std::find(std::begin(kSambaNever), std::end(kSambaNever), seconds) != std::end(kSambaNever))
        return std::nullopt;
    return static_cast<DWORD>(seconds);
}

} // namespace

DWORD SecondsSince1970(std::uint64_t ntTime) {
    if (ntTime <= kNtTimeOf1970)
        return 0;
    return secondsAfter1970(ntTime).value_or(0); // Samba's "never" for a logoff: not recorded
}

DWORD ExpirySeconds(std::uint64_t ntTime) {
    if (ntTime == 0)
        return kForever;
    if (ntTime <= kNtTimeOf1970)
        return 0;
    return secondsAfter1970(ntTime).value_or(kForever);
}

DWORD IntervalSeconds(std::int64_t ntInterval) {
    if (ntInterval == INT64_MIN)
        return kForever;
    std::uint64_t ticks = ntInterval < 0 ? static_cast<std::uint64_t>(-ntInterval)
                                         : static_cast<std::uint64_t>(ntInterval);
    std::uint64_t seconds = ticks / kTicksPerSecond;
    return seconds >= kForever ? kForever : static_cast<DWORD>(seconds);
}

std::int64_t IntervalFromSeconds(DWORD seconds) {
    if (seconds == kForever)
        return INT64_MIN;
    return -static_cast<std::int64_t>(seconds) * static_cast<std::int64_t>(kTicksPerSecond);
}

DWORD UserFlags(const tw_samr_user& user) {
    const DWORD flags = UserFlagsFromAccountBits(user.acct_flags, user.cant_change_password != 0);
    // The flag says it too, as Windows has it since XP.
    return PasswordExpired(user) ? flags | UF_PASSWORD_EXPIRED : flags;
}

std::optional<ListedUser> ListedUserOf(const tw_samr_user& user) {
    auto name = AccountName(user.name.text);
    if (!name)
        return std::nullopt;
    return ListedUser{*name, wide(user.full_name).value_or(u""),
                      wide(user.description).value_or(u""), UserFlags(user), user.rid};
}

void* BuildUserInfo3(const tw_samr_user& user, std::uint64_t now,
                     const NetBufferAllocator& allocate, NET_API_STATUS& status) {
    auto name = AccountName(user.name.text);
    if (!name) {
        status = RPC_X_BAD_STUB_DATA;
        return nullptr;
    }
    // Every text the record points to stays alive until build().
    const std::array<std::pair<LPWSTR USER_INFO_3::*, const tw_samr_text*>, 9> fields{{
        {&USER_INFO_3::usri3_full_name, &user.full_name},
        {&USER_INFO_3::usri3_home_dir, &user.home_directory},
        {&USER_INFO_3::usri3_home_dir_drive, &user.home_drive},
        {&USER_INFO_3::usri3_script_path, &user.logon_script},
        {&USER_INFO_3::usri3_profile, &user.profile_path},
        {&USER_INFO_3::usri3_comment, &user.description},
        {&USER_INFO_3::usri3_workstations, &user.workstations},
        {&USER_INFO_3::usri3_usr_comment, &user.comment},
        {&USER_INFO_3::usri3_logon_server, nullptr},
    }};
    std::vector<std::u16string> texts;
    texts.reserve(fields.size() + 1);
    NetBufferBuilder<USER_INFO_3> buffer(1);
    buffer.addText(0, &USER_INFO_3::usri3_name, *name);
    for (const auto& [field, text] : fields) {
        texts.push_back(text == nullptr ? u"\\\\*" : wide(*text).value_or(u""));
        buffer.addText(0, field, texts.back());
    }
    // The parameters are UTF-16 text on the wire, kept as bytes.
    std::u16string parameters(user.parameters_bytes / 2, u'\0');
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        parameters[i] =
            static_cast<char16_t>(user.parameters[2 * i] | (user.parameters[2 * i + 1] << 8));
    }
    parameters.resize(std::u16string_view(parameters.c_str()).size());
    buffer.addText(0, &USER_INFO_3::usri3_parms, parameters);
    // As many bytes as the server sent: units_per_week / 8, at most a week of minutes.
    std::size_t hoursBytes =
        user.logon_hours != nullptr ? std::min<std::size_t>(user.units_per_week / 8u, 1260 / 8) : 0;
    if (hoursBytes > 0)
        buffer.addBytes(0, &USER_INFO_3::usri3_logon_hours, {user.logon_hours, hoursBytes});

    USER_INFO_3& info = buffer.record(0);
    DWORD changed = SecondsSince1970(user.last_password_change);
    info.usri3_password_age = changed != 0 && now > changed ? static_cast<DWORD>(now - changed) : 0;
    info.usri3_priv = privilegeOf(user);
    info.usri3_flags = UserFlags(user);
    info.usri3_auth_flags = operatorFlagsOf(user);
    info.usri3_last_logon = SecondsSince1970(user.last_logon);
    info.usri3_last_logoff = SecondsSince1970(user.last_logoff);
    info.usri3_acct_expires = ExpirySeconds(user.acct_expiry);
    info.usri3_max_storage = 0xFFFFFFFFu; // USER_MAXSTORAGE_UNLIMITED
    info.usri3_units_per_week = hoursBytes > 0 ? user.units_per_week : 0;
    info.usri3_bad_pw_count = user.bad_password_count;
    info.usri3_num_logons = user.logon_count;
    info.usri3_country_code = user.country_code;
    info.usri3_code_page = user.code_page;
    info.usri3_user_id = user.rid;
    info.usri3_primary_group_id = user.primary_gid;
    info.usri3_password_expired = PasswordExpired(user) ? 1 : 0;
    void* block = buffer.build(allocate);
    status = block != nullptr ? NERR_Success : ERROR_NOT_ENOUGH_MEMORY;
    return block;
}

USER_MODALS_INFO_0 ModalsInfo0(const tw_samr_policy& policy) {
    return {policy.min_password_length, IntervalSeconds(policy.max_password_age),
            IntervalSeconds(policy.min_password_age),
            IntervalSeconds(static_cast<std::int64_t>(policy.force_logoff_time)),
            policy.password_history_length};
}

USER_MODALS_INFO_3 ModalsInfo3(const tw_samr_policy& policy) {
    return {IntervalSeconds(static_cast<std::int64_t>(policy.lockout_duration)),
            IntervalSeconds(static_cast<std::int64_t>(policy.lockout_window)),
            policy.lockout_threshold};
}

tw_samr_policy PolicyWith(const tw_samr_policy& current, const USER_MODALS_INFO_0& info) {
    tw_samr_policy policy = current;
    policy.min_password_length = static_cast<std::uint16_t>(info.usrmod0_min_passwd_len);
    policy.max_password_age = IntervalFromSeconds(info.usrmod0_max_passwd_age);
    policy.min_password_age = IntervalFromSeconds(info.usrmod0_min_passwd_age);
    policy.force_logoff_time =
        static_cast<std::uint64_t>(IntervalFromSeconds(info.usrmod0_force_logoff));
    policy.password_history_length = static_cast<std::uint16_t>(info.usrmod0_password_hist_len);
    return policy;
}

tw_samr_policy PolicyWith(const tw_samr_policy& current, const USER_MODALS_INFO_3& info) {
    tw_samr_policy policy = current;
    policy.lockout_duration =
        static_cast<std::uint64_t>(IntervalFromSeconds(info.usrmod3_lockout_duration));
    policy.lockout_window =
        static_cast<std::uint64_t>(IntervalFromSeconds(info.usrmod3_lockout_observation_window));
    policy.lockout_threshold = static_cast<std::uint16_t>(info.usrmod3_lockout_threshold);
    return policy;
}

unsigned ChangedPasswordParts(const USER_MODALS_INFO_0& held, const USER_MODALS_INFO_0& wanted) {
    unsigned parts = 0;
    if (held.usrmod0_min_passwd_len != wanted.usrmod0_min_passwd_len ||
        held.usrmod0_max_passwd_age != wanted.usrmod0_max_passwd_age ||
        held.usrmod0_min_passwd_age != wanted.usrmod0_min_passwd_age ||
        held.usrmod0_password_hist_len != wanted.usrmod0_password_hist_len)
        parts |= TW_SAMR_PASSWORD_PART;
    if (held.usrmod0_force_logoff != wanted.usrmod0_force_logoff)
        parts |= TW_SAMR_LOGOFF_PART;
    return parts;
}

unsigned ChangedLockoutParts(const USER_MODALS_INFO_3& held, const USER_MODALS_INFO_3& wanted) {
    const bool changed =
        held.usrmod3_lockout_duration != wanted.usrmod3_lockout_duration ||
        held.usrmod3_lockout_observation_window != wanted.usrmod3_lockout_observation_window ||
        held.usrmod3_lockout_threshold != wanted.usrmod3_lockout_threshold;
    return changed ? static_cast<unsigned>(TW_SAMR_LOCKOUT_PART) : 0u;
}

} // namespace tw::samr
