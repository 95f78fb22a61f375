#include "LocArg.h"

#include <string>

namespace tw {

namespace {

std::u16string widen(const std::string& digits) {
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

std::u16string LocArg::signedDecimal(std::int64_t number) {
    return widen(std::to_string(number));
}

std::u16string LocArg::unsignedDecimal(std::uint64_t number) {
    return widen(std::to_string(number));
}

std::u16string FillPlaceholders(std::u16string_view text, std::span<const LocArg> args) {
    // Built into a new text rather than edited in place, so a long text with
    // many placeholders costs time in proportion to its length.
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t percent = text.find(u'%', pos);
        if (percent == std::u16string_view::npos || percent + 1 >= text.size()) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, percent - pos));
        const char16_t next = text[percent + 1];
        if (next == u'%') {
            out += u'%';
            pos = percent + 2;
        } else if (next >= u'1' && next <= u'9' &&
                   static_cast<std::size_t>(next - u'0') <= args.size()) {
            out.append(args[next - u'1'].Text());
            pos = percent + 2;
        } else {
            out += u'%';
            pos = percent + 1;
        }
    }
    return out;
}

} // namespace tw
