// tarnwick-cli's command table (commands.txt): cases of command lines, each
// with the exit status and the lines of standard output and error it must
// give, read for every target the table runs on.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace tw::test {

struct TableCommand {
    std::vector<std::string> arguments;
    int exitStatus = 0;
    std::string out, err;
};

struct TableCase {
    std::string name;
    // Where the case runs: "" everywhere; "sim" on simulated computers only
    // (their own computers, accounts and registry, or command lines refused
    // before any call); "server" on real servers only.
    std::string only;
    std::vector<TableCommand> commands;
    friend void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }
};

inline std::vector<std::string> TableWords(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// "== case [only]", "$ arguments", "exit N", "> stdout line", "! stderr line".
// The cases for `target` ("sim" or "server").
inline std::vector<TableCase> ReadCommandTable(const std::string& path, const std::string& target) {
    std::vector<TableCase> cases;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("== ", 0) == 0) {
            TableCase c{line.substr(3), {}, {}};
            if (c.name.ends_with("]") && c.name.rfind(" [") != std::string::npos) {
                const auto open = c.name.rfind(" [");
                c.only = c.name.substr(open + 2, c.name.size() - open - 3);
                c.name.resize(open);
            }
            cases.push_back(std::move(c));
        } else if (line.rfind("$ ", 0) == 0) {
            cases.back().commands.push_back({TableWords(line.substr(2)), 0, {}, {}});
        } else if (line.rfind("exit ", 0) == 0) {
            cases.back().commands.back().exitStatus = std::stoi(line.substr(5));
        } else if (line.rfind(">", 0) == 0) {
            cases.back().commands.back().out += line.substr(line.size() > 1 ? 2 : 1) + "\n";
        } else if (line.rfind("!", 0) == 0) {
            cases.back().commands.back().err += line.substr(line.size() > 1 ? 2 : 1) + "\n";
        }
    }
    std::erase_if(cases, [&](const TableCase& c) { return !c.only.empty() && c.only != target; });
    return cases;
}

// Whether `actual` is the `expected` text line by line, where a "*" in an
// expected line stands for whatever the target puts there (a real server's
// dates and counts). Carriage returns before line ends are not counted.
inline bool MatchesTable(const std::string& expected, std::string actual) {
    std::erase(actual, '\r');
    std::istringstream want(expected), got(actual);
    std::string w, g;
    while (true) {
        const bool moreWant = static_cast<bool>(std::getline(want, w));
        const bool moreGot = static_cast<bool>(std::getline(got, g));
        if (moreWant != moreGot)
            return false;
        if (!moreWant)
            return true;
        const auto star = w.find('*');
        if (star == std::string::npos) {
            if (w != g)
                return false;
            continue;
        }
        const std::string before = w.substr(0, star), after = w.substr(star + 1);
        if (g.size() < before.size() + after.size() || g.rfind(before, 0) != 0 ||
            !g.ends_with(after))
            return false;
    }
}

// Expects what one command of the table gave.
inline void ExpectAsTable(const TableCommand& expected, int status, const std::string& out,
                          const std::string& err) {
    EXPECT_EQ(status, expected.exitStatus);
    EXPECT_TRUE(MatchesTable(expected.out, out)) << "standard output:\n"
                                                 << out << "expected:\n"
                                                 << expected.out;
    EXPECT_TRUE(MatchesTable(expected.err, err)) << "standard error:\n"
                                                 << err << "expected:\n"
                                                 << expected.err;
}

// A case's name as a test name.
inline std::string TableCaseName(const testing::TestParamInfo<TableCase>& info) {
    std::string name;
    for (char c : info.param.name)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

inline std::string CommandLineOf(const TableCommand& command) {
    std::string line;
    for (const auto& word : command.arguments)
        line += word + " ";
    return line;
}

// What one command gave.
struct TableRun {
    int status = -1;
    std::string out, err;
};

// Runs the case's commands in order with `run`, each expected as the table says.
inline void RunTableCase(const TableCase& c,
                         const std::function<TableRun(const std::vector<std::string>&)>& run) {
    for (const TableCommand& expected : c.commands) {
        SCOPED_TRACE(CommandLineOf(expected));
        const TableRun got = run(expected.arguments);
        ExpectAsTable(expected, got.status, got.out, got.err);
    }
}

// The cases of a table of tests/cli (commands.txt unless named) for
// `target` ("sim" or "server").
inline std::vector<TableCase> CommandTableCases(const std::string& target,
                                                const std::string& table = "commands.txt") {
    return ReadCommandTable(TW_SOURCE_DIR "/tests/cli/" + table, target);
}

} // namespace tw::test
