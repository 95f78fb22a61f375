// The Qt window as a scenario toolkit: real widgets on Qt's offscreen
// platform, fed with real Qt input events; timers on virtual time.
#pragma once

#include "ScenarioToolkit.h"

namespace tw::scenario {

// Creates the QApplication (offscreen unless QT_QPA_PLATFORM says otherwise).
void InitQt(int& argc, char** argv);
std::unique_ptr<ScenarioToolkit> MakeQtToolkit();

} // namespace tw::scenario
