// QtInputRouter: mouse, keys and list choices of each kind of control.
#include "QtInputRouter.h"

#include "QtBackend.h"
#include "QtConvert.h"
#include "QtWidgets.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace tw::toolkit {

namespace {

int ButtonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return vbLeftButton;
    case Qt::RightButton:
        return vbRightButton;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

bool IsPress(const QEvent* event) {
    return event->type() == QEvent::MouseButtonPress ||
           event->type() == QEvent::MouseButtonDblClick;
}

bool IsMouse(const QEvent* event) {
    return IsPress(event) || event->type() == QEvent::MouseButtonRelease ||
           event->type() == QEvent::MouseMove;
}

// Keys that only move the caret or the selection in an edit control.
bool IsCaretKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

// An arrow key's code for the model, or 0.
int ArrowKeyCode(int key) {
    switch (key) {
    case Qt::Key_Left:
        return vbKeyLeft;
    case Qt::Key_Up:
        return vbKeyUp;
    case Qt::Key_Right:
        return vbKeyRight;
    case Qt::Key_Down:
        return vbKeyDown;
    default:
        return 0;
    }
}

// Keys with which a closed drop-down list changes its choice or opens, and
// which Qt carries out itself (the choice comes back through activated).
bool IsListKey(int key) {
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_F4:
    case Qt::Key_Space:
        return true;
    default:
        return false;
    }
}

// A function key's code for the model (vbKeyF1 to vbKeyF12), or 0. With
// Alt held a function key is the window system's (Alt+F4 closes).
int FunctionKeyCode(const QKeyEvent* event) {
    const int key = event->key();
    if (key < Qt::Key_F1 || key > Qt::Key_F12 || (event->modifiers() & Qt::AltModifier))
        return 0;
    return vbKeyF1 + (key - Qt::Key_F1);
}

int HeldKeys(const QKeyEvent* event) {
    const auto mods = event->modifiers();
    return ((mods & Qt::ShiftModifier) ? vbShiftMask : 0) |
           ((mods & Qt::ControlModifier) ? vbCtrlMask : 0) |
           ((mods & Qt::AltModifier) ? vbAltMask : 0);
}

// The character code of a key that is not an editing command: Enter,
// Escape, Backspace or typed text (first character), else 0.
int CharacterOf(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty() || text[0].unicode() < 32 || text[0].unicode() == 127)
        return 0;
    return text[0].unicode();
}

} // namespace

QtInputRouter::QtInputRouter(QtBackend& backend) : backend_(backend) {}

Form& QtInputRouter::Model() const {
    return backend_.Model();
}

void QtInputRouter::Attach(Control& control, QWidget* widget) {
    widget->installEventFilter(this);
    if (control.Kind() == ControlKind::TextBox) {
        auto& box = static_cast<TextBox&>(control);
        auto* edit = static_cast<ModelLineEdit*>(widget);
        edit->UserMovedSelection = [this, &box, edit] { TakeSelection(box, edit); };
        // Nothing but the model may change the text; should Qt ever do it
        // (an input method, say), the model's text is shown again.
        connect(edit, &QLineEdit::textEdited, this,
                [this, &box] { backend_.ControlChanged(box, Property::Text); });
    } else if (control.Kind() == ControlKind::ComboBox) {
        auto& list = static_cast<ComboBox&>(control);
        auto* combo = static_cast<QComboBox*>(widget);
        connect(combo, &QComboBox::activated, this,
                [this, &list, combo](int index) { ListChosen(list, combo, index); });
        // The opened list has the keyboard while it shows.
        combo->view()->installEventFilter(this);
        openLists_[combo->view()] = &list;
    }
}

