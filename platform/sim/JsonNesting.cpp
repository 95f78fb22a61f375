#include "JsonNesting.h"

namespace tw::sim {

std::optional<std::string> CheckJsonNesting(std::string_view text, int limit) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i; // the escaped character, a quote included
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return "nested deeper than " + std::to_string(limit) + " levels at byte " +
                       std::to_string(i + 1);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return std::nullopt;
}

} // namespace tw::sim
