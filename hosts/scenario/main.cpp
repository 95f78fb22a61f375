// tarnwick-scenario [--toolkit headless|qt|win32] [--connect OPTIONS] FILE...
// Runs each scenario file against the window's real logic on the simulated
// platform, or with --connect on real servers over SAMR; prints PASS/FAIL per
// file and a total; exits 0 only when all passed, 2 for a bad command line.
// The output and the exit code are the same on every system and toolkit.
#include "hosts/CommandLine.h"
#include "ScenarioOptions.h"
#include "ScenarioRunner.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Usage(std::FILE* out) {
    std::fprintf(out, "usage: tarnwick-scenario [--toolkit %s] FILE...\n",
                 tw::scenario::AvailableToolkits());
#ifdef TW_SCENARIO_SAMR
    std::fprintf(out,
                 "       tarnwick-scenario [--toolkit ...] --connect [--local HOST] [-p PORT]\n"
                 "           [-U [DOMAIN\\]NAME[%%PASSWORD]] [-A FILE] [-k] FILE...\n");
    for (const tw::samr::ConnectionOptionName& option : tw::samr::kConnectionOptions) {
        std::string names = std::string(option.shortName) + (option.shortName.empty() ? "" : ", ") +
                            std::string(option.longName) + " " + std::string(option.valueName);
        std::fprintf(out, "  %-32s %s\n", names.c_str(), std::string(option.help).c_str());
    }
#endif
}

int Refuse(const std::string& message) {
    std::fprintf(stderr, "tarnwick-scenario: %s\n", message.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
#ifdef TW_SCENARIO_SAMR
    // First of all: the password of -U NAME%PASSWORD leaves the process list.
    tw::samr::ArgumentPassword hidden =
        tw::samr::HidePasswordArguments(argc, argv, tw::scenario::kValueOptions);
#endif
    tw::hosts::PrepareConsole();
    const std::vector<std::string> arguments = tw::hosts::Utf8Arguments(argc, argv);
#ifdef TW_SCENARIO_SAMR
    tw::scenario::ScenarioOptions options =
        tw::scenario::ParseScenarioOptions(arguments, std::move(hidden));
#else
    tw::scenario::ScenarioOptions options = tw::scenario::ParseScenarioOptions(arguments);
#endif
    switch (options.action) {
    case tw::scenario::ScenarioOptions::Action::Help:
        Usage(stdout);
        return 0;
    case tw::scenario::ScenarioOptions::Action::Refuse:
        return Refuse(options.refusal);
    case tw::scenario::ScenarioOptions::Action::Run:
        break;
    }
    const std::string& toolkitName = options.toolkit;
    const std::vector<std::string>& files = options.files;
#ifdef TW_SCENARIO_SAMR
    const tw::samr::SamrConnection* target = options.connect ? &options.connection : nullptr;
#else
    const tw::samr::SamrConnection* target = nullptr;
#endif
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
        const tw::scenario::ScenarioResult result =
            tw::scenario::RunScenarioFile(file, factory, target);
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