bool QtInputRouter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == backend_.Window()) {
        if (event->type() == QEvent::ApplicationPaletteChange)
            backend_.RefreshColors(); // system colours follow the desktop, as on Windows
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (const int code = FunctionKeyCode(key)) {
                // The window itself has the keyboard: the key goes to the
                // control the model gives the focus, or to the form alone.
                if (Control* active = Model().ActiveControl())
                    Model().UserKeyDown(*active, code, HeldKeys(key));
                else
                    Model().UserKeyDown(code, HeldKeys(key));
                return true;
            }
            return TabKey(key);
        }
        return false;
    }
    if (const auto open = openLists_.find(watched); open != openLists_.end()) {
        if (event->type() == QEvent::KeyPress)
            return OnOpenListKey(*open->second, static_cast<QKeyEvent*>(event));
        return false;
    }
    Control* control = backend_.ControlOf(watched);
    if (control == nullptr)
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::KeyPress && TabKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::KeyPress && FunctionKey(*control, static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::Shortcut) {
        // An access key (Alt+letter) on a button: focus and click, through the model.
        if (qobject_cast<QAbstractButton*>(widget) != nullptr)
            Model().UserClick(*control);
        return true;
    }
    switch (control->Kind()) {
    case ControlKind::CommandButton:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
        if (IsMouse(event))
            return OnButtonMouse(*control, widget, static_cast<QMouseEvent*>(event));
        if (event->type() == QEvent::KeyPress)
            return OnButtonKey(*control, static_cast<QKeyEvent*>(event));
        return event->type() == QEvent::KeyRelease;
    case ControlKind::TextBox: {
        auto& box = static_cast<TextBox&>(*control);
        if (IsMouse(event))
            return OnTextBoxMouse(box, static_cast<QMouseEvent*>(event));
        if (event->type() == QEvent::KeyPress)
            return OnTextBoxKey(box, static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::ContextMenu) {
            // Only here is the widget surely a whole line edit: the filter also
            // sees the events a widget gets while it is being destroyed.
            ShowContextMenu(box, static_cast<QLineEdit*>(widget),
                            static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        if (event->type() == QEvent::InputMethod) {
            const QString committed = static_cast<QInputMethodEvent*>(event)->commitString();
            for (QChar ch : committed)
                Model().UserChar(box, ch.unicode());
            return true;
        }
        return false;
    }
    case ControlKind::ComboBox: {
        auto& list = static_cast<ComboBox&>(*control);
        if (IsMouse(event))
            return OnComboMouse(list, static_cast<QMouseEvent*>(event));
        if (event->type() == QEvent::Wheel)
            return !Model().AcceptsInput(list) || Model().ActiveControl() != &list;
        if (event->type() == QEvent::KeyPress)
            return OnComboKey(list, static_cast<QKeyEvent*>(event));
        return false;
    }
    case ControlKind::Image:
    case ControlKind::Label:
        if (IsMouse(event))
            return OnPassiveMouse(*control, static_cast<QMouseEvent*>(event));
        return false;
    case ControlKind::UserControl:
        // The surface around a user control's parts takes no input of its own.
        return IsMouse(event);
    default:
        return false;
    }
}

bool QtInputRouter::TabKey(QKeyEvent* event) {
    const int key = event->key();
    if (key != Qt::Key_Tab && key != Qt::Key_Backtab)
        return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    Model().UserTab(key == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier));
    return true;
}

bool QtInputRouter::FunctionKey(Control& control, QKeyEvent* event) {
    const int code = FunctionKeyCode(event);
    if (code == 0)
        return false;
    // The form's KeyDown first, from whichever control has the focus; a key
    // it let through goes on to the control's own handling (F4 opens a list).
    return !Model().UserKeyDown(control, code, HeldKeys(event));
}

bool QtInputRouter::OnButtonMouse(Control& control, QWidget* widget, QMouseEvent* event) {
    auto* button = static_cast<QAbstractButton*>(widget);
    if (event->type() != QEvent::MouseMove && event->button() != Qt::LeftButton)
        return true; // only the left button presses a button
    Form& form = Model();
    if (IsPress(event)) {
        // The focus moves at the press, with validation; a cancel swallows the click.
        form.UserMouseDown(control, vbLeftButton);
        const bool taken = form.AcceptsInput(control) && form.ActiveControl() == &control;
        pressed_ = taken ? &control : nullptr;
        button->setDown(taken);
    } else if (event->type() == QEvent::MouseMove) {
        if (pressed_ == &control)
            button->setDown(widget->rect().contains(event->position().toPoint()));
    } else { // release
        const bool clicked =
            pressed_ == &control && widget->rect().contains(event->position().toPoint());
        pressed_ = nullptr;
        button->setDown(false);
        form.UserMouseUp(control, vbLeftButton);
        if (clicked)
            form.UserClick(control);
    }
    return true;
}

bool QtInputRouter::OnButtonKey(Control& control, QKeyEvent* event) {
    Form& form = Model();
    const int key = event->key();
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return true;
    if (const int arrow = ArrowKeyCode(key)) {
        // Within an option group, or on to the next control: the model's rule.
        form.UserKeyDown(control, arrow);
        return true;
    }
    if (event->isAutoRepeat() && key == Qt::Key_Space)
        return true;
    if (const int code = CharacterOf(event))
        form.UserCharTo(control, code); // Space clicks the control
    return true;
}

bool QtInputRouter::OnTextBoxMouse(TextBox& box, QMouseEvent* event) {
    Form& form = Model();
    const int button = ButtonCode(event->button());
    if (event->type() == QEvent::MouseMove) {
        // Dragging a selection: only after a press the model took.
        return !form.AcceptsInput(box) || form.ActiveControl() != &box;
    }
    if (IsPress(event)) {
        form.UserMouseDown(box, button);
        if (!form.AcceptsInput(box) || form.ActiveControl() != &box)
            return true; // refused (validation cancelled, window disabled)
    } else {
        form.UserMouseUp(box, button);
        if (!form.AcceptsInput(box) || form.ActiveControl() != &box)
            return true;
    }
    // The left button places the caret or selects (Qt does it, the model takes
    // the result over); the middle button's paste of the X selection is not
    // the Windows edit control's.
    return event->button() != Qt::LeftButton;
}

