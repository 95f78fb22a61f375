#include "common/UnsignedNumbers.h"
#include "common/RuntimeError.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <functional>
#include <string>

using namespace tw;

namespace {

constexpr std::int32_t kMax = -1;         // 4294967295
constexpr std::int32_t kHalf = INT32_MIN; // 2147483648

// Runs f and checks that it raised the overflow error of the program.
void ExpectOverflow(const std::function<void()>& f) {
    try {
        f();
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number, 6);
        EXPECT_EQ(e.Description, u"Overflow");
        EXPECT_EQ(e.Source, u"Tarnwick");
        EXPECT_STREQ(e.what(), "Overflow");
    }
}

} // namespace

TEST(UnsignedToText, ReadsTheBitsAsUnsigned) {
    EXPECT_EQ(UnsignedToText(0), u"0");
    EXPECT_EQ(UnsignedToText(1), u"1");
    EXPECT_EQ(UnsignedToText(INT32_MAX), u"2147483647");
    EXPECT_EQ(UnsignedToText(kHalf), u"2147483648");
    EXPECT_EQ(UnsignedToText(kMax), u"4294967295");
}

struct TextCase {
    const char16_t* text;
    std::int32_t value;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << testing::PrintToString(std::u16string(c.text));
}

class TextToUnsignedAccepts : public testing::TestWithParam<TextCase> {};

