// Unsigned 32-bit values held in signed integers: one table of the edges,
// above all those the fuzz target's plain model leaves open (decimal places,
// halves to even, the division from 2^31 on) and the errors raised.
#include "common/UnsignedNumbers.h"
#include "common/RuntimeError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace {

using namespace tw;

constexpr std::int32_t kMax = -1;         // 4294967295
constexpr std::int32_t kHalf = INT32_MIN; // 2147483648
constexpr std::int64_t kOverflow = std::int64_t{1} << 40;
constexpr std::int64_t kDivisionByZero = std::int64_t{1} << 41;

enum class Op { Text, TextWithComma, Compare, Divide, Multiply, Add, Subtract };

struct Row {
    Op op;
    std::int32_t a, b;
    const char16_t* text;
    std::int64_t expected; // the value, the sign of a comparison, or the error
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << "op " << static_cast<int>(row.op) << " " << row.a << ", " << row.b;
    if (row.text != nullptr)
        *os << " " << testing::PrintToString(std::u16string(row.text));
}

constexpr Row T(const char16_t* text, std::int64_t expected) {
    return {Op::Text, 0, 0, text, expected};
}
constexpr Row N(Op op, std::int32_t a, std::int32_t b, std::int64_t expected) {
    return {op, a, b, nullptr, expected};
}

std::int64_t Evaluate(const Row& row) {
    switch (row.op) {
    case Op::Text:
        return TextToUnsigned(row.text);
    case Op::TextWithComma:
        return TextToUnsigned(row.text, u',');
    case Op::Compare:
        return (UnsignedCompare(row.a, row.b) > 0) - (UnsignedCompare(row.a, row.b) < 0);
    case Op::Divide:
        return UnsignedDivide(row.a, row.b);
    case Op::Multiply:
        return UnsignedMultiply(row.a, row.b);
    case Op::Add:
        return UnsignedAddSubtract(row.a, row.b, false);
    case Op::Subtract:
        return UnsignedAddSubtract(row.a, row.b, true);
    }
    return 0;
}

class UnsignedNumbers : public testing::TestWithParam<Row> {};

TEST_P(UnsignedNumbers, GiveTheValueOrRaiseTheError) {
    std::int64_t result = 0;
    try {
        result = Evaluate(GetParam());
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Source, u"Tarnwick");
        result = e.Number == kErrOverflow         ? kOverflow
                 : e.Number == kErrDivisionByZero ? kDivisionByZero
                                                  : e.Number;
        if (e.Number == kErrOverflow) {
            EXPECT_EQ(e.Description, u"Overflow");
        }
    }
    EXPECT_EQ(result, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, UnsignedNumbers,
    testing::Values(
        T(u"\t 42 \t", 42), T(u"+42", 42), T(u"-0.000", 0), T(u"4294967294", -2),
        T(u"4294967295.4", kMax),
        // Whole rounding, halves to even; four places first, halves to even
        // there too: 2.49995 is held as 2.5000, which then rounds to 2.
        T(u"2.5", 2), T(u"3.5", 4), T(u"2.51", 3), T(u".5", 0), T(u"1.", 1), T(u"2.49995", 2),
        T(u"3.49995", 4), T(u"3.49985", 3), T(u"3.499850001", 3),
        Row{Op::TextWithComma, 0, 0, u"3,5", 4}, Row{Op::TextWithComma, 0, 0, u"3.5", kOverflow},
        T(u"   ", kOverflow), T(u"-1", kOverflow), T(u"-0.5", kOverflow), T(u"-0.00001", kOverflow),
        T(u"-", kOverflow), T(u"+", kOverflow), T(u".", kOverflow), T(u"12a", kOverflow),
        T(u"1 2", kOverflow), T(u"1,000", kOverflow), T(u"1e3", kOverflow), T(u"- 5", kOverflow),
        T(u"4294967295.5", kOverflow), T(u"0x10", kOverflow), T(u"++1", kOverflow),
        N(Op::Compare, kMax, 1, 1), N(Op::Compare, kHalf, INT32_MAX, 1),
        N(Op::Compare, kHalf, kMax, -1), N(Op::Divide, 86399, 86400, 0),
        N(Op::Divide, INT32_MAX, 86400, 24855), // cut
        N(Op::Divide, kMax, 86400, 49710),      // 49710.2696... rounded
        N(Op::Divide, kMax, 2, kHalf),          // halves to even
        N(Op::Divide, kHalf + 1, 2, 1073741824), N(Op::Divide, kHalf + 3, 2, 1073741826),
        // 2147509999 / 20000 = 107375.49995, held to four places as
        // 107375.5000, rounds to even.
        N(Op::Divide, static_cast<std::int32_t>(2147509999u), 20000, 107376),
        N(Op::Divide, 5, 0, kDivisionByZero),
        N(Op::Multiply, 49710, 86400, static_cast<std::int32_t>(4294944000u)),
        N(Op::Multiply, 49711, 86400, kOverflow), N(Op::Multiply, kMax, INT32_MIN, kOverflow),
        N(Op::Multiply, 1, -1, kOverflow), N(Op::Add, -2, 1, kMax), N(Op::Add, kMax, 1, kOverflow),
        N(Op::Subtract, kHalf, 1, INT32_MAX), N(Op::Subtract, 0, 1, kOverflow),
        N(Op::Subtract, 1, kMax, kOverflow)));

// Ten million digits: no accumulator overflows, and the decimal places
// after a long run of zeros still round.
TEST(TextToUnsigned, ReadsHugeDigitStringsWithoutOverflow) {
    const std::u16string zeros(10'000'000, u'0');
    EXPECT_EQ(TextToUnsigned(zeros + u"17"), 17);
    EXPECT_THROW(TextToUnsigned(u"1" + zeros), RuntimeError);
    EXPECT_EQ(TextToUnsigned(u"5." + zeros + u"1"), 5);
}

} // namespace
