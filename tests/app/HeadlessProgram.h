// The program's window on a simulated computer with the headless toolkit,
// wired as the scenario runner wires it, not yet started. `net`, when given,
// stands in for the simulated computer's network-management layer.
#pragma once

#include "app/FUserInfo.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <string>

namespace tw::test {

class HeadlessProgram {
public:
    explicit HeadlessProgram(sim::MachineDescription machine, win::INetApi* net = nullptr,
                             const toolkit::VersionInfo& version = {u"Brenholt", 1, 0, 12, u"",
                                                                    u""})
        : sim(std::move(machine)), app(version, sim.machine().system.executableFolder),
          window(app, PlatformWith(sim, net)), input(window.Form(), backend.Clock()) {
        app.SetBackend(&backend);
        window.Form().SetView(&backend);
        window.Form().SetHandle(toolkit::HeadlessBackend::WindowHandle());
    }

    toolkit::Form& Form() { return window.Form(); }
    toolkit::Control& Control(const std::string& name) {
        toolkit::Control* control = Form().Find(name);
        EXPECT_NE(control, nullptr) << name;
        return *control;
    }
    toolkit::TextBox& Box(const std::string& name) {
        return static_cast<toolkit::TextBox&>(Control(name));
    }
    std::u16string Status() { return static_cast<toolkit::Label&>(Control("lblStatus")).Caption(); }
    // The whole text of a box replaced by typing, as a user does it.
    void Replace(const std::string& name, const std::u16string& text) {
        input.Focus(Box(name));
        input.SelectAllWithMouse(Box(name));
        for (char16_t c : text)
            input.Key(c);
    }

    sim::SimPlatform sim;
    toolkit::Application app;
    toolkit::HeadlessBackend backend;
    app::FUserInfo window;
    toolkit::HeadlessInput input;

private:
    static win::Platform PlatformWith(sim::SimPlatform& sim, win::INetApi* net) {
        const win::Platform simulated = sim.platform();
        return win::Platform{net != nullptr ? *net : simulated.net,
                             simulated.system,
                             simulated.registry,
                             simulated.files,
                             simulated.windowSystem,
                             simulated.visualStyles,
                             simulated.localRegistry,
                             simulated.realServers,
                             simulated.unknownChangeRight};
    }
};

} // namespace tw::test
