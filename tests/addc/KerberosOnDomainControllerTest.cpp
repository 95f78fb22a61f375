// Kerberos as administrators use it, on the domain controller: the ticket
// cache kinit filled (-k), a ticket made in memory from a password (-k with
// -U, -A, PASSWD or the sign-in dialog), and each obstacle said by its cause.
#include "DomainController.h"

#include "platform/samr/SamrNetApi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace tw::test {
namespace {

using namespace win;

class KerberosOnDomainController : public testing::Test {
protected:
    void TearDown() override { dc.dropTickets(); }

    // The administrator signing in with Kerberos to the DC named `host`,
    // with the password (in the domain `domain`) or the ticket cache.
    samr::SamrConnection Kerberos(const std::string& host, bool withPassword,
                                  const std::string& domain = {}) const {
        samr::SamrConnection connection = dc.connectionAs();
        connection.localHost = host;
        connection.kerberos = true;
        connection.domain = domain.empty() ? dc.realm() : domain;
        if (!withPassword) {
            connection.password.Wipe();
            connection.hasPassword = false;
        }
        return connection;
    }
    static NET_API_STATUS Read(const samr::SamrConnection& connection) {
        samr::SamrNetApi net(connection);
        LPBYTE buffer = nullptr;
        const NET_API_STATUS status = net.NetUserGetInfo(nullptr, u"Administrator", 3, &buffer);
        net.NetApiBufferFree(buffer);
        return status;
    }
    // The file behind this process's ticket cache.
    static std::filesystem::path CacheFile() {
        const std::string name = std::getenv("KRB5CCNAME");
        return name.substr(name.find(':') + 1);
    }

    DomainController& dc = SharedDomainController();
};

TEST_F(KerberosOnDomainController, TheTicketCacheOrATicketMadeInMemorySignsIn) {
    ASSERT_TRUE(dc.obtainTicket(DomainController::kAdmin, dc.adminPassword())) << dc.lastOutput();
    EXPECT_EQ(Read(Kerberos(dc.host(), false)), NERR_Success);
    dc.dropTickets();
    ASSERT_FALSE(std::filesystem::exists(CacheFile()));
    EXPECT_EQ(Read(Kerberos(dc.host(), true)), NERR_Success) << "the realm as the domain";
    EXPECT_EQ(Read(Kerberos(dc.host(), true, dc.domain())), NERR_Success)
        << "the NetBIOS name: the configuration's realm";
    EXPECT_FALSE(std::filesystem::exists(CacheFile())) << "the ticket stays in memory";
}

TEST_F(KerberosOnDomainController, EachObstacleIsSaidByItsCause) {
    const struct {
        const char* what;
        samr::SamrConnection connection;
        NET_API_STATUS status;
    } rows[] = {
        {"no ticket and no password", Kerberos(dc.host(), false), SEC_E_NO_CREDENTIALS},
        {"the server by its address", Kerberos("127.0.0.1", true), SEC_E_WRONG_PRINCIPAL},
        {"a realm no KDC serves", Kerberos(dc.host(), true, "NOWHERE.TEST"),
         ERROR_NO_LOGON_SERVERS},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Read(row.connection), row.status) << row.what;
}

// A clock two hours off the DC's: the window says so, as Windows does.
TEST_F(KerberosOnDomainController, AClockTooFarOffIsSaidSo) {
    const std::string scenario = std::filesystem::temp_directory_path() / "tw-skew.json";
    std::ofstream(scenario) << R"({"steps": [{"start": {}}, {"expect": {"lblStatus.Caption":
        "Error 1398. There is a time and/or date difference between the client and server."}}]})";
    const std::string command = std::string("faketime '+2 hours' ") + TW_SCENARIO_PROGRAM +
                                " --connect -k --local " + dc.host() + " -U 'Administrator%" +
                                dc.adminPassword() + "' " + scenario + " 2>&1";
    FILE* child = popen(command.c_str(), "r");
    ASSERT_NE(child, nullptr);
    std::string output;
    char line[512];
    while (fgets(line, sizeof line, child) != nullptr)
        output += line;
    EXPECT_EQ(WEXITSTATUS(pclose(child)), 0) << output;
    std::filesystem::remove(scenario);
}

} // namespace
} // namespace tw::test
