// Placeholders: %1 to %9 filled left to right, "%%" one percent sign, and
// inserted texts never scanned again.
#include "common/LocArg.h"
#include "common/mCommon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using namespace tw;

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
