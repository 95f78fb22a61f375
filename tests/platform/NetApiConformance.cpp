#include "NetApiConformance.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace tw::test {

using namespace win;

NetApiBackend* NetApiConformance::backend(const std::vector<ConformanceAccount>& accounts,
                                          const ConformancePolicy& policy) {
    backend_ = GetParam().make(accounts, policy);
    return backend_.get();
}

void NetApiConformance::TearDown() {
    if (backend_ != nullptr) {
        EXPECT_EQ(backend_->outstandingBuffers().value_or(0), 0u) << "a buffer was not freed";
    }
}

namespace {

// An account as NetUserEnum level 20 or NetUserGetInfo level 3 shows it.
struct Listed {
    std::u16string name, fullName, comment;
    DWORD flags = 0, userId = 0;
    bool operator==(const Listed&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Listed& a) {
    return os << std::string(a.name.begin(), a.name.end()) << " ("
              << std::string(a.fullName.begin(), a.fullName.end()) << ") flags 0x" << std::hex
              << a.flags << std::dec << " id " << a.userId;
}

struct Batch {
    NET_API_STATUS status = 0;
    std::vector<std::u16string> names;
    std::vector<Listed> records; // level 20
    std::size_t bytes = 0;       // the records and their texts
    DWORD total = 0;
    DWORD resume = 0;
};

Batch enumerate(NetApiBackend& b, DWORD preferredLength, DWORD resume,
                DWORD filter = FILTER_NORMAL_ACCOUNT, DWORD level = 0) {
    Batch batch;
    LPBYTE buffer = nullptr;
    DWORD read = 0;
    batch.resume = resume;
    batch.status = b.net().NetUserEnum(b.server(), level, filter, &buffer, preferredLength, &read,
                                       &batch.total, &batch.resume);
    auto bytes = [](const std::u16string& text) { return (text.size() + 1) * sizeof(WCHAR); };
    for (DWORD i = 0; i < read && buffer != nullptr; ++i) {
        if (level == 0) {
            batch.names.emplace_back(reinterpret_cast<USER_INFO_0*>(buffer)[i].usri0_name);
            batch.bytes += sizeof(USER_INFO_0) + bytes(batch.names.back());
            continue;
        }
        const auto& r = reinterpret_cast<USER_INFO_20*>(buffer)[i];
        batch.records.push_back({r.usri20_name, r.usri20_full_name, r.usri20_comment,
                                 r.usri20_flags, r.usri20_user_id});
        const Listed& l = batch.records.back();
        batch.names.push_back(l.name);
        batch.bytes += sizeof(USER_INFO_20) + bytes(l.name) + bytes(l.fullName) + bytes(l.comment);
    }
    EXPECT_EQ(batch.names.size(), read) << "records promised without a buffer";
    if (buffer != nullptr) {
        EXPECT_EQ(b.net().NetApiBufferFree(buffer), 0u);
    }
    return batch;
}

// Level 3 of an account, or the failing status in flags with the name empty.
USER_INFO_3 account(NetApiBackend& b, const char16_t* name, std::u16string* shownName = nullptr) {
    LPBYTE buffer = nullptr;
    USER_INFO_3 info{};
    info.usri3_flags = b.net().NetUserGetInfo(b.server(), name, 3, &buffer);
    if (info.usri3_flags != 0) {
        EXPECT_EQ(buffer, nullptr);
        return info;
    }
    info = *reinterpret_cast<USER_INFO_3*>(buffer);
    if (shownName != nullptr)
        *shownName = info.usri3_name;
    EXPECT_EQ(info.usri3_password, nullptr) << "a password is never handed out";
    info.usri3_name = nullptr; // points into the buffer
    EXPECT_EQ(b.net().NetApiBufferFree(buffer), 0u);
    return info;
}

// What level 3 says of an account that level 20 says too.
Listed listedAtLevel3(NetApiBackend& b, const std::u16string& name) {
    LPBYTE buffer = nullptr;
    EXPECT_EQ(b.net().NetUserGetInfo(b.server(), name.c_str(), 3, &buffer), 0u);
    if (buffer == nullptr)
        return {};
    const auto* r = reinterpret_cast<USER_INFO_3*>(buffer);
    Listed listed{r->usri3_name, r->usri3_full_name, r->usri3_comment, r->usri3_flags,
                  r->usri3_user_id};
    EXPECT_EQ(b.net().NetApiBufferFree(buffer), 0u);
    return listed;
}

ConformancePolicy policy(NetApiBackend& b) {
    ConformancePolicy p;
    LPBYTE buffer = nullptr;
    EXPECT_EQ(b.net().NetUserModalsGet(b.server(), 0, &buffer), 0u);
    if (auto* level0 = reinterpret_cast<USER_MODALS_INFO_0*>(buffer)) {
        p = {level0->usrmod0_min_passwd_len, level0->usrmod0_max_passwd_age,
             level0->usrmod0_min_passwd_age, level0->usrmod0_force_logoff,
             level0->usrmod0_password_hist_len};
        b.net().NetApiBufferFree(buffer);
    }
    buffer = nullptr;
    EXPECT_EQ(b.net().NetUserModalsGet(b.server(), 3, &buffer), 0u);
    if (auto* level3 = reinterpret_cast<USER_MODALS_INFO_3*>(buffer)) {
        p.lockoutDuration = level3->usrmod3_lockout_duration;
        p.lockoutObsWin = level3->usrmod3_lockout_observation_window;
        p.lockoutThreshold = level3->usrmod3_lockout_threshold;
        b.net().NetApiBufferFree(buffer);
    }
    return p;
}

std::vector<DWORD> fields(const ConformancePolicy& p) {
    return {p.minPwdLen,     p.maxPwdAge,       p.minPwdAge,     p.forceLogoff,
            p.pwdHistoryLen, p.lockoutDuration, p.lockoutObsWin, p.lockoutThreshold};
}

// The account's flags written at level 1008.
NET_API_STATUS setFlags(NetApiBackend& b, const char16_t* name, DWORD flags) {
    USER_INFO_1008 info{flags};
    return b.net().NetUserSetInfo(b.server(), name, 1008, reinterpret_cast<LPBYTE>(&info), nullptr);
}

// A USER_MODALS_INFO_0 or _3 written; `parameter` gets the number of a refused field.
NET_API_STATUS setPolicy(NetApiBackend& b, DWORD level, void* record, DWORD* parameter = nullptr) {
    DWORD unused = 0;
    return b.net().NetUserModalsSet(b.server(), level, static_cast<LPBYTE>(record),
                                    parameter != nullptr ? parameter : &unused);
}

} // namespace

// The computer a test asks for, or the test is skipped where the backend cannot make it.
#define BACKEND_OR_SKIP(b, ...)                                                                    \
    NetApiBackend* const b = backend(__VA_ARGS__);                                                 \
    if (b == nullptr)                                                                              \
    GTEST_SKIP()

TEST_P(NetApiConformance, EnumerationComesInBatchesCutByThePreferredLength) {
    std::vector<ConformanceAccount> accounts;
    std::vector<std::u16string> expected;
    // More than one page of a server's listing, where the server pages it.
    for (int i = 0; i < 1000; ++i) {
        std::string name =
            "user" + std::string(static_cast<std::size_t>(i % 7), 'x') + std::to_string(i);
        expected.emplace_back(name.begin(), name.end());
        accounts.push_back({expected.back()});
    }
    BACKEND_OR_SKIP(b, accounts);
    for (const auto& name : b->administrators())
        expected.push_back(name);
    std::vector<std::u16string> listed;
    Batch batch;
    batch.status = ERROR_MORE_DATA;
    int calls = 0;
    while (batch.status == ERROR_MORE_DATA) {
        ASSERT_LT(++calls, 1000);
        batch = enumerate(*b, 255, batch.resume);
        ASSERT_TRUE(batch.status == 0 || batch.status == ERROR_MORE_DATA) << batch.status;
        ASSERT_GE(batch.names.size(), 1u);
        EXPECT_EQ(batch.total, expected.size() - listed.size()) << "entries from here on";
        std::size_t bytes = 0;
        for (const auto& name : batch.names)
            bytes += sizeof(USER_INFO_0) + (name.size() + 1) * sizeof(WCHAR);
        EXPECT_LE(bytes, 255u);
        if (batch.status == ERROR_MORE_DATA) {
            EXPECT_NE(batch.resume, 0u);
        }
        listed.insert(listed.end(), batch.names.begin(), batch.names.end());
    }
    EXPECT_GT(calls, 3);
    EXPECT_EQ(batch.resume, 0u);
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected) << "every account once";
}

