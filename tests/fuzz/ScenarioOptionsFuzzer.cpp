// tarnwick-scenario's command line: any arguments (split at NUL bytes, as a
// process gets them), the password of -U taken out of their memory first, as
// its main does. Nothing runs; it never crashes or hangs, and a refusal is
// one line.
#include "FuzzCheck.h"
#include "common/ArgumentMemory.h"
#include "hosts/scenario/ScenarioOptions.h"

#include <string>
#include <vector>

using namespace tw;
using tw::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tests::ArgumentMemory given("tarnwick-scenario", {reinterpret_cast<const char*>(data), size});
#ifdef TW_SCENARIO_SAMR
    samr::ArgumentPassword hidden =
        samr::HidePasswordArguments(given.argc(), given.pointers.data(), scenario::kValueOptions);
    // What the program reads afterwards: each argument up to its first NUL.
    std::vector<std::string> arguments;
    for (std::size_t i = 1; i < given.pointers.size(); ++i)
        arguments.emplace_back(given.pointers[i]);
    const scenario::ScenarioOptions options =
        scenario::ParseScenarioOptions(arguments, std::move(hidden));
#else
    const scenario::ScenarioOptions options = scenario::ParseScenarioOptions(
        std::vector<std::string>(given.text.begin() + 1, given.text.end()));
#endif
    if (options.action == scenario::ScenarioOptions::Action::Refuse)
        Require(!options.refusal.empty() && options.refusal.find('\n') == std::string::npos,
                "a refusal is one line");
    return 0;
}
