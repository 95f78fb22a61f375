// Keys and values of the simulated registry: paths, look-up without regard to
// case, creation, and the place of the 32-bit view.
#pragma once

#include "MachineDescription.h"

#include <string>
#include <string_view>
#include <vector>

namespace tw::sim {

using KeyPath = std::vector<std::u16string>;

// "SOFTWARE\\Microsoft" -> {"SOFTWARE", "Microsoft"}; empty parts are skipped.
KeyPath splitKeyPath(std::u16string_view path);
std::u16string joinKeyPath(std::u16string_view root, const KeyPath& path);

// Where a path of HKLM lies in the 32-bit view: HKLM\SOFTWARE\X is kept at
// HKLM\SOFTWARE\WOW6432Node\X; every other key is shared by both views.
KeyPath toView32(const KeyPath& hklmPath);
bool isRedirected(const KeyPath& hklmPath);

const RegKey* findKey(const RegKey& root, const KeyPath& path);
RegKey* findKey(RegKey& root, const KeyPath& path);
// The deepest existing key on the path and how many parts of it exist.
RegKey& deepestKey(RegKey& root, const KeyPath& path, std::size_t& depth);
// Creates every missing key of the path; the first creation decides the
// letter case a key keeps.
RegKey& createKey(RegKey& root, const KeyPath& path);

const RegValue* findValue(const RegKey& key, std::u16string_view name);
void setValue(RegKey& key, RegValue value);
bool deleteValue(RegKey& key, std::u16string_view name);

// Stored forms of the description's data kinds.
std::vector<std::uint8_t> dwordBytes(std::uint32_t value);
std::vector<std::uint8_t> textBytes(std::u16string_view text);
std::vector<std::uint8_t> textsBytes(const std::vector<std::u16string>& texts);

} // namespace tw::sim
