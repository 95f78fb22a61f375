// tarnwick's command line, read before any window opens.
#include "hosts/linux/ProgramOptions.h"
#include "common/ScratchPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tw::hosts {
namespace {

using Action = ProgramOptions::Action;

ProgramOptions Parse(const std::vector<const char*>& arguments) {
    QStringList list{"tarnwick"};
    for (const char* a : arguments)
        list << a;
    return ParseProgramOptions(list);
}

class ProgramOptionsTest : public testing::Test {
protected:
    void SetUp() override {
        std::ofstream(machine_) << R"({"system": {"userName": "bob"}})";
        std::ofstream(broken_) << R"({"system": {"userName": 5}})";
    }
    void TearDown() override {
        for (const std::string& path : {machine_, broken_})
            std::filesystem::remove(path);
    }
    const std::string machine_ = tests::ScratchPath("tw-options-machine.json");
    const std::string broken_ = tests::ScratchPath("tw-options-broken.json");
};

TEST_F(ProgramOptionsTest, EachBadFormIsOneClearLine) {
    const struct {
        std::vector<const char*> arguments;
        std::string says;
    } rows[] = {
        {{"--bogus"}, "tarnwick: Unknown option 'bogus'."},
        {{"--help", "--bogus"}, "tarnwick: Unknown option 'bogus'."}, // not the help
        {{"--machine"}, "tarnwick: Missing value after '--machine'."},
        // Each refusal of the file reader (SmallFileTest) and of the machine
        // loader (MachineLoaderTest) is said of the file.
        {{"--machine", "/tmp"}, "tarnwick: the machine description /tmp is not a regular file"},
        {{"--machine", broken_.c_str()}, "is not a machine description: "},
        // The connection options' own refusals: ConnectionOptionsTest, KerberosCheckTest.
        {{"--connect", "--machine", machine_.c_str()}, "exclude each other"},
        {{"stray"}, "tarnwick: unexpected argument \"stray\""},
    };
    for (const auto& row : rows) {
        const ProgramOptions options = Parse(row.arguments);
        EXPECT_EQ(options.action, Action::Refuse) << row.says;
        EXPECT_NE(options.text.find(row.says), std::string::npos) << options.text;
        EXPECT_EQ(options.text.find('\n'), std::string::npos) << "one line";
    }
}

// --version: the tarnwick.version test of the program itself.
TEST_F(ProgramOptionsTest, HelpNamesEveryOption) {
    const ProgramOptions help = Parse({"-h"});
    EXPECT_EQ(help.action, Action::Help);
    EXPECT_EQ(help.text.rfind("Usage: tarnwick [options]", 0), 0u) << help.text;
    for (const char* option : {"--connect", "--local <HOST>", "--port <N>", "--user <NAME>",
                               "--authentication-file <FILE>", "--kerberos", "--machine <FILE>"})
        EXPECT_NE(help.text.find(option), std::string::npos) << option;
}

TEST_F(ProgramOptionsTest, GoodFormsAreTakenAsGiven) {
    ProgramOptions demo = Parse({});
    EXPECT_EQ(demo.action, Action::Run);
    EXPECT_FALSE(demo.connect);
    EXPECT_TRUE(demo.machineText.empty()) << "the demo machine";
    ProgramOptions own = Parse({"--machine", machine_.c_str()});
    EXPECT_EQ(own.action, Action::Run);
    EXPECT_NE(own.machineText.find("bob"), std::string::npos);
    ProgramOptions real =
        Parse({"--connect", "--local", "dc1.lab", "-p", "4450", "-U", "LAB\\admin"});
    EXPECT_EQ(real.action, Action::Run) << real.text;
    EXPECT_TRUE(real.connect);
    EXPECT_EQ(real.connection.user, "admin"); // each option's reading: ConnectionOptionsTest
    EXPECT_FALSE(real.connection.HasCredentials()) << "the sign-in dialog asks";
}

// -U through the parser: a NUL (which Qt's strings can hold) is an error,
// never a shorter name (each part: SamrConnectionTest). What the program's
// own arguments give is read by HidePasswordArguments first.
TEST_F(ProgramOptionsTest, APasswordTakenFromTheArgumentsSignsInAndANulIsRefused) {
    const ProgramOptions nul = ParseProgramOptions(
        {"tarnwick", "--connect", "-U", QString("root") + QChar(u'\0') + "evil"});
    EXPECT_EQ(nul.action, Action::Refuse);
    EXPECT_EQ(nul.text, "tarnwick: -U: the user name holds a NUL character");

    samr::ArgumentPassword hidden;
    hidden.passwords.emplace_back(samr::Secret("from-argv"));
    const ProgramOptions options =
        ParseProgramOptions({"tarnwick", "--connect", "-U", "alice"}, std::move(hidden));
    ASSERT_EQ(options.action, Action::Run) << options.text;
    EXPECT_EQ(options.connection.user, "alice");
    EXPECT_EQ(options.connection.password.View(), "from-argv");
    EXPECT_TRUE(options.connection.HasCredentials());
}

} // namespace
} // namespace tw::hosts
