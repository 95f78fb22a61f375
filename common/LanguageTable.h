// The table of the language file: key to text, keys compared without regard
// to letter case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tw {

class LanguageTable {
public:
    // Replaces any entry whose key equals this one apart from case.
    void Set(std::u16string_view key, std::u16string value);
    // Null when the table has no such key.
    const std::u16string* Find(std::u16string_view key) const;
    std::size_t Count() const { return entries_.size(); }

    // Reads lines of key "=" value into the table (see LanguageTable.cpp).
    void ReadLines(std::u16string_view text);

private:
    std::unordered_map<std::u16string, std::u16string> entries_; // by folded key
};

} // namespace tw
