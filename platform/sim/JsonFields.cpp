#include "JsonFields.h"

#include "platform/TextConvert.h"

#include <limits>

namespace tw::sim::json {

void fail(const std::string& where, const std::string& what) {
    throw MachineError(where + ": " + what);
}

std::string describe(const Json& value) {
    std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (text.size() > 60)
        text = text.substr(0, 57) + "...";
    return text;
}

std::string child(const std::string& where, std::string_view key) {
    return where + "." + std::string(key);
}

std::string element(const std::string& where, std::size_t index) {
    return where + "[" + std::to_string(index) + "]";
}

void requireObject(const Json& value, const std::string& where) {
    if (!value.is_object())
        fail(where, "expected an object, found " + describe(value));
}

void requireArray(const Json& value, const std::string& where) {
    if (!value.is_array())
        fail(where, "expected an array, found " + describe(value));
}

void checkFields(const Json& object, const std::string& where,
                 std::initializer_list<std::string_view> known) {
    for (const auto& [key, value] : object.items()) {
        bool found = false;
        for (auto name : known)
            found = found || name == key;
        if (!found)
            fail(child(where, key), "unknown field");
    }
}

namespace {

bool parseHex(std::string_view text, std::uint64_t& out) {
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return false;
    std::uint64_t value = 0;
    for (std::size_t i = 2; i < text.size(); ++i) {
        char c = text[i];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFu)
            return false;
    }
    out = value;
    return true;
}

// The number's bits at `bits` width, or false when it does not fit.
bool readBits(const Json& value, int bits, std::uint64_t& out) {
    const std::uint64_t maxUnsigned = (std::uint64_t{1} << bits) - 1;
    const std::int64_t minSigned = -(std::int64_t{1} << (bits - 1));
    if (value.is_number_unsigned()) {
        out = value.get<std::uint64_t>();
        return out <= maxUnsigned;
    }
    std::int64_t signedValue = 0;
    if (value.is_number_integer()) {
        signedValue = value.get<std::int64_t>();
    } else if (value.is_number_float()) {
        double d = value.get<double>();
        if (!(d >= static_cast<double>(minSigned) && d <= static_cast<double>(maxUnsigned)) ||
            d != static_cast<double>(static_cast<std::int64_t>(d)))
            return false;
        signedValue = static_cast<std::int64_t>(d);
    } else if (value.is_string()) {
        return parseHex(value.get_ref<const std::string&>(), out) && out <= maxUnsigned;
    } else {
        return false;
    }
    if (signedValue < minSigned || signedValue > static_cast<std::int64_t>(maxUnsigned))
        return false;
    out = static_cast<std::uint64_t>(signedValue) & maxUnsigned;
    return true;
}

} // namespace

std::uint32_t readU32(const Json& value, const std::string& where) {
    std::uint64_t bits = 0;
    if (!readBits(value, 32, bits))
        fail(where, "expected a 32-bit number, found " + describe(value));
    return static_cast<std::uint32_t>(bits);
}

std::uint16_t readU16(const Json& value, const std::string& where) {
    std::uint64_t bits = 0;
    if (!readBits(value, 16, bits))
        fail(where, "expected a 16-bit number, found " + describe(value));
    return static_cast<std::uint16_t>(bits);
}

std::uint8_t readByte(const Json& value, const std::string& where) {
    std::uint64_t bits = 0;
    if (value.is_number() && value.is_number_integer() && value.get<std::int64_t>() < 0)
        fail(where, "expected a byte (0 to 255), found " + describe(value));
    if (!readBits(value, 8, bits))
        fail(where, "expected a byte (0 to 255), found " + describe(value));
    return static_cast<std::uint8_t>(bits);
}

bool parseU32Text(std::string_view text, std::uint32_t& out) {
    std::uint64_t value = 0;
    if (parseHex(text, value)) {
        out = static_cast<std::uint32_t>(value);
        return true;
    }
    bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 10)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (negative ? value > 0x80000000u : value > 0xFFFFFFFFu)
        return false;
    out = static_cast<std::uint32_t>(negative ? (~value + 1) : value);
    return true;
}

bool readBool(const Json& value, const std::string& where) {
    if (!value.is_boolean())
        fail(where, "expected true or false, found " + describe(value));
    return value.get<bool>();
}

std::u16string readText(const Json& value, const std::string& where) {
    if (!value.is_string())
        fail(where, "expected a string, found " + describe(value));
    return FromUtf8(value.get_ref<const std::string&>());
}

} // namespace tw::sim::json
