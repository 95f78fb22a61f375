// tarnwick's command line: the demo machine or a machine description, or
// real servers over SAMR with the connection options tarnwick-scenario takes
// too. Read before any window opens, so that --help, --version and a bad
// command line need no display.
#pragma once

#include "platform/samr/ConnectionOptions.h"

#include <QStringList>

#include <string>
#include <string_view>

namespace tw::hosts {

struct ProgramOptions {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    std::string text;        // what --help and --version print; why a command line is refused
    std::string machineFile; // --machine FILE
    std::string machineText; // its content, a valid machine description
    bool connect = false;
    samr::SamrConnection connection;
};

// The program's own options that take a value, whose values are never read
// as options (see samr::HidePasswordArguments).
inline constexpr std::string_view kValueOptions[] = {"--machine"};

// `arguments` with the program's name first, as QCoreApplication::arguments;
// `hidden` what samr::HidePasswordArguments took out of them before.
ProgramOptions ParseProgramOptions(const QStringList& arguments,
                                   samr::ArgumentPassword hidden = {});

} // namespace tw::hosts
