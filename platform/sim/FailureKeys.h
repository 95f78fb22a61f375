// Failure injection keys: "Function", "Function.LEVEL", "Function#N" and
// "Function.LEVEL#N", N counted from 1.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw::sim {

// The key in canonical form (plain decimal numbers), or no value when it is
// malformed; `error` then says why.
std::optional<std::string> canonicalFailKey(std::string_view key,
                                            const std::vector<std::string_view>& functions,
                                            bool withLevels, std::string& error);

std::string failKey(std::string_view function, std::optional<std::uint32_t> level,
                    std::optional<std::uint32_t> call);

// The most specific rule for a call: F.L#N, then F#N, then F.L, then F.
// `callOfFunction` counts every call of F, `callOfLevel` every call of F at
// this level (both including the current one).
std::optional<std::uint32_t> findFailure(const std::map<std::string, std::uint32_t>& rules,
                                         std::string_view function,
                                         std::optional<std::uint32_t> level,
                                         std::uint32_t callOfFunction, std::uint32_t callOfLevel);

} // namespace tw::sim
