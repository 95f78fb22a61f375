#include "SimPlatform.h"

#include "MachineLoader.h"

namespace tw::sim {

SimPlatform::SimPlatform(MachineDescription machine) : state_(std::move(machine)) {}

SimPlatform::~SimPlatform() = default;

win::Platform SimPlatform::platform() {
    return win::Platform{net_, system_, registry_, files_, windowSystem_, visualStyles_};
}

void SimPlatform::applyPatch(const nlohmann::json& patch) {
    nlohmann::json state = toJson();
    mergeMachinePatch(state, patch);
    state_.machine = loadMachine(state);
}

nlohmann::json SimPlatform::toJson() const {
    return machineToJson(state_.machine);
}

} // namespace tw::sim
