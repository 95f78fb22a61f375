// The program's own window in the real Win32 window, on a simulated machine
// described in JSON (or already loaded), started and its posted messages
// handled; laid out at `dpi` when given (0: the monitor's).
#pragma once

// The program's headers before <windows.h>, whose macros would take their names.
#include "app/FUserInfo.h"
#include "hosts/ProgramVersion.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include "Win32WindowFixture.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace tw::winetests {

struct ProgramWindow {
    explicit ProgramWindow(const std::string& machine, std::optional<int> dpi = std::nullopt)
        : ProgramWindow(sim::loadMachineText(machine), dpi) {}
    ProgramWindow(sim::MachineDescription machine, std::optional<int> dpi)
        : sim(std::move(machine)),
          app(hosts::ProgramVersion(), sim.machine().system.executableFolder),
          window(app, sim.platform()), backend(window.Form(), Options(dpi)), input(backend) {
        window.Start();
        backend.PumpMessages();
    }
    template <class T = toolkit::Control> T& Find(const char* name) {
        toolkit::Control* control = window.Form().Find(name);
        if (control == nullptr)
            throw std::runtime_error(std::string("no control ") + name);
        return static_cast<T&>(*control);
    }
    HWND H(const toolkit::Control& control) const { return backend.HandleOf(control); }

    sim::SimPlatform sim;
    toolkit::Application app;
    app::FUserInfo window;
    toolkit::Win32Backend backend;
    toolkit::Win32Input input;

private:
    static toolkit::Win32BackendOptions Options(std::optional<int> dpi) {
        toolkit::Win32BackendOptions options = toolkit::test::Win32Window::Options();
        if (dpi) {
            options.longDatePicture = u"dddd, MMMM d, yyyy";
            options.dpi = *dpi;
        }
        return options;
    }
};

} // namespace tw::winetests
