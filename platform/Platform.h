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
};

} // namespace tw::win