TEST_P(NetApiConformance, ABatchHoldsOneEntryEvenBeyondThePreferredLength) {
    BACKEND_OR_SKIP(b, {{u"averyveryverylongname"}, {u"b"}});
    const std::size_t accounts = 2 + b->administrators().size();
    Batch first = enumerate(*b, 1, 0);
    EXPECT_EQ(first.status, ERROR_MORE_DATA);
    EXPECT_EQ(first.names.size(), 1u);
    EXPECT_EQ(first.total, accounts);
    Batch rest = enumerate(*b, MAX_PREFERRED_LENGTH, first.resume);
    EXPECT_EQ(rest.status, 0u);
    EXPECT_EQ(rest.names.size(), accounts - 1);
    EXPECT_EQ(std::count(rest.names.begin(), rest.names.end(), first.names.at(0)), 0);
    Batch all = enumerate(*b, MAX_PREFERRED_LENGTH, 0);
    EXPECT_EQ(all.status, 0u);
    EXPECT_EQ(all.names.size(), accounts);
    EXPECT_EQ(all.total, accounts);
    EXPECT_EQ(all.resume, 0u);
}

// Level 20 lists what level 0 lists, in its order and batches cut by the
// same rules, with each account's full name, comment, flags and relative ID
// as level 3 gives them, from one listing.
TEST_P(NetApiConformance, Level20ListsLevel0sAccountsWithWhatLevel3SaysOfThem) {
    std::vector<ConformanceAccount> accounts = {{u"alice", 0x201, u"Alice Archer"},
                                                {u"bob", 0x203},
                                                {u"carol", 0x10201, u"Carol of the Hills"},
                                                {u"dave", 0x221, u"D"}};
    for (int i = 0; i < 12; ++i)
        accounts.push_back({u"user" + std::u16string(1, char16_t(u'a' + i)), 0x201, u"Someone"});
    BACKEND_OR_SKIP(b, accounts);
    const std::vector<std::u16string> names = enumerate(*b, MAX_PREFERRED_LENGTH, 0).names;
    std::vector<Listed> listed;
    Batch batch;
    batch.status = ERROR_MORE_DATA;
    while (batch.status == ERROR_MORE_DATA) {
        ASSERT_LT(listed.size(), names.size());
        batch = enumerate(*b, 200, batch.resume, FILTER_NORMAL_ACCOUNT, 20);
        ASSERT_TRUE(batch.status == 0 || batch.status == ERROR_MORE_DATA) << batch.status;
        ASSERT_GE(batch.records.size(), 1u);
        EXPECT_EQ(batch.total, names.size() - listed.size()) << "entries from here on";
        EXPECT_TRUE(batch.bytes <= 200u || batch.records.size() == 1) << batch.bytes;
        EXPECT_EQ(batch.resume == 0, batch.status == 0);
        listed.insert(listed.end(), batch.records.begin(), batch.records.end());
    }
    std::vector<std::u16string> listedNames;
    for (const Listed& account : listed) {
        listedNames.push_back(account.name);
        EXPECT_EQ(account, listedAtLevel3(*b, account.name));
        for (const ConformanceAccount& made : accounts) {
            if (made.name == account.name) {
                EXPECT_EQ(account.fullName, made.fullName);
                EXPECT_EQ(account.flags, made.flags);
            }
        }
    }
    EXPECT_EQ(listedNames, names);
}

