// tarnwick-scenario's command line, read without running anything, so that
// it can be tested and fuzzed on its own.
#pragma once

#ifdef TW_SCENARIO_SAMR
#include "platform/samr/ConnectionOptions.h"
#endif

#include <string>
#include <string_view>
#include <vector>

namespace tw::scenario {

struct ScenarioOptions {
    enum class Action { Run, Help, Refuse };
    Action action = Action::Run;
    std::string refusal; // why the command line is refused: one line
    std::string toolkit = "headless";
    std::vector<std::string> files;
    bool connect = false;
#ifdef TW_SCENARIO_SAMR
    samr::SamrConnection connection;
#endif
};

// The program's own options that take a value (see samr::HidePasswordArguments).
inline constexpr std::string_view kValueOptions[] = {"--toolkit"};

// `arguments` after the program's name, as UTF-8 (Utf8Arguments).
#ifdef TW_SCENARIO_SAMR
// `hidden`: what samr::HidePasswordArguments took out of them before.
ScenarioOptions ParseScenarioOptions(const std::vector<std::string>& arguments,
                                     samr::ArgumentPassword hidden = {});
#else
ScenarioOptions ParseScenarioOptions(const std::vector<std::string>& arguments);
#endif

} // namespace tw::scenario
