#include "LanguageTable.h"

#include "platform/TextCompare.h"

#include <utility>

namespace tw {

namespace {

std::u16string_view trimSpaces(std::u16string_view text) {
    const auto first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos)
        return {};
    const auto last = text.find_last_not_of(u' ');
    return text.substr(first, last - first + 1);
}

} // namespace

void LanguageTable::Set(std::u16string_view key, std::u16string value) {
    entries_.insert_or_assign(FoldCase(key), std::move(value));
}

const std::u16string* LanguageTable::Find(std::u16string_view key) const {
    const auto it = entries_.find(FoldCase(key));
    return it == entries_.end() ? nullptr : &it->second;
}

// Lines end with CR LF, LF or CR. The first "=" splits a line; key and value
// are trimmed of spaces (tabs stay). A line without "=", with an empty key or
// with a key that begins with ";" (a comment) is skipped; a later line with
// the same key wins. Every character is looked at a bounded number of times,
// so a huge line or binary junk costs time in proportion to its size.
void LanguageTable::ReadLines(std::u16string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(u"\r\n", start);
        if (end == std::u16string_view::npos)
            end = text.size();
        const std::u16string_view line = text.substr(start, end - start);
        start = end + 1;
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n')
            ++start;

        const auto equals = line.find(u'=');
        if (equals == std::u16string_view::npos)
            continue;
        const std::u16string_view key = trimSpaces(line.substr(0, equals));
        if (key.empty() || key.front() == u';')
            continue;
        Set(key, std::u16string(trimSpaces(line.substr(equals + 1))));
    }
}

} // namespace tw
