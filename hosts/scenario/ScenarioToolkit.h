// The toolkit a scenario runs through: the headless model alone, or a real
// widget backend fed with real input events.
#pragma once

#include "app/FUserInfo.h"
#include "toolkit/IUserInput.h"

#include <memory>
#include <string>

namespace tw::scenario {

class ScenarioToolkit {
public:
    virtual ~ScenarioToolkit() = default;
    // Creates the backend for the window and hands it to the application.
    // The simulated window system the program runs on, before Attach: a
    // backend that paints system colours itself takes them from there.
    virtual void UseWindowSystem(win::IWindowSystem& /*windowSystem*/) {}
    virtual void Attach(app::FUserInfo& window, toolkit::Application& app,
                        const std::u16string& longDatePicture) = 0;
    virtual toolkit::IUserInput& Input() = 0;
    // The window system sent the window a message of its own (a "system"
    // step), after the program's window procedure had it: a backend that
    // paints system colours itself picks up the new ones here.
    virtual void SystemMessage(unsigned /*message*/) {}
    // What assistive technology is told of a control: its accessible name
    // or description, as the backend's accessibility layer gives it. The
    // model's own values where the toolkit has no such layer.
    virtual std::u16string AccessibleName(const toolkit::Control& control) {
        return control.AccessibleName();
    }
    virtual std::u16string AccessibleDescription(const toolkit::Control& control) {
        return control.AccessibleDescription();
    }
};

// Makes a fresh toolkit for one scenario.
using ToolkitFactory = std::unique_ptr<ScenarioToolkit> (*)();

std::unique_ptr<ScenarioToolkit> MakeHeadlessToolkit();

// The toolkits this build has, as a usage line lists them: "headless|qt".
const char* AvailableToolkits();
// The factory of a toolkit by its name ("headless", "qt", "win32"), or null
// when this build has none of that name. Makes what the toolkit needs first
// (the QApplication for "qt", from the program's arguments).
ToolkitFactory ToolkitNamed(const std::string& name, int& argc, char** argv);

} // namespace tw::scenario
