// The platform a program instance runs on: one reference per library group.
// Handed to the objects that call Windows at construction; no globals.
#pragma once

#include "IFileSystem.h"
#include "INetApi.h"
#include "IRegistry.h"
#include "ISystem.h"

namespace tw::win {

struct Platform {
    INetApi& net;
    ISystem& system;
    IRegistry& registry;
    IFileSystem& files;
};

} // namespace tw::win
