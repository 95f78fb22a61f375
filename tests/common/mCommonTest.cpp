// mCommon on a simulated computer: the platform check (only the Windows NT
// family is supported, and the version and WOW64 flags the rest of the
// program asks), which language file is read and in which code page, what
// an empty value means, placeholders (%1 to %9 filled left to right, "%%" one
// percent sign, inserted texts never scanned again), a huge file read in
// linear time, and the system's text for an error code as the status line
// shows it. The lines of a language file themselves are the fuzz target's.
#include "common/mCommon.h"
#include "common/LocArg.h"
#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

using namespace tw;
using sim::Wow64Mode;

// A simulated computer described by the test, and an mCommon on it that
// looks for its language files in the program's folder.
class OnSim : public testing::Test {
protected:
    mCommon& Common(const std::u16string& folder = u"C:\\App") {
        machine.system.executableFolder = folder;
        sim_ = std::make_unique<sim::SimPlatform>(machine);
        common_ = std::make_unique<mCommon>(sim_->system(), sim_->files(), folder);
        return *common_;
    }
    void LanguageFile(const std::u16string& name, std::string_view bytes) {
        machine.languageFile = sim::LanguageFile{name, {bytes.begin(), bytes.end()}};
    }

    sim::MachineDescription machine;

private:
    std::unique_ptr<sim::SimPlatform> sim_;
    std::unique_ptr<mCommon> common_;
};

template <typename Row> class OnSimRows : public OnSim, public testing::WithParamInterface<Row> {};

struct VersionCase {
    std::uint32_t platform, majorVersion, minorVersion;
    Wow64Mode wow64;
    bool supported, win2000OrLater, xpOrLater, isWow64;
    friend void PrintTo(const VersionCase& c, std::ostream* os) {
        *os << "platform " << c.platform << ", version " << c.majorVersion << "." << c.minorVersion;
    }
};

class CheckPlatform : public OnSimRows<VersionCase> {};

TEST_P(CheckPlatform, RefusesAllButNtAndSetsTheFlags) {
    const auto& c = GetParam();
    machine.system.platformId = c.platform;
    machine.system.majorVersion = c.majorVersion;
    machine.system.minorVersion = c.minorVersion;
    machine.system.wow64 = c.wow64;
    mCommon& common = Common();
    EXPECT_EQ(common.CheckPlatform(), c.supported);
    EXPECT_EQ(common.IsWin2000OrLater(), c.win2000OrLater);
    EXPECT_EQ(common.IsXPOrLater(), c.xpOrLater);
    EXPECT_EQ(common.IsWow64(), c.isWow64);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckPlatform,
    testing::Values(VersionCase{2, 3, 51, Wow64Mode::Yes, true, false, false, true},
                    VersionCase{2, 5, 0, Wow64Mode::Yes, true, true, false, true},
                    VersionCase{2, 5, 1, Wow64Mode::Yes, true, true, true, true},
                    VersionCase{2, 10, 0, Wow64Mode::Yes, true, true, true, true},
                    // A native process; without IsWow64Process the flag stays false too.
                    VersionCase{2, 6, 1, Wow64Mode::No, true, true, true, false},
                    VersionCase{2, 6, 1, Wow64Mode::Missing, true, true, true, false},
                    // Refused: Windows 9x, Win32s and CE. (NT 4 and Windows 98:
                    // scenarios appearance/nt4-no-hooks and startup/unsupported-platform.)
                    VersionCase{1, 5, 1, Wow64Mode::Yes, false, false, false, false},
                    VersionCase{0, 6, 0, Wow64Mode::Yes, false, false, false, false},
                    VersionCase{3, 6, 0, Wow64Mode::Yes, false, false, false, false}));

struct NameCase {
    std::uint32_t majorVersion;
    std::uint16_t uiLanguage;
    std::uint32_t threadLocale;
    const char16_t* folder;
    std::uint16_t language; // asked for; 0 is the platform's
    const char16_t* file;   // the only file there, which must be the one read
    friend void PrintTo(const NameCase& c, std::ostream* os) {
        *os << testing::PrintToString(std::u16string(c.file));
    }
};

class LanguageFileName : public OnSimRows<NameCase> {};

