// Scenario files: any text through the scenario runner on the headless
// toolkit, as tarnwick-scenario runs it. Whatever the file says, the runner
// passes or fails it with a message; it never crashes or hangs.
#include "FuzzCheck.h"
#include "hosts/scenario/ScenarioRunner.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const tw::scenario::ScenarioResult result =
        tw::scenario::RunScenarioText(text, "fuzz", &tw::scenario::MakeHeadlessToolkit);
    tw::fuzz::Require(result.passed || !result.message.empty(), "a failure says why");
    return 0;
}
