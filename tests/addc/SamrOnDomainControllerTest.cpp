// The SAMR backend against a Samba Active Directory domain controller: what
// it hands out and writes, checked against the directory itself (ldbsearch on
// sam.ldb, samba-tool) and against real logons, NTLM and Kerberos.
#include "DomainController.h"

#include "platform/samr/SamrNetApi.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tw::test {
namespace {

using namespace win;
using samr::SamrNetApi;

class SamrOnDomainController : public testing::Test {
protected:
    DomainController& dc = SharedDomainController();

    void SetUp() override {
        const auto domain = dc.domainAttributes();
        for (const char* name :
             {"minPwdLength", "maxPwdAge", "minPwdAge", "forceLogoff", "pwdHistoryLength",
              "lockoutDuration", "lockOutObservationWindow", "lockoutThreshold"})
            policy_[name] = domain.at(name);
    }
    void TearDown() override {
        if (net_ != nullptr) {
            EXPECT_EQ(net_->OutstandingBuffers(), 0u);
        }
        net_.reset();
        dc.remove(made_);
        dc.setDomainAttributes(policy_);
    }

    // Accounts of this test alone, gone after it.
    void add(const std::vector<std::pair<std::string, std::uint32_t>>& accounts) {
        const auto dns = dc.addAccounts(accounts, kPassword);
        made_.insert(made_.end(), dns.begin(), dns.end());
    }
    SamrNetApi& net(samr::SamrConnection c = {}) {
        net_ = std::make_unique<SamrNetApi>(c.user.empty() ? dc.connectionAs() : std::move(c));
        return *net_;
    }
    USER_INFO_3 info(const char16_t* name, NET_API_STATUS expected = 0) {
        LPBYTE buffer = nullptr;
        USER_INFO_3 record{};
        EXPECT_EQ(net_->NetUserGetInfo(nullptr, name, 3, &buffer), expected);
        if (buffer != nullptr) {
            record = *reinterpret_cast<USER_INFO_3*>(buffer);
            record.usri3_name = nullptr;
            record.usri3_logon_server = nullptr;
            net_->NetApiBufferFree(buffer);
        }
        return record;
    }
    NET_API_STATUS setFlags(const char16_t* name, DWORD flags) {
        USER_INFO_1008 record{flags};
        return net_->NetUserSetInfo(nullptr, name, 1008, reinterpret_cast<LPBYTE>(&record),
                                    nullptr);
    }
    std::vector<DWORD> policy() {
        std::vector<DWORD> fields;
        for (DWORD level : {0u, 3u}) {
            LPBYTE buffer = nullptr;
            EXPECT_EQ(net_->NetUserModalsGet(nullptr, level, &buffer), 0u);
            auto* words = reinterpret_cast<DWORD*>(buffer);
            for (int i = 0; i < (level == 0 ? 5 : 3) && words != nullptr; ++i)
                fields.push_back(words[i]);
            net_->NetApiBufferFree(buffer);
        }
        return fields;
    }
    std::int64_t control(const std::string& name) {
        return dc.accountNumber(name, "userAccountControl");
    }

    static constexpr const char* kPassword = "Account-pw1";
    std::vector<std::string> made_; // removed after the test
    std::unique_ptr<SamrNetApi> net_;

private:
    std::map<std::string, std::string> policy_;
};

// The directory keeps policy times in units of 100 ns: seconds that are no
// whole minutes are kept as they are (a standalone server rounds them).
TEST_F(SamrOnDomainController, PolicyTimesAreKeptToTheSecond) {
    net();
    USER_MODALS_INFO_3 level3{3690, 1830, 3};
    ASSERT_EQ(net_->NetUserModalsSet(nullptr, 3, reinterpret_cast<LPBYTE>(&level3), nullptr), 0u);
    const auto read = policy();
    EXPECT_EQ(std::vector<DWORD>(read.begin() + 5, read.end()),
              (std::vector<DWORD>{3690, 1830, 3}));
    const auto domain = dc.domainAttributes();
    EXPECT_EQ(domain.at("lockoutDuration"), "-36900000000");
    EXPECT_EQ(domain.at("lockOutObservationWindow"), "-18300000000");
}

// NTLM logons over SMB leave the logon count alone; each Kerberos logon
// counts (twice: the ticket and the service ticket of kinit's check).
TEST_F(SamrOnDomainController, LogonCountsAreTheDirectorysOwn) {
    add({{"lou", uac::kNormal}});
    net();
    ASSERT_TRUE(dc.logon("lou", kPassword)) << dc.lastOutput();
    EXPECT_EQ(dc.accountNumber("lou", "logonCount"), 0);
    EXPECT_EQ(info(u"lou").usri3_num_logons, 0u);
    ASSERT_TRUE(dc.kinit("lou", kPassword)) << dc.lastOutput();
    const auto counted = dc.accountNumber("lou", "logonCount");
    EXPECT_GT(counted, 0);
    EXPECT_EQ(info(u"lou").usri3_num_logons, static_cast<DWORD>(counted));
}

TEST_F(SamrOnDomainController, StatusCodesAreWindowsOnes) {
    add({{"alice", uac::kNormal}, {"bob", uac::kNormal}});
    // Not an administrator: reads, but writes are refused.
    net(dc.connectionAs("alice", kPassword));
    info(u"bob");
    EXPECT_EQ(setFlags(u"bob", 0x203), ERROR_ACCESS_DENIED);
    USER_MODALS_INFO_3 level3{1800, 900, 4};
    EXPECT_EQ(net_->NetUserModalsSet(nullptr, 3, reinterpret_cast<LPBYTE>(&level3), nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(control("bob"), uac::kNormal);
    // A wrong password.
    net(dc.connectionAs("alice", "wrong"));
    info(u"bob", ERROR_LOGON_FAILURE);
}

} // namespace
} // namespace tw::test
