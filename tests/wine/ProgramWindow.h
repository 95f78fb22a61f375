// The program's own window in the real Win32 window, on a simulated machine
// described in JSON, started and its posted messages handled.
#pragma once

// The program's headers before <windows.h>, whose macros would take their names.
#include "app/FUserInfo.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include "Win32WindowFixture.h"

#include <string>

namespace tw::winetests {

struct ProgramWindow {
    explicit ProgramWindow(const std::string& machine)
        : sim(sim::loadMachineText(machine)),
          app(toolkit::VersionInfo{u"Brenholt", 1, 0, 12, u"", u""},
              sim.machine().system.executableFolder),
          window(app, sim.platform()),
          backend(window.Form(), toolkit::test::Win32Window::Options()), input(backend) {
        window.Start();
        backend.PumpMessages();
    }
    template <class T = toolkit::Control> T& Find(const char* name) {
        return static_cast<T&>(*window.Form().Find(name));
    }

    sim::SimPlatform sim;
    toolkit::Application app;
    app::FUserInfo window;
    toolkit::Win32Backend backend;
    toolkit::Win32Input input;
};

} // namespace tw::winetests
