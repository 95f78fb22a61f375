// tarnwick-cli's command table (commands.txt) on the simulated computer of
// machine.json: each case runs its commands in order on one fresh computer,
// and each command's exit status, standard output and standard error are
// compared line by line with the table.
#include "CommandTable.h"

#include "hosts/cli/CliCommand.h"
#include "hosts/cli/CliProgram.h"

#include "common/mCommon.h"
#include "platform/SmallFile.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace tw::cli {
namespace {

const std::string kFolder = TW_SOURCE_DIR "/tests/cli/";

using namespace tw::test;

// Each case on a fresh simulated computer of the machine file, with the
// language file it places beside the program, as tarnwick-cli runs it.
class CommandTable : public testing::TestWithParam<TableCase> {
protected:
    void RunOn(const std::string& machineFile) {
        std::string machine;
        ASSERT_EQ(win::ReadSmallFile(kFolder + machineFile, machine), std::nullopt);
        sim::SimPlatform sim(sim::loadMachineText(machine));
        win::Platform platform = sim.platform();
        mCommon common(platform, sim.machine().system.executableFolder);
        common.CheckPlatform();
        common.LoadLanguageFile(0);
        RunTableCase(GetParam(), [&](const std::vector<std::string>& arguments) {
            std::ostringstream out, err;
            const CliCommand command = ParseCliCommand(arguments);
            int status = 2;
            if (command.action == CliCommand::Action::Refuse)
                err << command.text << "\n";
            else
                status = CliProgram(platform, common, out, err).Run(command);
            return TableRun{status, out.str(), err.str()};
        });
    }
};

TEST_P(CommandTable, EachCommandExitsAndPrintsAsTheTableSays) {
    RunOn("machine.json");
}

INSTANTIATE_TEST_SUITE_P(Simulated, CommandTable, testing::ValuesIn(CommandTableCases("sim")),
                         TableCaseName);

// The window's captions, units and messages from a German language file.
class GermanCommandTable : public CommandTable {};

TEST_P(GermanCommandTable, EachCommandExitsAndPrintsAsTheTableSays) {
    RunOn("machine-german.json");
}

INSTANTIATE_TEST_SUITE_P(Simulated, GermanCommandTable,
                         testing::ValuesIn(CommandTableCases("sim", "german.txt")), TableCaseName);

} // namespace
} // namespace tw::cli