TEST_P(NetApiConformance, NormalAccountsAloneAreListedAndAnEmptyListSucceeds) {
    BACKEND_OR_SKIP(b, {{u"ws$", 0x1001}, {u"normal"}, {u"srv$", 0x2001}});
    std::vector<std::u16string> normal = b->administrators();
    normal.push_back(u"normal");
    EXPECT_EQ(enumerate(*b, 255, 0).names, normal) << "the server's own accounts were made first";
    Batch none = enumerate(*b, 255, 0, 0x08); // interdomain trust accounts: none here
    EXPECT_EQ(none.status, 0u);
    EXPECT_EQ(none.total, 0u);
    EXPECT_TRUE(none.names.empty());
}

TEST_P(NetApiConformance, AnAccountIsFoundWithoutRegardToCaseAndShownInItsOwn) {
    BACKEND_OR_SKIP(b, {{u"alice"}, {u"Bob", 0x10201}});
    std::u16string name;
    EXPECT_EQ(account(*b, u"BOB", &name).usri3_flags, 0x10201u);
    EXPECT_EQ(name, u"Bob");
}

// An account as every server hands it out: a script flag on a normal
// account, no expiry, no logon yet, a password set just now, the logon server
// as "\\*", a user's privilege and the users' group.
TEST_P(NetApiConformance, AnAccountReadsInWindowsTerms) {
    BACKEND_OR_SKIP(b, {{u"dora"}});
    LPBYTE buffer = nullptr;
    ASSERT_EQ(b->net().NetUserGetInfo(b->server(), u"dora", 3, &buffer), 0u);
    const auto* record = reinterpret_cast<USER_INFO_3*>(buffer);
    EXPECT_EQ(record->usri3_flags, 0x201u);
    EXPECT_EQ(record->usri3_acct_expires, 0xFFFFFFFFu) << "never";
    EXPECT_EQ(record->usri3_last_logon, 0u);
    EXPECT_LT(record->usri3_password_age, 3600u);
    EXPECT_EQ(record->usri3_bad_pw_count, 0u);
    EXPECT_EQ(std::u16string(record->usri3_logon_server), u"\\\\*");
    EXPECT_EQ(record->usri3_priv, 1u) << "USER_PRIV_USER";
    EXPECT_EQ(record->usri3_primary_group_id, 513u) << "Domain Users";
    EXPECT_EQ(b->net().NetApiBufferFree(buffer), 0u);
}

