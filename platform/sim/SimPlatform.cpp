#include "SimPlatform.h"

#include "MachineLoader.h"

namespace tw::sim {

SimPlatform::SimPlatform(MachineDescription machine) : state_(std::move(machine)) {}

SimPlatform::~SimPlatform() = default;

win::Platform SimPlatform::platform() {
    win::Platform platform{net_, system_, registry_, files_, windowSystem_, visualStyles_};
    platform.unknownChangeRight = [this](const std::u16string& server,
                                         const std::u16string& account) {
        return network_.ChangeRightOutOfReach(server, account);
    };
    return platform;
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
