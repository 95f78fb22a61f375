// The fault sweep: every network-management and registry call the window makes
// during start-up, the target switches, the three Set buttons and the expiry
// warning row fails in turn, with each of several real status codes and one
// the system has no message for. After each failure the window must be usable
// (enabled, default pointer), the status line must show what the flow of that
// action shows for a failure of that call, no buffer may stay unfreed and no
// key open, and only what the user asked to write may have changed.
#include "HeadlessProgram.h"
#include "common/mCommon.h"
#include "platform/TextConvert.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tw;
using nlohmann::json;

const toolkit::VersionInfo kVersion{u"Brenholt", 1, 0, 12, u"Legal notice", u"example.com"};
const std::u16string kBanner = u"Brenholt 1.00.012     Legal notice     example.com";
const std::u16string kWinlogon = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
// Access denied, bad network path, invalid parameter, RPC server unavailable,
// user not found, and a code without a system message.
const std::int32_t kCodes[] = {5, 53, 87, 1722, 2221, 0x2000FFFF};

json TestMachine() {
    json srvAccounts = json::array({{{"name", "alice"}}});
    for (int i = 0; i < 12; ++i) // several batches of 255 bytes
        srvAccounts.push_back({{"name", "account" + std::to_string(i)}});
    return {{"system", {{"userName", "alice"}, {"computerName", "WS01"}}},
            {"computers",
             {{"WS01",
               {{"accounts", {{{"name", "alice"}, {"flags", 513}}, {{"name", "bob"}}}},
                {"policy",
                 {{"minPwdLen", 8},
                  {"maxPwdAge", 3628800},
                  {"minPwdAge", 86400},
                  {"pwdHistoryLen", 3},
                  {"lockoutDuration", 1800},
                  {"lockoutObsWin", 1800},
                  {"lockoutThreshold", 5}}}}},
              {"SRV01", {{"accounts", srvAccounts}, {"policy", {{"maxPwdAge", 864000}}}}}}},
            {"registry",
             {{{"key", "HKLM\\" + ToUtf8(kWinlogon)},
               {"name", "PasswordExpiryWarning"},
               {"type", 4},
               {"dword", 5}}}}};
}

// The window with the sweep's version, so that the banner can be told apart.
struct Window : tw::test::HeadlessProgram {
    explicit Window(const json& machine)
        : HeadlessProgram(sim::loadMachine(machine), nullptr, kVersion) {}
};

// One platform call as the logs name it.
struct Call {
    std::string function; // "NetUserModalsGet.3", "RegOpenKeyExW"
    std::string computer; // network calls: the computer reached; empty for the registry
    int nthInAction = 0;  // 1 for the action's first call of this function
    std::string failKey;  // the injection key that fails exactly this call
};

// What a failure of one call shows and writes, as the action's flow has it.
struct Outcome {
    std::u16string status;
    bool userFlagsWritten = false;
    bool policyLevel0Written = false;
    bool policyLevel3Written = false;
    bool expiryWarningWritten = false;
    // The expiry warning field: what the registry holds, or empty when the
    // last read of it failed (never a made-up number); unchecked when absent.
    std::optional<std::u16string> expiryField;
};

// The failed call's status: the code in decimal and the system's text for it.
struct Error {
    std::u16string code;
    std::u16string text;
    // The status line's error text: "Error %1. %2".
    std::u16string Line() const { return u"Error " + code + u". " + text; }
};

struct Action {
    const char* name;
    std::function<void(Window&)> run;
    std::function<Outcome(const Call& failed, const Error& error)> outcome;
};

Error ErrorOf(sim::SimPlatform& sim, std::int32_t code) {
    win::Platform platform = sim.platform();
    mCommon common(platform, u"");
    return {FromUtf8(std::to_string(code)), common.ApiErrorText(code)};
}

bool IsRegistryRead(const Call& call) {
    return call.function == "RegOpenKeyExW" || call.function == "RegQueryValueExW";
}

// A reload of the target: the policy (both levels), the user list, then the
// running user's account, fetched twice: once when the list selects it and
// once more by the target handler, whose fetch decides the status line.
// The expiry warning row's registry reads show nothing.
Outcome TargetSwitch(const Call& failed, const Error& error) {
    Outcome outcome;
    outcome.status = error.Line();
    if (failed.function == "NetUserGetInfo.3" && failed.nthInAction == 1)
        outcome.status = u"";
    if (failed.function.rfind("Reg", 0) == 0) {
        outcome.status = u"";
        outcome.expiryField = IsRegistryRead(failed) ? u"" : u"5";
    }
    return outcome;
}

