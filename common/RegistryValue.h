// A tagged value as the registry layer reads and writes it: one kind plus
// one payload. Reads produce only Empty, Long, String, StringArray and
// ByteArray; writes accept the kinds below and refuse the rest.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tw {

enum class ValueKind {
    Empty,
    Null,
    Integer, // 16-bit
    Long,    // 32-bit
    Single,
    Double,
    Currency,
    Boolean,
    Byte,
    Date,
    String,
    StringArray,
    ByteArray,
    Object,
    Error,
    Decimal,
    VariantArray,
};

struct RegistryValue {
    ValueKind kind = ValueKind::Empty;
    // int32_t for Integer, Long, Byte; double for Single, Double, Currency,
    // Date, Decimal; bool for Boolean; texts and bytes for the rest.
    std::variant<std::monostate, std::int32_t, double, bool, std::u16string,
                 std::vector<std::u16string>, std::vector<std::uint8_t>>
        data;

    static RegistryValue Empty() { return {}; }
    static RegistryValue Null() { return {ValueKind::Null, std::monostate{}}; }
    static RegistryValue Long(std::int32_t v) { return {ValueKind::Long, v}; }
    static RegistryValue Integer(std::int16_t v) {
        return {ValueKind::Integer, static_cast<std::int32_t>(v)};
    }
    static RegistryValue Byte(std::uint8_t v) {
        return {ValueKind::Byte, static_cast<std::int32_t>(v)};
    }
    static RegistryValue Double(double v) { return {ValueKind::Double, v}; }
    static RegistryValue Single(float v) { return {ValueKind::Single, static_cast<double>(v)}; }
    static RegistryValue Currency(double v) { return {ValueKind::Currency, v}; }
    static RegistryValue Date(double serial) { return {ValueKind::Date, serial}; }
    static RegistryValue Boolean(bool v) { return {ValueKind::Boolean, v}; }
    static RegistryValue String(std::u16string v) { return {ValueKind::String, std::move(v)}; }
    static RegistryValue StringArray(std::vector<std::u16string> v) {
        return {ValueKind::StringArray, std::move(v)};
    }
    static RegistryValue ByteArray(std::vector<std::uint8_t> v) {
        return {ValueKind::ByteArray, std::move(v)};
    }
    static RegistryValue Of(ValueKind kind) { return {kind, std::monostate{}}; }

    bool operator==(const RegistryValue&) const = default;
};

} // namespace tw
