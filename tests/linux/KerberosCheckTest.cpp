// -k looks at the ticket cache before anything is sent: no ticket, only
// expired ones, or a server named by its address are refused with a line that
// says which, and a call reports them with Windows' codes.
#include "platform/samr/KerberosCheck.h"
#include "common/ScratchPath.h"
#include "hosts/linux/ProgramOptions.h"

#include <krb5.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace tw::samr {
namespace {

constexpr std::int64_t kNow = 1'800'000'000;

// A ticket cache of its own holding one ticket-granting ticket ending at `end`.
void WriteCache(const std::string& path, std::int64_t end) {
    krb5_context context = nullptr;
    ASSERT_EQ(krb5_init_context(&context), 0);
    krb5_ccache cache = nullptr;
    krb5_principal me = nullptr, tgs = nullptr;
    ASSERT_EQ(krb5_cc_resolve(context, ("FILE:" + path).c_str(), &cache), 0);
    ASSERT_EQ(krb5_parse_name(context, "admin@LAB.TEST", &me), 0);
    ASSERT_EQ(krb5_parse_name(context, "krbtgt/LAB.TEST@LAB.TEST", &tgs), 0);
    ASSERT_EQ(krb5_cc_initialize(context, cache, me), 0);
    krb5_creds creds{};
    creds.client = me;
    creds.server = tgs;
    creds.times.authtime = creds.times.starttime = static_cast<krb5_timestamp>(end - 36000);
    creds.times.endtime = static_cast<krb5_timestamp>(end);
    ASSERT_EQ(krb5_cc_store_cred(context, cache, &creds), 0);
    krb5_free_principal(context, me);
    krb5_free_principal(context, tgs);
    krb5_cc_close(context, cache);
    krb5_free_context(context);
}

class KerberosCheckTest : public testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("KRB5CCNAME");
        saved_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        setenv("KRB5CCNAME", ("FILE:" + cache_).c_str(), 1);
        std::filesystem::remove(cache_);
    }
    void TearDown() override {
        std::filesystem::remove(cache_);
        if (saved_)
            setenv("KRB5CCNAME", saved_->c_str(), 1);
        else
            unsetenv("KRB5CCNAME");
    }
    const std::string cache_ = tests::ScratchPath("tw-krb5cc-test");
    std::optional<std::string> saved_;
};

TEST_F(KerberosCheckTest, EachObstacleIsFoundBeforeAnythingIsSent) {
    EXPECT_EQ(CheckKerberos("dc1.lab.test", kNow), KerberosProblem::NoTicket);
    WriteCache(cache_, kNow - 60);
    EXPECT_EQ(CheckKerberos("dc1.lab.test", kNow), KerberosProblem::Expired);
    WriteCache(cache_, kNow + 3600);
    EXPECT_EQ(CheckKerberos("dc1.lab.test", kNow), KerberosProblem::NoProblem);
    for (const char* address : {"127.0.0.1", "::1", "[::1]", "10.1.2.3"})
        EXPECT_EQ(CheckKerberos(address, kNow), KerberosProblem::Address) << address;
    EXPECT_EQ(StatusOf(KerberosProblem::NoTicket), win::SEC_E_NO_CREDENTIALS);
    EXPECT_EQ(StatusOf(KerberosProblem::Expired), win::SEC_E_CONTEXT_EXPIRED);
    EXPECT_EQ(StatusOf(KerberosProblem::Address), win::SEC_E_WRONG_PRINCIPAL);
}

TEST_F(KerberosCheckTest, TheCommandLineRefusesWhatCannotWork) {
    using Action = hosts::ProgramOptions::Action;
    auto parse = [](QStringList arguments) {
        return hosts::ParseProgramOptions(QStringList{"tarnwick", "--connect", "-k"} + arguments);
    };
    const hosts::ProgramOptions byAddress = parse({});
    EXPECT_EQ(byAddress.action, Action::Refuse);
    EXPECT_NE(byAddress.text.find("not the address 127.0.0.1"), std::string::npos)
        << byAddress.text;
    const hosts::ProgramOptions noTicket = parse({"--local", "dc1.lab.test"});
    EXPECT_EQ(noTicket.action, Action::Refuse);
    EXPECT_NE(noTicket.text.find("run kinit"), std::string::npos) << noTicket.text;
    // A password makes a ticket of its own: no cache is needed, but a name is.
    const hosts::ProgramOptions password = parse({"--local", "dc1.lab.test", "-U", "admin%pw"});
    EXPECT_EQ(password.action, Action::Run) << password.text;
    EXPECT_EQ(parse({"-U", "admin%pw"}).action, Action::Refuse);

    using namespace std::chrono;
    WriteCache(cache_,
               duration_cast<seconds>(system_clock::now().time_since_epoch()).count() + 3600);
    const hosts::ProgramOptions ticket = parse({"--local", "dc1.lab.test", "--user=admin"});
    EXPECT_EQ(ticket.action, Action::Run) << ticket.text;
    EXPECT_TRUE(ticket.connection.kerberos);
    EXPECT_TRUE(ticket.connection.HasCredentials());
}

} // namespace
} // namespace tw::samr
