// The window's scenario files on the domain controller (the suite of
// tests/servers), signed in as the Administrator from an authentication file
// (NTLM) or with the ticket kinit put in the cache (Kerberos); the
// directory's answers are read back with ldbsearch and samba-tool.
#include "DomainController.h"
#include "servers/ScenarioServer.h"

#include "platform/WinTypes.h"

#include <cstdint>

namespace tw::test {
namespace {

class DomainScenarioServer : public ScenarioServer {
public:
    explicit DomainScenarioServer(bool kerberos) : kerberos_(kerberos) {
        changes_.add({{"alice", uac::kNormal}}, "Alice-pw1");
        changes_.add({{"locked", uac::kNormal}}, "Locked-pw1");
        changes_.add({{"neverexp", uac::kNormal | uac::kDontExpirePassword}}, "Never-pw1");
        dc_.setPasswordSettings({"--account-lockout-threshold=3", "--account-lockout-duration=30",
                                 "--reset-account-lockout-after=30"});
        for (int i = 0; i < 3; ++i)
            dc_.logon("locked", "wrong");
        hooks["lock alice by bad logons"] = [this] {
            for (int i = 0; i < 3; ++i)
                dc_.logon("alice", "wrong");
        };
        hooks["disable alice"] = [this] { dc_.sambaTool({"user", "disable", "alice"}); };
        hooks["password history 7"] = [this] { dc_.setPasswordSettings({"--history-length=7"}); };
        AddFreezeHooks(
            *this, [this] { dc_.freeze(); }, [this] { dc_.thaw(); });
        skipped["rounded-value-not-kept.json"] = "the directory keeps times to the second";
        if (kerberos)
            skipped["errors.json"] = "a server given by its address has no ticket";
    }
    ~DomainScenarioServer() override { hooks.at("thaw")(); }

    samr::SamrConnection Connection() override { return dc_.administratorConnection(kerberos_); }
    bool Logon(const std::string& name, const std::string& password) override {
        return dc_.logon(name, password);
    }
    bool ChangePassword(const std::string& name, const std::string& old,
                        const std::string& password) override {
        return dc_.changeOwnPassword(name, old, password);
    }
    std::uint32_t Flags(const std::string& name) override { return dc_.accountFlags(name); }
    // The domain object's, its intervals in units of 100 ns before now.
    long Policy(const std::string& field) override {
        static const std::map<std::string, std::pair<const char*, bool>> kNames = {
            {"minPwdLen", {"minPwdLength", false}},
            {"maxPwdAge", {"maxPwdAge", true}},
            {"pwdHistoryLen", {"pwdHistoryLength", false}},
            {"lockoutDuration", {"lockoutDuration", true}},
            {"lockoutThreshold", {"lockoutThreshold", false}}};
        const auto& [attribute, interval] = kNames.at(field);
        const long long value = std::stoll(dc_.domainAttributes().at(attribute));
        return static_cast<long>(interval ? -value / 10000000 : value);
    }

private:
    DomainController& dc_ = SharedDomainController();
    DomainChanges changes_{dc_};
    bool kerberos_;
};

ScenarioServerCase Case(bool kerberos, const char* toolkit) {
    return {kerberos ? "Kerberos" : "NTLM",
            [kerberos] { return std::make_unique<DomainScenarioServer>(kerberos); }, toolkit};
}

} // namespace

INSTANTIATE_TEST_SUITE_P(ActiveDirectory, ScenariosOnServer,
                         testing::Values(Case(false, "headless"), Case(false, "qt"),
                                         Case(true, "headless"), Case(true, "qt")),
                         ScenarioServerCaseName);

} // namespace tw::test
