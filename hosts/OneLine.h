// A refusal is one line on the terminal, whatever the user typed into it:
// control characters of an option or a file name (a newline, an escape
// sequence) are shown as "?".
#pragma once

#include <string>

namespace tw::hosts {

inline std::string OneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return text;
}

} // namespace tw::hosts
