// Start-up on the demo machine without a screen: the window is created and
// runs its initialization and load handlers, the first full load included.
#include "app/FUserInfo.h"
#include "hosts/demo/DemoMachine.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/headless/HeadlessBackend.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_Startup(benchmark::State& state) {
    const tw::sim::MachineDescription machine =
        tw::sim::loadMachineText(tw::demo::DemoMachineText("demo", "DEMO-PC"));
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
