// Text comparison and trimming the way the program's logic needs them.
#pragma once

#include <string>
#include <string_view>

namespace tw {

// Letter case folded for comparisons without regard to case (Latin, Greek,
// Cyrillic letters of the Basic Multilingual Plane).
char16_t FoldCase(char16_t c);
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);
std::u16string FoldCase(std::u16string_view text);
// Leading and trailing space characters removed; tabs and other blanks stay.
std::u16string TrimSpaces(std::u16string_view text);

} // namespace tw
