// The password of "-U NAME%PASSWORD" taken out of the process's own argument
// memory before anything else runs, as Samba's tools do, so that no other
// user reads it in the process list (/proc/PID/cmdline).
#pragma once

#include "Secret.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tw::samr {

struct ArgumentPassword {
    // Each -U's password, in the order of the -U options; none where a -U
    // gave no password.
    std::vector<std::optional<Secret>> passwords;
    std::optional<std::string> error; // a value that is not UTF-8: the name or the password
};

// Finds the values of -U and --user ("-U V", "--user V", "--user=V", "-UV")
// in argv, skipping the values of the program's own options that take one
// (`ownValueOptions`) and of the other connection options, and overwrites
// each value's "%PASSWORD" with NULs in place: the program then reads "NAME"
// alone.
ArgumentPassword HidePasswordArguments(int argc, char** argv,
                                       std::span<const std::string_view> ownValueOptions);

} // namespace tw::samr
