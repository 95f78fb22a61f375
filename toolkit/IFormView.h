// What a toolkit backend implements to mirror the model into real widgets,
// and the system services the model asks of it (the clipboard).
#pragma once

#include "Types.h"

#include <optional>
#include <string>

namespace tw::toolkit {

class Control;
class Form;

class IFormView {
public:
    virtual ~IFormView() = default;
    // A property of a control changed.
    virtual void ControlChanged(Control& control, Property what) = 0;
    // A property of the form itself changed (caption, enabled, visible, colours, font).
    virtual void FormChanged(Property what) = 0;
    // The model moved the focus.
    virtual void FocusChanged(Control* control) = 0;
    // The window's keyboard cues were turned on or off (Form::KeyboardCues).
    virtual void KeyboardCuesChanged() {}
    // The clipboard the window shares with other programs, asked each time:
    // its text, or nothing when it holds no text (an image, or nothing).
    virtual std::optional<std::u16string> ClipboardText() = 0;
    // Puts the text on the clipboard in place of whatever it held.
    virtual void SetClipboardText(const std::u16string& text) = 0;
};

} // namespace tw::toolkit