const std::vector<Action>& Actions() {
    static const std::vector<Action> actions = {
        {"start-up", [](Window& w) { w.window.Start(); },
         // The first load's errors give way to the start-up banner. The
         // expiry warning is read twice: when the local computer is selected,
         // and by the first load, whose read decides the field.
         [](const Call& failed, const Error&) {
             Outcome outcome;
             outcome.status = kBanner;
             const bool secondRead = failed.function == "RegOpenKeyExW" ? failed.nthInAction == 2
                                     : failed.function == "RegQueryValueExW"
                                         ? failed.nthInAction > 2
                                         : false;
             outcome.expiryField = secondRead ? u"" : u"5";
             return outcome;
         }},
        {"to a server by the local name", [](Window& w) { w.input.Click(w.Control("optServer")); },
         TargetSwitch},
        {"to server SRV01",
         [](Window& w) {
             w.Replace("txtServer", u"SRV01");
             w.input.Key(13);
         },
         TargetSwitch},
        {"back to the local computer", [](Window& w) { w.input.Click(w.Control("optLocal")); },
         TargetSwitch},
        {"cmdUserSet",
         [](Window& w) {
             w.input.Click(w.Control("chkDisabled"));
             w.input.Click(w.Control("cmdUserSet"));
         },
         // The account is read again before the write: when that fails
         // nothing is written. Else the write's error, or the fetch's after it.
         [](const Call& failed, const Error& error) {
             Outcome outcome;
             outcome.status = error.Line();
             outcome.userFlagsWritten =
                 failed.function != "NetUserSetInfo.1008" &&
                 !(failed.function == "NetUserGetInfo.3" && failed.nthInAction == 1);
             return outcome;
         }},
        {"cmdModalsSet",
         [](Window& w) {
             w.Replace("txtMinPwdLen", u"9");
             w.Replace("txtLockoutThreshold", u"7");
             w.input.Click(w.Control("cmdModalsSet"));
         },
         // The policy is read again before the write: when either level
         // fails nothing is written. A refused level 3 write shows its error
         // as a refused level 0 write does.
         [](const Call& failed, const Error& error) {
             Outcome outcome;
             outcome.status = error.Line();
             const bool readBefore =
                 failed.function.rfind("NetUserModalsGet", 0) == 0 && failed.nthInAction == 1;
             outcome.policyLevel0Written = failed.function != "NetUserModalsSet.0" && !readBefore;
             outcome.policyLevel3Written =
                 outcome.policyLevel0Written && failed.function != "NetUserModalsSet.3";
             return outcome;
         }},
        {"cmdLocalSet",
         [](Window& w) {
             w.Replace("txtPasswordReminder", u"14");
             w.input.Click(w.Control("cmdLocalSet"));
         },
         // Opening for writing is the action's first RegOpenKeyExW; the read
         // after the write shows nothing when it fails.
         [](const Call& failed, const Error& error) {
             Outcome outcome;
             if (failed.function == "RegOpenKeyExW" && failed.nthInAction == 1)
                 outcome.status = error.Line();
             else if (failed.function == "RegSetValueExW")
                 outcome.status = u"Error " + error.code + u" writing registry. " + error.text;
             else
                 outcome.expiryWarningWritten = true;
             const bool readFailed =
                 IsRegistryRead(failed) &&
                 !(failed.function == "RegOpenKeyExW" && failed.nthInAction == 1);
             outcome.expiryField = readFailed ? u"" : outcome.expiryWarningWritten ? u"14" : u"5";
             return outcome;
         }},
    };
    return actions;
}

// The calls an action made, from the logs, with the keys that fail each one:
// a network call's key counts its function's calls on its computer only.
std::vector<Call> CallsOf(const std::vector<std::string>& netLog, std::size_t netFrom,
                          const std::vector<std::string>& registryLog, std::size_t registryFrom) {
    std::vector<Call> calls;
    auto functionOf = [](const std::string& entry) { return entry.substr(0, entry.find(' ')); };
    auto computerOf = [](const std::string& entry) {
        const std::string server = entry.substr(entry.find(' ') + 1);
        return server == "-" || server == "\\\\WS01" ? std::string("WS01") : server.substr(2);
    };
    auto add = [&](const std::vector<std::string>& log, std::size_t from, bool network) {
        for (std::size_t i = from; i < log.size(); ++i) {
            Call call{functionOf(log[i]), network ? computerOf(log[i]) : "", 0, ""};
            int here = 0;
            for (std::size_t j = 0; j <= i; ++j) {
                if (functionOf(log[j]) != call.function)
                    continue;
                call.nthInAction += j >= from ? 1 : 0;
                here += !network || computerOf(log[j]) == call.computer ? 1 : 0;
            }
            call.failKey = call.function + "#" + std::to_string(here);
            calls.push_back(call);
        }
    };
    add(netLog, netFrom, true);
    add(registryLog, registryFrom, false);
    return calls;
}