TEST_P(NetApiConformance, AMissingAccountIsUserNotFound) {
    BACKEND_OR_SKIP(b, {{u"alice"}});
    EXPECT_EQ(account(*b, u"mallory").usri3_flags, NERR_UserNotFound);
    EXPECT_EQ(setFlags(*b, u"mallory", 0x201), NERR_UserNotFound);
}

// Each flag the window writes is set and cleared alone at level 1008, as
// the server's own tools then read it; the lockout is the server's to set,
// never a caller's.
TEST_P(NetApiConformance, EachFlagIsWrittenAloneAndALockoutIsNeverSet) {
    BACKEND_OR_SKIP(b, {{u"alice"}});
    constexpr DWORD kRecordFlags =
        UF_ACCOUNTDISABLE | UF_LOCKOUT | UF_PASSWD_NOTREQD | UF_DONT_EXPIRE_PASSWD;
    auto write = [b](DWORD flags) { return setFlags(*b, u"alice", flags); };
    for (const DWORD flag :
         {UF_ACCOUNTDISABLE, UF_PASSWD_NOTREQD, UF_DONT_EXPIRE_PASSWD, UF_PASSWD_CANT_CHANGE}) {
        const DWORD kept = flag & kRecordFlags;
        ASSERT_EQ(write(0x201u | flag), 0u) << flag;
        EXPECT_EQ(account(*b, u"alice").usri3_flags, 0x201u | flag);
        EXPECT_EQ(b->flagsOnServer(u"alice").value_or(kept) & kRecordFlags, kept) << flag;
        ASSERT_EQ(write(0x201u), 0u) << flag;
        EXPECT_EQ(account(*b, u"alice").usri3_flags, 0x201u);
        EXPECT_EQ(b->flagsOnServer(u"alice").value_or(0) & kRecordFlags, 0u) << flag;
    }
    EXPECT_EQ(write(0x201u | UF_LOCKOUT), 0u);
    EXPECT_EQ(account(*b, u"alice").usri3_flags, 0x201u);
    EXPECT_EQ(b->flagsOnServer(u"alice").value_or(0) & UF_LOCKOUT, 0u);
}

TEST_P(NetApiConformance, PolicyIsReadAndWrittenAtLevels0And3) {
    const ConformancePolicy given{7, 0xFFFFFFFFu, 86400, 0xFFFFFFFFu, 24, 1800, 900, 5};
    BACKEND_OR_SKIP(b, {}, given);
    EXPECT_EQ(fields(policy(*b)), fields(given));
    USER_MODALS_INFO_0 level0{8, 3600, 60, 0, 5};
    // Whole minutes, and a lockout no shorter than its window, as servers keep them.
    USER_MODALS_INFO_3 level3{3600, 1800, 30};
    EXPECT_EQ(setPolicy(*b, 0, &level0), 0u);
    EXPECT_EQ(setPolicy(*b, 3, &level3), 0u);
    EXPECT_EQ(fields(policy(*b)), (std::vector<DWORD>{8, 3600, 60, 0, 5, 3600, 1800, 30}));
}