TEST_P(LanguageFileName, IsTheLanguageInTheProgramsFolder) {
    const NameCase& c = GetParam();
    machine.system.majorVersion = c.majorVersion;
    machine.system.uiLanguage = c.uiLanguage;
    machine.system.threadLocale = c.threadLocale;
    LanguageFile(c.file, "K=read\r\n");
    mCommon& common = Common(c.folder);
    ASSERT_TRUE(common.CheckPlatform());
    common.LoadLanguageFile(c.language);
    EXPECT_EQ(common.LocString(u"K", u"not read"), u"read");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LanguageFileName,
    testing::Values(NameCase{6, 1049, 1031, u"C:\\App", 1031, u"1031.loc"},
                    // The identifier is written as a signed 16-bit number.
                    NameCase{6, 1049, 1031, u"C:\\App", 0x8001, u"-32767.loc"},
                    NameCase{6, 1049, 1031, u"D:\\", 1033, u"1033.loc"},
                    // Language 0: the user interface language from Windows 2000 on...
                    NameCase{5, 1049, 1031, u"C:\\App", 0, u"1049.loc"},
                    NameCase{6, 0, 1031, u"C:\\App", 0, u"1033.loc"},
                    // ...the thread locale's language before (German, phone book order).
                    NameCase{4, 1049, 0x00010407, u"C:\\App", 0, u"1031.loc"}));

TEST_F(OnSim, AnEmptyValueIsAnEmptyTextAndAMissingKeyTheDefault) {
    LanguageFile(u"1033.loc", "Frm.A.Caption=\r\nFrm.B.Caption=50%% of %1\r\n");
    mCommon& common = Common();
    common.LoadLanguageFile(1033);
    EXPECT_EQ(common.LocString(u"Frm.A.Caption", u"Design caption"), u"");
    EXPECT_EQ(common.LocString(u"frm.b.caption", u"x", {7}), u"50% of 7");
    EXPECT_EQ(common.LocString(u"Frm.C.Caption", u"Default %1", {1}), u"Default 1");
}

TEST_F(OnSim, ReadsAHugeLineInLinearTime) {
    std::string text = "Frm.A.Caption=";
    text.append(10'000'000, 'v');
    text += "\r\nK=";
    for (int i = 0; i < 2'000'000; ++i)
        text += "%%";
    LanguageFile(u"1033.loc", text);
    mCommon& common = Common();
    common.LoadLanguageFile(1033);
    EXPECT_EQ(common.LocString(u"Frm.A.Caption", u"").size(), 10'000'000u);
    // Filling placeholders over a huge text full of "%%" stays linear too.
    EXPECT_EQ(common.LocString(u"K", u"").size(), 2'000'000u);
}

TEST_F(OnSim, AnsiCharsetIsTheCodePagesOrZero) {
    // 437: the call fails, and the zero-filled record gives 0.
    for (const auto& [codePage, charset] :
         {std::pair{1251u, 204}, {1250u, 238}, {932u, 128}, {1252u, 0}, {437u, 0}}) {
        machine.system.acp = codePage;
        EXPECT_EQ(Common().AnsiCharset(), charset) << codePage;
    }
}

struct ByteCase {
    unsigned codePage;
    std::string bytes;
    std::u16string expected;
    friend void PrintTo(const ByteCase& c, std::ostream* os) { *os << "code page " << c.codePage; }
};

class LanguageFileCodePage : public OnSimRows<ByteCase> {};

TEST_P(LanguageFileCodePage, DecodesTheValue) {
    machine.system.acp = GetParam().codePage;
    LanguageFile(u"1033.loc", "K=" + GetParam().bytes + "\r\n");
    mCommon& common = Common();
    common.LoadLanguageFile(1033);
    ASSERT_TRUE(common.LanguageLoaded());
    EXPECT_EQ(common.LocString(u"K", u""), GetParam().expected);
}

// Each table also decodes the row's key, "=" and line break: ASCII passes
// through every one.
INSTANTIATE_TEST_SUITE_P(
    Tables, LanguageFileCodePage,
    testing::Values(ByteCase{874, "\xA1", u"\u0E01"}, ByteCase{437, "\x80\xB0", u"\u00C7\u2591"},
                    ByteCase{850, "\x9B", u"\u00F8"}, ByteCase{1250, "\x8A", u"\u0160"},
                    ByteCase{1251, "\xCE\xF2\xEC", u"\u041E\u0442\u043C"},
                    ByteCase{1252, "\x80\xE9", u"\u20AC\u00E9"}, ByteCase{1253, "\xC1", u"\u0391"},
                    ByteCase{1254, "\xD0", u"\u011E"}, ByteCase{1255, "\xE0", u"\u05D0"},
                    ByteCase{1256, "\xC7", u"\u0627"}, ByteCase{1257, "\xC0", u"\u0104"},
                    ByteCase{1258, "\xD2", u"\u0309"},
                    // Bytes the code page leaves undefined.
                    ByteCase{1252, "\x81", u"\uFFFD"}, ByteCase{1253, "\xAA", u"\uFFFD"},
                    ByteCase{874, "\xDB", u"\uFFFD"},
                    ByteCase{65001, "K\xC3\xA9\xFF", u"K\u00E9\uFFFD"},
                    // An unknown code page reads as Windows-1252.
                    ByteCase{932, "\x80\xE9", u"\u20AC\u00E9"},
                    ByteCase{12345, "\xE9", u"\u00E9"}));

