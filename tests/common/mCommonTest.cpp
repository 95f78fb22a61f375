// mCommon on a fake system and file system: the platform check (only the
// Windows NT family is supported, and the version and WOW64 flags the rest of
// the program asks), which language file is read and in which code page, what
// an empty value means, placeholders (%1 to %9 filled left to right, "%%" one
// percent sign, inserted texts never scanned again), a huge file read in
// linear time, and the system's text for an error code as the status line
// shows it. The lines of a language file themselves are the fuzz target's.
#include "common/mCommon.h"
#include "FakeFileSystem.h"
#include "FakeSystem.h"
#include "common/CodePage.h"
#include "common/LocArg.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using namespace tw;
using tw::test::FakeFileSystem;
using tw::test::FakeSystem;

// The fake system and file system, and an mCommon on them.
class Fakes : public testing::Test {
protected:
    FakeSystem system;
    FakeFileSystem files;
    mCommon common{system, files, u"C:\\App"};
};

template <typename Row> class FakesRows : public Fakes, public testing::WithParamInterface<Row> {};

struct VersionCase {
    win::DWORD platform, majorVersion, minorVersion;
    bool versionCall, hasIsWow64Process;
    int wow64Answer; // of IsWow64Process: 1 under WOW64, 0 native, -1 the call fails
    bool supported, win2000OrLater, xpOrLater, wow64;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << "platform " << c.platform << ", version " << c.majorVersion << "." << c.minorVersion;
}

class CheckPlatform : public FakesRows<VersionCase> {};

TEST_P(CheckPlatform, RefusesAllButNtAndSetsTheFlags) {
    const auto& c = GetParam();
    system.version = FakeSystem::nt(c.majorVersion, c.minorVersion, c.platform);
    system.versionSucceeds = c.versionCall;
    system.hasIsWow64Process = c.hasIsWow64Process;
    system.isWow64Result = c.wow64Answer >= 0;
    system.wow64Flag = c.wow64Answer == 1;
    EXPECT_EQ(common.CheckPlatform(), c.supported);
    EXPECT_EQ(common.IsWin2000OrLater(), c.win2000OrLater);
    EXPECT_EQ(common.IsXPOrLater(), c.xpOrLater);
    EXPECT_EQ(common.IsWow64(), c.wow64);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckPlatform,
    testing::Values(VersionCase{2, 3, 51, true, true, 1, true, false, false, true},
                    VersionCase{2, 5, 0, true, true, 1, true, true, false, true},
                    VersionCase{2, 5, 1, true, true, 1, true, true, true, true},
                    VersionCase{2, 10, 0, true, true, 1, true, true, true, true},
                    // A native process; without IsWow64Process, or when it fails,
                    // the flag stays false too.
                    VersionCase{2, 6, 1, true, true, 0, true, true, true, false},
                    VersionCase{2, 6, 1, true, false, 1, true, true, true, false},
                    VersionCase{2, 6, 1, true, true, -1, true, true, true, false},
                    // Refused: Windows 9x, Win32s, CE, and a failing version call.
                    // (NT 4 and Windows 98: scenarios appearance/nt4-no-hooks and
                    // startup/unsupported-platform.)
                    VersionCase{1, 5, 1, true, true, 1, false, false, false, false},
                    VersionCase{0, 6, 0, true, true, 1, false, false, false, false},
                    VersionCase{3, 6, 0, true, true, 1, false, false, false, false},
                    VersionCase{2, 6, 1, false, true, 1, false, false, false, false}));

struct NameCase {
    win::DWORD majorVersion, minorVersion;
    win::LANGID uiLanguage;
    win::LCID threadLocale;
    const char16_t* folder;
    win::LANGID language; // asked for; 0 is the platform's
    const char16_t* path;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << testing::PrintToString(std::u16string(c.path));
}

class LanguageFileName : public testing::TestWithParam<NameCase> {};

