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
#include <unistd.h>

namespace tw::samr {
namespace {

TEST(SamrConnection, UserNamesTakeADomainAndAPassword) {
    const struct {
        const char* given;
        const char* user;
        const char* domain;
        const char* password; // null: none given
    } rows[] = {
        {"alice", "alice", "", nullptr},
        {"CORP\\alice", "alice", "CORP", nullptr},
        {"CORP/alice", "alice", "CORP", nullptr},
        {"alice%pw%with%percent", "alice", "", "pw%with%percent"},
        {"CORP\\alice%", "alice", "CORP", ""},
    };
    for (const auto& row : rows) {
        SamrConnection c;
        SetUser(c, row.given);
        EXPECT_EQ(c.user, row.user) << row.given;
        EXPECT_EQ(c.domain, row.domain) << row.given;
        EXPECT_EQ(c.hasPassword, row.password != nullptr) << row.given;
        EXPECT_EQ(c.password.View(), row.password ? row.password : "") << row.given;
    }
}

TEST(SamrConnection, ThePasswordVariableServesOnlyWhereNoneWasGiven) {
    setenv("PASSWD", "from-env", 1);
    SamrConnection given;
    SetUser(given, "alice%typed");
    TakePasswordFromEnvironment(given);
    EXPECT_EQ(given.password.View(), "typed");
    EXPECT_EQ(std::getenv("PASSWD"), nullptr) << "not used, and still not left for others to read";
    setenv("PASSWD", "from-env", 1);
    SamrConnection none;
    SetUser(none, "alice");
    TakePasswordFromEnvironment(none);
    EXPECT_EQ(none.password.View(), "from-env");
    EXPECT_TRUE(none.HasCredentials());
    EXPECT_EQ(std::getenv("PASSWD"), nullptr) << "taken, not left for others to read";
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

TEST_F(AuthenticationFile, AFileThatCannotBeUsedIsNamedAndChangesNothing) {
    std::filesystem::create_directory(path_ + "-folder");
    const struct {
        const char* content; // null: the path is no file
        std::string path;
        const char* says;
    } rows[] = {
        {nullptr, path_ + "-missing", "cannot be opened: No such file"},
        {nullptr, path_ + "-folder", "is not a regular file"},
        {"user = alice\npassword = x\n", path_, "is not one (line 1)"},
        {"username = alice\npassword secret\n", path_, "is not one (line 2)"},
        {"\n# nothing\n", path_, "names no user"},
    };
    for (const auto& row : rows) {
        if (row.content != nullptr)
            write(row.content);
        SamrConnection c;
        SetUser(c, "before%secret");
        const auto error = LoadAuthenticationFile(c, row.path);
        ASSERT_TRUE(error.has_value()) << row.path;
        EXPECT_NE(error->find(row.path), std::string::npos) << *error;
        EXPECT_NE(error->find(row.says), std::string::npos) << *error;
        EXPECT_EQ(error->find("secret"), std::string::npos) << "never the password";
        EXPECT_EQ(c.user, "before");
        EXPECT_EQ(c.password.View(), "secret");
    }
    std::filesystem::remove_all(path_ + "-folder");
}

// A value is never cut short at a NUL or passed on as other text: a NUL, or
// bytes that are not UTF-8, in any part are an error saying which part.
TEST(SamrConnection, OddUserNamesAreRefusedNotChanged) {
    using namespace std::string_literals;
    const struct {
        std::string given;
        const char* says;
    } rows[] = {
        {"root\0evil"s, "the user name holds a NUL character"},
        {"ro\xffot", "the user name is not valid UTF-8"},
        {"\xc0\xafroot", "the user name is not valid UTF-8"}, // an overlong "/"
        {"\xed\xa0\x80", "the user name is not valid UTF-8"}, // a surrogate
        {"CO\0RP\\root"s, "the domain holds a NUL character"},
        {"CORP\xe9\\root", "the domain is not valid UTF-8"},
        {"root%pass\0word"s, "the password holds a NUL character"},
        {"root%pass\xa0word", "the password is not valid UTF-8"},
    };
    for (const auto& row : rows) {
        SamrConnection c;
        ASSERT_EQ(SetUser(c, "before%secret"), std::nullopt);
        const auto error = SetUser(c, row.given);
        ASSERT_TRUE(error.has_value()) << row.says;
        EXPECT_EQ(*error, row.says);
        EXPECT_EQ(c.user, "before");
        EXPECT_EQ(c.domain, "");
        EXPECT_EQ(c.password.View(), "secret");
    }
    SamrConnection c;
    EXPECT_EQ(SetUser(c, "CORP\\J\xc3\xbcrgen%p\xc3\xa4ss"), std::nullopt) << "UTF-8 is taken";
    EXPECT_EQ(c.user, "J\xc3\xbcrgen");
}

TEST(SamrConnection, ThePasswordVariableIsWipedWhereTheEnvironmentHoldsIt) {
    setenv("PASSWD", "from-env", 1);
    char* held = std::getenv("PASSWD");
    SamrConnection c;
    ASSERT_EQ(TakePasswordFromEnvironment(c), std::nullopt);
    EXPECT_EQ(c.password.View(), "from-env");
    EXPECT_EQ(std::string(held, 8), std::string(8, '\0')) << "overwritten, not only unset";
    setenv("PASSWD", "bad\xff", 1);
    SamrConnection odd;
    const auto error = TakePasswordFromEnvironment(odd);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, "PASSWD is not valid UTF-8");
    EXPECT_FALSE(odd.HasCredentials());
    EXPECT_EQ(std::getenv("PASSWD"), nullptr);
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

TEST_F(AuthenticationFile, OddFilesAndValuesAreRefusedWithTheirPlace) {
    using namespace std::string_literals;
    const std::string huge = path_ + "-huge";
    std::ofstream(huge) << "username = alice\npassword = ";
    std::filesystem::resize_file(huge, 100u << 20); // a 100 MB password, sparse
    const struct {
        std::string content; // empty: the path is given as it is
        std::string path;
        const char* says;
    } rows[] = {
        {"", "/dev/zero", " is not a regular file"}, // what the reader refuses: SmallFileTest
        {"", huge, " is larger than 64 KB"},
        {"username = root\0evil\npassword = x\n"s, path_,
         " (line 1): the user name holds a NUL character"},
        {"# lab\nusername = r\xf6ot\n", path_, " (line 2): the user name is not valid UTF-8"},
        {"username = alice\npassword = s\xe9"
         "cret\n",
         path_, " (line 2): the password is not valid UTF-8"},
        {"username = C\xffRP\\alice\n", path_, " (line 1): the domain is not valid UTF-8"},
    };
    for (const auto& row : rows) {
        if (!row.content.empty())
            write(row.content);
        SamrConnection c;
        ASSERT_EQ(SetUser(c, "before%secret"), std::nullopt);
        const auto error = LoadAuthenticationFile(c, row.path);
        ASSERT_TRUE(error.has_value()) << row.says;
        EXPECT_EQ(*error, "the authentication file " + row.path + row.says);
        EXPECT_EQ(c.user, "before");
        EXPECT_EQ(c.password.View(), "secret");
    }
    std::filesystem::remove(huge);
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
