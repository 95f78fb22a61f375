// The scenario runner never passes silently and never crashes: a bad file
// fails with a message that says where; expectations compare as documented.
#include "hosts/scenario/ScenarioRunner.h"
#include "hosts/scenario/JsonValues.h"

#include <gtest/gtest.h>

namespace {

using nlohmann::json;
using tw::scenario::MakeHeadlessToolkit;
using tw::scenario::Matches;
using tw::scenario::RunScenarioText;

struct BadCase {
    const char* text;
    const char* message; // part of the failure message
};

class BadScenario : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadScenario, FailsWithAMessageSayingWhere) {
    const auto result = RunScenarioText(GetParam().text, "bad.json", &MakeHeadlessToolkit);
    EXPECT_FALSE(result.passed);
    EXPECT_NE(result.message.find(GetParam().message), std::string::npos) << result.message;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadScenario,
    ::testing::Values(
        BadCase{"{\"steps\": [", "not valid JSON"},
        // Found by fuzzing: a number beyond every number type ended the runner.
        BadCase{R"({"steps": [{"wait": 1E400}]})", "not valid JSON"},
        BadCase{"[1, 2]", "a scenario is a JSON object"},
        BadCase{R"({"stepz": []})", "unknown key \"stepz\""},
        BadCase{R"({"machine": {"computers": {"WS01": {"acounts": []}}}})", "acounts"},
        BadCase{R"({"machine": {"system": {"major": "ten"}}})", "major"},
        BadCase{R"({"steps": [{"start": {}, "close": {}}]})",
                "step 1: a step is an object with one key"},
        BadCase{R"({"steps": [{"machine": {"system": {"bogus": 1}}}]})", "bogus"},
        // Paths the machine format does not have.
        BadCase{R"({"steps": [{"expect": {"Machine.computers/WS01/policy/maxPwAge": 0}}]})",
                "Machine.computers/WS01/policy/maxPwAge: unknown field \"maxPwAge\""},
        BadCase{R"({"steps": [{"expect": {"Machine.system/isAdmin/x": 0}}]})",
                "\"x\" is below a value that has no fields"},
        BadCase{R"({"steps": [{"expect": {"Machine.registry/HKXX\\A/B": 0}}]})",
                "expected a key path from HKLM or HKCU"},
        BadCase{R"({"steps": [{"start": {}}, {"select": ["cbUsername", "nobody"]}]})",
                "step 2: \"cbUsername\" has no entry"},
        BadCase{R"({"steps": [{"start": {}}, {"expect": {"lblStatus.Caption": "x"}}]})",
                "step 2: lblStatus.Caption: expected \"x\", found"},
        // A language file from a path: what the file reader refuses (SmallFileTest).
        BadCase{R"({"machine": {"languageFile": {"file": "/dev/zero"}}})",
                "/dev/zero is not a regular file"},
        BadCase{R"({"machine": {"languageFile": {"file": 7}}})", "expected a path"},
        // A bad step, whatever the type of its value, fails with its number and
        // what is wrong with it.
        BadCase{R"({"steps": [{"jump": {}}]})", "step 1: unknown action \"jump\""},
        BadCase{R"({"steps": [{"start": {}}, {"type": 5}]})",
                "step 2: \"type\" takes [control, text], found 5"},
        BadCase{R"({"steps": [{"click": 3}]})", "step 1: \"click\" takes a control name, found 3"},
        BadCase{R"({"steps": [{"select": "x"}]})",
                "step 1: \"select\" takes [list, entry's text or index], found \"x\""},
        BadCase{R"({"steps": [{"paste": ["txtServer", 7]}]})",
                "step 1: \"paste\" takes [text box, text], found [\"txtServer\",7]"},
        BadCase{R"({"steps": [{"mouseDown": ["ctlPlusMinus.imgPlus", "left"]}]})",
                "step 1: \"mouseDown\" takes [control, mouse button]"},
        BadCase{R"({"steps": [{"wait": -1}]})", "step 1: \"wait\" takes a number of milliseconds"},
        BadCase{R"({"steps": [{"expect": [1]}]})", "step 1: \"expect\" takes an object"},
        BadCase{R"({"steps": [{"start": {}}, {"click": "cmdNothing"}]})",
                "step 2: unknown control \"cmdNothing\""},
        BadCase{R"({"steps": [{"expect": {"txtServer.Colour": 1}}]})",
                "step 1: unknown property \"Colour\" of \"txtServer\""},
        BadCase{R"({"steps": [{"expect": {"Platform.Callz": []}}]})",
                "step 1: unknown expectation \"Platform.Callz\""},
        BadCase{R"({"steps": [{"start": {}}, {"key": ["txtServer", "F13"]}]})",
                "step 2: unknown key \"F13\""}));

TEST(ScenarioRunner, APassingScenarioTakesItsName) {
    const auto result = RunScenarioText(
        R"({"name": "starts", "steps": [{"start": {}}, {"expect": {"Form.Visible": true}}]})",
        "f.json", &MakeHeadlessToolkit);
    EXPECT_TRUE(result.passed) << result.message;
    EXPECT_EQ(result.name, "starts");
}

struct MatchCase {
    json expected;
    json actual;
    bool matches;
};

class Expectation : public ::testing::TestWithParam<MatchCase> {};

TEST_P(Expectation, ComparesAsDocumented) {
    EXPECT_EQ(Matches(GetParam().expected, GetParam().actual), GetParam().matches)
        << GetParam().expected.dump() << " vs " << GetParam().actual.dump();
}

INSTANTIATE_TEST_SUITE_P(
    Values, Expectation,
    ::testing::Values(MatchCase{-1, 4294967295u, true}, MatchCase{"0xFFFFFFFF", -1, true},
                      MatchCase{"0x800000", 8388608, true}, MatchCase{1, 2, false},
                      MatchCase{"1", 1, false}, MatchCase{82.5, 82.5, true},
                      MatchCase{json::array({"a", "b"}), json::array({"a", "b"}), true},
                      MatchCase{json::array({"a"}), json::array({"a", "b"}), false},
                      MatchCase{{{"startsWith", "Err"}}, "Error 5", true},
                      MatchCase{{{"endsWith", "denied."}}, "Access is denied.", true},
                      MatchCase{{{"contains", "is"}}, "Access is denied.", true},
                      MatchCase{{{"regex", "Error [0-9]+\\..*"}}, "Error 53. x", true},
                      MatchCase{{{"regex", "Error"}}, "Error 53", false},
                      MatchCase{{{"not", ""}}, "x", true},
                      MatchCase{{{"not", nullptr}}, nullptr, false},
                      MatchCase{
                          {{"text", "a"}, {"style", 48}}, {{"style", 48}, {"text", "a"}}, true},
                      MatchCase{true, true, true}, MatchCase{true, 1, false}));

} // namespace