// The machine as the outcome says it must be after the action.
sim::MachineDescription Expected(sim::MachineDescription machine, const Outcome& outcome) {
    for (sim::Computer& computer : machine.computers) {
        if (computer.name != u"WS01")
            continue;
        if (outcome.policyLevel0Written)
            computer.policy.minPwdLen = 9;
        if (outcome.policyLevel3Written)
            computer.policy.lockoutThreshold = 7;
        for (sim::Account& account : computer.accounts) {
            if (account.name == u"alice" && outcome.userFlagsWritten)
                account.flags |= 0x2;
        }
    }
    if (outcome.expiryWarningWritten) {
        sim::RegKey* key = sim::findKey(machine.registry.hklm, sim::splitKeyPath(kWinlogon));
        sim::setValue(*key, sim::RegValue{u"PasswordExpiryWarning", 4, sim::dwordBytes(14)});
    }
    return machine;
}

// The sweep's actions up to `action` with `call` failing with `code`.
void RunWithFailure(std::size_t action, const Call& call, std::int32_t code) {
    json machine = TestMachine();
    if (call.computer.empty())
        machine["registryFail"][call.failKey] = code;
    else
        machine["computers"][call.computer]["fail"][call.failKey] = code;
    Window w(machine);
    for (std::size_t i = 0; i < action; ++i)
        Actions()[i].run(w);
    const sim::MachineDescription before = w.sim.machine();
    const std::size_t opensBefore = w.sim.registryCalls().size();

    Actions()[action].run(w);

    SCOPED_TRACE(std::string(Actions()[action].name) + ": " + call.failKey +
                 (call.computer.empty() ? "" : " on " + call.computer) + " fails with " +
                 std::to_string(code));
    const Outcome outcome = Actions()[action].outcome(call, ErrorOf(w.sim, code));
    EXPECT_TRUE(w.window.Form().Enabled());
    EXPECT_EQ(w.app.MousePointer(), toolkit::MousePointer::Default);
    EXPECT_EQ(ToUtf8(w.Status()), ToUtf8(outcome.status));
    if (outcome.expiryField) {
        EXPECT_EQ(ToUtf8(w.Box("txtPasswordReminder").Text()), ToUtf8(*outcome.expiryField));
    }
    EXPECT_EQ(w.sim.net().OutstandingBuffers(), 0u);
    EXPECT_EQ(w.sim.net().BadFrees(), 0u);
    // Every key opened is closed; only a close that itself failed leaves one.
    EXPECT_EQ(w.sim.openKeyCount(), call.function == "RegCloseKey" ? 1u : 0u);
    int opened = 0;
    int closed = 0;
    const auto& log = w.sim.registryCalls();
    for (std::size_t i = opensBefore; i < log.size(); ++i) {
        opened += log[i].rfind("RegOpenKeyExW", 0) == 0 ? 1 : 0;
        closed += log[i].rfind("RegCloseKey", 0) == 0 ? 1 : 0;
    }
    const bool openFailed = call.function == "RegOpenKeyExW";
    EXPECT_EQ(closed, opened - (openFailed ? 1 : 0));
    EXPECT_TRUE(w.sim.machine() == Expected(before, outcome)) << w.sim.toJson().dump();
}

TEST(FaultSweep, EveryCallOfEveryActionFailsWithEveryCode) {
    // A run without failures names the calls of each action and shows its
    // normal outcome.
    Window dry(TestMachine());
    std::vector<std::vector<Call>> callsPerAction;
    for (const Action& action : Actions()) {
        const std::size_t net = dry.sim.net().Calls().size();
        const std::size_t registry = dry.sim.registryCalls().size();
        action.run(dry);
        callsPerAction.push_back(
            CallsOf(dry.sim.net().Calls(), net, dry.sim.registryCalls(), registry));
        ASSERT_FALSE(callsPerAction.back().empty()) << action.name;
        EXPECT_EQ(dry.Status(), std::string(action.name) == "start-up" ? kBanner : u"")
            << action.name;
        EXPECT_TRUE(dry.window.Form().Enabled()) << action.name;
    }
    EXPECT_EQ(dry.Box("txtPasswordReminder").Text(), u"14");

    std::size_t cases = 0;
    for (std::size_t a = 0; a < Actions().size(); ++a) {
        for (const Call& call : callsPerAction[a]) {
            for (std::int32_t code : kCodes) {
                RunWithFailure(a, call, code);
                ++cases;
            }
        }
    }
    std::cout << "[ FAULT SWEEP ] " << cases << " call x code cases (" << std::size(kCodes)
              << " codes):";
    for (std::size_t a = 0; a < Actions().size(); ++a)
        std::cout << (a == 0 ? " " : ", ") << Actions()[a].name << " " << callsPerAction[a].size();
    std::cout << " calls" << std::endl;
    EXPECT_GE(cases, 40u * std::size(kCodes));
}

} // namespace
