// The keys a scenario presses by name ("Enter", "Ctrl+V", "Left", "F5", or a
// single character): what each one sends to the window.
#pragma once

#include <optional>
#include <string>

namespace tw::scenario {

// A typed character (the key press sees it), or a key that types none and
// only goes down, with the keys held with it.
struct KeyStroke {
    int character = 0; // KeyAscii; 0 for a key that types nothing
    int keyCode = 0;   // vbKeyLeft ... when character is 0
    int shift = 0;     // vbShiftMask, vbCtrlMask held with keyCode
};

// The key of that name, or nullopt when no key has it.
std::optional<KeyStroke> KeyNamed(const std::string& name);

} // namespace tw::scenario
