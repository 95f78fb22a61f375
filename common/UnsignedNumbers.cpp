#include "UnsignedNumbers.h"

#include "RuntimeError.h"

#include <string>

namespace tw {

namespace {

constexpr std::int64_t kMaxUnsigned = 0xFFFFFFFFLL;
// Four decimal places: the fixed-point scale of the intermediate results.
constexpr std::int64_t kScale = 10000;

std::int64_t asUnsigned(std::int32_t value) {
    return static_cast<std::uint32_t>(value);
}

// Back to the signed type with the same 32 bits; out of range is an overflow.
std::int32_t toSignedBits(std::int64_t whole) {
    if (whole < 0 || whole > kMaxUnsigned)
        throw OverflowError();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(whole));
}

// n / d rounded to the nearest whole number, halves to the even neighbour.
// |n| and |d| stay far below 2^62 in every use, so 2 * remainder cannot overflow.
std::int64_t divideHalfEven(std::int64_t n, std::int64_t d) {
    const bool negative = (n < 0) != (d < 0);
    const std::int64_t an = n < 0 ? -n : n;
    const std::int64_t ad = d < 0 ? -d : d;
    std::int64_t q = an / ad;
    const std::int64_t twiceRest = 2 * (an % ad);
    if (twiceRest > ad || (twiceRest == ad && (q & 1) != 0))
        ++q;
    return negative ? -q : q;
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

std::u16string UnsignedToText(std::int32_t value) {
    const std::string digits = std::to_string(static_cast<std::uint32_t>(value));
    return std::u16string(digits.begin(), digits.end());
}

std::int32_t TextToUnsigned(std::u16string_view text, char16_t decimalSign) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;

    std::size_t i = begin;
    bool negative = false;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    // Whole part: leading zeros are skipped and at most eleven significant
    // digits are kept, which is already beyond 4294967295; a text of millions
    // of digits is read to its end but never accumulated.
    std::int64_t whole = 0;
    std::size_t significant = 0;
    std::size_t digitCount = 0;
    for (; i < end && isDigit(text[i]); ++i, ++digitCount) {
        if (significant == 0 && text[i] == u'0')
            continue;
        if (++significant <= 11)
            whole = whole * 10 + (text[i] - u'0');
    }

    // Fraction: four places kept, the fifth and whether anything non-zero
    // follows it decide the rounding to four places.
    std::int64_t fraction = 0;
    int fifth = 0;
    bool restNonZero = false;
    bool fractionNonZero = false;
    if (i < end && text[i] == decimalSign) {
        ++i;
        std::size_t place = 0;
        for (; i < end && isDigit(text[i]); ++i, ++place, ++digitCount) {
            const int digit = text[i] - u'0';
            fractionNonZero = fractionNonZero || digit != 0;
            if (place < 4)
                fraction = fraction * 10 + digit;
            else if (place == 4)
                fifth = digit;
            else
                restNonZero = restNonZero || digit != 0;
        }
        for (; place < 4; ++place)
            fraction *= 10;
    }

    if (digitCount == 0 || i != end)
        throw OverflowError(); // not a number
    if (negative && (significant > 0 || fractionNonZero))
        throw OverflowError(); // below zero, however little
    if (significant > 10)
        throw OverflowError();

    if (fifth > 5 || (fifth == 5 && (restNonZero || (fraction & 1) != 0)))
        ++fraction;
    const std::int64_t fixed = whole * kScale + fraction;
    return toSignedBits(divideHalfEven(fixed, kScale));
}

std::int32_t UnsignedCompare(std::int32_t a, std::int32_t b) {
    if ((a < 0) == (b < 0))
        return a - b; // same sign bit: the difference fits
    return a < 0 ? 1 : -1;
}

std::int32_t UnsignedDivide(std::int32_t value, std::int32_t divisor) {
    if (divisor == 0)
        throw RuntimeError(kErrDivisionByZero, kErrorSource, u"Division by zero");
    if (value >= 0)
        return toSignedBits(value / divisor);
    const std::int64_t fixed = divideHalfEven(asUnsigned(value) * kScale, divisor);
    return toSignedBits(divideHalfEven(fixed, kScale));
}

std::int32_t UnsignedMultiply(std::int32_t value, std::int32_t factor) {
    // Below 2^32 times at most 2^31 in magnitude: the product fits in 64 bits.
    return toSignedBits(asUnsigned(value) * factor);
}

std::int32_t UnsignedAddSubtract(std::int32_t a, std::int32_t b, bool subtract) {
    return toSignedBits(subtract ? asUnsigned(a) - asUnsigned(b) : asUnsigned(a) + asUnsigned(b));
}

} // namespace tw
