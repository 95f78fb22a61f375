// tarnwick-demo.exe: FUserInfo in the Win32 window on the simulated demo
// machine, named after this computer and its user.
#include "app/FUserInfo.h"
#include "hosts/ProgramVersion.h"
#include "hosts/demo/DemoMachine.h"
#include "platform/TextConvert.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Win32Backend.h"

#include <cstdlib>
#include <string>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

int main() {
    const tw::sim::MachineDescription machine = tw::sim::loadMachineText(tw::demo::DemoMachineText(
        Variable("USERNAME"), tw::ComputerNameFromHost(Variable("COMPUTERNAME"))));
    tw::sim::SimPlatform sim(machine);
    tw::toolkit::Application app(tw::hosts::ProgramVersion(), machine.system.executableFolder);
    tw::app::FUserInfo window(app, sim.platform());
    tw::toolkit::Win32BackendOptions options;
    options.longDatePicture = machine.system.longDateFormat;
    tw::toolkit::Win32Backend backend(window.Form(), options);
    window.Start();
    return backend.Run();
}
