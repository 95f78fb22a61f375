// Listing the accounts of a real Samba server over SAMR, beside Samba's own
// listing of the same server:
//
//     tarnwick-samr-bench [--accounts N,N,...] [--runs R]
//
// A throw-away standalone smbd on 127.0.0.1 (as the tests start it) gets N
// accounts (default 1000 and 10000). Each run times, connection set-up
// included: the program's way, NetUserEnum level 0 at a preferred length of
// 255 bytes until the list is complete, on a fresh SamrNetApi; and
// `rpcclient -p PORT -U ... -c enumdomusers 127.0.0.1`. The median of R runs
// (default 5) is printed; the goal is no slower than rpcclient.
#include "ListingRace.h"
#include "tests/samba/SambaServer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using namespace tw;
using namespace tw::bench;

int main(int argc, char** argv) {
    std::vector<int> counts = {1000, 10000};
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (option == "--accounts") {
            counts.clear();
            std::stringstream list(argv[i + 1]);
            for (std::string n; std::getline(list, n, ',');)
                counts.push_back(std::atoi(n.c_str()));
        }
    }
    bool met = true;
    std::printf("%10s %14s %14s %8s\n", "accounts", "NetUserEnum", "rpcclient", "ratio");
    for (int count : counts) {
        test::SambaServer server;
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i)
            names.push_back("user" + std::to_string(100000 + i));
        server.addAccounts(names);
        std::vector<double> ours, theirs;
        for (int run = 0; run < runs; ++run) {
            auto start = Clock::now();
            const std::size_t listed =
                ListThroughNetApi(server.connectionAs(), "tarnwick-samr-bench");
            ours.push_back(Milliseconds(start));
            start = Clock::now();
            const std::size_t shown = ListThroughRpcclient(
                "rpcclient -p " + std::to_string(server.port()) + " -U '" + server.adminUser() +
                    "%" + test::SambaServer::kAdminPassword + "' -c enumdomusers 127.0.0.1",
                "tarnwick-samr-bench");
            theirs.push_back(Milliseconds(start));
            if (listed != shown) {
                std::fprintf(stderr, "tarnwick-samr-bench: %zu listed, rpcclient showed %zu\n",
                             listed, shown);
                return 1;
            }
        }
        const double ratio = Median(ours) / Median(theirs);
        met = met && ratio <= 1.0;
        std::printf("%10d %11.1f ms %11.1f ms %8.2f\n", count, Median(ours), Median(theirs), ratio);
    }
    std::printf("goal (no slower than rpcclient, connection included): %s\n",
                met ? "met" : "MISSED");
    return 0;
}
