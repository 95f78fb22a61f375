#include "FakeFileSystem.h"
#include "FakeSystem.h"
#include "common/LocArg.h"
#include "common/mCommon.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <string>
#include <vector>

using namespace tw;
using tw::test::FakeFileSystem;
using tw::test::FakeSystem;

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
    EXPECT_EQ(FillPlaceholders(c.text, args), c.expected)
        << testing::PrintToString(std::u16string(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceholderScanner,
    testing::Values(
        FillCase{u"", {}, u""}, FillCase{u"plain", {u"a"}, u"plain"}, FillCase{u"%", {}, u"%"},
        FillCase{u"50%", {u"a"}, u"50%"}, FillCase{u"%a %", {u"x"}, u"%a %"},
        FillCase{u"%%", {}, u"%"}, FillCase{u"100%%", {}, u"100%"}, FillCase{u"%%%", {}, u"%%"},
        FillCase{u"%%1", {u"x"}, u"%1"}, FillCase{u"%%%1", {u"x"}, u"%x"},
        FillCase{u"%1", {}, u"%1"}, FillCase{u"%0", {u"x"}, u"%0"}, FillCase{u"%10", {u"x"}, u"x0"},
        FillCase{u"%2", {u"x"}, u"%2"}, FillCase{u"%2-%1-%3", {u"7", u"x"}, u"x-7-%3"},
        FillCase{u"%1%1", {u"ab"}, u"abab"},
        FillCase{u"%1", {u"%1%%2"}, u"%1%%2"}, // inserted text is not scanned again
        FillCase{u"%1%2", {u"%", u"y"}, u"%y"},
        FillCase{u"%9", {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"nine"}, u"nine"},
        FillCase{u"%%%%", {}, u"%%"}, FillCase{u"a%", {u"x"}, u"a%"}));

TEST(LocArg, WritesNumbersInSignedDecimal) {
    EXPECT_EQ(LocArg(5).Text(), u"5");
    EXPECT_EQ(LocArg(-87).Text(), u"-87");
    EXPECT_EQ(LocArg(INT32_MIN).Text(), u"-2147483648");
    EXPECT_EQ(LocArg(std::int64_t{-1}).Text(), u"-1");
    EXPECT_EQ(LocArg(std::uint32_t{4294967295u}).Text(), u"4294967295");
    EXPECT_EQ(LocArg(std::uint64_t{18446744073709551615u}).Text(), u"18446744073709551615");
    EXPECT_EQ(LocArg(u"text").Text(), u"text");
    EXPECT_EQ(LocArg(static_cast<const char16_t*>(nullptr)).Text(), u"");
}

class LocString : public testing::Test {
protected:
    FakeSystem system;
    FakeFileSystem files;
    mCommon common{system, files, u"C:\\App"};
};

TEST_F(LocString, UsesTheDefaultWithoutALanguageFile) {
    EXPECT_EQ(common.LocString(u"Frm.Status_Error", u"Error %1. %2", {5, u"Access is denied."}),
              u"Error 5. Access is denied.");
    EXPECT_EQ(common.LocString(u"Frm.Status_Wait", u"Wait..."), u"Wait...");
    EXPECT_EQ(common.LocString(u"Frm.lblX.Caption", u"100%%"), u"100%");
}

TEST_F(LocString, FillsTextsFromTheFileAndFallsBackForMissingKeys) {
    files.AddText(u"C:\\App\\1033.loc", "Frm.Status_Error=Fehler %1: %2\r\n"
                                        "Frm.lblPct.Caption=50%% done\r\n");
    common.LoadLanguageFile(1033);
    ASSERT_TRUE(common.LanguageLoaded());
    EXPECT_EQ(common.LocString(u"frm.status_error", u"Error %1. %2", {53, u"Path"}),
              u"Fehler 53: Path");
    EXPECT_EQ(common.LocString(u"Frm.lblPct.Caption", u"x"), u"50% done");
    EXPECT_EQ(common.LocString(u"Frm.Missing", u"Default %1", {1}), u"Default 1");
}

TEST(AddBackslash, AppendsOnlyWhenMissing) {
    EXPECT_EQ(AddBackslash(u"C:\\App"), u"C:\\App\\");
    EXPECT_EQ(AddBackslash(u"C:\\"), u"C:\\");
    EXPECT_EQ(AddBackslash(u"\\\\srv\\share\\"), u"\\\\srv\\share\\");
    EXPECT_EQ(AddBackslash(u""), u"\\");
}