TEST_P(TextToUnsignedAccepts, GivesTheValue) {
    EXPECT_EQ(TextToUnsigned(GetParam().text), GetParam().value)
        << testing::PrintToString(std::u16string(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextToUnsignedAccepts,
    testing::Values(TextCase{u"0", 0}, TextCase{u"42", 42}, TextCase{u"  42  ", 42},
                    TextCase{u"\t42\t", 42}, TextCase{u"+42", 42}, TextCase{u"-0", 0},
                    TextCase{u"-0.000", 0}, TextCase{u"007", 7}, TextCase{u"2147483647", INT32_MAX},
                    TextCase{u"2147483648", kHalf}, TextCase{u"4294967294", -2},
                    TextCase{u"4294967295", kMax}, TextCase{u"4294967295.4", kMax},
                    TextCase{u"0000000000004294967295", kMax},
                    // Whole rounding, halves to even.
                    TextCase{u"2.5", 2}, TextCase{u"3.5", 4}, TextCase{u"2.51", 3},
                    TextCase{u"2.4999", 2}, TextCase{u".5", 0}, TextCase{u"1.", 1},
                    // Four places first, halves to even there too: 2.49995 is
                    // held as 2.5000 (9 is odd), which then rounds to 2.
                    TextCase{u"2.49995", 2}, TextCase{u"3.49995", 4}, TextCase{u"3.49985", 3},
                    TextCase{u"3.499850001", 3}));

class TextToUnsignedRefuses : public testing::TestWithParam<const char16_t*> {};

TEST_P(TextToUnsignedRefuses, WithAnOverflow) {
    ExpectOverflow([] { TextToUnsigned(GetParam()); });
}

INSTANTIATE_TEST_SUITE_P(Texts, TextToUnsignedRefuses,
                         testing::Values(u"", u"   ", u"-1", u"-0.5", u"-0.00001", u"-", u"+", u".",
                                         u"abc", u"12a", u"1 2", u"1,000", u"1e3", u"- 5",
                                         u"4294967296", u"4294967295.5", u"99999999999", u"0x10",
                                         u"++1"));

TEST(TextToUnsigned, TakesTheDecimalSignItIsGiven) {
    EXPECT_EQ(TextToUnsigned(u"3,5", u','), 4);
    ExpectOverflow([] { TextToUnsigned(u"3.5", u','); });
}

TEST(TextToUnsigned, ReadsHugeDigitStringsWithoutOverflow) {
    const std::u16string zeros(10'000'000, u'0');
    EXPECT_EQ(TextToUnsigned(zeros + u"17"), 17);
    ExpectOverflow([&] { TextToUnsigned(u"1" + zeros); });
    ExpectOverflow([&] { TextToUnsigned(std::u16string(10'000'000, u'9')); });
    EXPECT_EQ(TextToUnsigned(u"5." + zeros + u"1"), 5);
}

TEST(TextToUnsigned, RoundTripsWithUnsignedToTextAtTheEdges) {
    for (std::int32_t v : {0, 1, 86400, INT32_MAX, kHalf, kHalf + 1, -2, kMax})
        EXPECT_EQ(TextToUnsigned(UnsignedToText(v)), v);
}

TEST(UnsignedCompare, OrdersAsUnsigned) {
    EXPECT_GT(UnsignedCompare(kMax, 1), 0);
    EXPECT_LT(UnsignedCompare(1, kMax), 0);
    EXPECT_EQ(UnsignedCompare(kMax, kMax), 0);
    EXPECT_GT(UnsignedCompare(kHalf, INT32_MAX), 0);
    EXPECT_LT(UnsignedCompare(INT32_MAX, kHalf), 0);
    EXPECT_LT(UnsignedCompare(kHalf, kMax), 0);
    EXPECT_LT(UnsignedCompare(0, INT32_MAX), 0);
    EXPECT_GT(UnsignedCompare(5, 3), 0);
}

TEST(UnsignedDivide, CutsSmallValuesAndRoundsLargeOnes) {
    EXPECT_EQ(UnsignedDivide(86399, 86400), 0);
    EXPECT_EQ(UnsignedDivide(86400, 86400), 1);
    EXPECT_EQ(UnsignedDivide(INT32_MAX, 86400), 24855); // 24855.13...
    EXPECT_EQ(UnsignedDivide(kMax, 86400), 49710);      // 49710.2696...
    EXPECT_EQ(UnsignedDivide(kHalf, 1), kHalf);
    EXPECT_EQ(UnsignedDivide(kMax, 1), kMax);
    EXPECT_EQ(UnsignedDivide(kMax, 2), kHalf);           // 2147483647.5 rounds to even
    EXPECT_EQ(UnsignedDivide(kHalf + 1, 2), 1073741824); // .5 and 1073741824 is even
    EXPECT_EQ(UnsignedDivide(kHalf + 3, 2), 1073741826); // 1073741825.5 rounds up to even
    // 2147509999 / 20000 = 107375.49995: held to four places as 107375.5000
    // (halves to even), which then rounds to the even 107376.
    EXPECT_EQ(UnsignedDivide(static_cast<std::int32_t>(2147509999u), 20000), 107376);
}

TEST(UnsignedDivide, RefusesAZeroDivisor) {
    try {
        UnsignedDivide(5, 0);
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number, 11);
    }
}

TEST(UnsignedMultiply, GivesTheExactProductOrFails) {
    EXPECT_EQ(UnsignedMultiply(49710, 86400), static_cast<std::int32_t>(4294944000u));
    EXPECT_LT(UnsignedMultiply(49710, 86400), 0);
    EXPECT_EQ(UnsignedMultiply(kMax, 1), kMax);
    EXPECT_EQ(UnsignedMultiply(kMax, 0), 0);
    EXPECT_EQ(UnsignedMultiply(0, 86400), 0);
    ExpectOverflow([] { UnsignedMultiply(49711, 86400); });
    ExpectOverflow([] { UnsignedMultiply(kMax, 2); });
    ExpectOverflow([] { UnsignedMultiply(kMax, INT32_MAX); });
    ExpectOverflow([] { UnsignedMultiply(kMax, INT32_MIN); });
    ExpectOverflow([] { UnsignedMultiply(1, -1); });
}

TEST(UnsignedAddSubtract, StaysInsideTheUnsignedRange) {
    EXPECT_EQ(UnsignedAddSubtract(-2, 1, false), kMax);
    EXPECT_EQ(UnsignedAddSubtract(INT32_MAX, 1, false), kHalf);
    EXPECT_EQ(UnsignedAddSubtract(kHalf, 1, true), INT32_MAX);
    EXPECT_EQ(UnsignedAddSubtract(kMax, kMax, true), 0);
    EXPECT_EQ(UnsignedAddSubtract(5, 3, true), 2);
    ExpectOverflow([] { UnsignedAddSubtract(0, 1, true); });
    ExpectOverflow([] { UnsignedAddSubtract(kMax, 1, false); });
    ExpectOverflow([] { UnsignedAddSubtract(kMax, kMax, false); });
    ExpectOverflow([] { UnsignedAddSubtract(1, kMax, true); });
}
