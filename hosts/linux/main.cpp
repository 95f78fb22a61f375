// tarnwick for Linux: the Qt window on a simulated Windows computer. The
// built-in demo machine takes this computer's host name and the running
// user's name, so the window starts as it would on the user's own Windows PC.
//
//     tarnwick [--machine FILE]   (FILE: a machine description, see SCENARIOS.md)
#include "hosts/ProgramVersion.h"
#include "hosts/demo/DemoMachine.h"
#include "app/FUserInfo.h"
#include "platform/TextConvert.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/qt/QtBackend.h"

#include <QApplication>

#include <cstdio>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string HostName() {
    char host[256] = {};
    return gethostname(host, sizeof host - 1) == 0 ? std::string(host) : std::string();
}

std::string UserName() {
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr ? std::string(entry->pw_name) : std::string();
}

} // namespace

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    std::string machineText =
        tw::demo::DemoMachineText(UserName(), tw::demo::ComputerNameFromHost(HostName()));
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
