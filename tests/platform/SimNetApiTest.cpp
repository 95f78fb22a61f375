#include "NetApiConformance.h"
#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <span>
#include <tuple>
#include <vector>

using namespace tw;
using namespace tw::sim;
using namespace tw::sim::test;
using namespace tw::win;
using tw::test::NetApiConformance;

namespace {

// The local computer of a simulated machine, reached without a server argument.
class SimulatedBackend : public tw::test::NetApiBackend {
public:
    explicit SimulatedBackend(MachineDescription machine)
        : computer_(ToUtf8(localComputerName(machine.system))), sim_(std::move(machine)) {}
    INetApi& net() override { return sim_.net(); }
    const char16_t* server() const override { return nullptr; }
    std::optional<DWORD> flagsOnServer(const std::u16string& name) override {
        return sim_.query("computers/" + computer_ + "/accounts/" + ToUtf8(name) + "/flags")
            .get<DWORD>();
    }
    std::optional<std::size_t> outstandingBuffers() const override {
        EXPECT_EQ(sim_.net().BadFrees(), 0u);
        return sim_.net().OutstandingBuffers();
    }

private:
    std::string computer_;
    SimPlatform sim_;
};

tw::test::NetApiBackendFactory Simulated() {
    return {"Simulated", [](const std::vector<tw::test::ConformanceAccount>& accounts,
                            const tw::test::ConformancePolicy& p) {
                MachineDescription machine;
                Computer local;
                local.name = localComputerName(machine.system);
                for (const auto& a : accounts) {
                    local.accounts.push_back(Account{});
                    local.accounts.back().name = a.name;
                    local.accounts.back().flags = a.flags;
                    local.accounts.back().fullName = a.fullName;
                }
                local.policy = {p.minPwdLen,     p.maxPwdAge,       p.minPwdAge,
                                p.forceLogoff,   p.pwdHistoryLen,   p.lockoutDuration,
                                p.lockoutObsWin, p.lockoutThreshold};
                machine.computers.push_back(local);
                return std::unique_ptr<tw::test::NetApiBackend>(
                    new SimulatedBackend(std::move(machine)));
            }};
}

const char* const kMachine = R"({
    "computers": {
        "WS01": {"accounts": [{"name": "alice", "flags": 513}, {"name": "Locked", "flags": "0x211"}],
                 "policy": {"minPwdLen": 7}},
        "SRV01": {"policy": {"minPwdLen": 9}}}})";

// The minimum password length the call reaches, or the failure status.
DWORD reach(SimPlatform& sim, const char16_t* server) {
    LPBYTE buffer = nullptr;
    DWORD status = sim.net().NetUserModalsGet(server, 0, &buffer);
    DWORD minPwdLen = buffer ? reinterpret_cast<USER_MODALS_INFO_0*>(buffer)->usrmod0_min_passwd_len
                             : 1000000 + status;
    sim.net().NetApiBufferFree(buffer);
    return minPwdLen;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Simulated, NetApiConformance, testing::Values(Simulated()),
                         tw::test::NetApiBackendName);

struct ReachRow {
    using TestRow = void;
    const char* machine;
    const char16_t* server;
    DWORD reached; // minPwdLen, or 1000000 + the status
};

class SimServerReach : public testing::TestWithParam<ReachRow> {};

TEST_P(SimServerReach, ServerArgumentsReachComputersWithoutRegardToCase) {
    auto sim = makeSim(GetParam().machine);
    EXPECT_EQ(reach(*sim, GetParam().server), GetParam().reached);
    EXPECT_EQ(sim->net().OutstandingBuffers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SimServerReach,
    // No server, a known computer by its UNC name in either case, and an unknown
    // one: the scenarios under target/.
    testing::Values(ReachRow{kMachine, u"", 7}, ReachRow{kMachine, u"ws01", 7},
                    ReachRow{kMachine, u"SRV01", 9}, ReachRow{kMachine, u"\\SRV01", 1000053},
                    ReachRow{kMachine, u"\\\\", 1000053},
                    ReachRow{kMachine, u"\\\\\\\\SRV01", 1000053},
                    ReachRow{R"({"unknownServerStatus": 1722})", u"NOWHERE", 1001722},
                    ReachRow{R"({"system": {"computerName": null},
                                 "computers": {"WS01": {"policy": {"minPwdLen": 4}}}})",
                             u"\\\\ws01", 4}));

struct InjectionRow {
    using TestRow = void;
    const char* fail;     // the computer's fail object
    const char* calls;    // "G0" = NetUserModalsGet level 0, "G3", "S0" = ModalsSet, "E" = Enum,
                          // "E2" = Enum level 20
    const char* statuses; // expected status of each call
};

class SimFailureInjection : public testing::TestWithParam<InjectionRow> {};

