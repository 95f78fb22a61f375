// Windows compares account, computer, registry key, variable and file names
// without regard to case. The simulation folds ASCII, Latin-1, Greek and
// Cyrillic letters, which covers every name a scenario uses.
#pragma once

#include <string>
#include <string_view>

namespace tw::sim {

char16_t foldChar(char16_t c);
std::u16string foldCase(std::u16string_view text);
bool sameName(std::u16string_view a, std::u16string_view b);

} // namespace tw::sim
