// tarnwick-cli's command table on the domain controller, signed in with the
// Administrator's Kerberos ticket: the domain made like the table's
// simulated computer (alice; bob, "Bob Brown", locked out by bad passwords
// and disabled; the same policy), undone after each case.
#include "DomainController.h"
#include "cli/CommandTable.h"
#include "servers/Command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace tw::test {
namespace {

class CommandTableOnDomainController : public testing::TestWithParam<TableCase> {
protected:
    DomainController& dc_ = SharedDomainController();
    DomainChanges changes_{dc_};
};

TEST_P(CommandTableOnDomainController, EachCommandExitsAndPrintsAsTheTableSays) {
    // Written straight into the directory (ldbmodify): quicker than
    // samba-tool, once for each case. Intervals in units of 100 ns, negative.
    const auto days = [](long long n) { return std::to_string(-n * 86400 * 10000000LL); };
    const std::string halfAnHour = std::to_string(-1800 * 10000000LL);
    dc_.setDomainAttributes({{"maxPwdAge", days(42)},
                             {"minPwdAge", days(1)},
                             {"minPwdLength", "8"},
                             {"pwdHistoryLength", "5"},
                             {"lockoutThreshold", "3"},
                             {"lockoutDuration", halfAnHour},
                             {"lockOutObservationWindow", halfAnHour}});
    // bob disabled from the start: a later write of the control bits would
    // end the lockout the bad passwords make.
    changes_.add({{"alice", uac::kNormal}, {"bob", uac::kNormal | uac::kDisabled}}, "Password-1");
    dc_.setAccountAttributes("bob", {{"displayName", "Bob Brown"}});
    for (int i = 0; i < 3; ++i)
        dc_.logon("bob", "wrong");
    const samr::SamrConnection signIn = dc_.administratorConnection(true); // the ticket
    char pattern[] = "/tmp/tarnwick-cli-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    RunTableCase(GetParam(), [&](const std::vector<std::string>& arguments) {
        std::vector<std::string> command{TW_CLI_PROGRAM, "--connect", "-k", "--local",
                                         signIn.localHost};
        command.insert(command.end(), arguments.begin(), arguments.end());
        TableRun run;
        run.out = RunCommand(command, {}, folder, &run.status, {}, &run.err);
        // Samba's libraries say so on standard error in the test's network
        // namespace, which has no interface but loopback.
        for (std::string noise = "WARNING: no network interfaces found\n";
             run.err.find(noise) != std::string::npos;)
            run.err.erase(run.err.find(noise), noise.size());
        return run;
    });
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    ActiveDirectory, CommandTableOnDomainController,
    testing::ValuesIn(CommandTableCases("server")),
    TableCaseName);

} // namespace
} // namespace tw::test
