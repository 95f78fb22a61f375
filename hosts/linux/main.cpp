// tarnwick for Linux: the Qt window on a simulated Windows computer. The
// built-in demo machine takes this computer's host name and the running
// user's name, so the window starts as it would on the user's own Windows PC.
//
//     tarnwick [--machine FILE]   (FILE: a machine description, see SCENARIOS.md)
#include "hosts/ProgramVersion.h"
#include "app/FUserInfo.h"
#include "platform/TextConvert.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/qt/QtBackend.h"

#include <QApplication>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace tw::demo {
extern const char* const kDemoMachine;
}

namespace {

std::string JsonEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20)
            out += c;
    }
    return out;
}

// A NetBIOS-style computer name: upper case, at most 15 characters.
std::string ComputerName() {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0 || host[0] == '\0')
        return "DEMO-PC";
    std::string name(host);
    name = name.substr(0, name.find('.')).substr(0, 15);
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

std::string UserName() {
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_name[0] != '\0')
        return entry->pw_name;
    return "demo";
}

std::string DemoMachine() {
    std::string text = tw::demo::kDemoMachine;
    const std::pair<std::string, std::string> names[] = {{"@USER@", JsonEscaped(UserName())},
                                                         {"@COMPUTER@", JsonEscaped(ComputerName())}};
    for (const auto& [from, to] : names) {
        for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    std::string machineText = DemoMachine();
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
