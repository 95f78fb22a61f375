#include "Win32Input.h"

#include "toolkit/VirtualClock.h"

#include "Win32Clipboard.h"
#include "Win32Windows.h"

#include <algorithm>

namespace tw::toolkit {

namespace {

LPARAM At(POINT p) {
    return MAKELPARAM(p.x, p.y);
}

POINT Center(HWND hwnd) {
    RECT r{};
    ::GetClientRect(hwnd, &r);
    return {r.right / 2, r.bottom / 2};
}

// Where a click puts the caret before character `index` of an edit control.
POINT CaretPoint(HWND edit, int index) {
    RECT r{};
    ::GetClientRect(edit, &r);
    const LRESULT pos = ::SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    if (pos == -1)
        return {r.right - 1, r.bottom / 2}; // past the text
    const int x = static_cast<short>(LOWORD(pos));
    return {std::max(0, std::min(x, static_cast<int>(r.right) - 1)), r.bottom / 2};
}

void Press(HWND hwnd, POINT down, POINT up) {
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(down));
    if (::IsWindow(hwnd))
        ::SendMessageW(hwnd, WM_LBUTTONUP, 0, At(up));
}

} // namespace

void Win32Input::Click(Control& control) {
    const HWND hwnd = backend_.HandleOf(control);
    if (hwnd == nullptr)
        return;
    switch (control.Kind()) {
    case ControlKind::TextBox: {
        auto& box = static_cast<TextBox&>(control);
        // A click into the box that has the focus already changes nothing in the model.
        if (backend_.Model().ActiveControl() == &box)
            return;
        const POINT at = CaretPoint(hwnd, box.SelStart());
        Press(hwnd, at, at);
        break;
    }
    case ControlKind::ComboBox:
        Press(hwnd, Center(hwnd), Center(hwnd));
        // The list opened by the press closes again without a choice.
        if (::IsWindow(hwnd) && ::SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0))
            ::SendMessageW(hwnd, CB_SHOWDROPDOWN, FALSE, 0);
        break;
    default:
        Press(hwnd, Center(hwnd), Center(hwnd));
        break;
    }
    backend_.PumpMessages();
}

void Win32Input::Focus(Control& control) {
    switch (control.Kind()) {
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
        Click(control);
        return;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::CommandButton:
        if (const HWND hwnd = backend_.HandleOf(control)) {
            // Pressed, then released off the button: the focus moves, no click.
            Press(hwnd, Center(hwnd), POINT{-10, -10});
            backend_.PumpMessages();
        }
        return;
    default:
        return; // cannot take the focus
    }
}

void Win32Input::Key(int keyAscii) {
    Control* active = backend_.Model().ActiveControl();
    HWND hwnd = active ? backend_.HandleOf(*active) : backend_.Handle();
    if (hwnd == nullptr)
        hwnd = backend_.Handle();
    if (hwnd == nullptr)
        return;
    ::SendMessageW(hwnd, WM_CHAR, static_cast<WPARAM>(keyAscii), 1);
    backend_.PumpMessages();
}

void Win32Input::KeyDown(int keyCode, int shift) {
    Control* active = backend_.Model().ActiveControl();
    const HWND hwnd = active ? backend_.HandleOf(*active) : backend_.Handle();
    if (hwnd == nullptr)
        return;
    // Through the message loop, as a real key goes, with Shift, Ctrl and Alt
    // held as the keyboard state reports them. The model's key codes are
    // the virtual-key codes.
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    BYTE held[256] = {};
    std::copy(std::begin(keys), std::end(keys), std::begin(held));
    held[VK_SHIFT] = (shift & vbShiftMask) ? 0x80 : 0;
    held[VK_CONTROL] = (shift & vbCtrlMask) ? 0x80 : 0;
    held[VK_MENU] = (shift & vbAltMask) ? 0x80 : 0;
    ::SetKeyboardState(held);
    ::PostMessageW(hwnd, WM_KEYDOWN, static_cast<WPARAM>(keyCode), 1);
    ::PostMessageW(hwnd, WM_KEYUP, static_cast<WPARAM>(keyCode), 0xC0000001);
    backend_.PumpMessages();
    ::SetKeyboardState(keys);
}

