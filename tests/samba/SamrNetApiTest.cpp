// The SAMR backend against a real Samba server that the tests start: what
// it hands out, checked against Samba's own view of the accounts (pdbedit).
#include "SambaServer.h"
#include "SilentListener.h"
#include "servers/SamrCalls.h"

#include "platform/samr/SamrClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace tw::test {
namespace {

using namespace win;
using samr::SamrConnection;
using samr::SamrNetApi;

class SamrOnSamba : public SamrCalls {
protected:
    static void SetUpTestSuite() {
        server_ = new SambaServer();
        server_->addAccount("alice", "Alice-pw1");
        server_->addAccount("bob", "Bob-pw1");
        server_->addAccount("carol", "Carol-pw1");
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    SamrNetApi& net(SamrConnection c = server_->connectionAs()) { return connect(std::move(c)); }

    static SambaServer* server_;
};

SambaServer* SamrOnSamba::server_ = nullptr;

// A standalone server keeps the change-password right in the SAMR
// descriptor's DACL: no directory is asked.
TEST_F(SamrOnSamba, TheChangePasswordRightIsTheSamrDescriptors) {
    net();
    EXPECT_EQ(net_->ChangePasswordRight(u"", u"alice").keeper, samr::ChangeRightKeeper::Samr);
}

// A listing at level 20 shows a lockout the server made after real bad
// logons and a disabled account as level 3 does, from a few requests for all
// the accounts; an expired password (which the server's listing leaves out)
// is never shown where level 3 has none.
TEST_F(SamrOnSamba, Level20ShowsLockoutAndDisabledAsLevel3DoesFromOneListing) {
    SambaServer server;
    server.addAccount("locked", "Locked-pw1");
    server.addAccount("off", "Off-pw1", "[D]");
    server.addAccounts({"a1", "a2"});
    server.setPolicy("bad lockout attempt", 2);
    for (int i = 0; i < 2; ++i)
        server.logon("locked", "wrong");
    connect(server.connectionAs());
    ASSERT_EQ(setFlags(u"a1", 0x201 | UF_PASSWORD_EXPIRED), 0u);
    const auto listed = level20FlagsAsLevel3();
    ASSERT_EQ(listed.size(), 5u) << "and the administrator";
    EXPECT_NE(listed.at(u"locked") & UF_LOCKOUT, 0u);
    EXPECT_NE(listed.at(u"off") & UF_ACCOUNTDISABLE, 0u);
    // The enumeration and a page of the display information.
    EXPECT_LE(lastRequests_, 3) << "never a request for each account";
}

// A part of the policy (the password lengths and ages, the forced logoff,
// the lockout) goes to the server only when it differs from what the server
// holds: an unchanged part is never sent, so it cannot fail after another
// part was written.
TEST_F(SamrOnSamba, OnlyThePartsOfThePolicyThatDifferAreSent) {
    net();
    USER_MODALS_INFO_0 level0{8, 0xFFFFFFFFu, 0, 0xFFFFFFFFu, 0};
    USER_MODALS_INFO_3 level3{1800, 1800, 0};
    ASSERT_EQ(net_->NetUserModalsSet(nullptr, 0, reinterpret_cast<LPBYTE>(&level0), nullptr), 0u);
    ASSERT_EQ(net_->NetUserModalsSet(nullptr, 3, reinterpret_cast<LPBYTE>(&level3), nullptr), 0u);
    static int writes = 0;
    tw_samr_observe_requests(
        [](void*, std::uint32_t opnum) { writes += opnum == 0x09 ? 1 : 0; }, // SetDomainInfo
        nullptr);
    const struct {
        DWORD level;
        DWORD field; // of the level's record
        DWORD value;
        int requests;
    } rows[] = {
        {0, 0, 8, 0}, {0, 0, 9, 1}, {0, 3, 3600, 1}, {3, 2, 0, 0}, {3, 2, 5, 1}, {0, 4, 3, 1},
    };
    for (const auto& row : rows) {
        auto* fields =
            row.level == 0 ? reinterpret_cast<DWORD*>(&level0) : reinterpret_cast<DWORD*>(&level3);
        fields[row.field] = row.value;
        writes = 0;
        EXPECT_EQ(
            net_->NetUserModalsSet(nullptr, row.level, reinterpret_cast<LPBYTE>(fields), nullptr),
            0u);
        EXPECT_EQ(writes, row.requests) << "level " << row.level << " field " << row.field;
    }
    tw_samr_observe_requests(nullptr, nullptr);
    EXPECT_EQ(policy(), (std::vector<DWORD>{9, 0xFFFFFFFFu, 0, 3600, 3, 1800, 1800, 5}));
    server_->setPolicy("bad lockout attempt", 0);
}

// A handle from an enumeration this layer no longer holds (another program
// instance, or the accounts went) goes on from where it points, or lists
// nothing more: never a crash, never a name twice or a made-up one.
TEST_F(SamrOnSamba, AResumeHandleFromElsewhereGoesOnOrEndsTheListing) {
    net();
    LPBYTE buffer = nullptr;
    DWORD read = 0, total = 0, resume = 1;
    ASSERT_EQ(net_->NetUserEnum(nullptr, 0, FILTER_NORMAL_ACCOUNT, &buffer, MAX_PREFERRED_LENGTH,
                                &read, &total, &resume),
              0u);
    EXPECT_GE(read, 3u) << "from the second account on";
    EXPECT_EQ(total, read);
    net_->NetApiBufferFree(buffer);
    buffer = nullptr;
    resume = 1000000;
    net(); // a fresh layer: nothing of an earlier listing
    EXPECT_EQ(
        net_->NetUserEnum(nullptr, 0, FILTER_NORMAL_ACCOUNT, &buffer, 255, &read, &total, &resume),
        0u);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(total, 0u);
    EXPECT_EQ(resume, 0u);
}

TEST_F(SamrOnSamba, StatusCodesAreWindowsOnes) {
    // Not an administrator: reads, but writes are refused.
    net(server_->connectionAs("alice", "Alice-pw1"));
    info(u"bob");
    EXPECT_EQ(setFlags(u"bob", 0x203), ERROR_ACCESS_DENIED);
    USER_MODALS_INFO_3 level3{1800, 900, 4};
    EXPECT_EQ(net_->NetUserModalsSet(nullptr, 3, reinterpret_cast<LPBYTE>(&level3), nullptr),
              ERROR_ACCESS_DENIED);
    // A wrong password, and a server where none listens.
    net(server_->connectionAs("alice", "wrong"));
    info(u"bob", ERROR_LOGON_FAILURE);
    net();
    LPBYTE buffer = nullptr;
    EXPECT_EQ(net_->NetUserGetInfo(u"\\\\127.0.0.2", u"bob", 3, &buffer), ERROR_BAD_NETPATH);
    EXPECT_EQ(buffer, nullptr);
}

TEST_F(SamrOnSamba, AServerThatRestartedIsReachedAgainOnTheNextCall) {
    net();
    info(u"alice");
    server_->stop();
    server_->start();
    info(u"alice");
    EXPECT_EQ(net_->Connections(), 2u);
}

// A server that takes the connection and never answers: the call gives up
// at the connection's own limit, not at Samba's minute, with the error
// Windows gives when no server answers.
TEST(SilentServer, AConnectionNeverAnsweredIsGivenUpAtTheLimit) {
    const SilentListener listener;
    ASSERT_NE(listener.port(), 0);
    SamrConnection connection;
    connection.port = listener.port();
    connection.password = samr::Secret("pw");
    connection.hasPassword = true;
    connection.answerSeconds = 1;
    SamrNetApi net(connection);
    const auto start = std::chrono::steady_clock::now();
    LPBYTE buffer = nullptr;
    EXPECT_EQ(net.NetUserGetInfo(nullptr, u"alice", 3, &buffer), ERROR_BAD_NETPATH);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30))
        << "given up at Samba's own limit of a minute, not at the connection's";
}

} // namespace
} // namespace tw::test
