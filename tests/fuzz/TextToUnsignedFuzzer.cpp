// TextToUnsigned over any UTF-16 text (lone surrogates, NULs, millions of
// digits), checked against a plain model for the texts whose meaning is
// clear, and the other unsigned operations against 64-bit arithmetic.
#include "FuzzCheck.h"
#include "common/RuntimeError.h"
#include "common/UnsignedNumbers.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>

using namespace tw;
using tw::fuzz::Require;

namespace {

constexpr std::int64_t kMax = 0xFFFFFFFFLL;

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// Blanks, plain digits, blanks: the number, or nothing when it is above the range.
std::optional<std::optional<std::int64_t>> plainDigits(const std::u16string& text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    std::int64_t value = 0;
    bool big = false;
    const std::size_t first = i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > kMax) {
            big = true;
            value = kMax + 1; // stays above the range from here on
        }
    }
    if (i == first)
        return std::nullopt;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i != text.size())
        return std::nullopt;
    return big ? std::optional<std::int64_t>() : std::optional<std::int64_t>(value);
}

std::optional<std::int32_t> parse(const std::u16string& text, char16_t decimalSign) {
    try {
        return TextToUnsigned(text, decimalSign);
    } catch (const RuntimeError& error) {
        Require(error.Number == kErrOverflow, "TextToUnsigned raises only the overflow error");
        return std::nullopt;
    }
}

std::int64_t asUnsigned(std::int32_t v) {
    return static_cast<std::uint32_t>(v);
}

void checkArithmetic(std::int32_t a, std::int32_t b) {
    const std::int64_t ua = asUnsigned(a);
    const std::int64_t ub = asUnsigned(b);
    const std::int32_t order = UnsignedCompare(a, b);
    Require((order < 0) == (ua < ub) && (order == 0) == (ua == ub), "UnsignedCompare");
    const std::string digits = std::to_string(ua);
    Require(UnsignedToText(a) == std::u16string(digits.begin(), digits.end()), "UnsignedToText");
    for (const bool subtract : {false, true}) {
        const std::int64_t exact = subtract ? ua - ub : ua + ub;
        try {
            const std::int32_t sum = UnsignedAddSubtract(a, b, subtract);
            Require(exact >= 0 && exact <= kMax && asUnsigned(sum) == exact,
                    "UnsignedAddSubtract gives the exact result");
        } catch (const RuntimeError&) {
            Require(exact < 0 || exact > kMax, "UnsignedAddSubtract fails only out of range");
        }
    }
    const std::int64_t product = ua * static_cast<std::int64_t>(b);
    try {
        const std::int32_t result = UnsignedMultiply(a, b);
        Require(product >= 0 && product <= kMax && asUnsigned(result) == product,
                "UnsignedMultiply gives the exact product");
    } catch (const RuntimeError&) {
        Require(product < 0 || product > kMax, "UnsignedMultiply fails only out of range");
    }
    if (b > 0) {
        const std::int32_t quotient = UnsignedDivide(a, b); // never fails for b > 0
        if (a >= 0)
            Require(quotient == a / b, "UnsignedDivide below 2^31 cuts toward zero");
        else
            Require(asUnsigned(quotient) >= ua / b && asUnsigned(quotient) <= ua / b + 1,
                    "UnsignedDivide from 2^31 on rounds to a neighbour");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const char16_t decimalSign =
        in.ConsumeBool() ? (in.ConsumeBool() ? u'.' : u',') : in.ConsumeIntegral<char16_t>();
    const auto a = in.ConsumeIntegral<std::int32_t>();
    const auto b = in.ConsumeIntegral<std::int32_t>();
    checkArithmetic(a, b);

    std::u16string text;
    while (in.remaining_bytes() >= 2)
        text.push_back(in.ConsumeIntegral<char16_t>());

    const std::optional<std::int32_t> value = parse(text, decimalSign);
    if (value) {
        const std::optional<std::int32_t> again = parse(UnsignedToText(*value), decimalSign);
        Require(again && *again == *value, "a value read back from its own text");
    }
    if (const auto plain = plainDigits(text)) {
        if (*plain)
            Require(value && asUnsigned(*value) == **plain, "plain digits read as themselves");
        else
            Require(!value, "plain digits above 4294967295 are refused");
    }
    if (text.empty())
        Require(!value, "the empty text is refused");
    return 0;
}
