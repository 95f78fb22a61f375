// tarnwick-scenario [--toolkit headless|qt] FILE...
// Runs each scenario file against the window's real logic on the simulated
// platform; prints PASS/FAIL per file and a total; exits 0 only when all passed.
#include "ScenarioRunner.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef TW_SCENARIO_QT
#include "QtScenarioToolkit.h"
#endif

int main(int argc, char** argv) {
    std::string toolkitName = "headless";
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--toolkit" && i + 1 < argc) {
            toolkitName = argv[++i];
        } else if (arg.rfind("--toolkit=", 0) == 0) {
            toolkitName = arg.substr(10);
        } else if (arg == "-h" || arg == "--help") {
            std::puts("usage: tarnwick-scenario [--toolkit headless|qt] FILE...");
            return 0;
        } else {
            files.push_back(arg);
        }
    }
    tw::scenario::ToolkitFactory factory = nullptr;
    if (toolkitName == "headless") {
        factory = &tw::scenario::MakeHeadlessToolkit;
    }
#ifdef TW_SCENARIO_QT
    else if (toolkitName == "qt") {
        tw::scenario::InitQt(argc, argv);
        factory = &tw::scenario::MakeQtToolkit;
    }
#endif
    if (factory == nullptr) {
        std::fprintf(stderr, "tarnwick-scenario: toolkit \"%s\" is not available here\n",
                     toolkitName.c_str());
        return 2;
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: tarnwick-scenario [--toolkit headless|qt] FILE...\n");
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