TEST_P(LanguageFileName, IsTheLanguageInTheProgramsFolder) {
    const NameCase& c = GetParam();
    FakeSystem system;
    FakeFileSystem files;
    system.version = FakeSystem::nt(c.majorVersion, c.minorVersion);
    system.uiLanguage = c.uiLanguage;
    system.threadLocale = c.threadLocale;
    mCommon common{system, files, c.folder};
    ASSERT_TRUE(common.CheckPlatform());
    common.LoadLanguageFile(c.language);
    EXPECT_EQ(files.attributeQueries, std::vector<std::u16string>{c.path});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LanguageFileName,
    testing::Values(NameCase{6, 1, 1049, 1031, u"C:\\App", 1031, u"C:\\App\\1031.loc"},
                    // The identifier is written as a signed 16-bit number.
                    NameCase{6, 1, 1049, 1031, u"C:\\App", 0x8001, u"C:\\App\\-32767.loc"},
                    NameCase{6, 1, 1049, 1031, u"D:\\", 1033, u"D:\\1033.loc"},
                    // Language 0: the user interface language from Windows 2000 on...
                    NameCase{5, 0, 1049, 1031, u"C:\\App", 0, u"C:\\App\\1049.loc"},
                    NameCase{6, 1, 0, 1031, u"C:\\App", 0, u"C:\\App\\1033.loc"},
                    // ...the thread locale's language before (German, phone book order).
                    NameCase{4, 0, 1049, 0x00010407, u"C:\\App", 0, u"C:\\App\\1031.loc"}));

TEST_F(Fakes, AnEmptyValueIsAnEmptyTextAndAMissingKeyTheDefault) {
    files.AddText(u"C:\\App\\1033.loc", "Frm.A.Caption=\r\nFrm.B.Caption=50%% of %1\r\n");
    common.LoadLanguageFile(1033);
    EXPECT_EQ(common.LocString(u"Frm.A.Caption", u"Design caption"), u"");
    EXPECT_EQ(common.LocString(u"frm.b.caption", u"x", {7}), u"50% of 7");
    EXPECT_EQ(common.LocString(u"Frm.C.Caption", u"Default %1", {1}), u"Default 1");
}

TEST_F(Fakes, ReadsAHugeLineInLinearTime) {
    std::string text = "Frm.A.Caption=";
    text.append(10'000'000, 'v');
    text += "\r\nK=";
    for (int i = 0; i < 2'000'000; ++i)
        text += "%%";
    files.AddText(u"C:\\App\\1033.loc", text);
    common.LoadLanguageFile(1033);
    EXPECT_EQ(common.LocString(u"Frm.A.Caption", u"").size(), 10'000'000u);
    // Filling placeholders over a huge text full of "%%" stays linear too.
    EXPECT_EQ(common.LocString(u"K", u"").size(), 2'000'000u);
}

TEST_F(Fakes, AnsiCharsetIsTheCodePagesOrZero) {
    system.acp = 1251;
    EXPECT_EQ(common.AnsiCharset(), 204);
    system.acp = 4242; // the call fails: the zero-filled record gives 0
    EXPECT_EQ(common.AnsiCharset(), 0);
}

struct ByteCase {
    unsigned codePage;
    std::string bytes;
    std::u16string expected;
};

void PrintTo(const ByteCase& c, std::ostream* os) {
    *os << "code page " << c.codePage;
}

class LanguageFileCodePage : public FakesRows<ByteCase> {};

TEST_P(LanguageFileCodePage, DecodesTheValue) {
    system.acp = GetParam().codePage;
    files.AddText(u"C:\\App\\1033.loc", "K=" + GetParam().bytes + "\r\n");
    common.LoadLanguageFile(1033);
    ASSERT_TRUE(common.LanguageLoaded());
    EXPECT_EQ(common.LocString(u"K", u""), GetParam().expected);
}

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

TEST(CodePage, KeepsAsciiInEveryTable) {
    std::vector<std::uint8_t> ascii(0x80);
    for (int i = 0; i < 0x80; ++i)
        ascii[i] = static_cast<std::uint8_t>(i);
    const std::u16string expected(ascii.begin(), ascii.end());
    for (unsigned cp :
         {437u, 850u, 874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u})
        EXPECT_EQ(DecodeAnsi(ascii, cp), expected) << cp;
}

struct MessageCase {
    std::u16string message; // in the system's table under the code; empty: none there
    std::u16string expected;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.message);
}

class ApiErrorText : public FakesRows<MessageCase> {};

TEST_P(ApiErrorText, RemovesOneFinalCrLfAndFitsThe256CharacterBuffer) {
    const auto code = static_cast<std::int32_t>(0x80070005u); // passed on with all its bits
    if (!GetParam().message.empty())
        system.messages[0x80070005u] = GetParam().message;
    EXPECT_EQ(common.ApiErrorText(code), GetParam().expected);
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
};

void PrintTo(const FillCase& c, std::ostream* os) {
    *os << testing::PrintToString(std::u16string(c.text));
}

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
