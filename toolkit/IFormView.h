// What a toolkit backend implements to mirror the model into real widgets.
#pragma once

#include "Types.h"

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
};

} // namespace tw::toolkit
