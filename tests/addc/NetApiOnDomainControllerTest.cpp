// The network-management conformance suite on a Samba Active Directory
// domain controller, signed in as the domain's Administrator with a password
// (NTLM) from an authentication file as -A reads it, and with the ticket
// kinit put in the cache (-k, the DC by its name). Each computer the
// suite asks for is the one shared DC holding the suite's accounts for the
// test (made with ldbadd, removed after it) and the suite's policy (written
// with ldbmodify on the domain object), besides the accounts every domain
// has.
#include "DomainController.h"

#include "platform/NetApiConformance.h"
#include "platform/samr/SamrNetApi.h"

#include <cstdint>
#include <string>

namespace tw::test {
namespace {

using namespace win;

// The domain object's form of a policy interval: minus the time in units of
// 100 ns, and "never" the most negative number.
std::string Interval(DWORD seconds) {
    if (seconds == 0xFFFFFFFFu)
        return "-9223372036854775808";
    return std::to_string(-static_cast<std::int64_t>(seconds) * 10000000);
}

class DomainBackend : public NetApiBackend {
public:
    DomainBackend(DomainController& dc, bool kerberos)
        : dc_(dc), changes_(dc), others_(dc.normalAccounts()),
          net_(dc.administratorConnection(kerberos)) {}
    INetApi& net() override { return net_; }
    const char16_t* server() const override { return nullptr; }
    // The domain's own accounts: Administrator, Guest and krbtgt.
    std::vector<std::u16string> administrators() const override {
        std::vector<std::u16string> names;
        for (const auto& name : others_)
            names.emplace_back(name.begin(), name.end());
        return names;
    }
    std::optional<DWORD> flagsOnServer(const std::u16string& name) override {
        return dc_.accountFlags(std::string(name.begin(), name.end()));
    }
    std::optional<std::size_t> outstandingBuffers() const override {
        return net_.OutstandingBuffers();
    }
    void add(const std::vector<std::pair<std::string, std::uint32_t>>& accounts) {
        changes_.add(accounts, "Conformance-pw1");
    }

private:
    DomainController& dc_;
    DomainChanges changes_;
    std::vector<std::string> others_;
    samr::SamrNetApi net_;
};

NetApiBackendFactory DomainControllerFactory(bool kerberos) {
    return {
        kerberos ? "Kerberos" : "NTLM",
        [kerberos](const std::vector<ConformanceAccount>& accounts,
                   const ConformancePolicy& p) -> std::unique_ptr<NetApiBackend> {
            DomainController& dc = SharedDomainController();
            auto backend = std::make_unique<DomainBackend>(dc, kerberos);
            // The bits a directory's account can be made with; UF_SCRIPT
            // is no state of the account (every listing shows it).
            const DWORD held = uac::kDisabled | uac::kPasswordNotRequired | uac::kNormal |
                               uac::kWorkstationTrust | uac::kServerTrust |
                               uac::kDontExpirePassword;
            std::vector<std::pair<std::string, std::uint32_t>> made;
            for (const auto& account : accounts) {
                const DWORD control = account.flags & ~DWORD{0x1};
                if ((control & ~held) != 0)
                    return nullptr;
                made.emplace_back(std::string(account.name.begin(), account.name.end()), control);
            }
            backend->add(made);
            for (const auto& account : accounts) {
                if (!account.fullName.empty())
                    dc.setAccountAttributes(std::string(account.name.begin(), account.name.end()),
                                            {{"displayName", std::string(account.fullName.begin(),
                                                                         account.fullName.end())}});
            }
            dc.setDomainAttributes({
                {"minPwdLength", std::to_string(p.minPwdLen)},
                {"maxPwdAge", Interval(p.maxPwdAge)},
                {"minPwdAge", Interval(p.minPwdAge)},
                {"forceLogoff", Interval(p.forceLogoff)},
                {"pwdHistoryLength", std::to_string(p.pwdHistoryLen)},
                {"lockoutDuration", Interval(p.lockoutDuration)},
                {"lockOutObservationWindow", Interval(p.lockoutObsWin)},
                {"lockoutThreshold", std::to_string(p.lockoutThreshold)},
            });
            return backend;
        }};
}

} // namespace

INSTANTIATE_TEST_SUITE_P(ActiveDirectory, NetApiConformance,
                         testing::Values(DomainControllerFactory(false),
                                         DomainControllerFactory(true)),
                         NetApiBackendName);

} // namespace tw::test
