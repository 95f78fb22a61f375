// The window's scenario files (tests/samba/scenarios) against a real
// server: the server holds the accounts they expect (alice; locked, locked
// out by three bad logons; neverexp, whose password never expires) and a
// lockout threshold of three, the files' hooks change it meanwhile as
// another administrator would, and what the scenarios wrote is read back
// with the server's own tools. Each test binary instantiates the suite with
// its servers: a standalone Samba server, an Active Directory DC.
#pragma once

#include "hosts/scenario/ScenarioRunner.h"
#include "platform/samr/SamrConnection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>

namespace tw::test {

class ScenarioServer {
public:
    virtual ~ScenarioServer() = default;
    // The administrator's connection, as the command line makes it.
    virtual samr::SamrConnection Connection() = 0;
    // A logon and an account's own password change; false when refused.
    virtual bool Logon(const std::string& name, const std::string& password) = 0;
    virtual bool ChangePassword(const std::string& name, const std::string& old,
                                const std::string& password) = 0;
    // The account's bits as the server's tools show them, as UF_ flags.
    virtual std::uint32_t Flags(const std::string& name) = 0;
    // A policy field in Windows' units (seconds, counts), by its name in the
    // machine format: minPwdLen, maxPwdAge, pwdHistoryLen, lockoutDuration,
    // lockoutThreshold.
    virtual long Policy(const std::string& field) = 0;

    // "lock alice by bad logons", "disable alice", "password history 7",
    // "freeze at the flag write", "thaw".
    scenario::Hooks hooks;
    // Scenario files this server keeps apart from, and why.
    std::map<std::string, std::string> skipped;
};

struct ScenarioServerCase {
    std::string name; // of the server and its sign-in
    std::function<std::unique_ptr<ScenarioServer>()> make;
    std::string toolkit; // headless, qt
    friend void PrintTo(const ScenarioServerCase& c, std::ostream* os) {
        *os << c.name << " " << c.toolkit;
    }
};

class ScenariosOnServer : public testing::TestWithParam<ScenarioServerCase> {};

std::string ScenarioServerCaseName(const testing::TestParamInfo<ScenarioServerCase>& info);

// The hooks "freeze at the flag write" and "thaw" of a server stopped and
// let go on by these.
void AddFreezeHooks(ScenarioServer& server, std::function<void()> freeze,
                    std::function<void()> thaw);

} // namespace tw::test
