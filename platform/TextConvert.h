// Conversions at the program's edges: UTF-16 inside, UTF-8 for JSON and terminals.
#pragma once

#include <string>
#include <string_view>

namespace tw {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
// Whether `text` is well-formed UTF-8: no stray or missing continuation
// bytes, no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view text);
// Length of a NUL-terminated UTF-16 string; 0 for a null pointer (lstrlenW).
std::size_t WideLength(const char16_t* text);

// A Windows-style computer name from a host name: the first label, upper
// case, at most 15 characters.
std::string ComputerNameFromHost(const std::string& host);

} // namespace tw