struct MessageCase {
    std::u16string message; // in the system's table under the code; empty: none there
    std::u16string expected;
    friend void PrintTo(const MessageCase& c, std::ostream* os) {
        *os << testing::PrintToString(c.message);
    }
};

class ApiErrorText : public OnSimRows<MessageCase> {};

TEST_P(ApiErrorText, RemovesOneFinalCrLfAndFitsThe256CharacterBuffer) {
    const auto code = static_cast<std::int32_t>(0x80070005u); // passed on with all its bits
    if (!GetParam().message.empty())
        machine.messages[0x80070005u] = GetParam().message;
    EXPECT_EQ(Common().ApiErrorText(code), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ApiErrorText,
    testing::Values(MessageCase{u"Access is denied.\r\n", u"Access is denied."},
                    MessageCase{u"No line break", u"No line break"},
                    MessageCase{u"Two breaks\r\n\r\n", u"Two breaks\r\n"},
                    MessageCase{u"First\r\nsecond. \r\n", u"First\r\nsecond. "},
                    MessageCase{u"Ends with LF\n", u"Ends with LF\n"},
                    MessageCase{u"%1 stays\r\n", u"%1 stays"},
                    // 255 characters with the line break fit, 256 do not.
                    MessageCase{std::u16string(253, u'a') + u"\r\n", std::u16string(253, u'a')},
                    MessageCase{std::u16string(256, u'b'), u"Error 122 in FormatMessage"},
                    MessageCase{u"", u"Error 317 in FormatMessage"}));

struct FillCase {
    const char16_t* text;
    std::vector<std::u16string> args;
    const char16_t* expected;
    friend void PrintTo(const FillCase& c, std::ostream* os) {
        *os << testing::PrintToString(std::u16string(c.text));
    }
};

class PlaceholderScanner : public testing::TestWithParam<FillCase> {};

TEST_P(PlaceholderScanner, FillsLeftToRight) {
    const auto& c = GetParam();
    std::vector<LocArg> args(c.args.begin(), c.args.end());
    EXPECT_EQ(FillPlaceholders(c.text, args), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceholderScanner,
    testing::Values(
        FillCase{u"%", {}, u"%"}, FillCase{u"50%", {u"a"}, u"50%"},
        FillCase{u"%a %", {u"x"}, u"%a %"}, FillCase{u"100%%", {}, u"100%"},
        FillCase{u"%%%", {}, u"%%"}, FillCase{u"%%1", {u"x"}, u"%1"},
        FillCase{u"%%%1", {u"x"}, u"%x"}, FillCase{u"%1", {}, u"%1"},
        FillCase{u"%0", {u"x"}, u"%0"}, FillCase{u"%10", {u"x"}, u"x0"},
        FillCase{u"%2-%1-%3", {u"7", u"x"}, u"x-7-%3"}, FillCase{u"%1%1", {u"ab"}, u"abab"},
        FillCase{u"%1", {u"%1%%2"}, u"%1%%2"}, // inserted text is not scanned again
        FillCase{u"%1%2", {u"%", u"y"}, u"%y"},
        FillCase{u"%9", {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"nine"}, u"nine"}));

TEST(LocArg, WritesNumbersInDecimalWithTheirSign) {
    EXPECT_EQ(LocArg(-87).Text(), u"-87");
    EXPECT_EQ(LocArg(INT32_MIN).Text(), u"-2147483648");
    EXPECT_EQ(LocArg(std::uint32_t{4294967295u}).Text(), u"4294967295");
    EXPECT_EQ(LocArg(std::uint64_t{18446744073709551615u}).Text(), u"18446744073709551615");
    EXPECT_EQ(LocArg(static_cast<const char16_t*>(nullptr)).Text(), u"");
}
