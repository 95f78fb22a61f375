// The window itself on a real Samba server: the scenario files of
// tests/samba/scenarios run with a connection (as tarnwick-scenario --connect
// runs them) through every toolkit of the build, on a server holding an
// account in each state the window shows, and changed meanwhile by the
// files' hooks as another administrator would. What they wrote is then
// checked by the server's own tools.
#include "SambaServer.h"
#include "common/ScratchPath.h"

#include "hosts/scenario/ScenarioRunner.h"
#include "platform/samr/SamrClient.h"
#include "platform/samr/SamrConnection.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
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

// The server of every scenario file, with the named work a file's hooks do
// to it meanwhile, as another administrator would.
class ScenarioServer {
public:
    ScenarioServer() {
        server.addAccount("alice", "Alice-pw1");
        server.addAccount("locked", "Locked-pw1");
        server.addAccount("neverexp", "Never-pw1", "[X]");
        server.setPolicy("bad lockout attempt", 3);
        for (int i = 0; i < 3; ++i)
            server.logon("locked", "wrong");
        hooks["lock alice by bad logons"] = [this] {
            for (int i = 0; i < 3; ++i)
                server.logon("alice", "wrong");
        };
        hooks["disable alice"] = [this] { server.setAccountFlags("alice", "[D]"); };
        hooks["password history 7"] = [this] { server.setPolicy("password history", 7); };
        // The server stops just as the flag write goes out to it, and goes
        // on when thawed: it carries the write out, but its answer is long
        // given up by then.
        hooks["freeze at the flag write"] = [this] {
            tw_samr_observe_requests(
                [](void* frozen, std::uint32_t opnum) {
                    if (opnum != kSetUserInfo)
                        return;
                    tw_samr_observe_requests(nullptr, nullptr);
                    static_cast<SambaServer*>(frozen)->freeze();
                },
                &server);
        };
        hooks["thaw"] = [this] { server.thaw(); };
    }
    ~ScenarioServer() {
        tw_samr_observe_requests(nullptr, nullptr);
        server.thaw();
    }
    static constexpr std::uint32_t kSetUserInfo = 0x25; // SAMR's SetUserInfo operation

    // The account's flags as pdbedit shows them ("[DUX        ]").
    std::string flags(const std::string& name) const {
        const std::string shown = server.pdbeditShow(name);
        return shown.substr(shown.find("Account Flags:"), 30);
    }

    SambaServer server;
    scenario::Hooks hooks;
};

