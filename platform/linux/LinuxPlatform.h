// The program on this Linux computer, managing real servers: their accounts
// and policy over SAMR; the running user, the computer's name, the language
// of the user's locale and the English system messages, from a computer
// described after this one; the language files beside the program, from the
// real file system. It has no Windows registry.
#pragma once

#include "LinuxFileSystem.h"

#include "platform/Platform.h"
#include "platform/samr/SamrNetApi.h"
#include "platform/sim/SimPlatform.h"

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
    // The window system, the visual styles and the registry the window uses.
    sim::SimPlatform& computer() { return computer_; }
    samr::SamrNetApi& net() { return net_; }

private:
    sim::SimPlatform computer_;
    LinuxFileSystem files_;
    samr::SamrNetApi net_;
};

} // namespace tw::lx
