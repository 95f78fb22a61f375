// The scenario runner's view of the simulation beyond what a scenario shows
// (scenarios/machine/queries-and-patches.json; paths the machine format does
// not have: ScenarioRunnerTest): what a machine step leaves alone, and the
// language file beside the executable.
#include "SimTestSupport.h"

#include <gtest/gtest.h>

using namespace tw;
using namespace tw::sim;
using namespace tw::sim::test;
using namespace tw::win;
using nlohmann::json;

namespace {

const char* const kMachine = R"({
    "computers": {"WS01": {"fail": {"NetUserModalsGet#2": 5}}},
    "registry": [{"key": "HKLM\\SOFTWARE\\T", "name": "v", "type": 4, "dword": 14}],
    "languageFile": {"name": "1033.loc", "text": "Frm.Status_Wait=Bitte warten\r\n"}})";

} // namespace

TEST(SimPatch, CallLogBuffersCountersAndHandlesSurvive) {
    auto sim = makeSim(kMachine);
    LPBYTE buffer = nullptr;
    ASSERT_EQ(sim->net().NetUserModalsGet(nullptr, 0, &buffer), 0u); // first call of two
    HKEY key = nullptr;
    ASSERT_EQ(
        sim->registry().RegOpenKeyExW(HKEY_LOCAL_MACHINE_(), u"SOFTWARE\\T", 0, KEY_READ, &key), 0);
    sim->applyPatch(json::parse(R"({"computers": {"WS01": {"policy": {"minPwdLen": 3}}}})"));
    EXPECT_EQ(sim->net().Calls().size(), 1u);
    EXPECT_EQ(sim->net().OutstandingBuffers(), 1u);
    EXPECT_EQ(sim->net().NetApiBufferFree(buffer), 0u);
    LPBYTE second = nullptr;
    EXPECT_EQ(sim->net().NetUserModalsGet(nullptr, 0, &second), 5u); // the second call fails
    DWORD value = 0, size = 4;
    EXPECT_EQ(sim->registry().RegQueryValueExW(key, u"v", nullptr, nullptr,
                                               reinterpret_cast<LPBYTE>(&value), &size),
              0);
    EXPECT_EQ(value, 14u);
    EXPECT_EQ(sim->registry().RegCloseKey(key), 0);
}

// Accounts a machine step changes, in the next listing:
// scenarios/target/f5-reads-again.json.

TEST(SimPatch, InvalidResultIsRefusedAndChangesNothing) {
    auto sim = makeSim(kMachine);
    json before = sim->toJson();
    std::string message = machineErrorOf(
        [&] { sim->applyPatch(json::parse(R"({"system": {"isAdmin": false, "major": "ten"}})")); });
    EXPECT_EQ(message, R"(machine.system.major: expected a 32-bit number, found "ten")");
    EXPECT_EQ(sim->toJson(), before);
}

// The file read as it lies in the default folder: scenarios/localization/german.json.
TEST(SimFiles, LanguageFileLiesInTheExecutableFolder) {
    auto sim = makeSim(kMachine);
    std::vector<BYTE> bytes;
    EXPECT_EQ(sim->files().GetFileAttributesW(u"c:\\program files\\TARNWICK\\1033.LOC"), 0x20u);
    EXPECT_EQ(sim->files().GetFileAttributesW(u"C:\\Program Files\\Tarnwick\\"),
              FILE_ATTRIBUTE_DIRECTORY);
    ASSERT_TRUE(sim->files().ReadWholeFile(u"c:\\program files\\tarnwick\\1033.LOC", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "Frm.Status_Wait=Bitte warten\r\n");
    EXPECT_EQ(sim->files().GetFileAttributesW(u"C:\\Program Files\\Tarnwick\\1031.loc"),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(sim->system().GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(sim->files().ReadWholeFile(u"C:\\Program Files\\Tarnwick\\1031.loc", bytes));
}

TEST(SimFiles, FolderAndUnreadableFileCannotBeRead) {
    auto sim = makeSim(R"({"languageFile": {"name": "1033.loc", "folder": true},
                           "system": {"executableFolder": "D:\\Apps"}})");
    std::vector<BYTE> bytes;
    EXPECT_EQ(sim->files().GetFileAttributesW(u"D:\\Apps\\1033.loc"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(sim->files().ReadWholeFile(u"D:\\Apps\\1033.loc", bytes));
    sim->applyPatch(json::parse(R"({"languageFile": {"folder": false, "unreadable": true}})"));
    EXPECT_EQ(sim->files().GetFileAttributesW(u"D:\\Apps\\1033.loc") & FILE_ATTRIBUTE_DIRECTORY,
              0u);
    EXPECT_FALSE(sim->files().ReadWholeFile(u"D:\\Apps\\1033.loc", bytes));
}
