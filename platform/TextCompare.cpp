#include "TextCompare.h"

namespace tw {

char16_t FoldCase(char16_t c) {
    // Names compare as Windows compares them: both sides in upper case.
    if (c >= u'a' && c <= u'z')
        return static_cast<char16_t>(c - 0x20);
    if (c < 0xE0)
        return c;
    if ((c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) ||
        (c >= 0x430 && c <= 0x44F))
        return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<char16_t>(c - 0x50);
    if (c >= 0x100 && c <= 0x17E) {
        // Latin Extended-A pairs upper and lower case on neighbouring code
        // points, odd for lower case, except where the pairs shift by one;
        // dotted/dotless i, kra and the n with apostrophe have no partner.
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x178)
            return c;
        const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool lower = shifted ? (c % 2 == 0) : (c % 2 == 1);
        return lower ? static_cast<char16_t>(c - 1) : c;
    }
    return c;
}

std::u16string FoldCase(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        c = FoldCase(c);
    return out;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

std::u16string TrimSpaces(std::u16string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return std::u16string(text.substr(begin, end - begin));
}

} // namespace tw
