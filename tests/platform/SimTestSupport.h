// Helpers shared by the tests of the simulated platform.
#pragma once

#include "platform/TextConvert.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include <memory>
#include <ostream>
#include <string>

namespace tw::sim::test {

inline std::unique_ptr<SimPlatform> makeSim(const std::string& machineJson) {
    return std::make_unique<SimPlatform>(loadMachineText(machineJson));
}

// The message of the MachineError that `action` throws, or "" when it throws none.
template <typename Action> std::string machineErrorOf(Action action) {
    try {
        action();
    } catch (const MachineError& e) {
        return e.what();
    }
    return "";
}

} // namespace tw::sim::test

// Rows of data-driven tests (structs marked with `using TestRow = void;`)
// print as their index only: gtest would otherwise dump their raw bytes,
// padding included, which valgrind rightly calls uninitialised.
template <typename Row>
requires requires {
    typename Row::TestRow;
}
void PrintTo(const Row&, std::ostream* os) {
    *os << "row";
}
