// The window itself on a real Samba server: the scenario files of
// tests/samba/scenarios (the suite of tests/servers) on a standalone server,
// read back with pdbedit; a wrong password sent once; no machine
// description on real servers.
#include "SambaServer.h"
#include "common/ScratchPath.h"
#include "servers/ScenarioServer.h"

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

// A standalone Samba server for the scenario files, its administrator
// signing in from an authentication file, as -A reads it.
class SambaScenarioServer : public ScenarioServer {
public:
    SambaScenarioServer() {
        samba_.addAccount("alice", "Alice-pw1");
        samba_.addAccount("locked", "Locked-pw1");
        samba_.addAccount("neverexp", "Never-pw1", "[X]");
        samba_.setPolicy("bad lockout attempt", 3);
        for (int i = 0; i < 3; ++i)
            samba_.logon("locked", "wrong");
        hooks["lock alice by bad logons"] = [this] {
            for (int i = 0; i < 3; ++i)
                samba_.logon("alice", "wrong");
        };
        hooks["disable alice"] = [this] { samba_.setAccountFlags("alice", "[D]"); };
        hooks["password history 7"] = [this] { samba_.setPolicy("password history", 7); };
        AddFreezeHooks(
            *this, [this] { samba_.freeze(); }, [this] { samba_.thaw(); });
    }
    ~SambaScenarioServer() override { hooks.at("thaw")(); }

    samr::SamrConnection Connection() override {
        const std::string credentials = tests::ScratchPath("tw-samba-auth");
        std::ofstream(credentials) << "username = " << samba_.adminUser()
                                   << "\npassword = " << SambaServer::kAdminPassword << "\n";
        samr::SamrConnection connection;
        connection.port = samba_.port();
        EXPECT_EQ(samr::LoadAuthenticationFile(connection, credentials), std::nullopt);
        std::filesystem::remove(credentials);
        return connection;
    }
    bool Logon(const std::string& name, const std::string& password) override {
        return samba_.logon(name, password);
    }
    bool ChangePassword(const std::string& name, const std::string& old,
                        const std::string& password) override {
        return samba_.changePassword(name, old, password);
    }
    std::uint32_t Flags(const std::string& name) override { return samba_.accountFlags(name); }
    // pdbedit's account policy, lockout times in minutes.
    long Policy(const std::string& field) override {
        static const std::map<std::string, std::pair<const char*, long>> kNames = {
            {"minPwdLen", {"min password length", 1}},
            {"maxPwdAge", {"maximum password age", 1}},
            {"pwdHistoryLen", {"password history", 1}},
            {"lockoutDuration", {"lockout duration", 60}},
            {"lockoutThreshold", {"bad lockout attempt", 1}}};
        const auto& [name, unit] = kNames.at(field);
        return samba_.pdbeditPolicy(name) * unit;
    }

private:
    SambaServer samba_;
};

INSTANTIATE_TEST_SUITE_P(
    Samba, ScenariosOnServer,
    testing::Values(
        ScenarioServerCase{"Samba", [] { return std::make_unique<SambaScenarioServer>(); },
                           "headless"},
        ScenarioServerCase{"Samba", [] { return std::make_unique<SambaScenarioServer>(); }, "qt"}),
    ScenarioServerCaseName);

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
