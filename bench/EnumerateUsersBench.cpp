// Enumerating every account of a target: the account service reads batches of
// about 255 bytes, so the cost must grow linearly with the number of accounts.
#include "account/CNetUser.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

tw::sim::MachineDescription MachineWithAccounts(int count) {
    nlohmann::json accounts = nlohmann::json::array();
    for (int i = 0; i < count; ++i)
        accounts.push_back({{"name", "user" + std::to_string(i)}});
    return tw::sim::loadMachine({{"computers", {{"WS01", {{"accounts", accounts}}}}}});
}

void BM_EnumerateUsers(benchmark::State& state) {
    tw::sim::SimPlatform sim(MachineWithAccounts(static_cast<int>(state.range(0))));
    tw::win::Platform platform = sim.platform();
    tw::CNetUser user(platform.net, platform.system);
    for (auto _ : state) {
        std::int32_t status = 0;
        auto names = user.EnumerateUsers(&status);
        benchmark::DoNotOptimize(names.data());
        if (status != 0 || names.size() != static_cast<std::size_t>(state.range(0)))
            state.SkipWithError("enumeration failed");
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_EnumerateUsers)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