void Win32Input::ContextMenu(TextBox& box, EditCommand command) {
    const HWND hwnd = backend_.HandleOf(box);
    if (hwnd == nullptr)
        return;
    // What the edit control's own menu sends for its items.
    switch (command) {
    case EditCommand::Cut:
        ::SendMessageW(hwnd, WM_CUT, 0, 0);
        break;
    case EditCommand::Copy:
        ::SendMessageW(hwnd, WM_COPY, 0, 0);
        break;
    case EditCommand::Paste:
        ::SendMessageW(hwnd, WM_PASTE, 0, 0);
        break;
    case EditCommand::Clear:
        ::SendMessageW(hwnd, WM_CLEAR, 0, 0);
        break;
    case EditCommand::SelectAll:
        ::SendMessageW(hwnd, EM_SETSEL, 0, -1);
        break;
    }
    backend_.PumpMessages();
}

void Win32Input::SelectAllWithMouse(TextBox& box) {
    const HWND hwnd = backend_.HandleOf(box);
    if (hwnd == nullptr)
        return;
    const POINT from = CaretPoint(hwnd, 0);
    RECT r{};
    ::GetClientRect(hwnd, &r);
    const POINT to{r.right + 20, r.bottom / 2}; // dragged past the end
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(from));
    if (::IsWindow(hwnd))
        ::SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, At(to));
    if (::IsWindow(hwnd))
        ::SendMessageW(hwnd, WM_LBUTTONUP, 0, At(to));
    backend_.PumpMessages();
}

void Win32Input::Paste(TextBox& box, const std::u16string& text) {
    const HWND hwnd = backend_.HandleOf(box);
    if (hwnd == nullptr || !WriteClipboardText(backend_.Handle(), text))
        return;
    ContextMenu(box, EditCommand::Paste);
}

void Win32Input::Select(ComboBox& list, int index) {
    const HWND hwnd = backend_.HandleOf(list);
    if (hwnd == nullptr)
        return;
    ::SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(::GetParent(hwnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hwnd), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(hwnd));
    backend_.PumpMessages();
}

void Win32Input::MouseDown(Control& control, int button) {
    if (const HWND hwnd = backend_.HandleOf(control)) {
        const UINT msg = button == vbRightButton ? WM_RBUTTONDOWN
                         : button == 4           ? WM_MBUTTONDOWN
                                                 : WM_LBUTTONDOWN;
        const WPARAM keys = button == vbRightButton ? MK_RBUTTON
                            : button == 4           ? MK_MBUTTON
                                                    : MK_LBUTTON;
        ::SendMessageW(hwnd, msg, keys, At(Center(hwnd)));
        backend_.PumpMessages();
    }
}

void Win32Input::MouseUp(Control& control, int button) {
    if (const HWND hwnd = backend_.HandleOf(control)) {
        const UINT msg = button == vbRightButton ? WM_RBUTTONUP
                         : button == 4           ? WM_MBUTTONUP
                                                 : WM_LBUTTONUP;
        ::SendMessageW(hwnd, msg, 0, At(Center(hwnd)));
        backend_.PumpMessages();
    }
}

void Win32Input::Wait(int ms) {
    if (backend_.UsesVirtualClock()) {
        backend_.Clock().Advance(ms);
        backend_.PumpMessages();
        return;
    }
    const ULONGLONG until = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
    for (;;) {
        backend_.PumpMessages();
        const ULONGLONG now = ::GetTickCount64();
        if (now >= until)
            break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now),
                                    QS_ALLINPUT);
    }
}

void Win32Input::Close() {
    if (const HWND hwnd = backend_.Handle()) {
        ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
        backend_.PumpMessages();
    }
}

void Win32Input::Tab(bool backward) {
    Control* active = backend_.Model().ActiveControl();
    HWND hwnd = active ? backend_.HandleOf(*active) : backend_.Handle();
    if (hwnd == nullptr)
        return;
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    const BYTE shift = keys[VK_SHIFT];
    keys[VK_SHIFT] = backward ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::PostMessageW(hwnd, WM_KEYDOWN, VK_TAB, 1);
    backend_.PumpMessages();
    keys[VK_SHIFT] = shift;
    ::SetKeyboardState(keys);
}

} // namespace tw::toolkit
