// tarnwick-scenario's command line: any arguments (split at NUL bytes, as a
// process gets them), the password of -U taken out of their memory first, as
// its main does. Nothing runs; it never crashes or hangs, and a refusal is
// one line.
#include "FuzzCheck.h"
#include "hosts/scenario/ScenarioOptions.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace tw;
using tw::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> memory{"tarnwick-scenario"};
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty() && memory.size() < 64) {
        const std::size_t nul = rest.find('\0');
        memory.emplace_back(rest.substr(0, nul));
        rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    }
#ifdef TW_SCENARIO_SAMR
    std::vector<char*> argv;
    for (std::string& argument : memory)
        argv.push_back(argument.data());
    samr::ArgumentPassword hidden = samr::HidePasswordArguments(
        static_cast<int>(argv.size()), argv.data(), scenario::kValueOptions);
    // What the program reads afterwards: each argument up to its first NUL.
    std::vector<std::string> arguments;
    for (std::size_t i = 1; i < argv.size(); ++i)
        arguments.emplace_back(argv[i]);
    const scenario::ScenarioOptions options =
        scenario::ParseScenarioOptions(arguments, std::move(hidden));
#else
    const scenario::ScenarioOptions options =
        scenario::ParseScenarioOptions(std::vector<std::string>(memory.begin() + 1, memory.end()));
#endif
    if (options.action == scenario::ScenarioOptions::Action::Refuse)
        Require(!options.refusal.empty() && options.refusal.find('\n') == std::string::npos,
                "a refusal is one line");
    return 0;
}
