// A user at the Win32 window: every action is sent as the real window
// messages a mouse, keyboard or context menu would produce, to the real
// controls, so scenarios through this backend pass the same input paths as a
// person does and obey the same rules as the headless model.
#pragma once

#include "toolkit/IUserInput.h"

#include "Win32Backend.h"

namespace tw::toolkit {

class Win32Input final : public IUserInput {
public:
    // Wait lets the backend's virtual time pass when it has one; else real time.
    explicit Win32Input(Win32Backend& backend) : backend_(backend) {}

    // A press and release at the control's centre; into a text box, at the
    // model's caret, so the caret stays where the model has it.
    void Click(Control& control) override;
    // A text box or list: a click. A button: pressed, then released off it.
    void Focus(Control& control) override;
    // The character, as the keyboard's WM_CHAR, to the window with the focus.
    void Key(int keyAscii) override;
    void KeyDown(int keyCode, int shift) override;
    // The message the edit control's menu sends for the item.
    void ContextMenu(TextBox& box, EditCommand command) override;
    // A drag from the first character to the end.
    void SelectAllWithMouse(TextBox& box) override;
    // The text onto the clipboard, then the context menu's WM_PASTE.
    void Paste(TextBox& box, const std::u16string& text) override;
    // The list's selection moves and it notifies its parent, as a choice in
    // the open list does.
    void Select(ComboBox& list, int index) override;
    void MouseDown(Control& control, int button) override;
    void MouseUp(Control& control, int button) override;
    void Wait(int ms) override;
    // The close box: WM_CLOSE.
    void Close() override;

    // Through the message loop, with Shift held as the keyboard state says.
    void Tab(bool backward) override;

private:
    Win32Backend& backend_;
};

} // namespace tw::toolkit
