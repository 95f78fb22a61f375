// The toolkit without a screen: a virtual clock drives the timers, the
// application services only record, and user input goes straight to the
// model. Serves the unit tests and the scenario runner.
#pragma once

#include "../Application.h"
#include "../Form.h"
#include "../IFormView.h"
#include "../IUserInput.h"
#include "../VirtualClock.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tw::toolkit {

class HeadlessBackend : public IFormView, public IAppBackend {
public:
    // `longDatePicture` is the user's long date format, as "dddd, MMMM d, yyyy".
    explicit HeadlessBackend(std::u16string longDatePicture = u"dddd, MMMM d, yyyy")
        : longDatePicture_(std::move(longDatePicture)) {}

    // IFormView
    void ControlChanged(Control& control, Property what) override;
    void FormChanged(Property) override {}
    void FocusChanged(Control*) override {}
    // A clipboard of its own, in memory: no other program shares it.
    std::optional<std::u16string> ClipboardText() override { return clipboard_; }
    void SetClipboardText(const std::u16string& text) override { clipboard_ = text; }
    // What another program copies that is no text (an image).
    void PutNonTextOnClipboard() { clipboard_.reset(); }

    // IAppBackend
    void ShowMousePointer(MousePointer) override {}
    void DoEvents() override { ++doEventsPasses_; }
    void ShowMessageBox(const MessageBoxRecord&) override {}
    void Beep() override {}
    std::u16string FormatLongDate(double serial) override;
    void End() override {}
    std::int64_t Milliseconds() override { return clock_.Now(); }

    VirtualClock& Clock() { return clock_; }
    int DoEventsPasses() const { return doEventsPasses_; }

    // The handle a window without a screen goes by, the same every run, so
    // that the program can address it through a simulated window system.
    static win::HWND WindowHandle() { return reinterpret_cast<win::HWND>(std::uintptr_t{0xA0010}); }
    void SetLongDatePicture(std::u16string picture) { longDatePicture_ = std::move(picture); }

private:
    std::u16string longDatePicture_;
    std::optional<std::u16string> clipboard_;
    VirtualClock clock_;
    int doEventsPasses_ = 0;
};

// User input delivered straight to the model.
class HeadlessInput : public IUserInput {
public:
    HeadlessInput(Form& form, VirtualClock& clock) : form_(form), clock_(clock) {}
    void Click(Control& control) override { form_.UserClick(control); }
    void Focus(Control& control) override { form_.UserFocus(control); }
    void Key(int keyAscii) override;
    void KeyDown(int keyCode, int shift) override;
    void ContextMenu(TextBox& box, EditCommand command) override { form_.UserEdit(box, command); }
    void Tab(bool backward) override { form_.UserTab(backward); }
    void SelectAllWithMouse(TextBox& box) override { form_.UserSelectAll(box); }
    // Copied in another program, then pasted through the context menu.
    void Paste(TextBox& box, const std::u16string& text) override {
        if (form_.View() != nullptr)
            form_.View()->SetClipboardText(text);
        form_.UserEdit(box, EditCommand::Paste);
    }
    void Select(ComboBox& list, int index) override { form_.UserSelect(list, index); }
    void MouseDown(Control& control, int button) override { form_.UserMouseDown(control, button); }
    void MouseUp(Control& control, int button) override { form_.UserMouseUp(control, button); }
    void Wait(int ms) override { clock_.Advance(ms); }
    void Close() override { form_.UserClose(); }

private:
    Form& form_;
    VirtualClock& clock_;
};

} // namespace tw::toolkit
