// The SAMR backend's calls as the tests against real servers make them: one
// connection at a time, and every buffer it handed out given back by the
// end of the test.
#pragma once

#include "platform/samr/SamrClient.h"
#include "platform/samr/SamrNetApi.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tw::test {

class SamrCalls : public testing::Test {
protected:
    using DWORD = win::DWORD;

    void TearDown() override {
        if (net_ != nullptr) {
            EXPECT_EQ(net_->OutstandingBuffers(), 0u);
        }
        net_.reset();
    }

    samr::SamrNetApi& connect(samr::SamrConnection connection) {
        net_ = std::make_unique<samr::SamrNetApi>(std::move(connection));
        return *net_;
    }
    // The policy's fields: level 0's five, then level 3's three.
    std::vector<DWORD> policy() {
        std::vector<DWORD> fields;
        for (DWORD level : {0u, 3u}) {
            win::LPBYTE buffer = nullptr;
            EXPECT_EQ(net_->NetUserModalsGet(nullptr, level, &buffer), 0u);
            auto* words = reinterpret_cast<DWORD*>(buffer);
            for (int i = 0; i < (level == 0 ? 5 : 3) && words != nullptr; ++i)
                fields.push_back(words[i]);
            net_->NetApiBufferFree(buffer);
        }
        return fields;
    }
    // An account at level 3, its strings left out.
    win::USER_INFO_3 info(const char16_t* name, win::NET_API_STATUS expected = 0) {
        win::LPBYTE buffer = nullptr;
        win::USER_INFO_3 record{};
        EXPECT_EQ(net_->NetUserGetInfo(nullptr, name, 3, &buffer), expected)
            << std::string(name, name + std::char_traits<char16_t>::length(name));
        if (buffer != nullptr) {
            record = *reinterpret_cast<win::USER_INFO_3*>(buffer);
            record.usri3_name = nullptr;
            record.usri3_logon_server = nullptr;
            net_->NetApiBufferFree(buffer);
        }
        return record;
    }
    win::NET_API_STATUS setFlags(const char16_t* name, DWORD flags) {
        win::USER_INFO_1008 record{flags};
        return net_->NetUserSetInfo(nullptr, name, 1008, reinterpret_cast<win::LPBYTE>(&record),
                                    nullptr);
    }

    // Each normal account's flags from one whole listing at level 20, each
    // checked against level 3's; the listing takes the enumeration and three
    // requests an account (open, read, close), no more.
    std::map<std::u16string, DWORD> level20FlagsAsLevel3() {
        static int sent = 0;
        sent = 0;
        tw_samr_observe_requests([](void*, std::uint32_t) { ++sent; }, nullptr);
        win::LPBYTE buffer = nullptr;
        DWORD read = 0, total = 0;
        EXPECT_EQ(net_->NetUserEnum(nullptr, 20, win::FILTER_NORMAL_ACCOUNT, &buffer,
                                    win::MAX_PREFERRED_LENGTH, &read, &total, nullptr),
                  0u);
        tw_samr_observe_requests(nullptr, nullptr);
        EXPECT_LE(sent, int(2 + 3 * read));
        std::map<std::u16string, DWORD> flags;
        for (DWORD i = 0; i < read && buffer != nullptr; ++i) {
            const auto& record = reinterpret_cast<win::USER_INFO_20*>(buffer)[i];
            flags[record.usri20_name] = record.usri20_flags;
        }
        net_->NetApiBufferFree(buffer);
        for (const auto& [name, bits] : flags) {
            // The expired password shows where the server's listing has it
            // (a standalone Samba server's has not), and never elsewhere.
            const DWORD level3 = info(name.c_str()).usri3_flags;
            EXPECT_EQ(bits | win::UF_PASSWORD_EXPIRED, level3 | win::UF_PASSWORD_EXPIRED)
                << std::string(name.begin(), name.end());
            EXPECT_EQ(bits & ~level3, 0u) << std::string(name.begin(), name.end());
        }
        lastRequests_ = sent;
        return flags;
    }

    std::unique_ptr<samr::SamrNetApi> net_;
    int lastRequests_ = 0; // sent by the last level 20 listing
};

} // namespace tw::test
