#include "SimTestSupport.h"

#include <gtest/gtest.h>

using namespace tw;
using namespace tw::sim;
using namespace tw::sim::test;
using namespace tw::win;

namespace {

const char16_t* const kWinlogon = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char16_t* const kWarning = u"PasswordExpiryWarning";

// `more` adds top-level fields: ", \"registryFail\": {...}".
std::string machine(const std::string& system, const std::string& more = "") {
    return R"({"system": )" + system + R"(, "registry": [
        {"key": "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
         "name": "PasswordExpiryWarning", "type": 4, "dword": 5},
        {"key": "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
         "name": "PasswordExpiryWarning", "type": 4, "dword": 7, "view": 32},
        {"key": "HKLM\\SOFTWARE\\Locked", "denyWrite": true},
        {"key": "HKLM\\SOFTWARE\\Locked\\Below"},
        {"key": "HKCU\\Software\\Tarnwick", "name": "Text", "text": "abc"}])" +
           more + "}";
}

// The dword read through a fresh handle, or the failing status + 1000000.
DWORD readWarning(SimPlatform& sim, REGSAM sam) {
    HKEY key = nullptr;
    LSTATUS status = sim.registry().RegOpenKeyExW(HKEY_LOCAL_MACHINE_(), kWinlogon, 0, sam, &key);
    if (status != 0)
        return 1000000 + static_cast<DWORD>(status);
    DWORD value = 0, size = sizeof value, type = 0;
    status = sim.registry().RegQueryValueExW(key, kWarning, nullptr, &type,
                                             reinterpret_cast<LPBYTE>(&value), &size);
    sim.registry().RegCloseKey(key);
    return status == 0 ? value : 1000000 + static_cast<DWORD>(status);
}

} // namespace

struct ViewRow {
    using TestRow = void;
    const char* wow64;
    REGSAM viewFlag;
    DWORD expected;
};

class SimRegistryViews : public testing::TestWithParam<ViewRow> {};

