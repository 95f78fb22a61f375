// The program on this Linux computer, managing real servers: their accounts
// and policy over SAMR; the running user, the computer's name, the language
// of the user's locale and the English system messages, from a computer
// described after this one; the language files beside the program, from the
// real file system. It has no Windows registry.
#pragma once

#include "LinuxFileSystem.h"

#include "platform/Platform.h"
#include "platform/samr/SamrNetApi.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimState.h"
#include "platform/sim/SimSystem.h"
#include "platform/sim/SimVisualStyles.h"
#include "platform/sim/SimWindowSystem.h"

#include <string>

namespace tw::lx {

// This computer in the terms of a machine description: no servers of its
// own, the running user, the computer name from the host name, the language
// of the messages locale, the program in `programFolder`.
sim::MachineDescription DescribeThisComputer(const std::u16string& programFolder);
// The same, managing real servers: the local server stands for this
// computer, so the server box starts with its name, as the window starts
// with this computer's name on Windows.
sim::MachineDescription DescribeThisComputer(const std::u16string& programFolder,
                                             const samr::SamrConnection& connection);

class LinuxPlatform {
public:
    LinuxPlatform(samr::SamrConnection connection, const std::u16string& programFolder);

    win::Platform platform();
    // This computer as described, and the window system whose colours and
    // input hooks the window shares.
    const sim::MachineDescription& machine() const { return computer_.machine; }
    sim::SimWindowSystem& windowSystem() { return windowSystem_; }
    samr::SamrNetApi& net() { return net_; }

private:
    // The system, the registry, the window system and the visual styles of
    // the described computer; no simulated network.
    sim::SimState computer_;
    sim::SimSystem system_{computer_};
    sim::SimRegistry registry_{computer_};
    sim::SimWindowSystem windowSystem_{computer_};
    sim::SimVisualStyles visualStyles_{computer_, windowSystem_};
    LinuxFileSystem files_;
    samr::SamrNetApi net_;
};

} // namespace tw::lx
