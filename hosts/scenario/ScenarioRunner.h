// Runs scenario files: a simulated machine, the window's real logic, the
// steps a user takes and the expectations after them.
#pragma once

#include "ScenarioToolkit.h"

#include <string>

namespace tw::scenario {

struct ScenarioResult {
    std::string name;
    bool passed = false;
    std::string message; // why it failed: "step N: ..."
};

// `path` is UTF-8, as the runner's arguments are (CommandLine.h).
ScenarioResult RunScenarioFile(const std::string& path, ToolkitFactory makeToolkit);
ScenarioResult RunScenarioText(const std::string& text, const std::string& fallbackName,
                               ToolkitFactory makeToolkit);

} // namespace tw::scenario
