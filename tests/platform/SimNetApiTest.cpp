#include "SimTestSupport.h"

#include <gtest/gtest.h>

using namespace tw;
using namespace tw::sim;
using namespace tw::sim::test;
using namespace tw::win;

namespace {

const char* const kMachine = R"({
    "computers": {
        "WS01": {"accounts": [{"name": "alice", "flags": 513}, {"name": "Locked", "flags": "0x211"}],
                 "policy": {"minPwdLen": 7}},
        "SRV01": {"accounts": [{"name": "Bob", "flags": 66049, "passwordAge": 86400,
                                "privilege": 2, "authFlags": 1, "lastLogon": 1700000000,
                                "lastLogoff": 1700003600, "acctExpires": -1, "badPwCount": 3,
                                "numLogons": 42, "passwordExpired": true}],
                  "policy": {"minPwdLen": 9, "maxPwdAge": -1, "minPwdAge": 86400,
                             "forceLogoff": 4294967295, "pwdHistoryLen": 24,
                             "lockoutDuration": 1800, "lockoutObsWin": 900,
                             "lockoutThreshold": 5}}}})";

// The minimum password length the call reaches, or the failure status.
struct ReachResult {
    DWORD status;
    DWORD minPwdLen;
};

ReachResult reach(SimPlatform& sim, const char16_t* server) {
    LPBYTE buffer = nullptr;
    DWORD status = sim.NetUserModalsGet(server, 0, &buffer);
    DWORD minPwdLen =
        buffer ? reinterpret_cast<USER_MODALS_INFO_0*>(buffer)->usrmod0_min_passwd_len : 0xDEAD;
    sim.NetApiBufferFree(buffer);
    return {status, minPwdLen};
}

std::vector<std::u16string> names(const std::string& list) {
    std::vector<std::u16string> out;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        out.push_back(FromUtf8(list.substr(start, end - start)));
        start = end + 1;
    }
    return out;
}

std::string machineWithAccounts(const std::vector<std::pair<std::string, DWORD>>& accounts) {
    nlohmann::json list = nlohmann::json::array();
    for (const auto& [name, flags] : accounts)
        list.push_back({{"name", name}, {"flags", flags}});
    return nlohmann::json{{"computers", {{"WS01", {{"accounts", list}}}}}}.dump();
}

} // namespace

struct ReachRow {
    using TestRow = void;
    const char16_t* server;
    DWORD status;
    DWORD minPwdLen;
};

class SimServerReach : public testing::TestWithParam<ReachRow> {};

TEST_P(SimServerReach, ServerArgumentsReachComputersWithoutRegardToCase) {
    auto sim = makeSim(kMachine);
    ReachResult r = reach(*sim, GetParam().server);
    EXPECT_EQ(r.status, GetParam().status);
    if (GetParam().status == 0) {
        EXPECT_EQ(r.minPwdLen, GetParam().minPwdLen);
    }
    EXPECT_EQ(sim->outstandingBuffers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, SimServerReach,
                         testing::Values(ReachRow{nullptr, 0, 7}, ReachRow{u"", 0, 7},
                                         ReachRow{u"\\\\WS01", 0, 7}, ReachRow{u"ws01", 0, 7},
                                         ReachRow{u"\\\\srv01", 0, 9}, ReachRow{u"SRV01", 0, 9},
                                         ReachRow{u"\\\\SRV02", 53, 0}, ReachRow{u"\\SRV01", 53, 0},
                                         ReachRow{u"\\\\", 53, 0},
                                         ReachRow{u"\\\\\\\\SRV01", 53, 0}));

TEST(SimNetApi, UnknownServersFailEveryCallWithTheConfiguredStatus) {
    auto sim = makeSim(R"({"unknownServerStatus": 1722})");
    LPBYTE buffer = reinterpret_cast<LPBYTE>(&sim); // must be reset to null
    DWORD read = 7, total = 7, resume = 0;
    EXPECT_EQ(sim->NetUserEnum(u"\\\\NOWHERE", 0, 2, &buffer, 255, &read, &total, &resume), 1722u);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(sim->NetUserGetInfo(u"NOWHERE", u"alice", 3, &buffer), 1722u);
    USER_INFO_1008 info{0x201};
    EXPECT_EQ(
        sim->NetUserSetInfo(u"NOWHERE", u"alice", 1008, reinterpret_cast<LPBYTE>(&info), nullptr),
        1722u);
    EXPECT_EQ(sim->outstandingBuffers(), 0u);
}

TEST(SimNetApi, LocalComputerWithoutANameIsStillReachedByWS01) {
    auto sim = makeSim(R"({"system": {"computerName": null},
                           "computers": {"WS01": {"policy": {"minPwdLen": 4}}}})");
    EXPECT_EQ(reach(*sim, nullptr).minPwdLen, 4u);
    EXPECT_EQ(reach(*sim, u"\\\\ws01").minPwdLen, 4u);
}

