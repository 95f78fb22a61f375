// The platform a program instance runs on: one reference per library group.
// Handed to the objects that call Windows at construction; no globals.
#pragma once

#include "IFileSystem.h"
#include "INetApi.h"
#include "IRegistry.h"
#include "ISystem.h"
#include "IVisualStyles.h"
#include "IWindowSystem.h"

#include <functional>
#include <optional>
#include <string>

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
    // Why the change-password right of an account cannot be known on the
    // server (as NetUserGetInfo takes it): the server keeps it where this
    // program cannot reach it. Nothing where it can; no function where
    // every server's can.
    std::function<std::optional<std::u16string>(const std::u16string& server,
                                                const std::u16string& account)>
        unknownChangeRight = {};
};

} // namespace tw::win
