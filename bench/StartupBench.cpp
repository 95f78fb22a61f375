// Start-up on the demo machine without a screen: the window is created and
// runs its initialization and load handlers, the first full load included.
#include "app/FUserInfo.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/headless/HeadlessBackend.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string DemoMachineText() {
    std::ifstream file(TW_DEMO_MACHINE_PATH);
    std::ostringstream text;
    text << file.rdbuf();
    std::string machine = text.str();
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"@USER@", "demo"},
                                   {"@COMPUTER@", "DEMO-PC"}}) {
        for (auto at = machine.find(from); at != std::string::npos; at = machine.find(from))
            machine.replace(at, from.size(), to);
    }
    return machine;
}

void BM_Startup(benchmark::State& state) {
    const tw::sim::MachineDescription machine = tw::sim::loadMachineText(DemoMachineText());
    for (auto _ : state) {
        tw::sim::SimPlatform sim(machine);
        tw::toolkit::Application app({u"Brenholt", 1, 0, 12, u"", u""}, u"C:\\Tarnwick");
        tw::toolkit::HeadlessBackend backend;
        app.SetBackend(&backend);
        tw::app::FUserInfo window(app, sim.platform());
        window.Form().SetView(&backend);
        window.Start();
        if (!window.Form().Visible())
            state.SkipWithError("the window did not start");
    }
}

} // namespace

BENCHMARK(BM_Startup)->Unit(benchmark::kMicrosecond);