TEST(SimNetApi, EnumerationInSmallBatchesListsEveryNameOnceInOrder) {
    std::vector<std::pair<std::string, DWORD>> accounts;
    std::vector<std::u16string> expected;
    for (int i = 0; i < 40; ++i) {
        std::string name =
            "user" + std::string(static_cast<std::size_t>(i % 7), 'x') + std::to_string(i);
        accounts.push_back({name, 0x201});
        expected.push_back(FromUtf8(name));
    }
    auto sim = makeSim(machineWithAccounts(accounts));
    std::vector<std::u16string> listed;
    DWORD resume = 0;
    DWORD status = ERROR_MORE_DATA;
    int calls = 0;
    while (status == ERROR_MORE_DATA) {
        ASSERT_LT(++calls, 40);
        LPBYTE buffer = nullptr;
        DWORD read = 0, total = 0;
        status = sim->NetUserEnum(nullptr, 0, FILTER_NORMAL_ACCOUNT, &buffer, 255, &read, &total,
                                  &resume);
        ASSERT_TRUE(status == 0 || status == ERROR_MORE_DATA) << status;
        ASSERT_GE(read, 1u);
        EXPECT_EQ(total, expected.size() - listed.size());
        auto* records = reinterpret_cast<USER_INFO_0*>(buffer);
        std::size_t bytes = 0;
        for (DWORD i = 0; i < read; ++i) {
            listed.emplace_back(records[i].usri0_name);
            bytes += sizeof(USER_INFO_0) + (listed.back().size() + 1) * 2;
        }
        // Each batch is as full as 255 bytes allow.
        EXPECT_LE(bytes, 255u);
        if (status == ERROR_MORE_DATA) {
            std::size_t next = sizeof(USER_INFO_0) + (expected[listed.size()].size() + 1) * 2;
            EXPECT_GT(bytes + next, 255u);
            EXPECT_EQ(resume, listed.size());
        } else {
            EXPECT_EQ(resume, 0u);
        }
        EXPECT_EQ(sim->NetApiBufferFree(buffer), 0u);
    }
    EXPECT_EQ(listed, expected);
    EXPECT_GT(calls, 3);
    EXPECT_EQ(sim->outstandingBuffers(), 0u);
    EXPECT_EQ(sim->badFrees(), 0u);
}

TEST(SimNetApi, EnumerationGivesAtLeastOneEntryAndEverythingForTheUnlimitedLength) {
    auto sim = makeSim(machineWithAccounts({{"averyveryverylongname", 0x201}, {"b", 0x201}}));
    LPBYTE buffer = nullptr;
    DWORD read = 0, total = 0, resume = 0;
    EXPECT_EQ(sim->NetUserEnum(nullptr, 0, 2, &buffer, 1, &read, &total, &resume), ERROR_MORE_DATA);
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(total, 2u);
    sim->NetApiBufferFree(buffer);
    resume = 0;
    EXPECT_EQ(
        sim->NetUserEnum(nullptr, 0, 2, &buffer, MAX_PREFERRED_LENGTH, &read, &total, &resume), 0u);
    EXPECT_EQ(read, 2u);
    EXPECT_EQ(std::u16string(reinterpret_cast<USER_INFO_0*>(buffer)[1].usri0_name), u"b");
    sim->NetApiBufferFree(buffer);
    EXPECT_EQ(sim->outstandingBuffers(), 0u);
}

