// This Linux computer in Windows' terms: the language of the user's locale,
// the language file beside the program read from the real file system, and
// the platform of the program on real servers put together from them.
#include "platform/linux/LinuxPlatform.h"
#include "common/ScratchPath.h"
#include "platform/linux/LinuxComputer.h"
#include "platform/linux/LinuxFileSystem.h"

#include "platform/TextConvert.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tw::lx {
namespace {

using namespace win;

TEST(LinuxComputer, TheLocaleNamesTheLanguage) {
    const struct {
        const char* locale;
        LANGID language;
    } rows[] = {
        {"de_DE.UTF-8", 1031},
        {"de_AT.UTF-8", 3079},
        {"de_CH", 2055},
        {"de", 1031},
        {"en_GB.UTF-8@euro", 2057},
        {"en_US", 1033},
        {"pt_BR.UTF-8", 1046},
        {"fr_FR", 1036},
        {"C", 1033},
        {"", 1033},
        {"xx_YY", 1033},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LanguageOfLocale(row.locale), row.language) << row.locale;
}

TEST(LinuxComputer, MessagesFollowLcAllThenLcMessagesThenLang) {
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "fr_FR.UTF-8", 1);
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(MessagesLocale(), "fr_FR.UTF-8");
    setenv("LC_ALL", "en_GB", 1);
    EXPECT_EQ(MessagesLocale(), "en_GB");
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(MessagesLocale(), "de_DE.UTF-8");
}

class ProgramFolder : public testing::Test {
protected:
    void SetUp() override {
        folder_ = tests::ScratchPath("tw-linux");
        std::filesystem::create_directories(folder_ / "1036.loc");
        std::ofstream(folder_ / "1031.loc", std::ios::binary) << "Sprache\r\n";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    // The path as the program writes it: folder, "\", name.
    std::u16string programPath(const char* name) const {
        return FromUtf8(folder_.string() + "\\" + name);
    }

    std::filesystem::path folder_;
};

TEST_F(ProgramFolder, TheLanguageFileBesideTheProgramIsReadWhole) {
    LinuxFileSystem files;
    std::vector<BYTE> bytes;
    EXPECT_EQ(files.GetFileAttributesW(programPath("1031.loc").c_str()), 0x80u);
    EXPECT_TRUE(files.ReadWholeFile(programPath("1031.loc").c_str(), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "Sprache\r\n");
    EXPECT_EQ(files.GetFileAttributesW(programPath("1036.loc").c_str()), 0x10u) << "a folder";
    EXPECT_FALSE(files.ReadWholeFile(programPath("1036.loc").c_str(), bytes));
    EXPECT_EQ(files.GetFileAttributesW(programPath("1040.loc").c_str()), 0xFFFFFFFFu);
    EXPECT_FALSE(files.ReadWholeFile(programPath("1040.loc").c_str(), bytes));
}

TEST_F(ProgramFolder, TheProgramOnRealServersSeesThisComputer) {
    setenv("LANG", "de_DE.UTF-8", 1);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    samr::SamrConnection connection;
    connection.localHost = "127.0.0.1";
    LinuxPlatform servers(connection, FromUtf8(folder_.string()));
    Platform platform = servers.platform();
    EXPECT_EQ(&platform.net, static_cast<INetApi*>(&servers.net()));
    EXPECT_FALSE(platform.localRegistry);
    EXPECT_EQ(platform.system.GetUserDefaultUILanguage(), 1031);
    char16_t name[257] = {};
    DWORD size = 257;
    ASSERT_TRUE(platform.system.GetUserNameW(name, &size));
    EXPECT_EQ(ToUtf8(name), RunningUserName());
    size = 16;
    ASSERT_TRUE(platform.system.GetComputerNameW(name, &size));
    EXPECT_EQ(ToUtf8(name), "127.0.0.1") << "the local server stands for this computer";
    EXPECT_EQ(DescribeThisComputer(u"").system.computerName,
              FromUtf8(ComputerNameFromHost(HostName())));
    std::vector<BYTE> bytes;
    EXPECT_TRUE(platform.files.ReadWholeFile(programPath("1031.loc").c_str(), bytes));
    // The error texts are Windows' English ones (from the system, no inserts).
    char16_t text[256] = {};
    EXPECT_GT(platform.system.FormatMessageW(0x1200, nullptr, 53, 0, text, 256, nullptr), 0u);
    EXPECT_EQ(ToUtf8(text), "The network path was not found.\r\n");
    unsetenv("LANG");
}

} // namespace
} // namespace tw::lx
