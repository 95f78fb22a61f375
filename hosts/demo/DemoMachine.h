// The built-in demo machine (resources/demo-machine.json): a local computer
// and its running user named after the real ones, a few accounts in every
// state, a server with many accounts, one that denies access, one whose
// policy reads but whose accounts are denied.
#pragma once

#include <string>

namespace tw::demo {

// The machine description with the local computer and the running user named.
std::string DemoMachineText(const std::string& userName, const std::string& computerName);

} // namespace tw::demo
