// The network-management conformance suite on a real Samba server: each
// computer the suite asks for is a fresh standalone smbd holding exactly those
// accounts and that policy, and its administrator.
#include "SambaServer.h"

#include "platform/NetApiConformance.h"
#include "platform/samr/SamrNetApi.h"

namespace tw::test {
namespace {

using namespace win;

class SambaBackend : public NetApiBackend {
public:
    SambaBackend() : net_(server_.connectionAs()) {}
    INetApi& net() override { return net_; }
    const char16_t* server() const override { return nullptr; }
    std::vector<std::u16string> administrators() const override {
        const std::string& name = server_.adminUser();
        return {std::u16string(name.begin(), name.end())};
    }
    std::optional<std::size_t> outstandingBuffers() const override {
        return net_.OutstandingBuffers();
    }
    std::optional<DWORD> flagsOnServer(const std::u16string& name) override {
        return server_.accountFlags(std::string(name.begin(), name.end()));
    }
    SambaServer& samba() { return server_; }

private:
    SambaServer server_;
    samr::SamrNetApi net_;
};

// The letters of an smbpasswd file for the flags; empty when Samba cannot
// hold such an account.
std::string AccountLetters(DWORD flags) {
    const struct {
        DWORD flag;
        char letter;
    } letters[] = {{UF_NORMAL_ACCOUNT, 'U'},
                   {0x1000, 'W'},
                   {0x2000, 'S'},
                   {0x800, 'I'},
                   {UF_ACCOUNTDISABLE, 'D'},
                   {UF_PASSWD_NOTREQD, 'N'},
                   {UF_DONT_EXPIRE_PASSWD, 'X'}};
    std::string text;
    for (const auto& l : letters) {
        if (flags & l.flag) {
            text += l.letter;
            flags &= ~l.flag;
        }
    }
    return (flags & ~0x1u) == 0 ? text : std::string(); // UF_SCRIPT is always set
}

NetApiBackendFactory Samba() {
    return {"Samba",
            [](const std::vector<ConformanceAccount>& accounts,
               const ConformancePolicy& p) -> std::unique_ptr<NetApiBackend> {
                auto backend = std::make_unique<SambaBackend>();
                // In the suite's order, each run of accounts alike added at once.
                for (std::size_t i = 0; i < accounts.size();) {
                    const std::string letters = AccountLetters(accounts[i].flags);
                    if (letters.empty())
                        return nullptr;
                    std::vector<std::string> names;
                    for (; i < accounts.size() && AccountLetters(accounts[i].flags) == letters; ++i)
                        names.emplace_back(accounts[i].name.begin(), accounts[i].name.end());
                    backend->samba().addAccounts(names, letters);
                }
                for (const auto& account : accounts) {
                    if (!account.fullName.empty())
                        backend->samba().setFullName(
                            std::string(account.name.begin(), account.name.end()),
                            std::string(account.fullName.begin(), account.fullName.end()));
                }
                auto seconds = [](DWORD value) { return value == 0xFFFFFFFFu ? -1L : long(value); };
                SambaServer& s = backend->samba();
                s.setPolicy("min password length", p.minPwdLen);
                s.setPolicy("maximum password age", seconds(p.maxPwdAge));
                s.setPolicy("minimum password age", seconds(p.minPwdAge));
                s.setPolicy("disconnect time", seconds(p.forceLogoff));
                s.setPolicy("password history", p.pwdHistoryLen);
                s.setPolicy("lockout duration",
                            p.lockoutDuration == 0xFFFFFFFFu ? -1L : long(p.lockoutDuration / 60));
                s.setPolicy("reset count minutes", long(p.lockoutObsWin / 60));
                s.setPolicy("bad lockout attempt", p.lockoutThreshold);
                return backend;
            }};
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Samba, NetApiConformance, testing::Values(Samba()), NetApiBackendName);

} // namespace tw::test
