// The window itself on a real Samba server: the scenario files of
// tests/samba/scenarios run with a connection (as tarnwick-scenario --connect
// runs them) through every toolkit of the build, on a server holding an
// account in each state the window shows. What they wrote is then checked by
// the server's own tools.
#include "SambaServer.h"

#include "hosts/scenario/ScenarioRunner.h"
#include "platform/samr/SamrConnection.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tw::test {
namespace {

std::vector<std::string> ScenarioFiles() {
    std::vector<std::string> files;
    for (const auto& entry :
         std::filesystem::directory_iterator(TW_SOURCE_DIR "/tests/samba/scenarios"))
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

class ScenariosOnSamba : public testing::TestWithParam<std::string> {};

TEST_P(ScenariosOnSamba, PassAndWhatTheyWroteIsOnTheServer) {
    int argc = 1;
    char name[] = "tw_samba_tests";
    char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    scenario::ToolkitFactory factory = scenario::ToolkitNamed(GetParam(), argc, argv);
    if (factory == nullptr)
        GTEST_SKIP() << GetParam() << " is not in this build";
    for (const std::string& file : ScenarioFiles()) {
        SCOPED_TRACE(file);
        SambaServer server;
        server.addAccount("alice", "Alice-pw1");
        server.addAccount("locked", "Locked-pw1");
        server.addAccount("neverexp", "Never-pw1", "[X]");
        server.setPolicy("bad lockout attempt", 3);
        for (int i = 0; i < 3; ++i)
            server.logon("locked", "wrong");
        // The administrator signs in from an authentication file, as -A reads it.
        const std::string credentials = std::filesystem::temp_directory_path() / "tw-samba-auth";
        std::ofstream(credentials) << "username = " << server.adminUser()
                                   << "\npassword = " << SambaServer::kAdminPassword << "\n";
        samr::SamrConnection connection;
        connection.port = server.port();
        ASSERT_EQ(samr::LoadAuthenticationFile(connection, credentials), std::nullopt);
        std::filesystem::remove(credentials);

        const scenario::ScenarioResult result =
            scenario::RunScenarioFile(file, factory, &connection);
        EXPECT_TRUE(result.passed) << result.name << ": " << result.message;
        if (file.ends_with("unlock-and-flags.json")) {
            EXPECT_TRUE(server.logon("locked", "Locked-pw1")) << "unlocked on the server";
            const std::string shown = server.pdbeditShow("neverexp");
            EXPECT_NE(shown.find("Account Flags:        [DUX"), std::string::npos) << shown;
        } else if (file.ends_with("policy.json")) {
            EXPECT_EQ(server.pdbeditPolicy("min password length"), 9);
            EXPECT_EQ(server.pdbeditPolicy("bad lockout attempt"), 5);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Toolkits, ScenariosOnSamba, testing::Values("headless", "qt"),
                         [](const auto& info) { return info.param; });

// What the sign-in dialog hands over goes to the server as it is: a wrong
// password is the calls' error in the status line, as every failure is (at
// start the banner follows it), and the window stays usable.
TEST(ScenariosOnSambaSignIn, AWrongPasswordIsTheCallsError) {
    SambaServer server;
    const samr::SamrConnection connection = server.connectionAs({}, "wrong");
    const auto result =
        scenario::RunScenarioText(R"({"steps": [
        {"start": {}},
        {"expect": {"Form.Enabled": true, "cbUsername.ListCount": 0, "txtMinPwdLen.Text": "",
                    "Platform.OutstandingBuffers": 0}},
        {"click": "optServer"},
        {"expect": {"txtServer.Text": "127.0.0.1",
                    "lblStatus.Caption": "Error 1326. The user name or password is incorrect.",
                    "Form.Enabled": true, "cbUsername.ListCount": 0}},
        {"click": "optLocal"},
        {"expect": {"lblStatus.Caption": "Error 1326. The user name or password is incorrect."}}
    ]})",
                                  "wrong password", scenario::MakeHeadlessToolkit, &connection);
    EXPECT_TRUE(result.passed) << result.message;
}

TEST(ScenariosOnSambaRefused, AMachineDescriptionOnRealServersIsAnError) {
    samr::SamrConnection connection;
    connection.hasPassword = true;
    const auto result =
        scenario::RunScenarioText(R"({"machine": {}, "steps": [{"start": {}}]})", "machine",
                                  scenario::MakeHeadlessToolkit, &connection);
    EXPECT_FALSE(result.passed);
    EXPECT_NE(result.message.find("describes no machine"), std::string::npos) << result.message;
}

} // namespace
} // namespace tw::test
