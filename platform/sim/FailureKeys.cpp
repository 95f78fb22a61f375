#include "FailureKeys.h"

#include <algorithm>

namespace tw::sim {

namespace {

bool parseDecimal(std::string_view text, std::uint32_t& out) {
    if (text.empty() || text.size() > 10)
        return false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFu)
        return false;
    out = static_cast<std::uint32_t>(value);
    return true;
}

} // namespace

std::string failKey(std::string_view function, std::optional<std::uint32_t> level,
                    std::optional<std::uint32_t> call) {
    std::string key(function);
    if (level)
        key += "." + std::to_string(*level);
    if (call)
        key += "#" + std::to_string(*call);
    return key;
}

std::optional<std::string> canonicalFailKey(std::string_view key,
                                            const std::vector<std::string_view>& functions,
                                            bool withLevels, std::string& error) {
    std::string_view rest = key;
    std::optional<std::uint32_t> call;
    if (auto hash = rest.find('#'); hash != std::string_view::npos) {
        std::uint32_t n = 0;
        if (!parseDecimal(rest.substr(hash + 1), n) || n == 0) {
            error = "expected a call number from 1 after \"#\"";
            return std::nullopt;
        }
        call = n;
        rest = rest.substr(0, hash);
    }
    std::optional<std::uint32_t> level;
    if (auto dot = rest.find('.'); dot != std::string_view::npos) {
        std::uint32_t n = 0;
        if (!withLevels) {
            error = "these functions have no levels";
            return std::nullopt;
        }
        if (!parseDecimal(rest.substr(dot + 1), n)) {
            error = "expected a level number after \".\"";
            return std::nullopt;
        }
        level = n;
        rest = rest.substr(0, dot);
    }
    if (std::find(functions.begin(), functions.end(), rest) == functions.end()) {
        error = "unknown function \"" + std::string(rest) + "\"";
        return std::nullopt;
    }
    return failKey(rest, level, call);
}

std::optional<std::uint32_t> findFailure(const std::map<std::string, std::uint32_t>& rules,
                                         std::string_view function,
                                         std::optional<std::uint32_t> level,
                                         std::uint32_t callOfFunction, std::uint32_t callOfLevel) {
    if (rules.empty())
        return std::nullopt;
    std::vector<std::string> candidates;
    if (level)
        candidates.push_back(failKey(function, level, callOfLevel));
    candidates.push_back(failKey(function, std::nullopt, callOfFunction));
    if (level)
        candidates.push_back(failKey(function, level, std::nullopt));
    candidates.push_back(failKey(function, std::nullopt, std::nullopt));
    for (const auto& candidate : candidates) {
        auto it = rules.find(candidate);
        if (it != rules.end())
            return it->second;
    }
    return std::nullopt;
}

} // namespace tw::sim
