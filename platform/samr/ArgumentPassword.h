// The password of "-U NAME%PASSWORD" taken out of the process's own argument
// memory before anything else runs, as Samba's tools do, so that no other
// user reads it in the process list (/proc/PID/cmdline).
#pragma once

#include "Secret.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tw::samr {

struct ArgumentPassword {
    std::optional<Secret> password;   // the last -U's that gave one
    std::optional<std::string> error; // a value that is not UTF-8: the name or the password
};

// Finds the values of -U and --user ("-U V", "--user V", "--user=V", "-UV")
// in argv, skipping the values of `valueOptions` (the program's other
// options that take one), and overwrites each value's "%PASSWORD" with NULs
// in place: the program then reads "NAME" alone.
ArgumentPassword HidePasswordArguments(int argc, char** argv,
                                       std::span<const std::string_view> valueOptions);

} // namespace tw::samr
