// tarnwick-cli's listings of a real Samba server beside Samba's own, on the
// same server in the same run:
//
//     tarnwick-cli-bench [--accounts N] [--runs R]
//
// A throw-away standalone smbd on 127.0.0.1 (as the tests start it) gets N
// accounts (default 10000), a tenth of them locked out. Each run times, the
// start of the program and the connection included: `tarnwick-cli --connect
// ... user list --json`, `user list --locked` and `user list`, beside
// `rpcclient -c enumdomusers` and `rpcclient -c querydispinfo`. The median
// of R runs (default 5) is printed; the goal is no slower than rpcclient at
// the same work: the names alone as enumdomusers, the listings that need
// each account's bits as querydispinfo.
#include "ListingRace.h"
#include "tests/samba/SambaServer.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tw;
using namespace tw::bench;

int main(int argc, char** argv) {
    const auto [count, runs] = ReadRaceOptions(argc, argv, {10000}, 10);
    test::SambaServer server;
    std::vector<std::string> open, locked;
    for (int i = 0; i < count; ++i)
        (i % 10 == 0 ? locked : open).push_back("user" + std::to_string(100000 + i));
    server.addAccounts(open);
    server.addAccounts(locked, "UL");
    const std::string signIn = " --connect -p " + std::to_string(server.port()) + " -U '" +
                               server.adminUser() + "%" + test::SambaServer::kAdminPassword + "'";
    const std::string rpcclient = "rpcclient -p " + std::to_string(server.port()) + " -U '" +
                                  server.adminUser() + "%" + test::SambaServer::kAdminPassword +
                                  "' 127.0.0.1 -c ";
    const struct {
        const char* what;
        std::string command;
        const char* marker;
    } ways[] = {
        {"tarnwick-cli user list --json", TW_CLI_PROGRAM + signIn + " user list --json",
         "\"name\":"},
        {"tarnwick-cli user list --locked", TW_CLI_PROGRAM + signIn + " user list --locked",
         "user"},
        {"tarnwick-cli user list", TW_CLI_PROGRAM + signIn + " user list", "user"},
        {"rpcclient enumdomusers", rpcclient + "enumdomusers", "user:["},
        {"rpcclient querydispinfo", rpcclient + "querydispinfo", "Account:"},
    };
    std::printf("%10d accounts, %zu locked out; median of %d runs\n", count, locked.size(), runs);
    std::vector<double> medians;
    for (const auto& way : ways) {
        std::vector<double> times;
        std::size_t listed = 0;
        for (int run = 0; run < runs; ++run) {
            const auto start = Clock::now();
            listed = CountLines(way.command + " 2>/dev/null", way.marker, "tarnwick-cli-bench");
            times.push_back(Milliseconds(start));
        }
        medians.push_back(Median(times));
        std::printf("%-34s %8zu listed %11.1f ms\n", way.what, listed, medians.back());
    }
    // Like for like: the names alone beside enumdomusers; the listings that
    // need each account's bits beside querydispinfo, which lists them too.
    const bool names = medians[2] <= medians[3];
    const bool bits = medians[0] <= medians[4] && medians[1] <= medians[4];
    std::printf("goal (no slower than rpcclient, connection included): names %s, bits %s\n",
                names ? "met" : "MISSED", bits ? "met" : "MISSED");
    return 0;
}
