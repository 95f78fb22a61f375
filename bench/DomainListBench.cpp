// Listing the accounts of an Active Directory domain controller over SAMR
// with Kerberos, beside Samba's own listing of the same DC:
//
//     tests/addc/run-in-domain.sh build/default/bench/tarnwick-domain-bench [--accounts N] [--runs
//     R]
//
// The throw-away DC of the tests (inside the namespaces run-in-domain.sh
// makes) gets N accounts (default 1000); the administrator's ticket comes
// from kinit. Each run times, connection set-up included: the program's way,
// NetUserEnum level 0 at a preferred length of 255 bytes until the list is
// complete, on a fresh SamrNetApi signing in with the ticket; and `rpcclient
// --use-kerberos=required -c enumdomusers`. The median of R runs (default 5)
// is printed; the goal is no slower than rpcclient.
#include "ListingRace.h"
#include "tests/addc/DomainController.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tw;
using namespace tw::bench;

int main(int argc, char** argv) {
    const auto [count, runs] = ReadRaceOptions(argc, argv, {1000}, 1);
    test::DomainController dc;
    std::vector<std::pair<std::string, std::uint32_t>> accounts;
    for (int i = 0; i < count; ++i)
        accounts.emplace_back("user" + std::to_string(100000 + i), test::uac::kNormal);
    dc.addAccounts(accounts, "Account-pw1");
    if (!dc.obtainTicket(test::DomainController::kAdmin, dc.adminPassword())) {
        std::fprintf(stderr, "tarnwick-domain-bench: kinit failed: %s\n", dc.lastOutput().c_str());
        return 1;
    }
    samr::SamrConnection kerberos;
    kerberos.kerberos = true;
    kerberos.localHost = dc.host();
    std::vector<double> ours, theirs;
    std::size_t listed = 0, shown = 0;
    for (int run = 0; run < runs; ++run) {
        auto start = Clock::now();
        listed = ListThroughNetApi(kerberos, "tarnwick-domain-bench");
        ours.push_back(Milliseconds(start));
        start = Clock::now();
        shown = ListThroughRpcclient("rpcclient --use-kerberos=required -c enumdomusers " +
                                         dc.host() + " 2>/dev/null",
                                     "tarnwick-domain-bench");
        theirs.push_back(Milliseconds(start));
    }
    dc.dropTickets();
    const double ratio = Median(ours) / Median(theirs);
    std::printf("%10s %10s %14s %14s %8s\n", "accounts", "listed", "NetUserEnum", "rpcclient",
                "ratio");
    std::printf("%10d %10zu %11.1f ms %11.1f ms %8.2f\n", count, listed, Median(ours),
                Median(theirs), ratio);
    std::printf("rpcclient listed %zu (all the domain's users, not only normal accounts)\n", shown);
    std::printf("goal (no slower than rpcclient, connection included): %s\n",
                ratio <= 1.0 ? "met" : "MISSED");
    return 0;
}
