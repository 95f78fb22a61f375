#include "SimTestSupport.h"

#include <gtest/gtest.h>

using namespace tw;
using namespace tw::sim;
using namespace tw::sim::test;
using nlohmann::json;

struct NumberRow {
    using TestRow = void;
    const char* value;
    std::uint32_t expected;
};

class MachineNumbers : public testing::TestWithParam<NumberRow> {};

TEST_P(MachineNumbers, HexSignedAndUnsignedFormsGiveTheSameBits) {
    auto m = loadMachineText(std::string(R"({"unknownServerStatus": )") + GetParam().value + "}");
    EXPECT_EQ(m.unknownServerStatus, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, MachineNumbers,
                         testing::Values(NumberRow{"53", 53}, NumberRow{"\"0x35\"", 53},
                                         NumberRow{"\"0X800000\"", 0x800000},
                                         NumberRow{"\"0xffffffff\"", 0xFFFFFFFFu},
                                         NumberRow{"4294967295", 0xFFFFFFFFu},
                                         NumberRow{"-1", 0xFFFFFFFFu},
                                         NumberRow{"-2147483648", 0x80000000u},
                                         NumberRow{"\"0x00000000000000ff\"", 255}));

struct ErrorRow {
    using TestRow = void;
    const char* machine;
    const char* message; // the whole message, or its beginning when it ends in "..."
};

class MachineErrors : public testing::TestWithParam<ErrorRow> {};

TEST_P(MachineErrors, NameThePlaceOfTheProblem) {
    std::string message = machineErrorOf([&] { loadMachineText(GetParam().machine); });
    std::string expected = GetParam().message;
    if (expected.size() > 3 && expected.compare(expected.size() - 3, 3, "...") == 0) {
        expected.resize(expected.size() - 3);
        EXPECT_EQ(message.substr(0, expected.size()), expected) << message;
    } else {
        EXPECT_EQ(message, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MachineErrors,
    testing::Values(
        ErrorRow{"{\"system\": ", "machine: not valid JSON: ..."},
        // Found by fuzzing: a number beyond every number type escaped as another error.
        ErrorRow{R"({"unknownServerStatus": 1E400})", "machine: not valid JSON: ..."},
        ErrorRow{"[]", "machine: expected an object, found []"},
        ErrorRow{R"({"system": 5})", "machine.system: expected an object, found 5"},
        ErrorRow{R"({"system": {"colour": 1}})", "machine.system.colour: unknown field"},
        ErrorRow{
            R"({"computers": {"WS01": {"accounts": [{"name": "a"}, {"name": "b"},
                     {"name": "c", "flags": "abc"}]}}})",
            R"(machine.computers.WS01.accounts[2].flags: expected a 32-bit number, found "abc")"},
        ErrorRow{R"({"computers": {"WS01": {"accounts": [{"flags": 1}]}}})",
                 "machine.computers.WS01.accounts[0].name: missing"},
        ErrorRow{R"({"computers": {"WS01": {"accounts": [{"name": "Al"}, {"name": "aL"}]}}})",
                 "machine.computers.WS01.accounts[1].name: a second account named \"aL\""},
        ErrorRow{R"({"computers": {"WS01": {}, "ws01": {}}})",
                 "machine.computers.ws01: a second computer named \"ws01\""},
        ErrorRow{R"({"computers": {"SRV01": {"policy": {"maxPwdAge": 4294967296}}}})",
                 "machine.computers.SRV01.policy.maxPwdAge: expected a 32-bit number, found "
                 "4294967296"},
        ErrorRow{R"({"unknownServerStatus": -2147483649})",
                 "machine.unknownServerStatus: expected a 32-bit number, found -2147483649"},
        ErrorRow{R"({"unknownServerStatus": 1.5})",
                 "machine.unknownServerStatus: expected a 32-bit number, found 1.5"},
        ErrorRow{R"({"unknownServerStatus": "53"})",
                 R"(machine.unknownServerStatus: expected a 32-bit number, found "53")"},
        ErrorRow{R"({"system": {"uiLanguage": 65536}})",
                 "machine.system.uiLanguage: expected a 16-bit number, found 65536"},
        ErrorRow{R"({"system": {"wow64": "maybe"}})",
                 R"(machine.system.wow64: expected true, false or "missing", found "maybe")"},
        ErrorRow{R"({"system": {"isAdmin": 1}})",
                 "machine.system.isAdmin: expected true or false, found 1"},
        ErrorRow{R"({"system": {"userName": 7}})",
                 "machine.system.userName: expected a string, found 7"},
        ErrorRow{R"({"computers": {"WS01": {"fail": {"NetUserFrob": 5}}}})",
                 "machine.computers.WS01.fail.NetUserFrob: unknown function \"NetUserFrob\""},
        ErrorRow{R"({"computers": {"WS01": {"fail": {"NetUserEnum#0": 5}}}})",
                 "machine.computers.WS01.fail.NetUserEnum#0: expected a call number from 1 "
                 "after \"#\""},
        ErrorRow{R"({"computers": {"WS01": {"fail": {"NetUserEnum.x": 5}}}})",
                 "machine.computers.WS01.fail.NetUserEnum.x: expected a level number after \".\""},
        ErrorRow{R"({"computers": {"WS01": {"fail": {"NetUserEnum": true}}}})",
                 "machine.computers.WS01.fail.NetUserEnum: expected a 32-bit number, found true"},
        ErrorRow{R"({"computers": {"WS01": {"delay": {"NetUserEnum": 60001}}}})",
                 "machine.computers.WS01.delay.NetUserEnum: at most 60000 milliseconds"},
        // Only a write can be carried out and then lose its answer.
        ErrorRow{R"({"computers": {"WS01": {"answerLost": {"NetUserGetInfo": 1726}}}})",
                 "machine.computers.WS01.answerLost.NetUserGetInfo: unknown function "
                 "\"NetUserGetInfo\""},
        ErrorRow{R"({"registryFail": {"RegOpenKeyExW.1": 5}})",
                 "machine.registryFail.RegOpenKeyExW.1: these functions have no levels"},
        ErrorRow{R"({"languageFile": {"text": "\u20ac"}})",
                 "machine.languageFile.text: character \u20ac is not a Latin-1 character (use "
                 "\"bytes\")"},
        ErrorRow{R"({"languageFile": {"bytes": [1, 256]}})",
                 "machine.languageFile.bytes[1]: expected a byte (0 to 255), found 256"},
        ErrorRow{R"({"languageFile": {"folder": true, "text": "x"}})",
                 "machine.languageFile.folder: a folder has no content"},
        ErrorRow{
            R"({"registry": [{"key": "HKXX\\Software"}]})",
            R"(machine.registry[0].key: expected a key path from HKLM or HKCU, found "HKXX\\Software")"},
        ErrorRow{R"({"registry": [{"key": "HKCU\\A", "name": "v", "dword": 1, "text": "x"}]})",
                 "machine.registry[0].text: give only one of dword, text, texts and bytes"},
        ErrorRow{R"({"registry": [{"key": "HKCU\\A", "dword": 1}]})",
                 "machine.registry[0].name: missing (a value needs a name; \"\" is the default "
                 "value)"},
        ErrorRow{R"({"registry": [{"key": "HKCU\\A", "name": "v"}]})",
                 "machine.registry[0].type: missing (a value needs a type or data)"},
        ErrorRow{R"({"registry": [{"key": "HKLM\\SOFTWARE", "view": 16}]})",
                 "machine.registry[0].view: expected 32 or 64, found 16"},
        ErrorRow{R"({"registry": [{"key": "HKCU\\A", "name": "v", "texts": ["a", 1]}]})",
                 "machine.registry[0].texts[1]: expected a string, found 1"},
        ErrorRow{R"({"messages": {"five": "x"}})",
                 "machine.messages.five: expected a message number as the key"},
        ErrorRow{R"({"system": {"sysColors": {"31": 0}}})",
                 "machine.system.sysColors.31: expected a system colour index from 0 to 30 "
                 "as the key"},
        ErrorRow{R"({"system": {"sysColors": {"5": "0x1000000"}}})",
                 "machine.system.sysColors.5: expected a colour 0x00BBGGRR, found "
                 "\"0x1000000\""},
        ErrorRow{R"({"system": {"themes": {"visualStyles": true}}})",
                 "machine.system.themes.visualStyles: unknown field"},
        ErrorRow{R"({"system": {"themes": {"colors": {"window": 0}}}})",
                 "machine.system.themes.colors.window: expected a system colour index from "
                 "0 to 30 as the key"},
        ErrorRow{R"({"system": {"smallIconSize": 0}})",
                 "machine.system.smallIconSize: expected an icon size from 1 to 256 pixels, "
                 "found 0"},
        ErrorRow{R"({"system": {"keyboardCues": "yes"}})",
                 "machine.system.keyboardCues: expected true or false, found \"yes\""}));

