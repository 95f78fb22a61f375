// The user list on a large server, through the real windows:
//
//     tarnwick-list-bench [--toolkit NAME]... [--accounts N,N,...] [--runs R]
//
// For each toolkit (default: every one this build has) and each number of
// accounts (default 1000, 10000, 100000) it times what the administrator
// waits for: from Enter in the server box until the list holds every
// account, in the model and in the widget (the toolkit has settled). The
// window's real logic runs on the simulated platform, as in tarnwick-scenario.
// The median of R runs (default 5) is printed, then the goals: each toolkit
// within 1.5 times the headless time at the largest count, and the headless
// time at the largest count within 11 times the time at a tenth of it.
#include "TypeServerName.h"

#include "app/FUserInfo.h"
#include "hosts/ProgramVersion.h"
#include "hosts/scenario/ScenarioToolkit.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win32/WinHeaders.h"

#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace {

using tw::scenario::ToolkitFactory;

tw::sim::MachineDescription Machine(int accounts) {
    std::ostringstream text;
    text << R"({"system": {"userName": "alice", "computerName": "WS01"},
        "computers": {"WS01": {"accounts": [{"name": "alice"}]},
                      "BIGSRV": {"generatedAccounts": {"count": )"
         << accounts << "}}}}";
    return tw::sim::loadMachineText(text.str());
}

// Pages the process touched for the first time so far (minor faults
// included): memory the allocator had to take from the system.
long PageFaults() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    return ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters))
               ? static_cast<long>(counters.PageFaultCount)
               : 0;
#else
    rusage usage{};
    return ::getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_minflt + usage.ru_majflt : 0;
#endif
}

// Milliseconds from Enter in the server box until the list is full; negative
// when the list did not fill.
double SwitchMilliseconds(const tw::sim::MachineDescription& machine, int accounts,
                          ToolkitFactory factory, long& faults) {
    tw::sim::SimPlatform sim(machine);
    tw::toolkit::Application app(tw::hosts::ProgramVersion(), machine.system.executableFolder);
    tw::app::FUserInfo window(app, sim.platform());
    const std::unique_ptr<tw::scenario::ScenarioToolkit> toolkit = factory();
    toolkit->UseWindowSystem(sim.windowSystem());
    toolkit->Attach(window, app, u"dddd, MMMM d, yyyy");
    window.Start();
    tw::toolkit::Form& form = window.Form();
    tw::toolkit::IUserInput& input = toolkit->Input();
    tw::bench::TypeServerName(form, input, u"BIGSRV");

    const long faultsBefore = PageFaults();
    const auto start = std::chrono::steady_clock::now();
    input.Key(tw::toolkit::vbKeyReturn);
    input.Wait(0); // the window settles: what was added shows
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    faults = PageFaults() - faultsBefore;
    const auto& list = static_cast<const tw::toolkit::ComboBox&>(*form.Find("cbUsername"));
    return list.ListCount() == accounts ? took.count() : -1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The switch to a server of `accounts`, in milliseconds: median of `runs`.
double SwitchMedian(int accounts, int runs, ToolkitFactory factory, long& faults) {
    const tw::sim::MachineDescription machine = Machine(accounts);
    std::vector<double> switches;
    std::vector<double> faultCounts;
    // The first run warms up: it leaves the process as every later run finds
    // it (the allocator holding memory for a list this long).
    for (int run = -1; run < runs; ++run) {
        long switchFaults = 0;
        const double ms = SwitchMilliseconds(machine, accounts, factory, switchFaults);
        if (ms < 0) {
            std::fprintf(stderr, "tarnwick-list-bench: the list did not fill\n");
            std::exit(1);
        }
        if (run >= 0) {
            switches.push_back(ms);
            faultCounts.push_back(static_cast<double>(switchFaults));
        }
    }
    faults = static_cast<long>(Median(faultCounts));
    return Median(switches);
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ',');)
        parts.push_back(part);
    return parts;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> toolkits;
    std::vector<int> counts;
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--toolkit" && i + 1 < argc) {
            toolkits.push_back(argv[++i]);
        } else if (arg == "--accounts" && i + 1 < argc) {
            for (const std::string& count : Split(argv[++i]))
                counts.push_back(std::atoi(count.c_str()));
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr,
                         "usage: tarnwick-list-bench [--toolkit %s]... [--accounts N,...] "
                         "[--runs R]\n",
                         tw::scenario::AvailableToolkits());
            return 2;
        }
    }
    if (toolkits.empty()) {
        std::string names = tw::scenario::AvailableToolkits();
        std::replace(names.begin(), names.end(), '|', ',');
        toolkits = Split(names);
    }
    if (counts.empty())
        counts = {1000, 10000, 100000};
    if (std::find(toolkits.begin(), toolkits.end(), "headless") == toolkits.end())
        toolkits.insert(toolkits.begin(), "headless"); // the measure of the others

    std::map<std::string, std::map<int, double>> milliseconds;
    std::printf("%-10s %10s %12s %12s\n", "toolkit", "accounts", "switch (ms)", "page faults");
    for (const std::string& name : toolkits) {
        const ToolkitFactory factory = tw::scenario::ToolkitNamed(name, argc, argv);
        if (factory == nullptr) {
            std::fprintf(stderr, "tarnwick-list-bench: toolkit \"%s\" is not available here\n",
                         name.c_str());
            return 2;
        }
        for (int count : counts) {
            long faults = 0;
            milliseconds[name][count] = SwitchMedian(count, runs, factory, faults);
            std::printf("%-10s %10d %12.2f %12ld\n", name.c_str(), count, milliseconds[name][count],
                        faults);
            std::fflush(stdout);
        }
    }

    const int largest = *std::max_element(counts.begin(), counts.end());
    const double headless = milliseconds["headless"][largest];
    for (const std::string& name : toolkits) {
        if (name == "headless")
            continue;
        const double ratio = milliseconds[name][largest] / headless;
        std::printf("goal: %s within 1.5 x headless at %d: %.2f x, %s\n", name.c_str(), largest,
                    ratio, ratio <= 1.5 ? "met" : "MISSED");
    }
    if (std::find(counts.begin(), counts.end(), largest / 10) != counts.end()) {
        const double ratio = headless / milliseconds["headless"][largest / 10];
        std::printf("goal: headless %d within 11 x %d: %.2f x, %s\n", largest, largest / 10, ratio,
                    ratio <= 11 ? "met" : "MISSED");
    }
    return 0;
}
