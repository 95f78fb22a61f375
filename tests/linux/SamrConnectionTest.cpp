// How an administrator names the servers' credentials, and what the SAMR
// backend reports for what a server or the connection answered; no server is
// contacted here.
#include "platform/samr/SamrConnection.h"
#include "common/ScratchPath.h"
#include "platform/samr/SamrRecords.h"
#include "platform/samr/SamrStatus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tw::samr {
namespace {

// A value is never cut short at a NUL or passed on as other text: a NUL, or
// bytes that are not UTF-8, in the name, domain or password are an error
// saying which of them, and change nothing.
TEST(SamrConnection, UserNamesTakeADomainAndAPasswordAndOddOnesAreRefused) {
    using namespace std::string_literals;
    const struct {
        std::string given;
        const char* user;
        const char* domain;
        const char* password; // null: none given
        const char* says;     // null: taken
    } rows[] = {
        {"alice", "alice", "", nullptr, nullptr},
        {"CORP\\alice", "alice", "CORP", nullptr, nullptr},
        {"CORP/alice", "alice", "CORP", nullptr, nullptr},
        {"alice%pw%with%percent", "alice", "", "pw%with%percent", nullptr},
        {"CORP\\alice%", "alice", "CORP", "", nullptr},
        {"CORP\\J\xc3\xbcrgen%p\xc3\xa4ss", "J\xc3\xbcrgen", "CORP", "p\xc3\xa4ss", nullptr},
        {"root\0evil"s, "", "", nullptr, "the user name holds a NUL character"},
        {"ro\xffot", "", "", nullptr, "the user name is not valid UTF-8"},
        {"\xc0\xafroot", "", "", nullptr, "the user name is not valid UTF-8"}, // an overlong "/"
        {"\xed\xa0\x80", "", "", nullptr, "the user name is not valid UTF-8"}, // a surrogate
        {"CO\0RP\\root"s, "", "", nullptr, "the domain holds a NUL character"},
        {"CORP\xe9\\root", "", "", nullptr, "the domain is not valid UTF-8"},
        {"root%pass\0word"s, "", "", nullptr, "the password holds a NUL character"},
        {"root%pass\xa0word", "", "", nullptr, "the password is not valid UTF-8"},
    };
    for (const auto& row : rows) {
        SamrConnection c;
        if (row.says) // a refusal keeps what was there
            SetUser(c, "before%secret");
        EXPECT_EQ(SetUser(c, row.given),
                  row.says ? std::optional<std::string>(row.says) : std::nullopt);
        const char* password = row.says ? "secret" : row.password;
        EXPECT_EQ(c.user, row.says ? "before" : row.user) << row.given;
        EXPECT_EQ(c.domain, row.domain) << row.given;
        EXPECT_EQ(c.hasPassword, password != nullptr) << row.given;
        EXPECT_EQ(c.password.View(), password ? password : "") << row.given;
    }
}

// PASSWD serves only where no password was given, and is wiped where the
// environment holds it, used or not: never left for others to read.
TEST(SamrConnection, ThePasswordVariableServesWhereNoneWasGivenAndIsWiped) {
    setenv("PASSWD", "from-env", 1);
    SamrConnection given;
    SetUser(given, "alice%typed");
    TakePasswordFromEnvironment(given);
    EXPECT_EQ(given.password.View(), "typed");
    EXPECT_EQ(std::getenv("PASSWD"), nullptr);
    setenv("PASSWD", "from-env", 1);
    char* held = std::getenv("PASSWD");
    SamrConnection none;
    SetUser(none, "alice");
    ASSERT_EQ(TakePasswordFromEnvironment(none), std::nullopt);
    EXPECT_EQ(none.password.View(), "from-env");
    EXPECT_TRUE(none.HasCredentials());
    EXPECT_EQ(std::string(held, 8), std::string(8, '\0')) << "overwritten, not only unset";
    EXPECT_EQ(std::getenv("PASSWD"), nullptr);
    setenv("PASSWD", "bad\xff", 1);
    SamrConnection odd;
    EXPECT_EQ(TakePasswordFromEnvironment(odd), "PASSWD is not valid UTF-8");
    EXPECT_FALSE(odd.HasCredentials());
    EXPECT_EQ(std::getenv("PASSWD"), nullptr);
}

class AuthenticationFile : public testing::Test {
protected:
    void TearDown() override { std::filesystem::remove_all(path_); }
    std::string write(const std::string& text) {
        std::ofstream(path_, std::ios::binary) << text;
        return path_;
    }
    const std::string path_ = tests::ScratchPath("tw-auth");
};

TEST_F(AuthenticationFile, SambasFormatIsRead) {
    SamrConnection c;
    c.port = 4450;
    ASSERT_EQ(LoadAuthenticationFile(
                  c, write("# for the lab\nusername = CORP\\admin\r\npassword =  s3 cret \n")),
              std::nullopt);
    EXPECT_EQ(c.user, "admin");
    EXPECT_EQ(c.domain, "CORP");
    EXPECT_EQ(c.password.View(), "s3 cret");
    EXPECT_TRUE(c.HasCredentials());
    EXPECT_EQ(c.port, 4450) << "the rest stays";
    ASSERT_EQ(LoadAuthenticationFile(c, write("username = bob\ndomain = LAB\n")), std::nullopt);
    EXPECT_EQ(c.domain, "LAB");
}

// A file that cannot be used, or an odd value in it, is an error naming the
// file (and the line), never the password, and changes nothing.
TEST_F(AuthenticationFile, AFileThatCannotBeUsedIsNamedWithItsPlaceAndChangesNothing) {
    using namespace std::string_literals;
    const struct {
        std::string content;
        const char* says;
    } rows[] = {
        // The file reader refuses it (its other refusals: SmallFileTest).
        {"# " + std::string(64 * 1024, 'x'), " is larger than 64 KB"},
        {"user = alice\npassword = x\n", " is not one (line 1)"},
        {"username = alice\npassword secret\n", " is not one (line 2)"},
        {"\n# nothing\n", " names no user"},
        {"username = root\0evil\npassword = x\n"s,
         " (line 1): the user name holds a NUL character"},
        {"# lab\nusername = r\xf6ot\n", " (line 2): the user name is not valid UTF-8"},
        {"username = alice\npassword = s\xe9"
         "cret\n",
         " (line 2): the password is not valid UTF-8"},
        {"username = C\xffRP\\alice\n", " (line 1): the domain is not valid UTF-8"},
    };
    for (const auto& row : rows) {
        SamrConnection c;
        ASSERT_EQ(SetUser(c, "before%secret"), std::nullopt);
        const auto error = LoadAuthenticationFile(c, write(row.content));
        ASSERT_TRUE(error.has_value()) << row.says;
        EXPECT_EQ(error->rfind("the authentication file " + path_ + row.says, 0), 0u) << *error;
        EXPECT_EQ(error->find("secret"), std::string::npos) << "never the password";
        EXPECT_EQ(c.user, "before");
        EXPECT_EQ(c.password.View(), "secret");
    }
}

TEST(Secret, OneBufferWipedWheneverItIsReplacedOrLetGo) {
    Secret first("one");
    Secret moved(std::move(first));
    EXPECT_TRUE(first.empty()); // NOLINT(bugprone-use-after-move): moving empties it
    EXPECT_EQ(moved.View(), "one");
    Secret copy(moved);
    copy.Assign("two");
    EXPECT_EQ(moved.View(), "one");
    EXPECT_EQ(copy.View(), "two");
    EXPECT_STREQ(copy.c_str(), "two");
    moved = std::move(copy);
    EXPECT_EQ(moved.View(), "two");
    moved.Wipe();
    EXPECT_TRUE(moved.empty());
    EXPECT_STREQ(moved.c_str(), "");
}

// Every row of the table: the status netapi32 reports for the same situation.
TEST(SamrStatus, ServersAndConnectionsAnswerAsNetapi32Reports) {
    const struct {
        std::uint32_t nt;
        win::NET_API_STATUS connecting, calling;
    } rows[] = {
        {0, 0, 0},
        {0xC0000064, 2221, 2221}, // no such user
        {0xC0000073, 2221, 2221}, // none mapped
        {0xC0000022, 5, 5},
        {0xC000006D, 1326, 1326}, // logon failure
        {0xC000006A, 1326, 86},   // wrong password
        {0xC000006E, 1327, 1327},
        {0xC0000071, 1330, 1330},
        {0xC0000224, 1907, 1907},
        {0xC0000072, 1331, 1331},
        {0xC0000234, 1909, 1909},
        {0xC000000D, 87, 87},
        {0xC0000003, 124, 124},
        {0xC00000BB, 50, 50},
        {0xC00000DF, 1355, 1355},
        {0xC00000CC, 67, 67},
        {0xC0000017, 53, 8}, // Samba's client for a refused connection
        {0xC0000034, 53, 53},
        {0xC00000BE, 53, 53},
        {0xC0000236, 53, 53},
        {0xC000023D, 53, 53},
        {0xC000023C, 53, 53},
        {0xC00000B5, 53, 1726}, // no answer in time
        {0xC000020C, 53, 1726},
        {0xC000020D, 53, 1726},
        {0xC000014B, 53, 1726},
        {0xC00000B0, 53, 1726},
        {0xC0000011, 53, 1726},
        {0xC0000185, 53, 1726},
        {0xC0000008, 6, 6},
        {0xC0030009, 6, 6},
        {0xC002004F, 1728, 1728},
        {0xC002000C, 1783, 1783},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(WinStatusOf(row.nt, Stage::Connect), row.connecting) << std::hex << row.nt;
        EXPECT_EQ(WinStatusOf(row.nt, Stage::Call), row.calling) << std::hex << row.nt;
    }
    // Others: Samba's own translation.
    EXPECT_EQ(WinStatusOf(0xC0000001, Stage::Call), 31u); // unsuccessful: ERROR_GEN_FAILURE
    EXPECT_TRUE(ConnectionLost(0xC000020C));
    EXPECT_FALSE(ConnectionLost(0xC0000022));
}

TEST(SamrRecords, TimesAndIntervalsReadAsNetapi32GivesThem) {
    constexpr std::uint64_t k1970 = 116'444'736'000'000'000ull, second = 10'000'000;
    EXPECT_EQ(SecondsSince1970(0), 0u);
    EXPECT_EQ(SecondsSince1970(k1970 + 5 * second + 9), 5u);
    EXPECT_EQ(SecondsSince1970(k1970 + 2085923199ull * second), 0u) << "Samba's never";
    EXPECT_EQ(ExpirySeconds(0), kForever);
    EXPECT_EQ(ExpirySeconds(0x7FFFFFFFFFFFFFFFull), kForever);
    EXPECT_EQ(ExpirySeconds(k1970 + 2085923199ull * second), kForever);
    EXPECT_EQ(ExpirySeconds(k1970 + 0x7FFFFFFFull * second), kForever);
    EXPECT_EQ(ExpirySeconds(k1970 + 1'800'000'000ull * second), 1'800'000'000u);
    EXPECT_EQ(IntervalSeconds(INT64_MIN), kForever);
    EXPECT_EQ(IntervalSeconds(-42949672950000001), kForever) << "Samba's never";
    EXPECT_EQ(IntervalSeconds(-18000000001), 1800u);
    EXPECT_EQ(IntervalFromSeconds(kForever), INT64_MIN);
    EXPECT_EQ(IntervalFromSeconds(60), -600000000);
}

} // namespace
} // namespace tw::samr
