// The language file is read in the system's ANSI code page: one table of the
// code pages the system may report, each through a file of one key.
#include "common/CodePage.h"
#include "FakeFileSystem.h"
#include "FakeSystem.h"
#include "common/mCommon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using namespace tw;
using tw::test::FakeFileSystem;
using tw::test::FakeSystem;

struct ByteCase {
    unsigned codePage;
    std::string bytes;
    std::u16string expected;
};

void PrintTo(const ByteCase& c, std::ostream* os) {
    *os << "code page " << c.codePage;
}

class LanguageFileCodePage : public testing::TestWithParam<ByteCase> {};

TEST_P(LanguageFileCodePage, DecodesTheValue) {
    FakeSystem system;
    FakeFileSystem files;
    mCommon common{system, files, u"C:\\App"};
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
