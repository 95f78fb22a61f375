// The window itself on a real Samba server: the scenario files of
// tests/samba/scenarios run with a connection (as tarnwick-scenario --connect
// runs them) through every toolkit of the build, on a server holding an
// account in each state the window shows. What they wrote is then checked by
// the server's own tools.
#include "SambaServer.h"
#include "common/ScratchPath.h"

#include "hosts/scenario/ScenarioRunner.h"
#include "platform/samr/SamrClient.h"
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
        const std::string credentials = tests::ScratchPath("tw-samba-auth");
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

// Another administrator changes the server between the window's read and
// its Set: what the window did not change keeps the server's value.
class SetOnSamba : public testing::Test {
protected:
    SetOnSamba() {
        server_.addAccount("alice", "Alice-pw1");
        server_.setPolicy("bad lockout attempt", 3);
        hooks_["lock alice by bad logons"] = [this] {
            for (int i = 0; i < 3; ++i)
                server_.logon("alice", "wrong");
        };
        hooks_["disable alice"] = [this] { server_.setAccountFlags("alice", "[D]"); };
        hooks_["password history 7"] = [this] { server_.setPolicy("password history", 7); };
        // The server stops just as the flag write goes out to it, and goes
        // on when thawed: it carries the write out, but its answer is long
        // given up by then.
        hooks_["freeze at the flag write"] = [this] {
            tw_samr_observe_requests(
                [](void* server, std::uint32_t opnum) {
                    if (opnum != kSetUserInfo)
                        return;
                    tw_samr_observe_requests(nullptr, nullptr);
                    static_cast<SambaServer*>(server)->freeze();
                },
                &server_);
        };
        hooks_["thaw"] = [this] { server_.thaw(); };
    }
    ~SetOnSamba() override {
        tw_samr_observe_requests(nullptr, nullptr);
        server_.thaw();
    }
    static constexpr std::uint32_t kSetUserInfo = 0x25; // SAMR's SetUserInfo operation
    scenario::ScenarioResult Run(const char* steps) {
        samr::SamrConnection connection = server_.connectionAs();
        connection.answerSeconds = 2;
        return scenario::RunScenarioText(steps, "set", scenario::MakeHeadlessToolkit, &connection,
                                         {}, &hooks_);
    }
    SambaServer server_;
    scenario::Hooks hooks_;
};

TEST_F(SetOnSamba, AnAccountLockedOutMeanwhileStaysLocked) {
    const auto result = Run(R"({"steps": [
        {"start": {}},
        {"select": ["cbUsername", "alice"]},
        {"click": "chkNeverExpires"},
        {"hook": "lock alice by bad logons"},
        {"clearCalls": {}},
        {"click": "cmdUserSet"},
        {"expect": {"Platform.Calls": ["NetUserGetInfo.3 -", "NetUserSetInfo.1008 -", "NetUserGetInfo.3 -"],
                    "chkLocked.Value": 1, "chkNeverExpires.Value": 1, "lblStatus.Caption": ""}}
    ]})");
    EXPECT_TRUE(result.passed) << result.message;
    EXPECT_FALSE(server_.logon("alice", "Alice-pw1")) << "still locked out";
    EXPECT_NE(server_.pdbeditShow("alice").find("X"), std::string::npos);
}

TEST_F(SetOnSamba, AnAccountDisabledMeanwhileStaysDisabled) {
    const auto result = Run(R"({"steps": [
        {"start": {}},
        {"select": ["cbUsername", "alice"]},
        {"click": "chkNeverExpires"},
        {"hook": "disable alice"},
        {"click": "cmdUserSet"},
        {"expect": {"chkDisabled.Value": 1, "chkNeverExpires.Value": 1, "lblStatus.Caption": ""}}
    ]})");
    EXPECT_TRUE(result.passed) << result.message;
    const std::string shown = server_.pdbeditShow("alice");
    const std::string flags = shown.substr(shown.find("Account Flags:"), 30);
    EXPECT_NE(flags.find('D'), std::string::npos) << flags;
    EXPECT_NE(flags.find('X'), std::string::npos) << flags;
}

