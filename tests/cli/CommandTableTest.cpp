// tarnwick-cli's command table (commands.txt) on the simulated computer of
// machine.json: each case runs its commands in order on one fresh computer,
// and each command's exit status, standard output and standard error are
// compared line by line with the table.
#include "hosts/cli/CliCommand.h"
#include "hosts/cli/CliProgram.h"

#include "common/mCommon.h"
#include "platform/SmallFile.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tw::cli {
namespace {

struct Command {
    std::vector<std::string> arguments;
    int exitStatus = 0;
    std::string out, err;
};

struct Case {
    std::string name;
    std::vector<Command> commands;
    friend void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
};

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// "== case", "$ arguments", "exit N", "> stdout line", "! stderr line".
std::vector<Case> ReadTable(const std::string& path) {
    std::vector<Case> cases;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("== ", 0) == 0)
            cases.push_back({line.substr(3), {}});
        else if (line.rfind("$ ", 0) == 0)
            cases.back().commands.push_back({Words(line.substr(2)), 0, {}, {}});
        else if (line.rfind("exit ", 0) == 0)
            cases.back().commands.back().exitStatus = std::stoi(line.substr(5));
        else if (line.rfind(">", 0) == 0)
            cases.back().commands.back().out += line.substr(line.size() > 1 ? 2 : 1) + "\n";
        else if (line.rfind("!", 0) == 0)
            cases.back().commands.back().err += line.substr(line.size() > 1 ? 2 : 1) + "\n";
    }
    return cases;
}

const std::string kFolder = TW_SOURCE_DIR "/tests/cli/";

class CommandTable : public testing::TestWithParam<Case> {};

TEST_P(CommandTable, EachCommandExitsAndPrintsAsTheTableSays) {
    std::string machine;
    ASSERT_EQ(win::ReadSmallFile(kFolder + "machine.json", machine), std::nullopt);
    sim::SimPlatform sim(sim::loadMachineText(machine));
    win::Platform platform = sim.platform();
    mCommon common(platform, u"C:\\Program Files\\Tarnwick");
    for (const Command& expected : GetParam().commands) {
        std::string line;
        for (const auto& word : expected.arguments)
            line += word + " ";
        SCOPED_TRACE(line);
        std::ostringstream out, err;
        const CliCommand command = ParseCliCommand(expected.arguments);
        int status = 2;
        if (command.action == CliCommand::Action::Refuse)
            err << command.text << "\n";
        else
            status = CliProgram(platform, common, out, err).Run(command);
        EXPECT_EQ(status, expected.exitStatus);
        EXPECT_EQ(out.str(), expected.out);
        EXPECT_EQ(err.str(), expected.err);
    }
}

INSTANTIATE_TEST_SUITE_P(Simulated, CommandTable,
                         testing::ValuesIn(ReadTable(kFolder + "commands.txt")),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (char c : info.param.name)
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

} // namespace
} // namespace tw::cli
