// What the listing benchmarks against real servers share: the program's way
// of listing (NetUserEnum level 0 at a preferred length of 255 bytes until
// the list is complete, on a fresh connection) beside an rpcclient command
// that lists the same accounts, timed with the connection set-up included.
#pragma once

#include "platform/samr/SamrNetApi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tw::bench {

using Clock = std::chrono::steady_clock;

// --accounts N (at least `fewest`) and --runs R (at least 1) of a
// benchmark's command line, over the defaults they come with.
struct RaceOptions {
    int accounts;
    int runs = 5;
};
inline RaceOptions ReadRaceOptions(int argc, char** argv, RaceOptions options, int fewest) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--runs")
            options.runs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--accounts")
            options.accounts = std::max(fewest, std::atoi(argv[i + 1]));
    }
    return options;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double Milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// The accounts listed; a failed listing ends the benchmark `program`.
inline std::size_t ListThroughNetApi(const samr::SamrConnection& connection, const char* program) {
    samr::SamrNetApi net(connection);
    std::size_t listed = 0;
    win::DWORD resume = 0;
    win::NET_API_STATUS status = win::ERROR_MORE_DATA;
    while (status == win::ERROR_MORE_DATA) {
        win::LPBYTE buffer = nullptr;
        win::DWORD read = 0, total = 0;
        status = net.NetUserEnum(nullptr, 0, win::FILTER_NORMAL_ACCOUNT, &buffer, 255, &read,
                                 &total, &resume);
        listed += read;
        net.NetApiBufferFree(buffer);
    }
    if (status != 0) {
        std::fprintf(stderr, "%s: NetUserEnum failed with %u\n", program, status);
        std::exit(1);
    }
    return listed;
}

// The lines of a command's output that hold `marker` (rpcclient's "user:[",
// a JSON listing's "\"name\":"); a failure ends the benchmark `program`.
inline std::size_t CountLines(const std::string& command, const std::string& marker,
                              const char* program) {
    FILE* output = popen(command.c_str(), "r");
    std::size_t lines = 0;
    char line[512];
    while (output != nullptr && std::fgets(line, sizeof line, output) != nullptr)
        lines += std::string(line).find(marker) != std::string::npos ? 1 : 0;
    if (output == nullptr || pclose(output) != 0) {
        std::fprintf(stderr, "%s: %s failed\n", program, command.c_str());
        std::exit(1);
    }
    return lines;
}

// The "user:[...]" lines of an rpcclient command line.
inline std::size_t ListThroughRpcclient(const std::string& command, const char* program) {
    return CountLines(command, "user:[", program);
}

} // namespace tw::bench
