#include "KeyNames.h"

#include "platform/TextConvert.h"
#include "toolkit/Types.h"

namespace tw::scenario {

using namespace tw::toolkit;

namespace {

constexpr KeyStroke Typed(int character) {
    return {character, 0, 0};
}

constexpr KeyStroke Pressed(int keyCode, int shift = 0) {
    return {0, keyCode, shift};
}

// Every key with a name; any other single character is typed as it is.
constexpr std::pair<const char*, KeyStroke> kKeys[] = {
    {"Enter", Typed(vbKeyReturn)},
    {"Backspace", Typed(vbKeyBack)},
    {"Escape", Typed(vbKeyEscape)},
    {"Ctrl+A", Typed(vbKeyCtrlA)},
    {"Ctrl+C", Typed(vbKeyCtrlC)},
    {"Ctrl+V", Typed(vbKeyCtrlV)},
    {"Ctrl+X", Typed(vbKeyCtrlX)},
    {"Left", Pressed(vbKeyLeft)},
    {"Up", Pressed(vbKeyUp)},
    {"Right", Pressed(vbKeyRight)},
    {"Down", Pressed(vbKeyDown)},
    {"Delete", Pressed(vbKeyDelete)},
    {"Shift+Delete", Pressed(vbKeyDelete, vbShiftMask)},
    {"Ctrl+Insert", Pressed(vbKeyInsert, vbCtrlMask)},
    {"Shift+Insert", Pressed(vbKeyInsert, vbShiftMask)},
    {"F1", Pressed(vbKeyF1)},
    {"F2", Pressed(vbKeyF1 + 1)},
    {"F3", Pressed(vbKeyF1 + 2)},
    {"F4", Pressed(vbKeyF1 + 3)},
    {"F5", Pressed(vbKeyF5)},
    {"F6", Pressed(vbKeyF1 + 5)},
    {"F7", Pressed(vbKeyF1 + 6)},
    {"F8", Pressed(vbKeyF1 + 7)},
    {"F9", Pressed(vbKeyF1 + 8)},
    {"F10", Pressed(vbKeyF1 + 9)},
    {"F11", Pressed(vbKeyF1 + 10)},
    {"F12", Pressed(vbKeyF12)},
};

} // namespace

std::optional<KeyStroke> KeyNamed(const std::string& name) {
    for (const auto& [keyName, stroke] : kKeys) {
        if (name == keyName)
            return stroke;
    }
    const std::u16string character = FromUtf8(name);
    if (character.size() == 1)
        return Typed(character[0]);
    return std::nullopt;
}

} // namespace tw::scenario
