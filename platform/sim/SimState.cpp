#include "SimState.h"

#include "FailureKeys.h"

namespace tw::sim {

bool SimState::windowCallFails(const char* function) {
    const std::uint32_t call = ++windowCallCounts_[function];
    const auto injected = findFailure(machine.windowFail, function, std::nullopt, call, call);
    if (!injected || *injected == 0)
        return false;
    lastError = *injected;
    return true;
}

} // namespace tw::sim