struct FilterRow {
    using TestRow = void;
    DWORD filter;
    const char* names;
};

class SimEnumFilter : public testing::TestWithParam<FilterRow> {};

TEST_P(SimEnumFilter, ListsOnlyAccountsOfTheFilteredTypes) {
    auto sim = makeSim(machineWithAccounts({{"normal", 0x201},
                                            {"typeless", 0x1},
                                            {"temp", 0x100},
                                            {"trust", 0x800 | 0x200},
                                            {"ws$", 0x1000},
                                            {"srv$", 0x2000}}));
    LPBYTE buffer = nullptr;
    DWORD read = 0, total = 0;
    ASSERT_EQ(sim->NetUserEnum(nullptr, 0, GetParam().filter, &buffer, MAX_PREFERRED_LENGTH, &read,
                               &total, nullptr),
              0u);
    std::vector<std::u16string> listed;
    for (DWORD i = 0; i < read; ++i)
        listed.emplace_back(reinterpret_cast<USER_INFO_0*>(buffer)[i].usri0_name);
    sim->NetApiBufferFree(buffer);
    EXPECT_EQ(listed, names(GetParam().names));
}

INSTANTIATE_TEST_SUITE_P(Rows, SimEnumFilter,
                         testing::Values(FilterRow{FILTER_NORMAL_ACCOUNT, "normal,typeless"},
                                         FilterRow{0, "normal,typeless,temp,trust,ws$,srv$"},
                                         FilterRow{0x10 | 0x20, "ws$,srv$"}));

TEST(SimNetApi, EmptyEnumerationSucceedsWithoutABuffer) {
    auto sim = makeSim("{}");
    LPBYTE buffer = nullptr;
    DWORD read = 9, total = 9, resume = 0;
    EXPECT_EQ(sim->NetUserEnum(nullptr, 0, 2, &buffer, 255, &read, &total, &resume), 0u);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(total, 0u);
}

TEST(SimNetApi, GetInfoFillsLevel3WithTheAccountInItsOwnLetterCase) {
    auto sim = makeSim(kMachine);
    LPBYTE buffer = nullptr;
    ASSERT_EQ(sim->NetUserGetInfo(u"\\\\SRV01", u"BOB", 3, &buffer), 0u);
    const auto* info = reinterpret_cast<const USER_INFO_3*>(buffer);
    EXPECT_EQ(std::u16string(info->usri3_name), u"Bob");
    EXPECT_EQ(info->usri3_flags, 66049u);
    EXPECT_EQ(info->usri3_password_age, 86400u);
    EXPECT_EQ(info->usri3_priv, 2u);
    EXPECT_EQ(info->usri3_auth_flags, 1u);
    EXPECT_EQ(info->usri3_last_logon, 1700000000u);
    EXPECT_EQ(info->usri3_last_logoff, 1700003600u);
    EXPECT_EQ(info->usri3_acct_expires, 0xFFFFFFFFu);
    EXPECT_EQ(info->usri3_bad_pw_count, 3u);
    EXPECT_EQ(info->usri3_num_logons, 42u);
    EXPECT_EQ(info->usri3_password_expired, 1u);
    EXPECT_EQ(info->usri3_password, nullptr);
    EXPECT_EQ(std::u16string(info->usri3_full_name), u"");
    EXPECT_EQ(sim->outstandingBuffers(), 1u);
    EXPECT_EQ(sim->NetApiBufferFree(buffer), 0u);
    EXPECT_EQ(sim->outstandingBuffers(), 0u);
}

