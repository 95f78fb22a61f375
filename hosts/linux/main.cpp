// tarnwick for Linux: the Qt window on a simulated Windows computer. The
// built-in demo machine takes this computer's host name and the running
// user's name, so the window starts as it would on the user's own Windows PC.
//
//     tarnwick [--machine FILE]   (FILE: a machine description, see SCENARIOS.md)
#include "app/FUserInfo.h"
#include "hosts/ProgramVersion.h"
#include "hosts/demo/DemoMachine.h"
#include "platform/TextConvert.h"
#include "platform/linux/LinuxComputer.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/qt/QtBackend.h"

#include <QApplication>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    std::string machineText = tw::demo::DemoMachineText(
        tw::lx::RunningUserName(), tw::ComputerNameFromHost(tw::lx::HostName()));
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--machine") {
            std::ifstream file(argv[i + 1], std::ios::binary);
            std::ostringstream content;
            content << file.rdbuf();
            machineText = content.str();
        }
    }
    tw::sim::MachineDescription machine;
    try {
        machine = tw::sim::loadMachineText(machineText);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarnwick: %s\n", error.what());
        return 2;
    }
    tw::sim::SimPlatform sim(machine);
    tw::toolkit::Application app(tw::hosts::ProgramVersion(), machine.system.executableFolder);
    tw::app::FUserInfo window(app, sim.platform());
    tw::toolkit::QtBackendOptions options;
    options.longDatePicture = machine.system.longDateFormat;
    // The window paints the simulated computer's colours, and the user's real
    // keys and mouse reach the program's keyboard-cue hooks through it.
    options.systemColor = [&sim](unsigned index) {
        return sim.GetSysColor(static_cast<int>(index));
    };
    options.keyEvent = [&sim](int key, bool up) {
        sim.keyEvent(static_cast<tw::win::BYTE>(key), up);
    };
    options.mouseMove = [&sim](int x, int y) { sim.mouseMove(x, y); };
    options.mouseButton = [&sim](int key, bool down) {
        sim.setKeyDown(static_cast<tw::win::BYTE>(key), down);
    };
    tw::toolkit::QtBackend backend(window.Form(), options);
    window.Start();
    if (app.Ended())
        return 0;
    return QApplication::exec();
}
