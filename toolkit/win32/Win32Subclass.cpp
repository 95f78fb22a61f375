// Real input into the model. The standard controls are subclassed so that a
// press, a key or a paste goes to the model's input entry points first; the
// controls never change their own text, check state or selection on their
// own, the model's answer is mirrored back into them.
#include "toolkit/IUserInput.h"

#include "Win32Impl.h"

namespace tw::toolkit {

namespace {

constexpr UINT_PTR kSubclassId = 1;

bool KeyDown(int key) {
    return ::GetKeyState(key) < 0;
}

bool Inside(HWND hwnd, LPARAM lp) {
    RECT r{};
    ::GetClientRect(hwnd, &r);
    const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    return ::PtInRect(&r, at) != FALSE;
}

} // namespace

LRESULT CALLBACK Win32Backend::Impl::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                                  UINT_PTR, DWORD_PTR ref) {
    auto* cw = reinterpret_cast<ControlWindow*>(ref);
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &SubclassProc, kSubclassId);
        cw->impl->WindowGone(*cw);
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    }
    if (LRESULT answer = 0; msg == WM_GETOBJECT && AnswerGetObject(hwnd, wp, lp, answer))
        return answer;
    switch (cw->control->Kind()) {
    case ControlKind::TextBox:
        return cw->impl->EditMessage(*cw, msg, wp, lp);
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::CommandButton:
        return cw->impl->ButtonMessage(*cw, msg, wp, lp);
    case ControlKind::ComboBox:
        return cw->impl->ComboMessage(*cw, msg, wp, lp);
    default:
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    }
}

// --- text boxes ---

void Win32Backend::Impl::SyncSelection(ControlWindow& cw) {
    if (cw.hwnd == nullptr || mirroring_ > 0)
        return;
    DWORD start = 0, end = 0;
    ::SendMessageW(cw.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    // Caret moves and selections are no change of the text: no change event,
    // and the edit keeps its own caret end (no echo back).
    syncing_ = cw.control;
    static_cast<TextBox&>(*cw.control)
        .SyncSelection(static_cast<int>(start), static_cast<int>(end - start));
    syncing_ = nullptr;
}

LRESULT Win32Backend::Impl::EditMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp) {
    const HWND hwnd = cw.hwnd;
    auto& box = static_cast<TextBox&>(*cw.control);
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_CONTEXTMENU: {
        // Focus first, with validation; a refused focus swallows the press.
        const bool arriving = form_.ActiveControl() != &box;
        const int selStart = box.SelStart(), selLength = box.SelLength();
        if (!form_.UserFocus(box) || cw.hwnd == nullptr)
            return 0;
        if (arriving && msg != WM_CONTEXTMENU &&
            (box.SelStart() != selStart || box.SelLength() != selLength)) {
            // The program chose the selection as the focus arrived (GotFocus
            // selecting the whole text): it stands, the press places no caret.
            const LRESULT result = ::DefSubclassProc(hwnd, msg, wp, lp);
            if (cw.hwnd != nullptr)
                MirrorSelection(cw);
            return result;
        }
        break;
    }
    case WM_CHAR:
        form_.UserChar(box, static_cast<int>(wp));
        return 0;
    case WM_KEYDOWN:
        if (wp == VK_DELETE || wp == VK_INSERT) {
            // Delete, Shift+Delete (cut), Ctrl+Insert (copy), Shift+Insert
            // (paste): commands that type no character, so no key press.
            const int held = (KeyDown(VK_SHIFT) ? vbShiftMask : 0) |
                             (KeyDown(VK_CONTROL) ? vbCtrlMask : 0) |
                             (KeyDown(VK_MENU) ? vbAltMask : 0);
            form_.UserKeyDown(box, static_cast<int>(wp), held);
            return 0;
        }
        // The edit control would select all at Ctrl+A going down (Wine's
        // does), past the key press; the character it types (1) selects
        // through the model, after KeyPress.
        if (wp == 'A' && KeyDown(VK_CONTROL) && !KeyDown(VK_MENU))
            return 0;
        break;
    // The context menu's items.
    case WM_CUT:
        form_.UserEdit(box, EditCommand::Cut);
        return 0;
    case WM_COPY:
        form_.UserEdit(box, EditCommand::Copy);
        return 0;
    case WM_PASTE:
        form_.UserEdit(box, EditCommand::Paste);
        return 0;
    case WM_CLEAR:
        form_.UserEdit(box, EditCommand::Clear);
        return 0;
    case EM_SETSEL:
        if (mirroring_ == 0 && wp == 0 && lp == -1) { // Select All
            form_.UserEdit(box, EditCommand::SelectAll);
            return 0;
        }
        break;
    case WM_UNDO:
    case EM_UNDO:
        return 0; // the model keeps no undo
    default:
        break;
    }
    const LRESULT result = ::DefSubclassProc(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_CONTEXTMENU:
    case WM_KEYDOWN:
    case WM_KEYUP:
        SyncSelection(cw);
        break;
    case WM_MOUSEMOVE:
        if ((wp & MK_LBUTTON) != 0)
            SyncSelection(cw);
        break;
    default:
        break;
    }
    return result;
}

// --- check boxes, option buttons, push buttons ---

LRESULT Win32Backend::Impl::ButtonMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp) {
    const HWND hwnd = cw.hwnd;
    Control& control = *cw.control;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        cw.armed = false;
        if (!form_.AcceptsInput(control))
            return 0;
        // The focus moves at the press, with validation; a cancel swallows the click.
        cw.pressed = vbLeftButton;
        form_.UserMouseDown(control, vbLeftButton);
        if (cw.hwnd == nullptr || form_.ActiveControl() != &control)
            return 0;
        cw.armed = true;
        break; // the button shows itself pressed and takes the mouse
    case WM_LBUTTONUP: {
        const bool pressed = cw.pressed != 0, armed = cw.armed;
        cw.pressed = 0;
        cw.armed = false;
        const bool inside = Inside(hwnd, lp);
        // The button draws itself released; its own notification is not used.
        const LRESULT result = ::DefSubclassProc(hwnd, msg, wp, lp);
        if (pressed)
            form_.UserMouseUp(control, vbLeftButton);
        if (armed && inside)
            form_.UserClick(control); // released over the button: a click
        return result;
    }
    case WM_CHAR:
        // Space clicks through the model (key press first).
        form_.UserCharTo(control, static_cast<int>(wp));
        return 0;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

// --- drop-down lists ---

LRESULT Win32Backend::Impl::ComboMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp) {
    const HWND hwnd = cw.hwnd;
    Control& control = *cw.control;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!form_.UserFocus(control) || cw.hwnd == nullptr)
            return 0;
        break;
    case WM_CHAR:
        // Key press first, then the model finds the entry typed; the list's
        // own search would answer differently, so it never sees the key.
        form_.UserCharTo(control, static_cast<int>(wp));
        return 0;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace tw::toolkit