TEST_P(NetApiConformance, OtherLevelsAreInvalidGiveNoBufferAndChangeNothing) {
    const ConformancePolicy given{7};
    BACKEND_OR_SKIP(b, {{u"alice"}}, given);
    INetApi& net = b->net();
    const char16_t* s = b->server();
    USER_MODALS_INFO_0 data{1, 2, 3, 4, 5}; // also read as USER_INFO_1008 and _3
    auto* raw = reinterpret_cast<LPBYTE>(&data);
    DWORD read = 0, total = 0, error = 0;
    const struct {
        const char* call;
        std::function<NET_API_STATUS(LPBYTE*)> run;
    } rows[] = {
        {"NetUserEnum.1",
         [&](LPBYTE* out) { return net.NetUserEnum(s, 1, 2, out, 255, &read, &total, nullptr); }},
        {"NetUserGetInfo.0", [&](LPBYTE* out) { return net.NetUserGetInfo(s, u"alice", 0, out); }},
        {"NetUserSetInfo.1",
         [&](LPBYTE*) { return net.NetUserSetInfo(s, u"alice", 1, raw, &error); }},
        {"NetUserSetInfo.3",
         [&](LPBYTE*) { return net.NetUserSetInfo(s, u"alice", 3, raw, &error); }},
        {"NetUserModalsGet.1", [&](LPBYTE* out) { return net.NetUserModalsGet(s, 1, out); }},
        {"NetUserModalsSet.2", [&](LPBYTE*) { return net.NetUserModalsSet(s, 2, raw, &error); }},
    };
    for (const auto& row : rows) {
        LPBYTE buffer = nullptr;
        EXPECT_EQ(row.run(&buffer), ERROR_INVALID_LEVEL) << row.call;
        EXPECT_EQ(buffer, nullptr) << row.call;
    }
    EXPECT_EQ(account(*b, u"alice").usri3_flags, 0x201u);
    EXPECT_EQ(fields(policy(*b)), fields(given));
}

// What a server accepts: lengths and the threshold it keeps in 16 bits are
// refused with the parameter's number before anything is written, and the
// expired-password bit of level 1008 expires the password or ends its
// expiry, as Windows' own function writes it.
TEST_P(NetApiConformance, WhatAServerAcceptsIsTheSameOnEveryBackend) {
    const ConformancePolicy given{7, 0xFFFFFFFFu, 0, 0xFFFFFFFFu, 3, 1800, 1800, 5};
    BACKEND_OR_SKIP(b, {{u"alice"}}, given);
    const struct {
        DWORD level;
        DWORD field; // of the level's record
        DWORD parameter;
    } tooLarge[] = {{0, 0, 1}, {0, 4, 5}, {3, 2, 3}};
    for (const auto& row : tooLarge) {
        USER_MODALS_INFO_0 level0{7, 0xFFFFFFFFu, 0, 0xFFFFFFFFu, 3};
        USER_MODALS_INFO_3 level3{1800, 1800, 5};
        auto* record =
            row.level == 0 ? reinterpret_cast<DWORD*>(&level0) : reinterpret_cast<DWORD*>(&level3);
        record[row.field] = 0x10000;
        DWORD parameter = 0;
        EXPECT_EQ(setPolicy(*b, row.level, record, &parameter), ERROR_INVALID_PARAMETER)
            << "level " << row.level << " field " << row.field;
        EXPECT_EQ(parameter, row.parameter);
    }
    EXPECT_EQ(fields(policy(*b)), fields(given));

    for (const bool expired : {true, false}) {
        ASSERT_EQ(setFlags(*b, u"alice", 0x201u | (expired ? UF_PASSWORD_EXPIRED : 0u)), 0u);
        const USER_INFO_3 read = account(*b, u"alice");
        EXPECT_EQ(read.usri3_password_expired, expired ? 1u : 0u);
        EXPECT_EQ((read.usri3_flags & UF_PASSWORD_EXPIRED) != 0, expired);
    }
}

TEST_P(NetApiConformance, EveryBufferIsABlockOfItsOwnUntilFreed) {
    BACKEND_OR_SKIP(b, {{u"alice"}});
    LPBYTE first = nullptr;
    LPBYTE second = nullptr;
    ASSERT_EQ(b->net().NetUserModalsGet(b->server(), 0, &first), 0u);
    ASSERT_EQ(b->net().NetUserGetInfo(b->server(), u"alice", 3, &second), 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(b->outstandingBuffers().value_or(2), 2u);
    EXPECT_EQ(b->net().NetApiBufferFree(first), 0u);
    EXPECT_EQ(b->net().NetApiBufferFree(second), 0u);
    EXPECT_EQ(b->net().NetApiBufferFree(nullptr), 0u);
}

} // namespace tw::test
