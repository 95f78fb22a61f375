// Reading machine descriptions: typed field readers that name the place of
// every error ("machine.system.major: expected a 32-bit number, found true").
#pragma once

#include "MachineDescription.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tw::sim::json {

using Json = nlohmann::json;

[[noreturn]] void fail(const std::string& where, const std::string& what);
// The value as it appears in JSON, shortened when long.
std::string describe(const Json& value);

std::string child(const std::string& where, std::string_view key);
std::string element(const std::string& where, std::size_t index);

void requireObject(const Json& value, const std::string& where);
void requireArray(const Json& value, const std::string& where);
// Fails on the first field not in `known`.
void checkFields(const Json& object, const std::string& where,
                 std::initializer_list<std::string_view> known);

// A JSON number or a hexadecimal string "0x..."; negative values down to the
// smallest signed value of that width stand for the same bits.
std::uint32_t readU32(const Json& value, const std::string& where);
std::uint16_t readU16(const Json& value, const std::string& where);
std::uint8_t readByte(const Json& value, const std::string& where);
// The same forms, read from a text (object keys such as message numbers).
bool parseU32Text(std::string_view text, std::uint32_t& out);
bool readBool(const Json& value, const std::string& where);
std::u16string readText(const Json& value, const std::string& where);

// Reads `object[key]` into `target` when present.
template <typename T, typename Reader>
void readOptional(const Json& object, std::string_view key, const std::string& where, T& target,
                  Reader reader) {
    auto it = object.find(std::string(key));
    if (it != object.end())
        target = reader(*it, child(where, key));
}

// Reads an array whose elements each `reader` reads, naming each element's place.
template <typename T, typename Reader>
std::vector<T> readArrayOf(const Json& value, const std::string& where, Reader reader) {
    requireArray(value, where);
    std::vector<T> items;
    items.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i)
        items.push_back(reader(value[i], element(where, i)));
    return items;
}

} // namespace tw::sim::json
