// The window: its controls in control order, the active control, and the
// user-input entry points that every backend feeds. The focus and validate
// rules live here, so a real click, Tab or keystroke behaves the same on
// every backend:
//   - before the focus moves to a control that causes validation, the old
//     control's Validate runs; a cancel keeps the focus and swallows the
//     click that moved it;
//   - LostFocus of the old control runs after the focus has moved, then
//     GotFocus of the new one;
//   - KeyPress runs before the control takes the key and can drop it; the
//     form's KeyDown runs before any control's key going down and can drop it;
//   - a disabled window, or a disabled or hidden control, takes no input.
#pragma once

#include "Application.h"
#include "Controls.h"
#include "IFormView.h"
#include "UserControl.h"

#include "platform/WinHandles.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tw::toolkit {

class Form {
public:
    explicit Form(Application& app) : app_(app) {}
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Application& App() const { return app_; }

    template <class T, class... Args> T& Add(std::string name, Args&&... args) {
        auto control = std::make_unique<T>(*this, std::move(name), std::forward<Args>(args)...);
        T& ref = *control;
        controls_.push_back(std::move(control));
        return ref;
    }
    // Controls of the form in control order (parts of user controls not included).
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
    // The controls of the form (`container` null) or of a user control, from
    // the back to the front: by layer, then as ZOrder placed them, then in
    // control order.
    std::vector<Control*> StackingOrder(const UserControl* container) const;
    // A control by name; "ctl.part" names a part of a user control.
    Control* Find(const std::string& name) const;

    const std::u16string& Caption() const { return caption_; }
    void SetCaption(const std::u16string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color c);
    Color ForeColor() const { return foreColor_; }
    void SetForeColor(Color c);
    const tw::toolkit::Font& Font() const { return font_; }
    void SetFont(const tw::toolkit::Font& font);
    // Client area in twips.
    float ScaleWidth() const { return scaleWidth_; }
    float ScaleHeight() const { return scaleHeight_; }
    void SetClientSize(float width, float height);

    Control* ActiveControl() const { return active_; }

    // The window system's handle of the window, set by the backend that shows
    // it (null until then). The program sends the window messages and
    // replaces its procedure through the platform with it.
    win::HWND Handle() const { return handle_; }
    void SetHandle(win::HWND handle) { handle_ = handle; }

    // Whether the window draws its keyboard cues: focus rectangles and
    // access-key underlines. A backend whose window system keeps no such
    // state per window shows them as this says; a real Win32 window follows
    // the WM_UPDATEUISTATE it is sent instead.
    bool KeyboardCues() const { return keyboardCues_; }
    void SetKeyboardCues(bool shown);

    void SetView(IFormView* view) { view_ = view; }
    IFormView* View() const { return view_; }

    // Shows the window and gives the focus to the first control in tab order
    // that can take it (GotFocus runs, no validation).
    void Show();

    // --- user input, as a backend or a scenario feeds it ---

