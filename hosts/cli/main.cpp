// tarnwick-cli: the window's accounts, policy and expiry warning for scripts.
// On Linux the target is a real server (--connect, the options tarnwick
// takes) or a simulated computer (--machine FILE); on Windows this computer
// or a named server through its own functions, or --machine.
#include "CliCommand.h"
#include "CliProgram.h"

#include "common/mCommon.h"
#include "hosts/CommandLine.h"
#include "platform/SmallFile.h"
#include "platform/TextConvert.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#ifdef _WIN32
#include "platform/win32/WinPlatform.h"

#include "platform/win32/WinHeaders.h"

#include <io.h>
#else
#include <unistd.h>

#include "platform/linux/LinuxComputer.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/samr/ConnectionOptions.h"
#endif

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tw;

int Refuse(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    return 2;
}

int RunOn(win::Platform platform, const std::u16string& folder, const cli::CliCommand& command) {
    mCommon common(platform, folder);
    // As the window: the user's UI language where the system has one, so the
    // platform is looked at first.
    common.CheckPlatform();
    common.LoadLanguageFile(0);
#ifdef _WIN32
    const bool terminal = _isatty(_fileno(stderr)) != 0;
#else
    const bool terminal = isatty(STDERR_FILENO) != 0;
#endif
    cli::CliProgram program(platform, common, std::cout, std::cerr, terminal);
    return program.Run(command);
}

// The simulated computer a machine description describes; refused with
// exit status 2 when it cannot be read.
int RunOnMachine(const cli::CliCommand& command) {
    std::string content;
    if (auto why = win::ReadSmallFile(command.machineFile, content))
        return Refuse("tarnwick-cli: the machine description " + command.machineFile + " " + *why);
    std::unique_ptr<sim::SimPlatform> sim;
    try {
        sim = std::make_unique<sim::SimPlatform>(sim::loadMachineText(content));
    } catch (const std::exception& error) {
        return Refuse("tarnwick-cli: " + command.machineFile +
                      " is not a machine description: " + error.what());
    }
    // The simulated computer's program folder, where its language file is.
    return RunOn(sim->platform(), sim->machine().system.executableFolder, command);
}

// The folder of the program's own file, where its language files are: not
// of what started it, which may be a bare name found on the PATH, or a link.
std::u16string ProgramFolder() {
#ifdef _WIN32
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<::DWORD>(path.size())));
    const std::wstring folder = std::filesystem::path(path).parent_path().wstring();
    return std::u16string(folder.begin(), folder.end());
#else
    std::error_code ignored;
    return FromUtf8(std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path().string());
#endif
}

} // namespace

int main(int argc, char** argv) {
#ifndef _WIN32
    // First of all: the password of -U NAME%PASSWORD leaves the process list.
    static constexpr std::string_view kValueOptions[] = {"--machine", "--server"};
    samr::ArgumentPassword hidden = samr::HidePasswordArguments(argc, argv, kValueOptions);
#endif
    tw::hosts::PrepareConsole();
    std::vector<std::string> arguments = tw::hosts::Utf8Arguments(argc, argv);
#ifndef _WIN32
    samr::ConnectionOptions connection;
    const auto connectionError =
        samr::TakeConnectionOptions(arguments, kValueOptions, std::move(hidden), connection);
#endif
    const cli::CliCommand command = cli::ParseCliCommand(arguments);
    switch (command.action) {
    case cli::CliCommand::Action::Help:
    case cli::CliCommand::Action::Version:
        std::fputs(command.text.c_str(), stdout);
        return 0;
    case cli::CliCommand::Action::Refuse:
        return Refuse(command.text);
    case cli::CliCommand::Action::Run:
        break;
    }
    const std::u16string folder = ProgramFolder();
#ifdef _WIN32
    if (!command.machineFile.empty())
        return RunOnMachine(command);
    win32::WinPlatform platform;
    return RunOn(platform.platform(), folder, command);
#else
    if (connectionError)
        return Refuse("tarnwick-cli: " + *connectionError);
    if (connection.connect && !command.machineFile.empty())
        return Refuse("tarnwick-cli: --machine and --connect exclude each other");
    if (!command.machineFile.empty())
        return RunOnMachine(command);
    if (!connection.connect)
        return Refuse("tarnwick-cli: name the target: --connect for real servers, or --machine "
                      "FILE for a simulated computer");
    if (!connection.connection.HasCredentials())
        return Refuse("tarnwick-cli: no password: give -U NAME%PASSWORD, -A FILE, PASSWD or -k");
    lx::LinuxPlatform servers(std::move(connection.connection), folder);
    return RunOn(servers.platform(), folder, command);
#endif
}
