#include "JsonValues.h"

#include <cmath>
#include <regex>

namespace tw::scenario {

std::optional<std::int64_t> WholeNumber(const nlohmann::json& value) {
    if (value.is_number_integer())
        return value.get<std::int64_t>();
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (std::floor(d) == d && std::fabs(d) < 9.2e18)
            return static_cast<std::int64_t>(d);
        return std::nullopt;
    }
    if (value.is_string()) {
        const std::string text = value.get<std::string>();
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
            text.size() <= 18) {
            std::int64_t number = 0;
            for (std::size_t i = 2; i < text.size(); ++i) {
                const char c = text[i];
                int digit = -1;
                if (c >= '0' && c <= '9')
                    digit = c - '0';
                else if (c >= 'a' && c <= 'f')
                    digit = c - 'a' + 10;
                else if (c >= 'A' && c <= 'F')
                    digit = c - 'A' + 10;
                if (digit < 0)
                    return std::nullopt;
                number = number * 16 + digit;
            }
            return number;
        }
    }
    return std::nullopt;
}

namespace {

bool IsMatcher(const nlohmann::json& expected) {
    if (!expected.is_object() || expected.size() != 1)
        return false;
    const std::string key = expected.begin().key();
    return key == "startsWith" || key == "endsWith" || key == "contains" || key == "regex" ||
           key == "not";
}

bool SameNumber(const nlohmann::json& expected, const nlohmann::json& actual) {
    const auto a = WholeNumber(expected);
    const auto b = WholeNumber(actual);
    if (a && b) {
        // 32-bit values: -1 and 4294967295 are the same bits. Values beyond
        // 32 bits compare as they are.
        const bool in32a = *a >= INT32_MIN && *a <= UINT32_MAX;
        const bool in32b = *b >= INT32_MIN && *b <= UINT32_MAX;
        if (in32a && in32b)
            return static_cast<std::uint32_t>(*a) == static_cast<std::uint32_t>(*b);
        return *a == *b;
    }
    if (expected.is_number() && actual.is_number())
        return expected.get<double>() == actual.get<double>();
    return false;
}

} // namespace

bool Matches(const nlohmann::json& expected, const nlohmann::json& actual) {
    if (IsMatcher(expected)) {
        const std::string key = expected.begin().key();
        const nlohmann::json& operand = expected.begin().value();
        if (key == "not")
            return !Matches(operand, actual);
        if (!actual.is_string() || !operand.is_string())
            return false;
        const std::string text = actual.get<std::string>();
        const std::string part = operand.get<std::string>();
        if (key == "startsWith")
            return text.rfind(part, 0) == 0;
        if (key == "endsWith")
            return text.size() >= part.size() &&
                   text.compare(text.size() - part.size(), part.size(), part) == 0;
        if (key == "contains")
            return text.find(part) != std::string::npos;
        try {
            return std::regex_match(text, std::regex(part, std::regex::ECMAScript));
        } catch (const std::regex_error&) {
            return false;
        }
    }
    if ((expected.is_number() || expected.is_string()) &&
        (actual.is_number() || actual.is_string())) {
        if (expected.is_string() && actual.is_string())
            return expected == actual;
        return SameNumber(expected, actual);
    }
    if (expected.is_array() && actual.is_array()) {
        if (expected.size() != actual.size())
            return false;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (!Matches(expected[i], actual[i]))
                return false;
        }
        return true;
    }
    if (expected.is_object() && actual.is_object()) {
        if (expected.size() != actual.size())
            return false;
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            if (!actual.contains(it.key()) || !Matches(it.value(), actual.at(it.key())))
                return false;
        }
        return true;
    }
    return expected == actual;
}

std::string Show(const nlohmann::json& value) {
    std::string text = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (text.size() > 300)
        text = text.substr(0, 300) + "...";
    return text;
}

} // namespace tw::scenario
