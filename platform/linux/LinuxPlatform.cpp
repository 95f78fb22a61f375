#include "LinuxPlatform.h"

#include "LinuxComputer.h"

#include "platform/TextConvert.h"

namespace tw::lx {

sim::MachineDescription DescribeThisComputer(const std::u16string& programFolder) {
    sim::MachineDescription machine;
    const win::LANGID language = LanguageOfLocale(MessagesLocale());
    machine.system.uiLanguage = language;
    machine.system.threadLocale = language;
    machine.system.userName = FromUtf8(RunningUserName());
    machine.system.computerName = FromUtf8(ComputerNameFromHost(HostName()));
    machine.system.executableFolder = programFolder;
    return machine;
}

sim::MachineDescription DescribeThisComputer(const std::u16string& programFolder,
                                             const samr::SamrConnection& connection) {
    sim::MachineDescription machine = DescribeThisComputer(programFolder);
    machine.system.computerName = FromUtf8(connection.localHost);
    return machine;
}

LinuxPlatform::LinuxPlatform(samr::SamrConnection connection, const std::u16string& programFolder)
    : computer_(DescribeThisComputer(programFolder, connection)), net_(std::move(connection)) {}

win::Platform LinuxPlatform::platform() {
    // No Windows registry here: the local settings are not offered. The
    // accounts are real servers'.
    return {net_,
            system_,
            registry_,
            files_,
            windowSystem_,
            visualStyles_,
            false,
            true,
            [this](const std::u16string& server, const std::u16string& account) {
                return net_.WhyChangeRightUnknown(server, account);
            }};
}

} // namespace tw::lx