// What each scenario file wrote, seen by the server's own tools.
const std::map<std::string, std::function<void(ScenarioServer&)>> kWritten = {
    {"unlock-and-flags.json",
     [](ScenarioServer& s) {
         EXPECT_TRUE(s.server.logon("locked", "Locked-pw1")) << "unlocked on the server";
         EXPECT_NE(s.flags("neverexp").find("[DUX"), std::string::npos) << s.flags("neverexp");
         // The right is denied in the account's own descriptor, not kept aside.
         EXPECT_FALSE(s.server.changePassword("alice", "Alice-pw1", "Alice-pw2x"));
         EXPECT_TRUE(s.server.changePassword("locked", "Locked-pw1", "Locked-pw2x"));
     }},
    {"policy.json",
     [](ScenarioServer& s) {
         EXPECT_EQ(s.server.pdbeditPolicy("min password length"), 9);
         EXPECT_EQ(s.server.pdbeditPolicy("maximum password age"), 30 * 86400);
         EXPECT_EQ(s.server.pdbeditPolicy("password history"), 5);
         EXPECT_EQ(s.server.pdbeditPolicy("lockout duration"), 60) << "Samba's minutes";
         EXPECT_EQ(s.server.pdbeditPolicy("bad lockout attempt"), 5);
     }},
    {"set-keeps-a-lockout-made-meanwhile.json",
     [](ScenarioServer& s) {
         EXPECT_FALSE(s.server.logon("alice", "Alice-pw1")) << "still locked out";
         EXPECT_NE(s.flags("alice").find('X'), std::string::npos) << s.flags("alice");
     }},
    {"set-keeps-a-disable-made-meanwhile.json",
     [](ScenarioServer& s) {
         EXPECT_NE(s.flags("alice").find('D'), std::string::npos) << s.flags("alice");
         EXPECT_NE(s.flags("alice").find('X'), std::string::npos) << s.flags("alice");
     }},
    {"set-keeps-a-policy-field-changed-meanwhile.json",
     [](ScenarioServer& s) {
         EXPECT_EQ(s.server.pdbeditPolicy("min password length"), 9);
         EXPECT_EQ(s.server.pdbeditPolicy("password history"), 7);
     }},
    {"lockout-write-refused.json",
     [](ScenarioServer& s) { EXPECT_EQ(s.server.pdbeditPolicy("lockout duration"), 30); }},
    {"rounded-value-not-kept.json",
     [](ScenarioServer& s) { EXPECT_EQ(s.server.pdbeditPolicy("lockout duration"), 61); }},
    // Whatever the server made of the write, the panel now shows what it holds.
    {"flag-write-without-answer.json",
     [](ScenarioServer& s) {
         EXPECT_NE(s.flags("alice").find('D'), std::string::npos) << s.flags("alice");
     }},
};

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
        ScenarioServer server;
        // The administrator signs in from an authentication file, as -A reads it.
        const std::string credentials = tests::ScratchPath("tw-samba-auth");
        std::ofstream(credentials) << "username = " << server.server.adminUser()
                                   << "\npassword = " << SambaServer::kAdminPassword << "\n";
        samr::SamrConnection connection;
        connection.port = server.server.port();
        ASSERT_EQ(samr::LoadAuthenticationFile(connection, credentials), std::nullopt);
        std::filesystem::remove(credentials);
        connection.answerSeconds = 2;

        const scenario::ScenarioResult result =
            scenario::RunScenarioFile(file, factory, &connection, &server.hooks);
        EXPECT_TRUE(result.passed) << result.name << ": " << result.message;
        const auto written = kWritten.find(std::filesystem::path(file).filename().string());
        if (written != kWritten.end())
            written->second(server);
    }
}

INSTANTIATE_TEST_SUITE_P(Toolkits, ScenariosOnSamba, testing::Values("headless", "qt"),
                         [](const auto& info) { return info.param; });

// A wrong password is refused once: the error stays in the status line (the
// banner does not hide it), the credentials are dropped, and the actions
// after it send nothing more with them, so the server counts one bad password
// however often the administrator clicks. Without a dialog each later call
// fails with the refusal at once.
TEST(ScenariosOnSambaSignIn, AWrongPasswordIsSentOnceAndShown) {
    SambaServer server;
    server.addAccount("alice", "Alice-pw1");
    server.setPolicy("bad lockout attempt", 3);
    const samr::SamrConnection connection = server.connectionAs("alice", "wrong");
    const auto result =
        scenario::RunScenarioText(R"({"steps": [
        {"start": {}},
        {"expect": {"lblStatus.Caption": "Error 1326. The user name or password is incorrect.",
                    "Form.Enabled": true, "cbUsername.ListCount": 0, "txtMinPwdLen.Text": "",
                    "Platform.OutstandingBuffers": 0}},
        {"click": "optServer"},
        {"expect": {"txtServer.Text": "127.0.0.1",
                    "lblStatus.Caption": "Error 1326. The user name or password is incorrect.",
                    "Form.Enabled": true, "cbUsername.ListCount": 0}},
        {"click": "optLocal"},
        {"key": ["optLocal", "F5"]},
        {"expect": {"lblStatus.Caption": "Error 1326. The user name or password is incorrect."}}
    ]})",
                                  "wrong password", scenario::MakeHeadlessToolkit, &connection);
    EXPECT_TRUE(result.passed) << result.message;
    EXPECT_EQ(server.badPasswordCount("alice"), 1);
    EXPECT_TRUE(server.logon("alice", "Alice-pw1")) << "not locked out";
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
