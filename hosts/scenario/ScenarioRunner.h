// Runs scenario files: a simulated machine, the window's real logic, the
// steps a user takes and the expectations after them.
#pragma once

#include "ScenarioToolkit.h"

#include <functional>
#include <map>
#include <string>

namespace tw::samr {
struct SamrConnection;
}

namespace tw::scenario {

struct ScenarioResult {
    std::string name;
    bool passed = false;
    std::string message; // why it failed: "step N: ..."
};

// What the step {"hook": NAME} runs: named work of the program that runs the
// scenario, between two steps. tarnwick-scenario has none.
using Hooks = std::map<std::string, std::function<void()>>;

// `path` is UTF-8, as the runner's arguments are (hosts/CommandLine.h). With a
// connection the network-management calls go to real servers over SAMR (the
// rest of the computer stays simulated), and the scenario may not describe
// a machine.
ScenarioResult RunScenarioFile(const std::string& path, ToolkitFactory makeToolkit,
                               const samr::SamrConnection* connection = nullptr,
                               const Hooks* hooks = nullptr);
// `folder` is where a language file named by `"file"` is looked for (the
// scenario file's folder); empty: the current folder.
ScenarioResult RunScenarioText(const std::string& text, const std::string& fallbackName,
                               ToolkitFactory makeToolkit,
                               const samr::SamrConnection* connection = nullptr,
                               const std::string& folder = {}, const Hooks* hooks = nullptr);
// Whether this build reaches real servers (RunScenario*'s connection).
bool CanConnect();

} // namespace tw::scenario
