// The platform a program instance runs on: one reference per library group.
// Handed to the objects that call Windows at construction; no globals.
#pragma once

#include "IFileSystem.h"
#include "INetApi.h"
#include "IRegistry.h"
#include "ISystem.h"
#include "IVisualStyles.h"
#include "IWindowSystem.h"

namespace tw::win {

struct Platform {
    INetApi& net;
    ISystem& system;
    IRegistry& registry;
    IFileSystem& files;
    IWindowSystem& windowSystem;
    IVisualStyles& visualStyles;
    // False where the computer the program runs on has no Windows registry
    // (Linux managing real servers): the local settings are not offered.
    bool localRegistry = true;
    // True where the accounts are those of real servers reached over the
    // network (SAMR from Linux): an error of the first load stays in the
    // status line, since only it says why the window is empty.
    bool realServers = false;
};

} // namespace tw::win
