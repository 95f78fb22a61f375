// Reading scenario values: numbers may be JSON numbers or hexadecimal strings,
// 32-bit values signed or unsigned.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace tw::scenario {

// A whole number from a JSON number or a "0x..." string; nullopt otherwise.
std::optional<std::int64_t> WholeNumber(const nlohmann::json& value);
// Whether two values are equal as scenarios compare them: numbers as 32-bit
// values (signed and unsigned forms equal), texts exactly, arrays and objects
// element by element; an expected object may be a matcher (startsWith,
// endsWith, contains, regex, not).
bool Matches(const nlohmann::json& expected, const nlohmann::json& actual);
// Compact JSON for messages.
std::string Show(const nlohmann::json& value);

} // namespace tw::scenario