TEST_P(SimRegistryViews, SoftwareIsRedirectedAsForTheProcessKind) {
    auto sim = makeSim(machine(std::string(R"({"wow64": )") + GetParam().wow64 + "}"));
    EXPECT_EQ(readWarning(*sim, KEY_READ | GetParam().viewFlag), GetParam().expected);
    EXPECT_EQ(sim->openKeyCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, SimRegistryViews,
                         // The views the program asks for on either kind of Windows:
                         // RegistryOpening.NativeViewFromA32BitProcessOn64BitWindows.
                         testing::Values(ViewRow{"false", KEY_WOW64_64KEY, 5},
                                         ViewRow{"false", KEY_WOW64_32KEY, 7},
                                         ViewRow{"true", 0, 7},
                                         ViewRow{"\"missing\"", KEY_WOW64_32KEY, 5},
                                         ViewRow{"false", KEY_WOW64_32KEY | KEY_WOW64_64KEY,
                                                 1000000 + ERROR_INVALID_PARAMETER}));

TEST(SimRegistry, KeysAndValuesAreFoundWithoutRegardToCaseAndSizedAsWindowsDoes) {
    auto sim = makeSim(machine("{}"));
    auto& reg = sim->registry();
    HKEY key = reinterpret_cast<HKEY>(0x1);
    EXPECT_EQ(reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE_(), u"SOFTWARE\\Nothing", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    ASSERT_EQ(reg.RegOpenKeyExW(HKEY_CURRENT_USER_(), u"SOFTWARE\\tarnwick", 0, KEY_READ, &key), 0);
    DWORD type = 0, size = 0;
    EXPECT_EQ(reg.RegQueryValueExW(key, u"Nothing", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg.RegQueryValueExW(key, u"TEXT", nullptr, &type, nullptr, &size), 0);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 8u);
    BYTE data[16] = {};
    size = 7;
    EXPECT_EQ(reg.RegQueryValueExW(key, u"Text", nullptr, &type, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 8u);
    size = sizeof data;
    EXPECT_EQ(reg.RegQueryValueExW(key, u"Text", nullptr, &type, data, &size), 0);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(data)), u"abc");
    EXPECT_EQ(reg.RegCloseKey(key), 0);
    EXPECT_EQ(reg.RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegQueryValueExW(key, u"Text", nullptr, nullptr, nullptr, &size),
              ERROR_INVALID_HANDLE);
}

// Writing through a read-only handle, writing and deleting a value:
// RegistryConformance on the simulated registry (tests/common). A handle
// opened to write cannot read, and open handles are counted until closed.
TEST(SimRegistry, HandlesCarryTheirRights) {
    auto sim = makeSim(machine("{}"));
    auto& reg = sim->registry();
    HKEY writer = nullptr;
    ASSERT_EQ(reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE_(), kWinlogon, 0, KEY_WRITE, &writer), 0);
    DWORD size = 4;
    EXPECT_EQ(reg.RegQueryValueExW(writer, kWarning, nullptr, nullptr, nullptr, &size),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(sim->openKeyCount(), 1u);
    reg.RegCloseKey(writer);
    EXPECT_EQ(sim->openKeyCount(), 0u);
}

struct WriteRow {
    using TestRow = void;
    const char* system;
    HKEY root;
    const char16_t* key;
    REGSAM sam;
    LSTATUS expected;
    bool create = false; // RegCreateKeyExW: a refused key is not created, an existing one opened
};

class SimRegistryWriteAccess : public testing::TestWithParam<WriteRow> {};

TEST_P(SimRegistryWriteAccess, NeedsAdministratorsForHklmAndAKeyNotDenied) {
    const WriteRow& row = GetParam();
    auto sim = makeSim(machine(row.system));
    auto& reg = sim->registry();
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(row.create ? reg.RegCreateKeyExW(row.root, row.key, 0, nullptr, 0, row.sam, nullptr,
                                               &key, &disposition)
                         : reg.RegOpenKeyExW(row.root, row.key, 0, row.sam, &key),
              row.expected);
    EXPECT_EQ(sim->openKeyCount(), row.expected == 0 ? 1u : 0u);
    if (row.create && row.expected != 0) {
        EXPECT_EQ(reg.RegOpenKeyExW(row.root, row.key, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    } else if (row.create) {
        EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
        EXPECT_EQ(sim->query("registry/HKCU\\Software\\Tarnwick/Text")["type"], 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SimRegistryWriteAccess,
    // Reading and writing Winlogon with and without the rights: the scenarios under expiry/.
    testing::Values(
        WriteRow{R"({"isAdmin": false})", HKEY_LOCAL_MACHINE_(), kWinlogon, KEY_SET_VALUE, 5},
        WriteRow{R"({"isAdmin": false})", HKEY_LOCAL_MACHINE_(), kWinlogon, KEY_CREATE_SUB_KEY, 5},
        WriteRow{R"({"isAdmin": false})", HKEY_CURRENT_USER_(), u"Software\\Tarnwick", KEY_WRITE,
                 0},
        WriteRow{R"({"isAdmin": true})", HKEY_LOCAL_MACHINE_(), u"software\\locked", KEY_WRITE, 5},
        WriteRow{R"({"isAdmin": true})", HKEY_LOCAL_MACHINE_(), u"SOFTWARE\\Locked", KEY_READ, 0},
        WriteRow{R"({"isAdmin": true})", HKEY_LOCAL_MACHINE_(), u"SOFTWARE\\Locked\\Below",
                 KEY_WRITE, 0},
        WriteRow{R"({"isAdmin": false})", HKEY_LOCAL_MACHINE_(), u"SOFTWARE\\New", KEY_READ, 5,
                 true},
        WriteRow{R"({"isAdmin": true})", HKEY_LOCAL_MACHINE_(), u"SOFTWARE\\Locked\\New", KEY_READ,
                 5, true},
        // A new key: RegistryConformance, which creates its key on the simulated registry.
        WriteRow{R"({"isAdmin": false})", HKEY_CURRENT_USER_(), u"software\\TARNWICK", KEY_READ, 0,
                 true}));

TEST(SimRegistry, InjectedFailuresCountEveryCallOfTheFunction) {
    auto sim = makeSim(
        machine("{}", R"(, "registryFail": {"RegOpenKeyExW#2": 1018, "RegSetValueExW": 5})"));
    auto& reg = sim->registry();
    HKEY key = nullptr;
    EXPECT_EQ(reg.RegOpenKeyExW(HKEY_CURRENT_USER_(), u"Software\\Tarnwick", 0, KEY_WRITE, &key),
              0);
    HKEY second = nullptr;
    EXPECT_EQ(reg.RegOpenKeyExW(HKEY_CURRENT_USER_(), u"Software\\Tarnwick", 0, KEY_WRITE, &second),
              1018);
    EXPECT_EQ(second, nullptr);
    DWORD value = 1;
    EXPECT_EQ(reg.RegSetValueExW(key, u"Text", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4),
              5);
    EXPECT_EQ(sim->query("registry/HKCU\\Software\\Tarnwick/Text")["type"], 1);
    EXPECT_EQ(sim->openKeyCount(), 1u);
}

TEST(SimRegistry, HandleOfAKeyRemovedByAMachineStepReportsItDeleted) {
    auto sim = makeSim(machine("{}"));
    auto& reg = sim->registry();
    HKEY key = nullptr;
    ASSERT_EQ(reg.RegOpenKeyExW(HKEY_CURRENT_USER_(), u"Software\\Tarnwick", 0, KEY_READ, &key), 0);
    sim->applyPatch({{"registry", nlohmann::json::array()}});
    DWORD size = 0;
    EXPECT_EQ(reg.RegQueryValueExW(key, u"Text", nullptr, nullptr, nullptr, &size), 1018);
    EXPECT_EQ(reg.RegCloseKey(key), 0);
}