TEST(SimNetApi, UnknownAccountIsUserNotFound) {
    auto sim = makeSim(kMachine);
    LPBYTE buffer = reinterpret_cast<LPBYTE>(&sim);
    EXPECT_EQ(sim->NetUserGetInfo(nullptr, u"mallory", 3, &buffer), NERR_UserNotFound);
    EXPECT_EQ(buffer, nullptr);
    USER_INFO_1008 info{0x201};
    EXPECT_EQ(
        sim->NetUserSetInfo(nullptr, u"mallory", 1008, reinterpret_cast<LPBYTE>(&info), nullptr),
        NERR_UserNotFound);
    EXPECT_EQ(sim->outstandingBuffers(), 0u);
}

struct LevelRow {
    using TestRow = void;
    const char* call;
    DWORD level;
};

class SimLevels : public testing::TestWithParam<LevelRow> {};

TEST_P(SimLevels, OtherLevelsAreInvalidAndGiveNoBuffer) {
    auto sim = makeSim(kMachine);
    std::string call = GetParam().call;
    DWORD level = GetParam().level;
    LPBYTE buffer = nullptr;
    DWORD read = 0, total = 0;
    USER_MODALS_INFO_0 data{};
    DWORD status =
        call == "NetUserEnum"
            ? sim->NetUserEnum(nullptr, level, 2, &buffer, 255, &read, &total, nullptr)
        : call == "NetUserGetInfo" ? sim->NetUserGetInfo(nullptr, u"alice", level, &buffer)
        : call == "NetUserSetInfo" ? sim->NetUserSetInfo(nullptr, u"alice", level,
                                                         reinterpret_cast<LPBYTE>(&data), nullptr)
        : call == "NetUserModalsGet"
            ? sim->NetUserModalsGet(nullptr, level, &buffer)
            : sim->NetUserModalsSet(nullptr, level, reinterpret_cast<LPBYTE>(&data), nullptr);
    EXPECT_EQ(status, ERROR_INVALID_LEVEL);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(sim->query("computers/WS01/accounts/alice/flags"), 513);
    EXPECT_EQ(sim->query("computers/WS01/policy/minPwdLen"), 7);
}

INSTANTIATE_TEST_SUITE_P(Rows, SimLevels,
                         testing::Values(LevelRow{"NetUserEnum", 1}, LevelRow{"NetUserGetInfo", 0},
                                         LevelRow{"NetUserSetInfo", 1},
                                         LevelRow{"NetUserSetInfo", 3},
                                         LevelRow{"NetUserModalsGet", 1},
                                         LevelRow{"NetUserModalsSet", 2}));

struct LockoutRow {
    using TestRow = void;
    const char16_t* account;
    DWORD written;
    DWORD stored;
};

class SimLockout : public testing::TestWithParam<LockoutRow> {};

TEST_P(SimLockout, CanOnlyBeClearedNeverSet) {
    auto sim = makeSim(kMachine);
    USER_INFO_1008 info{GetParam().written};
    EXPECT_EQ(sim->NetUserSetInfo(nullptr, GetParam().account, 1008,
                                  reinterpret_cast<LPBYTE>(&info), nullptr),
              0u);
    LPBYTE buffer = nullptr;
    ASSERT_EQ(sim->NetUserGetInfo(nullptr, GetParam().account, 3, &buffer), 0u);
    EXPECT_EQ(reinterpret_cast<USER_INFO_3*>(buffer)->usri3_flags, GetParam().stored);
    sim->NetApiBufferFree(buffer);
}

INSTANTIATE_TEST_SUITE_P(Rows, SimLockout,
                         testing::Values(LockoutRow{u"alice", 0x213, 0x203},
                                         LockoutRow{u"ALICE", 0x10203, 0x10203},
                                         LockoutRow{u"Locked", 0x201, 0x201},
                                         LockoutRow{u"locked", 0x213, 0x213}));

