// What a user does to the window, as one backend delivers it: the headless
// backend calls the model directly, the Qt and Win32 backends send real
// input events to their real widgets, which feed the model.
#pragma once

#include "Controls.h"

#include <string>

namespace tw::toolkit {

class IUserInput {
public:
    virtual ~IUserInput() = default;
    // A left click (focus first, with validation).
    virtual void Click(Control& control) = 0;
    // Moves the focus to the control (Tab or click), with validation.
    virtual void Focus(Control& control) = 0;
    // One key, as a character code, to the control that has the focus.
    virtual void Key(int keyAscii) = 0;
    // A key that types no character (an arrow key, Delete, Insert, a
    // function key: vbKeyLeft ...) with the Shift, Ctrl and Alt keys held
    // (vbShiftMask...), to the control that has the focus, or to the window
    // when none has it.
    virtual void KeyDown(int keyCode, int shift) = 0;
    // An item of a text box's context menu (Cut, Copy, Paste, Delete, Select
    // All): focus first, no key press.
    virtual void ContextMenu(TextBox& box, EditCommand command) = 0;
    // The Tab key, or Shift+Tab when backward.
    virtual void Tab(bool backward) = 0;
    // Selects the whole text of a text box with the mouse (no key press).
    virtual void SelectAllWithMouse(TextBox& box) = 0;
    // Pastes through the text box's context menu (no key press).
    virtual void Paste(TextBox& box, const std::u16string& text) = 0;
    // Chooses a list entry.
    virtual void Select(ComboBox& list, int index) = 0;
    virtual void MouseDown(Control& control, int button) = 0;
    virtual void MouseUp(Control& control, int button) = 0;
    // Lets time pass; the window's timers tick.
    virtual void Wait(int ms) = 0;
    // Closes the window.
    virtual void Close() = 0;
};

} // namespace tw::toolkit
