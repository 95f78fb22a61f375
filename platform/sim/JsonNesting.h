// JSON read from files is parsed and walked by recursive code, so a text
// nested deeper than any description needs is refused before it is parsed:
// a file of a million "[" must be an error, not a stack overflow.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tw::sim {

constexpr int kJsonNestingLimit = 64;

// Why `text` is nested too deep ("nested deeper than 64 levels at byte N"),
// counting the brackets and braces outside strings; nothing when it is not.
// Syntax is left to the parser.
std::optional<std::string> CheckJsonNesting(std::string_view text, int limit = kJsonNestingLimit);

} // namespace tw::sim
