// tarnwick-scenario [--toolkit headless|qt|win32] FILE...
// Runs each scenario file against the window's real logic on the simulated
// platform; prints PASS/FAIL per file and a total; exits 0 only when all passed.
// The output and the exit code are the same on every system and toolkit.
#include "CommandLine.h"
#include "ScenarioRunner.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Usage(std::FILE* out) {
    std::fprintf(out, "usage: tarnwick-scenario [--toolkit %s] FILE...\n",
                 tw::scenario::AvailableToolkits());
}

} // namespace

int main(int argc, char** argv) {
    tw::scenario::PrepareConsole();
    const std::vector<std::string> arguments = tw::scenario::Utf8Arguments(argc, argv);
    std::string toolkitName = "headless";
    std::vector<std::string> files;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--toolkit" && i + 1 < arguments.size()) {
            toolkitName = arguments[++i];
        } else if (arg.rfind("--toolkit=", 0) == 0) {
            toolkitName = arg.substr(10);
        } else if (arg == "-h" || arg == "--help") {
            Usage(stdout);
            return 0;
        } else {
            files.push_back(arg);
        }
    }
    const tw::scenario::ToolkitFactory factory =
        tw::scenario::ToolkitNamed(toolkitName, argc, argv);
    if (factory == nullptr) {
        std::fprintf(stderr, "tarnwick-scenario: toolkit \"%s\" is not available here\n",
                     toolkitName.c_str());
        return 2;
    }
    if (files.empty()) {
        Usage(stderr);
        return 2;
    }
    int passed = 0;
    int failed = 0;
    for (const std::string& file : files) {
        const tw::scenario::ScenarioResult result = tw::scenario::RunScenarioFile(file, factory);
        if (result.passed) {
            ++passed;
            std::printf("PASS %s\n", result.name.c_str());
        } else {
            ++failed;
            std::printf("FAIL %s: %s\n", result.name.c_str(), result.message.c_str());
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
