#include "CliCommand.h"

#include "common/RuntimeError.h"
#include "common/UnsignedNumbers.h"
#include "hosts/ProgramVersion.h"
#include "platform/TextConvert.h"
#include "platform/WinTypes.h"

#include <map>
#include <optional>

namespace tw::cli {

namespace {

// The flag options of `user set`: the bit, and whether "yes" sets it.
const std::map<std::string, std::pair<std::int32_t, bool>> kFlagOptions = {
    {"--disabled", {win::UF_ACCOUNTDISABLE, true}},
    {"--password-required", {win::UF_PASSWD_NOTREQD, false}},
    {"--never-expires", {win::UF_DONT_EXPIRE_PASSWD, true}},
    {"--can-change", {win::UF_PASSWD_CANT_CHANGE, false}},
};

const std::map<std::string, PolicyField> kPolicyOptions = {
    {"--max-age", PolicyField::MaxPwdAge},
    {"--min-age", PolicyField::MinPwdAge},
    {"--min-length", PolicyField::MinPwdLen},
    {"--lockout-threshold", PolicyField::LockoutThreshold},
    {"--lockout-duration", PolicyField::LockoutDuration},
    {"--lockout-window", PolicyField::LockoutObsWin},
    {"--history", PolicyField::PwdHistoryLen},
};

struct Refusal {
    std::string text;
};

CliCommand Refuse(const std::string& text) {
    CliCommand command;
    command.action = CliCommand::Action::Refuse;
    command.text = "tarnwick-cli: " + text;
    return command;
}

// The window's message for a number outside a field's range (the minimum
// age's, which depends on the maximum, is checked when run).
std::string RangeMessage(const std::string& text, PolicyField field) {
    return "Invalid value \"" + text + "\" in \"" + ToUtf8(FieldName(RuleOf(field).caption)) +
           "\" field. Valid value range: " + ToUtf8(UnsignedToText(PolicyFieldMinimum(field))) +
           "-" + ToUtf8(UnsignedToText(PolicyFieldMaximum(field, 0))) + ".";
}

std::optional<std::int32_t> Number(const std::string& text) {
    try {
        return TextToUnsigned(FromUtf8(text));
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

} // namespace

std::string CliUsage() {
    return "Usage: tarnwick-cli [TARGET] user list [--locked] [--disabled] [--json]\n"
           "       tarnwick-cli [TARGET] user show NAME [--json]\n"
           "       tarnwick-cli [TARGET] user set NAME [--disabled yes|no] [--unlock]\n"
           "                    [--password-required yes|no] [--never-expires yes|no]\n"
           "                    [--can-change yes|no]\n"
           "       tarnwick-cli [TARGET] policy show [--json]\n"
           "       tarnwick-cli [TARGET] policy set [--max-age DAYS|never] [--min-age DAYS]\n"
           "                    [--min-length N] [--lockout-threshold N]\n"
           "                    [--lockout-duration SECONDS] [--lockout-window SECONDS]\n"
           "                    [--history N]\n"
           "       tarnwick-cli expiry-warning show [--json] | set DAYS\n"
           "TARGET: [--server NAME] [--machine FILE]\n"
           "        [--connect [--local HOST] [-p N] [-U [DOMAIN\\]NAME[%PW]] [-A FILE] [-k]]\n";
}

CliCommand ParseCliCommand(const std::vector<std::string>& arguments) {
    CliCommand command;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments[++i];
        };
        if (a == "--help" || a == "-h") {
            command.action = CliCommand::Action::Help;
            command.text = CliUsage();
            return command;
        }
        if (a == "--version") {
            command.action = CliCommand::Action::Version;
            command.text = hosts::VersionLine("tarnwick-cli");
            return command;
        }
        if (a == "--json") {
            command.json = true;
        } else if (a == "--server" || a == "--machine") {
            const auto v = value();
            if (!v)
                return Refuse("Missing value after '" + a + "'.");
            (a == "--server" ? command.server : command.machineFile) = *v;
        } else if (a == "--locked") {
            command.onlyLocked = true;
        } else if (a == "--unlock") {
            command.unlock = true;
        } else if (a == "--disabled" && !(positional.size() >= 2 && positional[1] == "set")) {
            command.onlyDisabled = true;
        } else if (const auto flag = kFlagOptions.find(a); flag != kFlagOptions.end()) {
            const auto v = value();
            if (!v || (*v != "yes" && *v != "no"))
                return Refuse(a + " takes yes or no");
            const bool yes = *v == "yes";
            command.flags.emplace_back(flag->second.first, yes == flag->second.second);
        } else if (const auto field = kPolicyOptions.find(a); field != kPolicyOptions.end()) {
            const auto v = value();
            if (!v)
                return Refuse("Missing value after '" + a + "'.");
            if (field->second == PolicyField::MaxPwdAge && *v == "never") {
                command.policy.emplace_back(field->second, -1);
                continue;
            }
            const std::optional<std::int32_t> n = Number(*v);
            // The minimum age's range depends on the maximum: checked when run.
            const bool inRange = n && UnsignedCompare(*n, PolicyFieldMinimum(field->second)) >= 0 &&
                                 (field->second == PolicyField::MinPwdAge ||
                                  UnsignedCompare(*n, PolicyFieldMaximum(field->second, 0)) <= 0);
            if (!inRange)
                return Refuse(RangeMessage(*v, field->second));
            command.policy.emplace_back(field->second, *n);
        } else if (a.size() > 1 && a[0] == '-') {
            return Refuse("unknown option " + a + "; see tarnwick-cli --help");
        } else {
            positional.push_back(a);
        }
    }
    static const std::map<std::string, std::vector<std::string>> kVerbs = {
        {"user", {"list", "show", "set"}},
        {"policy", {"show", "set"}},
        {"expiry-warning", {"show", "set"}},
    };
    if (positional.empty())
        return Refuse("no command; see tarnwick-cli --help");
    const auto verbs = kVerbs.find(positional[0]);
    if (verbs == kVerbs.end())
        return Refuse("unknown command " + positional[0] + "; see tarnwick-cli --help");
    if (positional.size() < 2 ||
        std::find(verbs->second.begin(), verbs->second.end(), positional[1]) == verbs->second.end())
        return Refuse(positional[0] + " needs one of: " + [&] {
            std::string list;
            for (const auto& v : verbs->second)
                list += (list.empty() ? "" : ", ") + v;
            return list;
        }());
    command.noun = positional[0];
    command.verb = positional[1];
    const bool needsOperand = (command.noun == "user" && command.verb != "list") ||
                              (command.noun == "expiry-warning" && command.verb == "set");
    if (positional.size() != (needsOperand ? 3u : 2u))
        return Refuse(needsOperand ? command.noun + " " + command.verb + " needs " +
                                         (command.noun == "user" ? "NAME" : "DAYS")
                                   : "too many arguments: " + positional.back());
    if (needsOperand)
        command.operand = positional[2];
    const bool userSet = command.noun == "user" && command.verb == "set";
    if (!userSet && (!command.flags.empty() || command.unlock))
        return Refuse("the flag options belong to user set");
    if (userSet && command.flags.empty() && !command.unlock)
        return Refuse("user set needs something to change");
    const bool policySet = command.noun == "policy" && command.verb == "set";
    if (!policySet && !command.policy.empty())
        return Refuse("the policy options belong to policy set");
    if (policySet && command.policy.empty())
        return Refuse("policy set needs something to change");
    if ((command.onlyLocked || command.onlyDisabled) &&
        !(command.noun == "user" && command.verb == "list"))
        return Refuse("--locked and --disabled filter user list");
    if (command.noun == "expiry-warning" && command.verb == "set" && !Number(command.operand))
        return Refuse("expiry-warning set takes a number of days, not \"" + command.operand + "\"");
    return command;
}

} // namespace tw::cli
