// Machine descriptions: any text as a machine, then as a "machine" step
// merged into it, then as a "Machine.PATH" query. A description that loads
// must survive being written back and read again unchanged, and the
// simulated computer built from it must answer an enumeration and a policy
// read without leaking a buffer.
#include "FuzzCheck.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace tw;
using tw::fuzz::Require;

namespace {

// Splits at the first NUL byte: the part before it, and the rest after it.
std::string_view takePart(std::string_view& rest) {
    const std::size_t nul = rest.find('\0');
    const std::string_view part = rest.substr(0, nul);
    rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    return part;
}

void useComputer(sim::SimPlatform& sim) {
    win::Platform platform = sim.platform();
    win::DWORD resume = 0;
    for (int batch = 0; batch < 64; ++batch) {
        win::LPBYTE buffer = nullptr;
        win::DWORD read = 0;
        win::DWORD total = 0;
        const win::NET_API_STATUS status = platform.net.NetUserEnum(
            nullptr, 0, win::FILTER_NORMAL_ACCOUNT, &buffer, 255, &read, &total, &resume);
        if (buffer != nullptr)
            platform.net.NetApiBufferFree(buffer);
        if (status != win::ERROR_MORE_DATA)
            break;
    }
    for (win::DWORD level : {0u, 3u}) {
        win::LPBYTE buffer = nullptr;
        platform.net.NetUserModalsGet(nullptr, level, &buffer);
        if (buffer != nullptr)
            platform.net.NetApiBufferFree(buffer);
    }
    Require(sim.net().OutstandingBuffers() == 0 && sim.net().BadFrees() == 0, "every buffer freed once");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view machineText = takePart(rest);
    const std::string_view patchText = takePart(rest);
    const std::string_view queryPath = rest;

    sim::MachineDescription machine;
    try {
        machine = sim::loadMachineText(machineText);
    } catch (const sim::MachineError&) {
        return 0; // refused with a message: what a bad description gets
    }
    Require(sim::loadMachine(sim::machineToJson(machine)) == machine,
            "a machine written back reads as itself");

    sim::SimPlatform sim(machine);
    useComputer(sim);

    const nlohmann::json patch = nlohmann::json::parse(patchText, nullptr, false);
    if (!patch.is_discarded()) {
        try {
            sim.applyPatch(patch);
            Require(sim::loadMachine(sim.toJson()) == sim.machine(),
                    "a patched machine written back reads as itself");
        } catch (const sim::MachineError&) {
            Require(sim.machine() == machine, "a refused patch changes nothing");
        }
        useComputer(sim);
    }
    try {
        sim.query(std::string(queryPath));
    } catch (const sim::MachineError&) {
    }
    return 0;
}