TEST(SimNetApi, PolicyIsReadAndWrittenByLevel) {
    auto sim = makeSim(kMachine);
    LPBYTE buffer = nullptr;
    ASSERT_EQ(sim->NetUserModalsGet(u"SRV01", 0, &buffer), 0u);
    auto* level0 = reinterpret_cast<USER_MODALS_INFO_0*>(buffer);
    EXPECT_EQ(level0->usrmod0_max_passwd_age, 0xFFFFFFFFu);
    EXPECT_EQ(level0->usrmod0_min_passwd_age, 86400u);
    EXPECT_EQ(level0->usrmod0_force_logoff, 0xFFFFFFFFu);
    EXPECT_EQ(level0->usrmod0_password_hist_len, 24u);
    sim->NetApiBufferFree(buffer);
    ASSERT_EQ(sim->NetUserModalsGet(u"SRV01", 3, &buffer), 0u);
    auto* level3 = reinterpret_cast<USER_MODALS_INFO_3*>(buffer);
    EXPECT_EQ(level3->usrmod3_lockout_duration, 1800u);
    EXPECT_EQ(level3->usrmod3_lockout_observation_window, 900u);
    EXPECT_EQ(level3->usrmod3_lockout_threshold, 5u);
    sim->NetApiBufferFree(buffer);

    USER_MODALS_INFO_0 write0{8, 3600, 60, 0, 5};
    USER_MODALS_INFO_3 write3{10, 20, 30};
    EXPECT_EQ(sim->NetUserModalsSet(u"SRV01", 0, reinterpret_cast<LPBYTE>(&write0), nullptr), 0u);
    EXPECT_EQ(sim->NetUserModalsSet(u"SRV01", 3, reinterpret_cast<LPBYTE>(&write3), nullptr), 0u);
    EXPECT_EQ(sim->query("computers/SRV01/policy"), (nlohmann::json{{"minPwdLen", 8},
                                                                    {"maxPwdAge", 3600},
                                                                    {"minPwdAge", 60},
                                                                    {"forceLogoff", 0},
                                                                    {"pwdHistoryLen", 5},
                                                                    {"lockoutDuration", 10},
                                                                    {"lockoutObsWin", 20},
                                                                    {"lockoutThreshold", 30}}));
    EXPECT_EQ(sim->outstandingBuffers(), 0u);
}

struct InjectionRow {
    using TestRow = void;
    const char* fail;     // the computer's fail object
    const char* calls;    // "G0" = NetUserModalsGet level 0, "G3", "S0" = ModalsSet, "E" = Enum
    const char* statuses; // expected status of each call
};

class SimFailureInjection : public testing::TestWithParam<InjectionRow> {};

