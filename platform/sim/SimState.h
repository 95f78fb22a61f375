// What the parts of one simulated computer share (SimSystem, SimRegistry,
// SimFiles, SimWindowSystem, SimVisualStyles, SimNetwork): the machine they
// answer from and change, the thread's last error, and the calls counted for
// the failures of the window-system and visual-styles functions, which one
// list of rules injects.
#pragma once

#include "MachineDescription.h"

#include "platform/WinTypes.h"

#include <cstdint>
#include <map>
#include <string>

namespace tw::sim {

class SimState {
public:
    explicit SimState(MachineDescription description) : machine(std::move(description)) {}

    // Counts a call of a window-system or visual-styles function; true, with
    // the last error set, when the machine's windowFail rules fail this call.
    bool windowCallFails(const char* function);

    MachineDescription machine;
    win::DWORD lastError = 0;

private:
    std::map<std::string, std::uint32_t> windowCallCounts_;
};

} // namespace tw::sim
