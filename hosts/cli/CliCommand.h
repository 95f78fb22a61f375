// What tarnwick-cli was asked to do, read from its command line: a noun
// (user, policy, expiry-warning), a verb (list, show, set) and what they take.
// The target options of real servers (--connect and the rest) are read before,
// by the connection options shared with tarnwick.
#pragma once

#include "account/PolicyFields.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tw::cli {

struct CliCommand {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    std::string text; // what --help and --version print; why a command line is refused

    std::string server;              // --server NAME; empty: this computer
    std::string machineFile;         // --machine FILE
    std::string noun, verb, operand; // "user" "show" "alice"
    bool json = false;
    bool onlyLocked = false, onlyDisabled = false; // user list
    // user set: each UF_ bit asked for and whether it is to be set.
    std::vector<std::pair<std::int32_t, bool>> flags;
    bool unlock = false;
    // policy set: each field and the number given, in the field's unit;
    // -1 for the maximum age's "never".
    std::vector<std::pair<PolicyField, std::int32_t>> policy;
};

// `arguments` without the program's name and without the connection options.
CliCommand ParseCliCommand(const std::vector<std::string>& arguments);

// The usage text of --help.
std::string CliUsage();

} // namespace tw::cli
