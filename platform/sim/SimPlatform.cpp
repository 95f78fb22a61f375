#include "SimPlatform.h"

#include "MachineLoader.h"

namespace tw::sim {

SimPlatform::SimPlatform(MachineDescription machine) : machine_(std::move(machine)) {}

SimPlatform::~SimPlatform() = default;

win::Platform SimPlatform::platform() {
    return win::Platform{net_, *this, *this, *this, *this, *this};
}

void SimPlatform::applyPatch(const nlohmann::json& patch) {
    nlohmann::json state = toJson();
    mergeMachinePatch(state, patch);
    machine_ = loadMachine(state);
}

nlohmann::json SimPlatform::toJson() const {
    return machineToJson(machine_);
}

} // namespace tw::sim
