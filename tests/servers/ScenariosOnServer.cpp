#include "ScenarioServer.h"

#include "platform/WinTypes.h"
#include "platform/samr/SamrClient.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>

namespace tw::test {
namespace {

using namespace win;

std::vector<std::string> ScenarioFiles() {
    std::vector<std::string> files;
    for (const auto& entry :
         std::filesystem::directory_iterator(TW_SOURCE_DIR "/tests/samba/scenarios"))
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// What each scenario file wrote, seen by the server's own tools.
const std::map<std::string, std::function<void(ScenarioServer&)>> kWritten = {
    {"unlock-and-flags.json",
     [](ScenarioServer& s) {
         EXPECT_TRUE(s.Logon("locked", "Locked-pw1")) << "unlocked on the server";
         EXPECT_EQ(s.Flags("neverexp") & (UF_ACCOUNTDISABLE | UF_DONT_EXPIRE_PASSWD),
                   UF_ACCOUNTDISABLE | UF_DONT_EXPIRE_PASSWD);
         // The right is denied in the account's own descriptor, not kept aside.
         EXPECT_FALSE(s.ChangePassword("alice", "Alice-pw1", "Alice-pw2x"));
         EXPECT_TRUE(s.ChangePassword("locked", "Locked-pw1", "Locked-pw2x"));
     }},
    {"policy.json",
     [](ScenarioServer& s) {
         EXPECT_EQ(s.Policy("minPwdLen"), 9);
         EXPECT_EQ(s.Policy("maxPwdAge"), 30 * 86400);
         EXPECT_EQ(s.Policy("pwdHistoryLen"), 5);
         EXPECT_EQ(s.Policy("lockoutDuration"), 3600);
         EXPECT_EQ(s.Policy("lockoutThreshold"), 5);
     }},
    {"set-keeps-a-lockout-made-meanwhile.json",
     [](ScenarioServer& s) {
         EXPECT_FALSE(s.Logon("alice", "Alice-pw1")) << "still locked out";
         EXPECT_NE(s.Flags("alice") & UF_DONT_EXPIRE_PASSWD, 0u);
     }},
    {"set-keeps-a-disable-made-meanwhile.json",
     [](ScenarioServer& s) {
         EXPECT_EQ(s.Flags("alice") & (UF_ACCOUNTDISABLE | UF_DONT_EXPIRE_PASSWD),
                   UF_ACCOUNTDISABLE | UF_DONT_EXPIRE_PASSWD);
     }},
    {"set-keeps-a-policy-field-changed-meanwhile.json",
     [](ScenarioServer& s) {
         EXPECT_EQ(s.Policy("minPwdLen"), 9);
         EXPECT_EQ(s.Policy("pwdHistoryLen"), 7);
     }},
    {"lockout-write-refused.json",
     [](ScenarioServer& s) { EXPECT_EQ(s.Policy("lockoutDuration"), 1800); }},
    {"rounded-value-not-kept.json",
     [](ScenarioServer& s) { EXPECT_EQ(s.Policy("lockoutDuration"), 3660); }},
    // Whatever the server made of the write, the panel now shows what it holds.
    {"flag-write-without-answer.json",
     [](ScenarioServer& s) { EXPECT_NE(s.Flags("alice") & UF_ACCOUNTDISABLE, 0u); }},
};

} // namespace

std::string ScenarioServerCaseName(const testing::TestParamInfo<ScenarioServerCase>& info) {
    return info.param.name + "_" + info.param.toolkit;
}

TEST_P(ScenariosOnServer, PassAndWhatTheyWroteIsOnTheServer) {
    int argc = 1;
    char name[] = "tw_server_tests";
    char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    scenario::ToolkitFactory factory = scenario::ToolkitNamed(GetParam().toolkit, argc, argv);
    if (factory == nullptr)
        GTEST_SKIP() << GetParam().toolkit << " is not in this build";
    for (const std::string& file : ScenarioFiles()) {
        SCOPED_TRACE(file);
        const std::string base = std::filesystem::path(file).filename().string();
        std::unique_ptr<ScenarioServer> server = GetParam().make();
        if (server->skipped.count(base) != 0)
            continue;
        samr::SamrConnection connection = server->Connection();
        // Long enough for a server's first answer on a busy machine (Samba
        // starts its RPC helpers at the first call), short for the frozen one.
        connection.answerSeconds = 6;
        const scenario::ScenarioResult result =
            scenario::RunScenarioFile(file, factory, &connection, &server->hooks);
        EXPECT_TRUE(result.passed) << result.name << ": " << result.message;
        if (const auto written = kWritten.find(base); written != kWritten.end())
            written->second(*server);
    }
}

void AddFreezeHooks(ScenarioServer& server, std::function<void()> freeze,
                    std::function<void()> thaw) {
    // The server stops just as the flag write goes out to it, and goes on
    // when thawed: it carries the write out, but its answer is long given up
    // by then.
    static std::function<void()> frozen;
    server.hooks["freeze at the flag write"] = [freeze] {
        frozen = freeze;
        tw_samr_observe_requests(
            [](void*, std::uint32_t opnum) {
                constexpr std::uint32_t kSetUserInfo = 0x25; // SAMR's SetUserInfo operation
                if (opnum != kSetUserInfo)
                    return;
                tw_samr_observe_requests(nullptr, nullptr);
                frozen();
            },
            nullptr);
    };
    server.hooks["thaw"] = [thaw] {
        tw_samr_observe_requests(nullptr, nullptr);
        thaw();
    };
}

} // namespace tw::test