TEST(MachineLoader, RegistryDataKindsGiveTheirStoredBytesAndDefaultTypes) {
    MachineDescription m = loadMachineText(R"({"registry": [
        {"key": "HKCU\\A", "name": "d", "dword": -1},
        {"key": "HKCU\\A", "name": "t", "text": "ab"},
        {"key": "HKCU\\A", "name": "m", "texts": ["a", "b"]},
        {"key": "HKCU\\A", "name": "e", "texts": []},
        {"key": "HKCU\\A", "name": "b", "bytes": [1, "0xff"]},
        {"key": "HKCU\\A", "name": "x", "type": 2, "text": "%windir%"},
        {"key": "HKCU\\A", "name": "q", "type": 11}]})");
    const RegKey* key = findKey(m.registry.hkcu, {u"a"});
    ASSERT_NE(key, nullptr);
    auto value = [&](const char16_t* name) { return *findValue(*key, name); };
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(value(u"d"), (RegValue{u"d", 4, Bytes{0xFF, 0xFF, 0xFF, 0xFF}}));
    EXPECT_EQ(value(u"t"), (RegValue{u"t", 1, Bytes{'a', 0, 'b', 0, 0, 0}}));
    EXPECT_EQ(value(u"m"), (RegValue{u"m", 7, Bytes{'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}}));
    EXPECT_EQ(value(u"e"), (RegValue{u"e", 7, Bytes{0, 0, 0, 0}}));
    EXPECT_EQ(value(u"b"), (RegValue{u"b", 3, Bytes{1, 0xFF}}));
    EXPECT_EQ(value(u"x").type, 2u);
    EXPECT_EQ(value(u"q"), (RegValue{u"q", 11, Bytes{}}));
}

TEST(MachineLoader, View32EntriesLieUnderWow6432NodeAndKeysExistWhenNamed) {
    MachineDescription m = loadMachineText(R"({"registry": [
        {"key": "HKLM\\SOFTWARE\\Vendor", "name": "v", "dword": 1, "view": 32},
        {"key": "HKLM\\SOFTWARE\\Empty\\Below"},
        {"key": "HKLM\\SOFTWARE\\Locked", "denyWrite": true}]})");
    EXPECT_NE(findKey(m.registry.hklm, {u"SOFTWARE", u"WOW6432Node", u"Vendor"}), nullptr);
    EXPECT_EQ(findKey(m.registry.hklm, {u"SOFTWARE", u"Vendor"}), nullptr);
    EXPECT_NE(findKey(m.registry.hklm, {u"software", u"empty"}), nullptr);
    EXPECT_TRUE(findKey(m.registry.hklm, {u"SOFTWARE", u"Locked"})->denyWrite);
}

TEST(MachineLoader, EnvironmentAddsToTheDefaultsAndNullRemovesAVariable) {
    MachineDescription m = loadMachineText(
        R"({"system": {"environment": {"WINDIR": "D:\\Win", "SystemRoot": null, "TEMP": "T"}}})");
    using Vars = std::vector<std::pair<std::u16string, std::u16string>>;
    EXPECT_EQ(m.system.environment, (Vars{{u"windir", u"D:\\Win"}, {u"TEMP", u"T"}}));
}

TEST(MachineLoader, WrittenStateLoadsBackToTheSameMachine) {
    MachineDescription m = loadMachineText(R"({
        "system": {"wow64": "missing", "userName": null, "acp": 1250, "decimalSign": ",",
                   "environment": {"TEMP": "C:\\Temp"}, "sysColors": {"13": 255},
                   "keyboardCues": true, "smallIconSize": 20, "largeIconSize": 40,
                   "themes": {"library": false, "appThemed": true, "themeActive": true,
                              "appProperties": 3, "colors": {"5": "0xF8F8F8"}}},
        "windowFail": {"LoadImageW#2": 1814},
        "languageFile": {"name": "1031.loc", "bytes": [0, 255, 13, 10], "unreadable": true},
        "computers": {
            "WS01": {"accounts": [{"name": "alice", "flags": "0x10211", "lastLogon": -1}],
                     "policy": {"maxPwdAge": -1, "lockoutThreshold": 3},
                     "fail": {"NetUserModalsGet.3#2": 5, "NetUserEnum": 1722},
                     "delay": {"NetUserEnum": 250}, "answerLost": {"NetUserModalsSet.3": 1726}},
            "srv01": {"accounts": [{"name": "Bob", "passwordExpired": true}]}},
        "unknownServerStatus": 1722,
        "registry": [
            {"key": "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
             "name": "PasswordExpiryWarning", "type": 4, "dword": 14},
            {"key": "HKLM\\SOFTWARE\\Vendor", "name": "", "text": "32-bit", "view": 32},
            {"key": "HKLM\\SOFTWARE\\Vendor", "denyWrite": true, "view": 32},
            {"key": "HKLM\\SYSTEM\\Empty"},
            {"key": "HKCU\\Software\\T", "name": "m", "texts": ["a", "", "b"]},
            {"key": "HKCU\\Software\\T", "name": "odd", "type": 1, "bytes": [97]},
            {"key": "HKCU\\Software\\T", "name": "dw", "type": 4, "bytes": [1, 2]},
            {"key": "HKCU\\Software\\T", "name": "empty", "texts": []}],
        "registryFail": {"RegSetValueExW#2": 5},
        "messages": {"0x5": "Denied.\r\n", "2": null}})");
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
        try {
            loadMachineText(row.text);
            EXPECT_EQ(row.says, nullptr) << row.text.substr(0, 40);
        } catch (const MachineError& error) {
            const std::string message = error.what();
            if (row.says == nullptr)
                EXPECT_EQ(message.find("nested"), std::string::npos) << message;
            else
                EXPECT_NE(message.find(row.says), std::string::npos) << message;
        }
    }
}
