// Unsigned 32-bit values held in signed 32-bit integers, as the platform hands
// them out: -1 stands for 4294967295 and everything from 2147483648 on is
// negative in the signed type. Texts, comparisons and arithmetic on such
// values go through these functions. The arithmetic is exact (fixed point
// with four decimal places); a result that leaves 0..4294967295 raises
// RuntimeError number 6 ("Overflow").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

// Decimal digits of the value read as unsigned: no sign, no separators.
std::u16string UnsignedToText(std::int32_t value);

// Reads a decimal number: blanks (spaces, tabs) around it, an optional sign,
// digits, and optionally decimalSign followed by digits (at least one digit in
// all). The number is held to four decimal places and rounded to a whole
// number, halves to the even neighbour. Anything else, the empty text, a
// negative number (also one between -1 and 0; "-0" is 0) and a number above
// 4294967295 raise RuntimeError 6. Grouping signs and exponents are refused.
std::int32_t TextToUnsigned(std::u16string_view text, char16_t decimalSign = u'.');

// Negative, zero or positive as a is below, equal to or above b (unsigned).
std::int32_t UnsignedCompare(std::int32_t a, std::int32_t b);

// The value (unsigned) divided by divisor. Below 2147483648 the quotient is
// cut toward zero; from 2147483648 on it is held to four decimal places and
// rounded to whole, halves to even (4294967295 / 86400 = 49710). Never fails
// for a positive divisor; 0 raises error 11, a negative quotient error 6.
std::int32_t UnsignedDivide(std::int32_t value, std::int32_t divisor);

// The exact product of the value (unsigned) and the factor; raises error 6
// when it leaves 0..4294967295.
std::int32_t UnsignedMultiply(std::int32_t value, std::int32_t factor);

// a + b, or a - b when subtract is set, both read as unsigned; raises error 6
// when the result leaves 0..4294967295.
std::int32_t UnsignedAddSubtract(std::int32_t a, std::int32_t b, bool subtract);

} // namespace tw
