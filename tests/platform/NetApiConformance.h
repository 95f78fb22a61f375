// What the program relies on from a network-management layer (INetApi), as
// one suite run against every backend: a backend is made from plain data (the
// accounts and the policy of the computer it answers for), so the suite does
// not care whether the computer is simulated or real.
#pragma once

#include "platform/INetApi.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tw::test {

struct ConformanceAccount {
    ConformanceAccount(std::u16string name,
                       win::DWORD flags = 0x201, // UF_SCRIPT | UF_NORMAL_ACCOUNT
                       std::u16string fullName = {})
        : name(std::move(name)), flags(flags), fullName(std::move(fullName)) {}
    std::u16string name;
    win::DWORD flags;
    std::u16string fullName; // a backend that cannot give one makes no computer
};

// USER_MODALS_INFO_0 then USER_MODALS_INFO_3, field by field.
struct ConformancePolicy {
    win::DWORD minPwdLen = 0, maxPwdAge = 0, minPwdAge = 0, forceLogoff = 0, pwdHistoryLen = 0;
    win::DWORD lockoutDuration = 0, lockoutObsWin = 0, lockoutThreshold = 0;
};

// One computer as a backend serves it.
class NetApiBackend {
public:
    virtual ~NetApiBackend() = default;
    virtual win::INetApi& net() = 0;
    // The server argument that reaches the computer (null: the local one).
    virtual const char16_t* server() const = 0;
    // Accounts the computer holds besides those it was made with, in the
    // order it lists them: the administrator a real server is signed in to
    // as, and on a domain controller the domain's own (Administrator, Guest,
    // krbtgt).
    virtual std::vector<std::u16string> administrators() const { return {}; }
    // The account's bits kept in the account record (the UF_ flags but the
    // change-password right, which lives in its descriptor) as the server's
    // own tools read them, where the backend has such tools.
    virtual std::optional<win::DWORD> flagsOnServer(const std::u16string& /*name*/) {
        return std::nullopt;
    }
    // Buffers handed out and not yet freed, when the backend can tell.
    virtual std::optional<std::size_t> outstandingBuffers() const { return std::nullopt; }
};

struct NetApiBackendFactory {
    std::string name;
    // A computer holding exactly these accounts, in this order, and this
    // policy; null when the backend cannot make such a computer.
    std::function<std::unique_ptr<NetApiBackend>(const std::vector<ConformanceAccount>&,
                                                 const ConformancePolicy&)>
        make;
};

inline void PrintTo(const NetApiBackendFactory& factory, std::ostream* os) {
    *os << factory.name;
}

class NetApiConformance : public testing::TestWithParam<NetApiBackendFactory> {
protected:
    // Null (the test skips) when the backend cannot make the computer.
    NetApiBackend* backend(const std::vector<ConformanceAccount>& accounts,
                           const ConformancePolicy& policy = {});
    void TearDown() override;

private:
    std::unique_ptr<NetApiBackend> backend_;
};

inline std::string NetApiBackendName(const testing::TestParamInfo<NetApiBackendFactory>& info) {
    return info.param.name;
}

} // namespace tw::test