TEST_P(SimFailureInjection, MostSpecificRuleDecidesEachCall) {
    auto sim = makeSim(std::string(R"({"computers": {"WS01": {"accounts": [{"name": "a"}],
                                        "fail": )") +
                       GetParam().fail + "}}}");
    std::string joined;
    std::string calls = GetParam().calls;
    for (std::size_t i = 0; i < calls.size(); i += 3) {
        std::string call = calls.substr(i, 2);
        LPBYTE buffer = nullptr;
        USER_MODALS_INFO_0 data{};
        DWORD read = 0, total = 0;
        DWORD status =
            call[0] == 'E' ? sim->net().NetUserEnum(nullptr, call == "E2" ? 20 : 0, 2, &buffer,
                                                    MAX_PREFERRED_LENGTH, &read, &total, nullptr)
            : call == "S0"
                ? sim->net().NetUserModalsSet(nullptr, 0, reinterpret_cast<LPBYTE>(&data), nullptr)
                : sim->net().NetUserModalsGet(nullptr, call[1] - '0', &buffer);
        if (status != 0) {
            EXPECT_EQ(buffer, nullptr);
        }
        sim->net().NetApiBufferFree(buffer);
        joined += (joined.empty() ? "" : " ") + std::to_string(status);
    }
    EXPECT_EQ(joined, GetParam().statuses);
    EXPECT_EQ(sim->net().OutstandingBuffers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SimFailureInjection,
    testing::Values(
        InjectionRow{R"({"NetUserEnum": 5})", "E  E  G0", "5 5 0"},
        InjectionRow{R"({"NetUserEnum#2": 1722})", "E  E  E ", "0 1722 0"},
        InjectionRow{R"({"NetUserEnum.20": 5})", "E  E2 E ", "0 5 0"},
        InjectionRow{R"({"NetUserModalsGet.3": 5})", "G0 G3 G0", "0 5 0"},
        InjectionRow{R"({"NetUserModalsSet.0": 5})", "G0 S0", "0 5"},
        // F.L#N > F#N > F.L > F; calls counted per function and per level.
        InjectionRow{R"({"NetUserModalsGet": 5, "NetUserModalsGet.3": 6,
                         "NetUserModalsGet#2": 7, "NetUserModalsGet.3#1": 8})",
                     "G3 G0 G3 G0", "8 7 6 5"},
        InjectionRow{R"({"NetUserModalsGet.3": 6, "NetUserModalsGet#1": 7})", "G3 G3", "7 6"},
        InjectionRow{R"({"NetUserModalsGet.0#2": 5})", "G3 G0 G3 G0", "0 0 0 5"},
        // Failed calls count too.
        InjectionRow{R"({"NetUserModalsGet#1": 5, "NetUserModalsGet#2": 6})", "G0 G0 G0", "5 6 0"},
        // A rule with status 0 lets its calls through.
        InjectionRow{R"({"NetUserEnum": 5, "NetUserEnum#1": 0})", "E  E ", "0 5"}));

// Relative IDs as given, else as a Windows computer numbers its accounts,
// and the flags as level 3 gives them: the lockout, and the expired password
// also when only marked as such.
TEST(SimNetApi, Level20GivesEachAccountsRelativeIdFlagsAndTexts) {
    auto sim = makeSim(R"({"computers": {"WS01": {"accounts": [
        {"name": "Administrator"}, {"name": "Guest", "flags": 515},
        {"name": "alice", "flags": "0x211", "fullName": "Alice Archer"},
        {"name": "bob", "passwordExpired": true, "comment": "Sales"},
        {"name": "carol", "rid": 2000}]}}})");
    LPBYTE buffer = nullptr;
    DWORD read = 0, total = 0;
    ASSERT_EQ(sim->net().NetUserEnum(nullptr, 20, 0, &buffer, MAX_PREFERRED_LENGTH, &read, &total,
                                     nullptr),
              0u);
    std::vector<std::tuple<DWORD, DWORD, std::u16string, std::u16string>> listed;
    for (const auto& r : std::span(reinterpret_cast<USER_INFO_20*>(buffer), read))
        listed.emplace_back(r.usri20_user_id, r.usri20_flags, r.usri20_full_name, r.usri20_comment);
    EXPECT_EQ(sim->net().NetApiBufferFree(buffer), 0u);
    EXPECT_EQ(listed, (decltype(listed){{500, 513, u"", u""},
                                        {501, 515, u"", u""},
                                        {1002, 0x211, u"Alice Archer", u""},
                                        {1003, 513 | UF_PASSWORD_EXPIRED, u"", u"Sales"},
                                        {2000, 513, u"", u""}}));
}

TEST(SimNetApi, CallsAreCountedPerComputer) {
    auto sim = makeSim(R"({"computers": {"SRV01": {"fail": {"NetUserModalsGet#2": 1722}}}})");
    EXPECT_EQ(reach(*sim, u"SRV01"), 0u);
    EXPECT_EQ(reach(*sim, nullptr), 0u);
    EXPECT_EQ(reach(*sim, u"\\\\srv01"), 1001722u);
}

TEST(SimNetApi, FreeingAnythingButALiveBufferIsCountedNotUndefined) {
    auto sim = makeSim(kMachine);
    LPBYTE buffer = nullptr;
    ASSERT_EQ(sim->net().NetUserModalsGet(nullptr, 0, &buffer), 0u);
    EXPECT_EQ(sim->net().NetApiBufferFree(buffer), 0u);
    EXPECT_EQ(sim->net().NetApiBufferFree(buffer), ERROR_INVALID_PARAMETER);
    int local = 0;
    EXPECT_EQ(sim->net().NetApiBufferFree(&local), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(sim->net().BadFrees(), 2u);
    EXPECT_EQ(sim->net().OutstandingBuffers(), 0u);
}