TEST_P(SimFailureInjection, MostSpecificRuleDecidesEachCall) {
    auto sim = makeSim(std::string(R"({"computers": {"WS01": {"accounts": [{"name": "a"}],
                                        "fail": )") +
                       GetParam().fail + "}}}");
    std::vector<std::string> statuses;
    std::string calls = GetParam().calls;
    for (std::size_t i = 0; i < calls.size(); i += 3) {
        std::string call = calls.substr(i, 2);
        LPBYTE buffer = nullptr;
        USER_MODALS_INFO_0 data{};
        DWORD read = 0, total = 0;
        DWORD status =
            call == "E " ? sim->NetUserEnum(nullptr, 0, 2, &buffer, MAX_PREFERRED_LENGTH, &read,
                                            &total, nullptr)
            : call == "S0"
                ? sim->NetUserModalsSet(nullptr, 0, reinterpret_cast<LPBYTE>(&data), nullptr)
                : sim->NetUserModalsGet(nullptr, call[1] - '0', &buffer);
        if (status != 0) {
            EXPECT_EQ(buffer, nullptr);
        }
        sim->NetApiBufferFree(buffer);
        statuses.push_back(std::to_string(status));
    }
    std::string joined;
    for (const auto& s : statuses)
        joined += (joined.empty() ? "" : " ") + s;
    EXPECT_EQ(joined, GetParam().statuses);
    EXPECT_EQ(sim->outstandingBuffers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SimFailureInjection,
    testing::Values(
        InjectionRow{R"({"NetUserEnum": 5})", "E  E  G0", "5 5 0"},
        InjectionRow{R"({"NetUserEnum#2": 1722})", "E  E  E ", "0 1722 0"},
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

TEST(SimNetApi, CallsAreCountedPerComputer) {
    auto sim = makeSim(R"({"computers": {"SRV01": {"fail": {"NetUserModalsGet#2": 1722}}}})");
    EXPECT_EQ(reach(*sim, u"SRV01").status, 0u);
    EXPECT_EQ(reach(*sim, nullptr).status, 0u);
    EXPECT_EQ(reach(*sim, u"\\\\srv01").status, 1722u);
}

TEST(SimNetApi, InjectedFailuresChangeNothing) {
    auto sim = makeSim(R"({"computers": {"WS01": {"accounts": [{"name": "a", "flags": 513}],
                           "fail": {"NetUserSetInfo": 5, "NetUserModalsSet": 5}}}})");
    USER_INFO_1008 info{0x203};
    EXPECT_EQ(sim->NetUserSetInfo(nullptr, u"a", 1008, reinterpret_cast<LPBYTE>(&info), nullptr),
              5u);
    USER_MODALS_INFO_0 policy{14, 1, 1, 1, 1};
    EXPECT_EQ(sim->NetUserModalsSet(nullptr, 0, reinterpret_cast<LPBYTE>(&policy), nullptr), 5u);
    EXPECT_EQ(sim->query("computers/WS01/accounts/a/flags"), 513);
    EXPECT_EQ(sim->query("computers/WS01/policy/minPwdLen"), 0);
}

TEST(SimNetApi, CallLogShowsFunctionLevelAndServerAsPassed) {
    auto sim = makeSim(kMachine);
    LPBYTE buffer = nullptr;
    DWORD read = 0, total = 0, resume = 0;
    sim->NetUserModalsGet(u"\\\\SRV01", 0, &buffer);
    sim->NetApiBufferFree(buffer);
    sim->NetUserGetInfo(nullptr, u"alice", 3, &buffer);
    sim->NetApiBufferFree(buffer);
    USER_INFO_1008 info{0x201};
    sim->NetUserSetInfo(u"", u"alice", 1008, reinterpret_cast<LPBYTE>(&info), nullptr);
    sim->NetUserEnum(u"\\\\nowhere", 0, 2, &buffer, 255, &read, &total, &resume);
    USER_MODALS_INFO_3 policy{};
    sim->NetUserModalsSet(u"srv01", 3, reinterpret_cast<LPBYTE>(&policy), nullptr);
    EXPECT_EQ(sim->calls(),
              (std::vector<std::string>{"NetUserModalsGet.0 \\\\SRV01", "NetUserGetInfo.3 -",
                                        "NetUserSetInfo.1008 ", "NetUserEnum.0 \\\\nowhere",
                                        "NetUserModalsSet.3 srv01"}));
    sim->clearCalls();
    EXPECT_TRUE(sim->calls().empty());
}

TEST(SimNetApi, FreeingAnythingButALiveBufferIsCountedNotUndefined) {
    auto sim = makeSim(kMachine);
    LPBYTE buffer = nullptr;
    ASSERT_EQ(sim->NetUserModalsGet(nullptr, 0, &buffer), 0u);
    EXPECT_EQ(sim->outstandingBuffers(), 1u);
    EXPECT_EQ(sim->NetApiBufferFree(buffer), 0u);
    EXPECT_EQ(sim->NetApiBufferFree(buffer), ERROR_INVALID_PARAMETER);
    int local = 0;
    EXPECT_EQ(sim->NetApiBufferFree(&local), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(sim->NetApiBufferFree(nullptr), 0u);
    EXPECT_EQ(sim->badFrees(), 2u);
    EXPECT_EQ(sim->outstandingBuffers(), 0u);
    EXPECT_TRUE(sim->calls().size() == 1); // NetApiBufferFree is not logged
}

TEST(SimNetApi, BuffersNotFreedAreCountedAndReleasedWithTheSimulation) {
    auto sim = makeSim(kMachine);
    LPBYTE first = nullptr;
    LPBYTE second = nullptr;
    sim->NetUserModalsGet(nullptr, 0, &first);
    sim->NetUserGetInfo(nullptr, u"alice", 3, &second);
    EXPECT_NE(first, second);
    EXPECT_EQ(sim->outstandingBuffers(), 2u);
}
