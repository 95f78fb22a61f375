#include "CliProgram.h"

#include "common/ExpiryWarningValue.h"
#include "common/RegistryValue.h"
#include "common/RuntimeError.h"
#include "common/UnsignedNumbers.h"
#include "common/mRegistry.h"
#include "platform/TextConvert.h"
#include "toolkit/DateFormat.h"

#include <chrono>
#include <cstdio>

namespace tw::cli {

namespace {

using json = nlohmann::ordered_json; // keys in the documented order

// The boxes of the user panel: the control, its caption before the language
// file, the JSON name, the bit and whether a set bit means "yes".
struct FlagLine {
    const char16_t* control;
    const char16_t* caption;
    const char* json;
    std::int32_t flag;
    bool setMeansYes;
};
const FlagLine kFlagLines[] = {
    {u"chkDisabled", u"Account Disabled", "disabled", win::UF_ACCOUNTDISABLE, true},
    {u"chkLocked", u"Account Locked", "locked", win::UF_LOCKOUT, true},
    {u"chkExpired", u"Password Expired", "passwordExpired", win::UF_PASSWORD_EXPIRED, true},
    {u"chkPassRequired", u"Password Required", "passwordRequired", win::UF_PASSWD_NOTREQD,
     false},
    {u"chkNeverExpires", u"Password Never Expires", "passwordNeverExpires",
     win::UF_DONT_EXPIRE_PASSWD, true},
    {u"chkCanChange", u"User Can Change Password", "canChangePassword",
     win::UF_PASSWD_CANT_CHANGE, false},
};

std::string Unsigned(std::int32_t value) {
    return ToUtf8(UnsignedToText(value));
}

// Seconds since 1970 as ISO 8601 UTC; null for 0, "never".
json IsoTime(std::int32_t seconds) {
    if (seconds == 0)
        return nullptr;
    const auto s = static_cast<std::uint32_t>(seconds);
    const toolkit::CivilDate date = toolkit::DateFromSerial(CNetUser::NetTimeToVbTime(seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02u:%02u:%02uZ", date.year, date.month,
                  date.day, (s / 3600) % 24, (s / 60) % 60, s % 60);
    return text;
}

// Whether the box of that line shows a tick for the flags.
bool Ticked(const FlagLine& line, std::int32_t flags) {
    return ((flags & line.flag) != 0) == line.setMeansYes;
}

} // namespace

CliProgram::CliProgram(win::Platform& platform, mCommon& common, std::ostream& out,
                       std::ostream& err, bool progressOnTerminal)
    : platform_(platform), common_(common), user_(platform.net, platform.system), out_(out),
      err_(err), progressOnTerminal_(progressOnTerminal) {}

int CliProgram::Run(const CliCommand& command) {
    user_.SetServer(FromUtf8(command.server));
    if (command.noun == "user") {
        if (command.verb == "list")
            return UserList(command);
        return command.verb == "show" ? UserShow(command) : UserSet(command);
    }
    if (command.noun == "policy")
        return command.verb == "show" ? PolicyShow(command) : PolicySet(command);
    return ExpiryWarning(command);
}

std::string CliProgram::Text(std::u16string_view key, std::u16string_view def,
                             std::initializer_list<LocArg> args) {
    return ToUtf8(common_.LocString(key, def, args));
}

std::string CliProgram::Caption(std::u16string_view control, std::u16string_view english) {
    return Text(u"Frm." + std::u16string(control) + u".Caption", english);
}

std::u16string CliProgram::LocalFieldName(PolicyField field) {
    const PolicyFieldRule& rule = RuleOf(field);
    return FieldName(
        common_.LocString(u"Frm." + std::u16string(rule.label) + u".Caption", rule.caption));
}

std::string CliProgram::DateText(double serial) {
    char16_t picture[128] = {};
    const int written = platform_.system.GetLocaleInfoW(win::LOCALE_USER_DEFAULT,
                                                        win::LOCALE_SLONGDATE, picture, 128);
    return ToUtf8(
        toolkit::FormatDatePicture(serial, written > 0 ? picture : u"dddd, MMMM d, yyyy"));
}

std::optional<std::u16string> CliProgram::ChangeRightUnknown() {
    if (!platform_.unknownChangeRight)
        return std::nullopt;
    return platform_.unknownChangeRight(user_.ServerArg().value_or(u""), user_.UserName());
}

int CliProgram::Failed(const CliCommand& command, std::int32_t status) {
    return Failed(command, status, ToUtf8(common_.StatusErrorText(status)));
}

int CliProgram::Failed(const CliCommand& command, std::int32_t status, const std::string& message) {
    err_ << "tarnwick-cli: " << message << "\n";
    if (command.json)
        out_ << json{{"error",
                      {{"code", static_cast<std::uint32_t>(status)}, {"message", message}}}}
                    .dump()
             << "\n";
    return 1;
}

// A value the command line gave that the target's state rules out, as a
// bad command line is: the message alone, exit status 2.
int CliProgram::Refused(const std::string& text) {
    err_ << "tarnwick-cli: " << text << "\n";
    return 2;
}

int CliProgram::UserList(const CliCommand& command) {
    std::int32_t status = 0;
    // Names alone need no flags: the listing of the window, cheaper on a
    // server that reads each account for them.
    if (!command.json && !command.onlyLocked && !command.onlyDisabled) {
        const std::vector<std::u16string> names = user_.EnumerateUsers(&status);
        if (status != 0)
            return Failed(command, status);
        for (const std::u16string& name : names)
            out_ << ToUtf8(name) << "\n";
        return 0;
    }
    const auto started = std::chrono::steady_clock::now();
    std::size_t shown = 0; // the width of the progress line on the terminal
    const auto progress = [&](std::size_t listed) {
        if (!progressOnTerminal_ ||
            std::chrono::steady_clock::now() - started < std::chrono::seconds(1))
            return;
        const std::string line = "Listed " + std::to_string(listed) + " accounts...";
        err_ << "\r" << line << std::flush;
        shown = line.size();
    };
    const std::vector<AccountEntry> accounts = user_.ListAccounts(&status, progress);
    if (shown > 0)
        err_ << "\r" << std::string(shown, ' ') << "\r" << std::flush;
    if (status != 0)
        return Failed(command, status);
    json list = json::array();
    for (const AccountEntry& account : accounts) {
        const bool disabled = (account.flags & win::UF_ACCOUNTDISABLE) != 0;
        const bool locked = (account.flags & win::UF_LOCKOUT) != 0;
        if ((command.onlyLocked && !locked) || (command.onlyDisabled && !disabled))
            continue;
        if (command.json)
            list.push_back({{"name", ToUtf8(account.name)},
                            {"fullName", ToUtf8(account.fullName)},
                            {"disabled", disabled},
                            {"locked", locked}});
        else
            out_ << ToUtf8(account.name) << "\n";
    }
    if (command.json)
        out_ << list.dump(2) << "\n";
    return 0;
}

int CliProgram::UserShow(const CliCommand& command) {
    user_.SetUserName(FromUtf8(command.operand));
    std::int32_t status = 0;
    if (!user_.RefreshUser(&status))
        return Failed(command, status);
    const std::int32_t flags =
        user_.Flags() | (user_.PasswordExpired() ? win::UF_PASSWORD_EXPIRED : 0);
    const std::optional<std::u16string> rightUnknown = ChangeRightUnknown();
    const std::int32_t ageDays = UnsignedDivide(user_.PasswordAge(), kSecondsPerDay);
    if (command.json) {
        json shown{{"name", ToUtf8(user_.UserName())}};
        for (const FlagLine& line : kFlagLines)
            shown[line.json] = Ticked(line, flags);
        if (rightUnknown)
            shown["canChangePassword"] = nullptr;
        shown["lastLogon"] = IsoTime(user_.LastLogon());
        shown["passwordAgeDays"] = static_cast<std::uint32_t>(ageDays);
        shown["logonCount"] = static_cast<std::uint32_t>(user_.NumLogons());
        shown["badPasswordCount"] = static_cast<std::uint32_t>(user_.BadPasswordCount());
        shown["flags"] = static_cast<std::uint32_t>(user_.Flags());
        out_ << shown.dump(2) << "\n";
        return 0;
    }
    out_ << Caption(u"lblUsername", u"Username:") << " " << ToUtf8(user_.UserName()) << "\n"
         << Caption(u"lblLastLogon", u"Last Logon:") << " " << DateText(user_.LastLogonDate())
         << "\n"
         << Caption(u"lblPasswordAge", u"Password Age:") << " " << Unsigned(ageDays) << " "
         << Caption(u"lblPasswordAge_u", u"days") << "\n"
         << Caption(u"lblLogonCount", u"Logon Count:") << " " << Unsigned(user_.NumLogons())
         << "\n"
         << Caption(u"lblBadPassCount", u"Bad Password Count:") << " "
         << Unsigned(user_.BadPasswordCount()) << "\n";
    for (const FlagLine& line : kFlagLines) {
        out_ << Caption(line.control, line.caption) << ": ";
        if (line.flag == win::UF_PASSWD_CANT_CHANGE && rightUnknown)
            out_ << Text(u"Frm.chkCanChange.Unknown",
                         u"Not known here: the server keeps this right where the program "
                         u"cannot reach it (%1)",
                         {*rightUnknown})
                 << "\n";
        else
            out_ << (Ticked(line, flags) ? "yes" : "no") << "\n";
    }
    return 0;
}

int CliProgram::UserSet(const CliCommand& command) {
    user_.SetUserName(FromUtf8(command.operand));
    std::int32_t status = 0;
    if (!user_.RefreshUser(&status))
        return Failed(command, status);
    const std::int32_t current = user_.Flags();
    std::int32_t changed = 0, wanted = 0;
    for (const auto& [flag, set] : command.flags) {
        changed |= flag;
        wanted = set ? wanted | flag : wanted & ~flag;
    }
    if (command.unlock && (current & win::UF_LOCKOUT) != 0)
        changed |= win::UF_LOCKOUT; // a lockout can only be cleared, never set
    if (command.unlock && (current & win::UF_LOCKOUT) == 0)
        err_ << ToUtf8(user_.UserName()) << " is not locked out.\n";
    if ((changed & win::UF_PASSWD_CANT_CHANGE) != 0 && ChangeRightUnknown())
        return Failed(command, win::ERROR_NOT_SUPPORTED);
    // Only the bits asked for change, on the flags the account has now.
    const std::int32_t flags = (current & ~changed) | (wanted & changed);
    if (flags == current)
        return 0;
    if (!user_.SetFlags(flags, &status))
        return Failed(command, status);
    if (!user_.RefreshUser(&status))
        return Failed(command, status);
    std::string notKept;
    for (const FlagLine& line : kFlagLines) {
        if ((changed & line.flag) != 0 && (user_.Flags() & line.flag) != (flags & line.flag))
            notKept += (notKept.empty() ? "" : ", ") + Caption(line.control, line.caption);
    }
    if (!notKept.empty()) {
        err_ << "tarnwick-cli: "
             << Text(u"Frm.Status_NotKept", u"Not kept by the server: %1", {FromUtf8(notKept)})
             << "\n";
        return 1;
    }
    return 0;
}

int CliProgram::PolicyShow(const CliCommand& command) {
    std::int32_t status = 0;
    user_.RefreshModals(&status);
    if (status != 0)
        return Failed(command, status);
    const UserModals& policy = user_.CurrentModals();
    if (command.json) {
        const auto number = [&](PolicyField field) {
            return static_cast<std::uint32_t>(ShownValue(field, policy.*RuleOf(field).value));
        };
        json shown{{"maxPasswordAgeDays", nullptr},
                   {"minPasswordAgeDays", number(PolicyField::MinPwdAge)},
                   {"minPasswordLength", number(PolicyField::MinPwdLen)},
                   {"lockoutThreshold", number(PolicyField::LockoutThreshold)},
                   {"lockoutDurationSeconds", number(PolicyField::LockoutDuration)},
                   {"lockoutWindowSeconds", number(PolicyField::LockoutObsWin)},
                   {"passwordHistoryLength", number(PolicyField::PwdHistoryLen)}};
        if (policy.MaxPwdAge != -1)
            shown["maxPasswordAgeDays"] = number(PolicyField::MaxPwdAge);
        out_ << shown.dump(2) << "\n";
        return 0;
    }
    for (const PolicyFieldRule& rule : kPolicyFields) {
        out_ << Caption(rule.label, rule.caption) << " "
             << Unsigned(ShownValue(rule.field, policy.*rule.value));
        if (rule.unit != nullptr)
            out_ << " " << Caption(std::u16string(rule.label) + u"_u", rule.unit);
        out_ << "\n";
    }
    return 0;
}

int CliProgram::PolicySet(const CliCommand& command) {
    std::int32_t status = 0;
    user_.RefreshModals(&status);
    if (status != 0)
        return Failed(command, status);
    UserModals wanted = user_.CurrentModals();
    std::int32_t maxDays = ShownValue(PolicyField::MaxPwdAge, wanted.MaxPwdAge);
    for (const auto& [field, value] : command.policy) {
        if (field == PolicyField::MaxPwdAge) {
            maxDays = value == -1 ? kNeverDays : value;
            wanted.MaxPwdAge = StoredValue(field, maxDays);
        }
    }
    bool minGiven = false;
    for (const auto& [field, value] : command.policy) {
        if (field == PolicyField::MaxPwdAge)
            continue;
        if (field == PolicyField::MinPwdAge) {
            minGiven = true;
            if (UnsignedCompare(value, maxDays) > 0)
                return Refused(Text(u"Frm.Status_InvalidValue",
                                    u"Invalid value \"%1\" in \"%2\" field. Valid value "
                                    u"range: %3-%4.",
                                    {UnsignedToText(value), LocalFieldName(field),
                                     UnsignedToText(0), UnsignedToText(maxDays)}));
        }
        wanted.*RuleOf(field).value = StoredValue(field, value);
    }
    // The minimum age follows a maximum set below it, as in the window.
    if (!minGiven &&
        UnsignedCompare(maxDays, ShownValue(PolicyField::MinPwdAge, wanted.MinPwdAge)) < 0)
        wanted.MinPwdAge = StoredValue(PolicyField::MinPwdAge, maxDays);
    user_.EditModals(wanted);
    if (!user_.ModalsChanged())
        return 0;
    user_.SetModals(&status);
    if (status != 0)
        return Failed(command, status);
    user_.RefreshModals(&status);
    if (status != 0)
        return Failed(command, status);
    std::u16string notKept;
    for (const PolicyFieldRule& rule : kPolicyFields) {
        if (user_.LoadedModals().*rule.value != wanted.*rule.value)
            notKept += (notKept.empty() ? u"" : u", ") + LocalFieldName(rule.field);
    }
    if (!notKept.empty()) {
        err_ << "tarnwick-cli: "
             << Text(u"Frm.Status_NotKept", u"Not kept by the server: %1", {notKept}) << "\n";
        return 1;
    }
    return 0;
}

int CliProgram::ExpiryWarning(const CliCommand& command) {
    // Not a bad command line: this computer cannot hold the setting.
    if (!platform_.localRegistry) {
        const std::string why = Text(u"Frm.Tip_NoLocalRegistry",
                                     u"This computer has no Windows registry to hold a password "
                                     u"expiry warning");
        err_ << "tarnwick-cli: " << why << "\n";
        if (command.json)
            out_ << json{{"error", {{"code", nullptr}, {"message", why}}}}.dump() << "\n";
        return 1;
    }
    mRegistry registry(platform_, common_);
    const bool write = command.verb == "set";
    const win::HKEY key =
        registry.OpenRegistryKey(win::HKEY_LOCAL_MACHINE_(), kWinlogonKey,
                                 write ? win::KEY_WRITE : win::KEY_READ, false, nullptr, true);
    if (key == nullptr)
        return Failed(command, static_cast<std::int32_t>(registry.LastError()));
    std::optional<std::int32_t> days;
    if (write) {
        try {
            registry.RegistryKeyValue(key, kExpiryWarningValue,
                                      RegistryValue::Long(TextToUnsigned(FromUtf8(command.operand))));
        } catch (const RuntimeError& error) {
            // The window's status line says the same.
            registry.CloseRegistryKey(key);
            return Failed(command, error.Number, ToUtf8(error.Description));
        }
    } else {
        const RegistryValue value = registry.RegistryKeyValue(key, kExpiryWarningValue);
        if (const auto* number = std::get_if<std::int32_t>(&value.data))
            days = *number;
    }
    registry.CloseRegistryKey(key);
    if (write)
        return 0;
    if (command.json)
        out_
            << json{{"days", days ? json(static_cast<std::uint32_t>(*days)) : json(nullptr)}}.dump()
            << "\n";
    else
        out_ << Caption(u"lblPasswordReminder", u"Password Expiry Warning:")
             << (days ? " " + Unsigned(*days) + " " + Caption(u"lblPasswordReminder_u", u"days")
                      : "")
             << "\n";
    return 0;
}

} // namespace tw::cli