    // Moves the focus to `target` (a click or Tab), running Validate on the
    // control that has it when `target` causes validation. False when the
    // focus did not move (cancelled, or the target cannot take it).
    bool UserFocus(Control& target);
    // A left click: focus first (a cancel swallows the click), then the
    // control's click: a check box toggles, an option button is selected, a
    // button or image raises Click.
    void UserClick(Control& target);
    // Tab or Shift+Tab from the active control, in tab order.
    void UserTab(bool backward);
    // One typed character into the text box that has the focus: KeyPress
    // first, then the character replaces the selection. Backspace deletes;
    // Enter in a single-line box beeps; Ctrl+A, Ctrl+C, Ctrl+V and Ctrl+X
    // (1, 3, 22, 24) select all, copy, paste and cut, after their KeyPress,
    // which can drop them.
    void UserChar(TextBox& box, int keyAscii);
    // A typed character to any control: a text box as UserChar; Space
    // clicks a button, check box or option button; in a drop-down list the
    // character chooses the entry it leads to (ComboBox::FindTyped).
    void UserCharTo(Control& control, int keyAscii);
    // A key that types no character, with the Shift, Ctrl and Alt keys held
    // (vbShiftMask...), to the control that has the focus; no KeyPress runs.
    // An arrow key (vbKeyLeft, vbKeyUp, vbKeyRight, vbKeyDown): an option
    // button moves the focus and the selection within its group (the option
    // buttons of its container), as a click does; a button or check box
    // passes the focus on in tab order; a list chooses the previous or next
    // entry; a text box moves its caret. In a text box Delete deletes,
    // Shift+Delete cuts, Ctrl+Insert copies and Shift+Insert pastes. The
    // function keys (vbKeyF1 to vbKeyF12) reach it from every control.
    // The form's KeyDown sees the key first (as with KeyPreview) and drops it
    // by setting KeyCode to 0. True when the key went on to the control: a
    // backend then lets the widget do its own part (F4 opens a list).
    bool UserKeyDown(Control& control, int keyCode, int shift = 0);
    // A key going down while no control has the focus: only the form's
    // KeyDown sees it, when the window takes input.
    void UserKeyDown(int keyCode, int shift = 0);
    // An editing command of the text box's context menu (focus first): no
    // KeyPress. A cut, a delete and a paste change the text (Change runs).
    void UserEdit(TextBox& box, EditCommand command);
    // The user selects the whole text with the mouse (no change event).
    void UserSelectAll(TextBox& box);
    // The user chooses a list entry.
    void UserSelect(ComboBox& list, int index);
    void UserMouseDown(Control& control, int button);
    void UserMouseUp(Control& control, int button);
    // The user closes the window: Unload, the window hides, then Terminate;
    // the program's one window is gone, so the program ends. A disabled
    // window cannot be closed (a busy operation is under way).
    void UserClose();

    // A key going down (UserKeyDown), before the control that has the focus
    // takes it: a function key from any control, an arrow key, Delete,
    // Insert. Setting KeyCode to 0 drops the key.
    std::function<void(int& KeyCode, int Shift)> KeyDown;
    std::function<void()> Unload;
    std::function<void()> Terminate;

    // Whether input can reach the control now.
    bool AcceptsInput(const Control& control) const;

    // The text on the clipboard now, as the view has it (nothing without a
    // view, or when the clipboard holds no text). Paste takes it; Copy and
    // Cut hand their text to the view.
    std::optional<std::u16string> ClipboardText() const;

    // Called by controls when a property changed.
    void NotifyChanged(Control& control, Property what);
    // A rank further from the middle than any given before (Control::ZOrder).
    long NextZRank() { return ++zRanks_; }
    // Called by an option button that became selected.
    void OptionSelected(OptionButton& selected);

private:
    void FormChanged(Property what);
    std::vector<Control*> TabOrder() const;
    // An editing command, once the input reached the box.
    void Edit(TextBox& box, EditCommand command);
    // Copy and Cut: the view puts the text on the system's clipboard.
    void PutOnClipboard(const std::u16string& text);
    // An edit typed into the box: Change sees TextBox::Typing.
    void TypeSelText(TextBox& box, const std::u16string& text);
    // The option button an arrow key leads to from `from`, or null.
    OptionButton* NextInGroup(OptionButton& from, bool backward) const;

    Application& app_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::u16string caption_;
    bool enabled_ = true;
    bool visible_ = false;
    Color backColor_ = SystemColor(15);
    Color foreColor_ = SystemColor(18);
    tw::toolkit::Font font_;
    float scaleWidth_ = 0;
    float scaleHeight_ = 0;
    Control* active_ = nullptr;
    win::HWND handle_ = nullptr;
    bool keyboardCues_ = false;
    // The control that took the last mouse press keeps the mouse until the
    // release, as a window with the capture does, even if it hides meanwhile.
    Control* mouseCapture_ = nullptr;
    IFormView* view_ = nullptr;
    long zRanks_ = 0;
};

} // namespace tw::toolkit
