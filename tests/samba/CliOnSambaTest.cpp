// tarnwick-cli on a real Samba server, signed in as -U gives it: what it
// prints, and what it wrote as the server's own tools (pdbedit, smbclient
// logons) see it. A write changes only what was asked.
#include "SambaServer.h"
#include "cli/CommandTable.h"
#include "servers/Command.h"

#include "platform/WinTypes.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tw::test {
namespace {

class CliOnSamba : public testing::Test {
protected:
    // tarnwick-cli with the server and the administrator's sign-in before
    // `arguments`; its standard output and error, and its exit status.
    std::string cli(const std::vector<std::string>& arguments, int& status,
                    std::string* errors = nullptr) {
        std::vector<std::string> command{
            TW_CLI_PROGRAM, "--connect",
            "-p",           std::to_string(server.port()),
            "-U",           server.adminUser() + "%" + SambaServer::kAdminPassword};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return RunCommand(command, {}, server.folder(), &status, {}, errors);
    }

    SambaServer server;
};

TEST_F(CliOnSamba, AnUnlockAndAFlagAreWrittenAloneAndSeenByTheServer) {
    server.addAccount("alice", "Alice-pw1");
    server.addAccount("bob", "Bob-pw1", "[X]");
    server.setPolicy("bad lockout attempt", 3);
    for (int i = 0; i < 3; ++i)
        server.logon("alice", "wrong");
    ASSERT_NE(server.accountFlags("alice") & win::UF_LOCKOUT, 0u);
    int status = -1;
    EXPECT_NE(cli({"user", "show", "alice", "--json"}, status).find("\"locked\": true"),
              std::string::npos);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(cli({"user", "list", "--locked"}, status), "alice\n");
    const std::string said = cli({"user", "set", "alice", "--unlock"}, status);
    EXPECT_EQ(status, 0) << said;
    EXPECT_EQ(server.accountFlags("alice"), 0u) << "unlocked, nothing else";
    EXPECT_TRUE(server.logon("alice", "Alice-pw1"));
    cli({"user", "set", "bob", "--disabled", "yes"}, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(server.accountFlags("bob"), win::UF_ACCOUNTDISABLE | win::UF_DONT_EXPIRE_PASSWD);
}

TEST_F(CliOnSamba, ThePolicyIsWrittenAsTheServersOwnToolsSeeIt) {
    int status = -1;
    const std::string said = cli({"policy", "set", "--min-length", "9", "--history", "4"}, status);
    EXPECT_EQ(status, 0) << said;
    EXPECT_EQ(server.pdbeditPolicy("min password length"), 9);
    EXPECT_EQ(server.pdbeditPolicy("password history"), 4);
    EXPECT_NE(cli({"policy", "show"}, status).find("Min. Password Length: 9\n"), std::string::npos);
}

// The command table on this server, made like its simulated computer:
// alice; bob, "Bob Brown", locked out by bad passwords and disabled; and
// the same policy.
class CommandTableOnSamba : public CliOnSamba, public testing::WithParamInterface<TableCase> {};

TEST_P(CommandTableOnSamba, EachCommandExitsAndPrintsAsTheTableSays) {
    const std::map<std::string, long> policy = {
        {"maximum password age", 42 * 86400}, {"minimum password age", 86400},
        {"min password length", 8},           {"bad lockout attempt", 3},
        {"lockout duration", 30},             {"reset count minutes", 30},
        {"password history", 5}};
    for (const auto& [name, value] : policy)
        server.setPolicy(name, value);
    server.addAccount("alice", "Alice-pw1");
    server.addAccount("bob", "Bob-pw1");
    server.setFullName("bob", "Bob Brown");
    for (int i = 0; i < 3; ++i)
        server.logon("bob", "wrong");
    server.setAccountFlags("bob", "[DL]"); // pdbedit -c replaces the lockout too
    RunTableCase(GetParam(), [&](const std::vector<std::string>& arguments) {
        TableRun run;
        run.out = cli(arguments, run.status, &run.err);
        return run;
    });
}

INSTANTIATE_TEST_SUITE_P(
    Samba, CommandTableOnSamba,
    testing::ValuesIn(CommandTableCases("server")),
    TableCaseName);

} // namespace
} // namespace tw::test
