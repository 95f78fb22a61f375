#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

using namespace tw;
using namespace tw::sim;
using namespace tw::sim::test;
using nlohmann::json;

// A description the loader refuses, and the message it gives (its beginning
// when it ends in "..."): the rows of machine-errors.txt.
struct ErrorRow {
    int line;
    std::string machine, message;
    friend void PrintTo(const ErrorRow& row, std::ostream* os) { *os << "line " << row.line; }
};

std::filesystem::path besideThisFile(const char* name) {
    return std::filesystem::path(__FILE__).parent_path() / name;
}

std::vector<ErrorRow> errorRows() {
    std::ifstream file(besideThisFile("machine-errors.txt"));
    std::vector<ErrorRow> rows;
    std::string text;
    for (int line = 1; std::getline(file, text); ++line) {
        if (text.empty() || text[0] == '#')
            continue;
        if (rows.empty() || !rows.back().message.empty())
            rows.push_back({line, text, ""});
        else
            rows.back().message = text;
    }
    return rows;
}

class MachineErrors : public testing::TestWithParam<ErrorRow> {};

TEST_P(MachineErrors, NameThePlaceOfTheProblem) {
    std::string message = machineErrorOf([&] { loadMachineText(GetParam().machine); });
    std::string expected = GetParam().message;
    ASSERT_FALSE(expected.empty()) << "a description without its message";
    if (expected.size() > 3 && expected.compare(expected.size() - 3, 3, "...") == 0) {
        expected.resize(expected.size() - 3);
        EXPECT_EQ(message.substr(0, expected.size()), expected) << message;
    } else {
        EXPECT_EQ(message, expected);
    }
}

// Without the file there are no rows, and gtest fails the uninstantiated suite.
INSTANTIATE_TEST_SUITE_P(Rows, MachineErrors, testing::ValuesIn(errorRows()));

// Numbers in each of their forms, registry data of each kind and the
// environment, as loaded: scenarios/machine/number-forms.json and
// registry-data-and-environment.json. Entries of the 32-bit view, beside the
// native ones, and keys named without values: queries-and-patches.json
// (registry32) and the SimRegistryViews and SimRegistryWriteAccess rows.

// The machine of scenarios/machine/every-field.json, which uses every part of the format.
TEST(MachineLoader, WrittenStateLoadsBackToTheSameMachine) {
    std::ifstream file(besideThisFile("../scenarios/machine/every-field.json"));
    MachineDescription m = loadMachine(json::parse(file).at("machine"));
    json written = machineToJson(m);
    EXPECT_EQ(loadMachine(written), m) << written.dump(2);
    EXPECT_EQ(written["computers"]["WS01"]["policy"]["maxPwdAge"], 4294967295u);
    EXPECT_EQ(written["system"]["wow64"], "missing");
}

// Found by fuzzing: the local computer that the loader adds went to the end of
// the list, where the written-back description did not have it.
TEST(MachineLoader, AnAddedLocalComputerLoadsBackInItsPlace) {
    for (const char* local : {"AAA", "MMM", "ZZZ"}) {
        json description = {{"system", {{"computerName", local}}},
                            {"computers", {{"BBB", json::object()}, {"XXX", json::object()}}}};
        MachineDescription m = loadMachine(description);
        ASSERT_EQ(m.computers.size(), 3u);
        EXPECT_EQ(loadMachine(machineToJson(m)), m) << local;
    }
}

// Nesting beyond any description's is refused before the parser and the
// loader recurse into it: a million brackets are an error, not a crash.
TEST(MachineLoader, DeepNestingIsRefusedBeforeParsing) {
    const struct {
        std::string text;
        const char* says; // null: not refused for its nesting
    } rows[] = {
        {std::string(1000000, '['), "nested deeper than 64 levels at byte 65"},
        {std::string(1000000, '{'), "nested deeper than 64 levels"},
        {R"({"system": )" + std::string(64, '[') + std::string(64, ']') + "}",
         "nested deeper than 64 levels at byte 75"},
        // Brackets in strings, escaped quotes included, are text.
        {R"({"system": {"userName": ")" + std::string(100, '[') + R"(\"[[["}})", nullptr},
    };
    for (const auto& row : rows) {
        const std::string message = machineErrorOf([&] { loadMachineText(row.text); });
        if (row.says == nullptr)
            EXPECT_EQ(message.find("nested"), std::string::npos) << message;
        else
            EXPECT_NE(message.find(row.says), std::string::npos) << message;
    }
}
