// The Win32 window as a scenario toolkit: the program's real controls, fed
// with the window messages a user's mouse and keyboard produce; timers on
// virtual time, message boxes recorded only.
#pragma once

#include "ScenarioToolkit.h"

namespace tw::scenario {

std::unique_ptr<ScenarioToolkit> MakeWin32Toolkit();

} // namespace tw::scenario
