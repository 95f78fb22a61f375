// tarnwick for Linux: the Qt window on the built-in demo machine (a
// simulated Windows computer named after this one), on a machine description
// of your own, or on real Windows and Samba servers over SAMR.
//
//     tarnwick [--machine FILE]
//     tarnwick --connect [--local HOST] [-p N] [-U [DOMAIN\]NAME] [-A FILE] [-k]
#include "ProgramOptions.h"
#include "SignInDialog.h"

#include "app/FUserInfo.h"
#include "common/mCommon.h"
#include "hosts/ProgramVersion.h"
#include "hosts/demo/DemoMachine.h"
#include "platform/TextConvert.h"
#include "platform/linux/LinuxComputer.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/qt/QtBackend.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace tw;

// The window on a platform, until it closes; `sim` is the window system whose
// colours and input hooks the window shares.
int RunWindow(toolkit::Application& app, const win::Platform& platform, sim::SimWindowSystem& sim,
              const std::u16string& longDatePicture) {
    app::FUserInfo window(app, platform);
    toolkit::QtBackendOptions options;
    options.longDatePicture = longDatePicture;
    // The window paints the computer's colours, and the user's real keys and
    // mouse reach the program's keyboard-cue hooks through it.
    options.systemColor = [&sim](unsigned index) {
        return sim.GetSysColor(static_cast<int>(index));
    };
    options.keyEvent = [&sim](int key, bool up) { sim.keyEvent(static_cast<win::BYTE>(key), up); };
    options.mouseMove = [&sim](int x, int y) { sim.mouseMove(x, y); };
    options.mouseButton = [&sim](int key, bool down) {
        sim.setKeyDown(static_cast<win::BYTE>(key), down);
    };
    toolkit::QtBackend backend(window.Form(), options);
    window.Start();
    if (app.Ended())
        return 0;
    return QApplication::exec();
}

int RunOnRealServers(hosts::ProgramOptions& options) {
    const std::u16string folder = FromUtf8(QCoreApplication::applicationDirPath().toStdString());
    // The dialog's texts, and the error text of a refusal, as the window has them.
    sim::SimState thisComputer(lx::DescribeThisComputer(folder));
    sim::SimSystem system(thisComputer);
    lx::LinuxFileSystem files;
    mCommon language(system, files, folder);
    language.LoadLanguageFile(0);
    const hosts::TextOf text = [&language](std::u16string_view key, std::u16string_view def) {
        return language.LocString(key, def);
    };
    // Asked before the first call to a server; Cancel ends without one.
    if (!options.connection.HasCredentials() &&
        !hosts::SignIn(options.connection, options.connection.localHost, text))
        return 0;
    // The one copy of the password moves on to the connection's owner.
    lx::LinuxPlatform servers(std::move(options.connection), folder);
    // Credentials a server refused are dropped: the dialog comes back, with
    // the refusal, before anything more is sent.
    servers.net().SetSignIn(hosts::SignInAgain(text, [&language](win::NET_API_STATUS refusal) {
        return language.StatusErrorText(static_cast<std::int32_t>(refusal));
    }));
    toolkit::Application app(hosts::ProgramVersion(), folder);
    return RunWindow(app, servers.platform(), servers.windowSystem(),
                     servers.machine().system.longDateFormat);
}

} // namespace

int main(int argc, char** argv) {
    // First of all: the password of -U NAME%PASSWORD leaves the process list.
    samr::ArgumentPassword hidden = samr::HidePasswordArguments(argc, argv, hosts::kValueOptions);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    hosts::ProgramOptions options = hosts::ParseProgramOptions(arguments, std::move(hidden));
    switch (options.action) {
    case hosts::ProgramOptions::Action::Help:
    case hosts::ProgramOptions::Action::Version:
        std::fputs(options.text.c_str(), stdout);
        return 0;
    case hosts::ProgramOptions::Action::Refuse:
        std::fprintf(stderr, "%s\n", options.text.c_str());
        return 2;
    case hosts::ProgramOptions::Action::Run:
        break;
    }

    QApplication qtApp(argc, argv);
    if (options.connect)
        return RunOnRealServers(options);

    const std::string machineText =
        options.machineFile.empty()
            ? demo::DemoMachineText(lx::RunningUserName(), ComputerNameFromHost(lx::HostName()))
            : options.machineText;
    const sim::MachineDescription machine = sim::loadMachineText(machineText);
    sim::SimPlatform sim(machine);
    toolkit::Application app(hosts::ProgramVersion(), machine.system.executableFolder);
    return RunWindow(app, sim.platform(), sim.windowSystem(), machine.system.longDateFormat);
}
