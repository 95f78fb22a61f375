// A simulated Windows computer and its network: every platform interface of
// the program, answered from a machine description as Windows answers.
//
//     SimPlatform sim(loadMachineText(text));   // MachineLoader.h
//     FUserInfo window(..., sim.platform());
//
// What it models (see README.md in this folder for the details):
// - network management: the local computer (no server argument, or its own
//   name) and named servers ("\\NAME" or "NAME", without regard to case);
//   any other server fails every call with machine.unknownServerStatus;
//   NetUserEnum batches by preferred length, resumed by handle; lockout that
//   can only be cleared; failure injection per function, level and call;
//   every buffer a real allocation, tracked until NetApiBufferFree;
// - the system message table, names, version, WOW64, language and code page,
//   locale settings and environment; GetLastError as the functions set it;
// - the registry with its 32-bit and 64-bit views, handles with their access
//   rights, administrator rights for HKLM, denied keys;
// - the language file in the executable's folder;
// - the window system: system colours, metrics, the keyboard-cue setting,
//   icons, windows with their procedures (each non-null window handle is a
//   window of this thread with the default procedure until SetWindowLongW
//   replaces it), thread hooks fed by keyEvent and mouseMove, the keyboard
//   state; and the visual styles of uxtheme, which may be missing.
//
// One part answers for each interface (SimNetwork behind the NetApiFront,
// SimSystem, SimRegistry, SimFiles, SimWindowSystem, SimVisualStyles); they
// share the machine and the last error through a SimState this object owns.
//
// The platform functions never throw. Only the scenario-runner functions
// applyPatch and query throw MachineError, for a bad patch or path.
#pragma once

#include "MachineDescription.h"
#include "SimFiles.h"
#include "SimNetwork.h"
#include "SimRegistry.h"
#include "SimState.h"
#include "SimSystem.h"
#include "SimVisualStyles.h"
#include "SimWindowSystem.h"
#include "platform/NetApiFront.h"

#include "platform/Platform.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace tw::sim {

class SimPlatform final {
public:
    explicit SimPlatform(MachineDescription machine = {});
    ~SimPlatform();
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    // The interfaces as one bundle, valid while this object lives.
    win::Platform platform();

    // The parts, one per interface.
    SimSystem& system() { return system_; }
    SimRegistry& registry() { return registry_; }
    SimFiles& files() { return files_; }
    SimWindowSystem& windowSystem() { return windowSystem_; }
    SimVisualStyles& visualStyles() { return visualStyles_; }

    // ---- For the scenario runner and tests -------------------------------

    const MachineDescription& machine() const { return state_.machine; }

    // A "machine" step: merges `patch` into the current state (toJson) key by
    // key at every depth, arrays and other values replacing, and validates the
    // result. The call logs, buffers, call counters, open key handles and the
    // last error survive. Throws MachineError (state unchanged) when the
    // result is not a valid machine.
    void applyPatch(const nlohmann::json& patch);

    // A "Machine.PATH" expectation: the value at a '/'-separated path of
    // toJson(), computers and accounts found by name without regard to case
    // ("computers/SRV01/accounts/alice/flags", "computers/WS01/policy/maxPwdAge",
    // "system/isAdmin"). Numbers come unsigned. "registry/KEY/NAME" gives a
    // value of the 64-bit (native) view as {"type": 4, "dword": 14}, and
    // "registry32/KEY/NAME" one of the 32-bit view; KEY is a path from HKLM
    // or HKCU with backslashes, NAME may be empty (the default value);
    // "registry/KEY" gives an object of all values of the key. Absent computers,
    // accounts, keys and values give null; a field the machine format does
    // not have throws MachineError.
    nlohmann::json query(const std::string& path) const;

    // The current state in the machine format (MachineLoader.h).
    nlohmann::json toJson() const;

    // The network-management functions of this computer and its network,
    // with their call log and buffers (NetApiFront).
    win::NetApiFront& net() { return net_; }
    const win::NetApiFront& net() const { return net_; }

    // The registry's call log and open keys (SimRegistry).
    const std::vector<std::string>& registryCalls() const { return registry_.calls(); }
    void clearRegistryCalls() { registry_.clearCalls(); }
    std::size_t openKeyCount() const { return registry_.openKeyCount(); }

    // Input and messages from outside the program, and what the program did
    // with its windows, icons and hooks (SimWindowSystem).
    void keyEvent(win::BYTE vk, bool up) { windowSystem_.keyEvent(vk, up); }
    void mouseMove(win::LONG x, win::LONG y) { windowSystem_.mouseMove(x, y); }
    void setKeyDown(win::BYTE vk, bool down) { windowSystem_.setKeyDown(vk, down); }
    win::LRESULT deliverMessage(win::HWND hWnd, win::UINT Msg, win::WPARAM wParam,
                                win::LPARAM lParam) {
        return windowSystem_.deliverMessage(hWnd, Msg, wParam, lParam);
    }
    const std::vector<std::string>& windowMessages() const {
        return windowSystem_.windowMessages();
    }
    void clearWindowMessages() { windowSystem_.clearWindowMessages(); }
    std::size_t liveIcons() const { return windowSystem_.liveIcons(); }
    std::string windowIcon(win::HWND hWnd, bool big) const {
        return windowSystem_.windowIcon(hWnd, big);
    }
    std::vector<std::string> hooks() const { return windowSystem_.hooks(); }
    win::WORD uiState(win::HWND hWnd) const { return windowSystem_.uiState(hWnd); }

    // Theme handles left open and uxtheme calls made while it is missing
    // (SimVisualStyles).
    std::size_t openThemes() const { return visualStyles_.openThemes(); }
    std::size_t missingLibraryCalls() const { return visualStyles_.missingLibraryCalls(); }

private:
    SimState state_;
    SimNetwork network_{state_};
    win::NetApiFront net_{network_};
    SimSystem system_{state_};
    SimRegistry registry_{state_};
    SimFiles files_{state_};
    SimWindowSystem windowSystem_{state_};
    SimVisualStyles visualStyles_{state_, windowSystem_};
};

} // namespace tw::sim