bool QtInputRouter::OnTextBoxKey(TextBox& box, QKeyEvent* event) {
    Form& form = Model();
    const int key = event->key();
    const auto mods = event->modifiers();
    const bool ctrl = (mods & Qt::ControlModifier) != 0;
    const bool alt = (mods & Qt::AltModifier) != 0;
    const bool shift = (mods & Qt::ShiftModifier) != 0;
    if (IsCaretKey(key) && !alt) {
        // Qt moves the caret; the line edit reports the result to the model.
        return !form.AcceptsInput(box) || form.ActiveControl() != &box;
    }
    if (key == Qt::Key_Delete || key == Qt::Key_Insert) {
        // Delete, Shift+Delete (cut), Ctrl+Insert (copy), Shift+Insert
        // (paste): commands that type no character, so no key press.
        const int keyCode = key == Qt::Key_Delete ? vbKeyDelete : vbKeyInsert;
        const int held =
            (shift ? vbShiftMask : 0) | (ctrl ? vbCtrlMask : 0) | (alt ? vbAltMask : 0);
        form.UserKeyDown(box, keyCode, held);
        return true;
    }
    if (ctrl && !alt) {
        // Ctrl+A, Ctrl+C, Ctrl+V and Ctrl+X type their control characters,
        // which the key press sees first.
        switch (key) {
        case Qt::Key_A:
            form.UserChar(box, vbKeyCtrlA);
            break;
        case Qt::Key_C:
            form.UserChar(box, vbKeyCtrlC);
            break;
        case Qt::Key_V:
            form.UserChar(box, vbKeyCtrlV);
            break;
        case Qt::Key_X:
            form.UserChar(box, vbKeyCtrlX);
            break;
        default:
            break; // undo, word deletion...: not the model's, so nothing
        }
        return true;
    }
    if (alt && !ctrl)
        return true;
    if (const int code = CharacterOf(event)) {
        form.UserChar(box, code);
        for (qsizetype i = 1; i < event->text().size(); ++i)
            form.UserChar(box, event->text()[i].unicode());
    }
    return true;
}

bool QtInputRouter::OnComboMouse(ComboBox& list, QMouseEvent* event) {
    Form& form = Model();
    if (event->type() == QEvent::MouseMove)
        return false;
    const int button = ButtonCode(event->button());
    if (IsPress(event)) {
        form.UserMouseDown(list, button);
        if (!form.AcceptsInput(list) || form.ActiveControl() != &list)
            return true;
    } else {
        form.UserMouseUp(list, button);
    }
    // The left button opens the list; the choice comes back through activated.
    return event->button() != Qt::LeftButton;
}

bool QtInputRouter::OnComboKey(ComboBox& list, QKeyEvent* event) {
    Form& form = Model();
    const int key = event->key();
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    const bool alt = (event->modifiers() & Qt::AltModifier) != 0;
    const int arrow = ArrowKeyCode(key);
    if (!ctrl && ((IsListKey(key) && !alt) || (alt && (arrow == vbKeyUp || arrow == vbKeyDown))))
        return !form.AcceptsInput(list) || form.ActiveControl() != &list; // Qt opens or moves
    if (!ctrl && !alt) {
        if (arrow != 0)
            form.UserKeyDown(list, arrow);
        else if (const int code = CharacterOf(event))
            form.UserCharTo(list, code); // finds the entry typed
    }
    return true;
}

bool QtInputRouter::OnOpenListKey(ComboBox& list, QKeyEvent* event) {
    // Typed characters choose through the model, as in the closed list;
    // Qt moves the highlight and takes Enter and Escape itself.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const int code = CharacterOf(event);
    if (code < 32)
        return false;
    Model().UserCharTo(list, code);
    return true;
}

bool QtInputRouter::OnPassiveMouse(Control& control, QMouseEvent* event) {
    Form& form = Model();
    const int button = ButtonCode(event->button());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (button != 0)
            form.UserMouseDown(control, button);
        break;
    case QEvent::MouseButtonRelease:
        if (button != 0)
            form.UserMouseUp(control, button);
        break;
    default:
        // A double click's second press is reported as a double click, not as
        // another press; its release still comes.
        break;
    }
    return true;
}

void QtInputRouter::TakeSelection(TextBox& box, QLineEdit* edit) {
    if (backend_.Mirroring())
        return;
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    box.SyncSelection(start, edit->selectionLength());
}

void QtInputRouter::ListChosen(ComboBox& list, QComboBox* combo, int index) {
    if (backend_.Mirroring())
        return;
    Model().UserSelect(list, index);
    // The model may have refused the choice: the list shows the model's.
    if (combo->currentIndex() != list.ListIndex())
        backend_.ControlChanged(list, Property::ListIndex);
}

} // namespace tw::toolkit
