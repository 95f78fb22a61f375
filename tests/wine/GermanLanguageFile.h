// The German language file of the program (resources/languages/1031.loc),
// its bytes as they lie on disk, built into the tests.
#pragma once

#include <cstdint>
#include <vector>

namespace tw::winetests {

std::vector<std::uint8_t> GermanLanguageFile();

} // namespace tw::winetests