TEST_F(SetOnSamba, APolicyFieldChangedMeanwhileKeepsItsValue) {
    const auto result = Run(R"({"steps": [
        {"start": {}},
        {"replace": ["txtMinPwdLen", "9"]},
        {"hook": "password history 7"},
        {"clearCalls": {}},
        {"click": "cmdModalsSet"},
        {"expect": {"Platform.Calls": ["NetUserModalsGet.0 -", "NetUserModalsGet.3 -",
                                       "NetUserModalsSet.0 -", "NetUserModalsSet.3 -",
                                       "NetUserModalsGet.0 -", "NetUserModalsGet.3 -"],
                    "txtMinPwdLen.Text": "9", "txtPwdHistoryLen.Text": "7", "lblStatus.Caption": ""}}
    ]})");
    EXPECT_TRUE(result.passed) << result.message;
    EXPECT_EQ(server_.pdbeditPolicy("min password length"), 9);
    EXPECT_EQ(server_.pdbeditPolicy("password history"), 7);
}

// A lockout shorter than its observation window is refused at the lockout
// level, after the password level was written: the refusal is shown and the
// lockout fields show what the server still holds.
TEST_F(SetOnSamba, ARefusedLockoutWriteIsShown) {
    const auto result = Run(R"({"steps": [
        {"start": {}},
        {"replace": ["txtMinPwdLen", "9"]},
        {"replace": ["txtLockoutTimeout", "3600"]},
        {"replace": ["txtLockoutDuration", "60"]},
        {"click": "cmdModalsSet"},
        {"expect": {"lblStatus.Caption": {"startsWith": "Error "}, "txtMinPwdLen.Text": "9",
                    "txtLockoutDuration.Text": "1800", "txtLockoutTimeout.Text": "1800"}}
    ]})");
    EXPECT_TRUE(result.passed) << result.message;
    EXPECT_EQ(server_.pdbeditPolicy("lockout duration"), 30);
}

// Samba keeps lockout times in whole minutes: 3690 seconds is kept as 3660,
// and the window says so.
TEST_F(SetOnSamba, AValueTheServerRoundsIsReportedAsNotKept) {
    const auto result = Run(R"({"steps": [
        {"start": {}},
        {"replace": ["txtLockoutDuration", "3690"]},
        {"click": "cmdModalsSet"},
        {"expect": {"txtLockoutDuration.Text": "3660",
                    "lblStatus.Caption": "Not kept by the server: Lockout Duration"}}
    ]})");
    EXPECT_TRUE(result.passed) << result.message;
    EXPECT_EQ(server_.pdbeditPolicy("lockout duration"), 61);
}

TEST_F(SetOnSamba, AFlagWriteThatGetsNoAnswerMayHaveBeenMadeAndIsReadAgain) {
    const auto result = Run(R"({"steps": [
        {"start": {}},
        {"select": ["cbUsername", "alice"]},
        {"click": "chkDisabled"},
        {"hook": "freeze at the flag write"},
        {"click": "cmdUserSet"},
        {"expect": {"lblStatus.Caption": "Error 1726. No answer from the server: the change may have been made.",
                    "chkDisabled.Value": 1, "cmdUserSet.Enabled": true, "Form.Enabled": true}},
        {"hook": "thaw"},
        {"replace": ["txtMinPwdLen", "9"]},
        {"click": "cmdModalsSet"},
        {"expect": {"lblStatus.Caption": "", "cmdUserSet.Enabled": false, "chkDisabled.Value": 1,
                    "txtMinPwdLen.Text": "9"}}
    ]})");
    EXPECT_TRUE(result.passed) << result.message;
    // Whatever the server made of the write, the panel now shows what it holds.
    const std::string shown = server_.pdbeditShow("alice");
    const std::string flags = shown.substr(shown.find("Account Flags:"), 30);
    EXPECT_NE(flags.find('D'), std::string::npos) << flags;
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
