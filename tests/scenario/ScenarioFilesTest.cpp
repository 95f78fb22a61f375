// Scenario files and the runner's command line: a FIFO or a file nested too
// deep fails with a line naming it, and odd credentials are refused, never
// passed on as other ones.
#include "common/ScratchPath.h"
#include "hosts/scenario/ScenarioOptions.h"
#include "hosts/scenario/ScenarioRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace tw::scenario {
namespace {

namespace fs = std::filesystem;

class ScenarioFiles : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir_);
        ASSERT_EQ(mkfifo(fifo_.c_str(), 0600), 0);
        std::ofstream(deepObject_) << R"({"name": "deep", "steps": )" << std::string(65, '[');
    }
    void TearDown() override { fs::remove_all(dir_); }
    const fs::path dir_ = tests::ScratchPath("tw-scenario-files");
    const std::string fifo_ = (dir_ / "fifo.json").string();
    const std::string deepObject_ = (dir_ / "deep-object.json").string();
};

TEST_F(ScenarioFiles, WhatIsNoScenarioFileFailsWithALineNamingIt) {
    const struct {
        std::string path;
        const char* message;
    } rows[] = {
        // What the file reader refuses (SmallFileTest), said of "the file".
        {fifo_, "the file is not a regular file"},
        {deepObject_, "not a scenario: nested deeper than 64 levels at byte 90"},
    };
    for (const auto& row : rows) {
        const ScenarioResult result = RunScenarioFile(row.path, &MakeHeadlessToolkit);
        EXPECT_FALSE(result.passed) << row.path;
        EXPECT_EQ(result.message.rfind(row.message, 0), 0u) << row.path << ": " << result.message;
        EXPECT_EQ(result.message.find('\n'), std::string::npos);
    }
}

TEST(ScenarioOptionsTest, TheCommandLineIsReadWithoutRunningAnything) {
    const ScenarioOptions options = ParseScenarioOptions({"--toolkit=qt", "a.json", "b.json"});
    EXPECT_EQ(options.action, ScenarioOptions::Action::Run);
    EXPECT_EQ(options.toolkit, "qt");
    EXPECT_EQ(options.files, (std::vector<std::string>{"a.json", "b.json"}));
    EXPECT_EQ(ParseScenarioOptions({"x.json", "-h"}).action, ScenarioOptions::Action::Help);
    const struct {
        std::vector<std::string> arguments;
        const char* refusal;
    } rows[] = {
        {{"--toolkit"}, "option --toolkit needs a value"},
        {{"--bogus"}, "unknown option --bogus"},
#ifdef TW_SCENARIO_SAMR
        // The connection options' own refusals: ConnectionOptionsTest.
        {{"--connect", "x.json"},
         "--connect needs a password (-U NAME%PASSWORD, -A FILE or PASSWD) or -k"},
#endif
    };
    for (const auto& row : rows) {
        const ScenarioOptions refused = ParseScenarioOptions(row.arguments);
        EXPECT_EQ(refused.action, ScenarioOptions::Action::Refuse) << row.refusal;
        EXPECT_EQ(refused.refusal, row.refusal);
    }
}

} // namespace
} // namespace tw::scenario
