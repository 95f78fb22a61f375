#include "QtInput.h"

#include "QtBackend.h"
#include "QtConvert.h"
#include "QtInputRouter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

namespace tw::toolkit {

namespace {

Qt::MouseButton QtButton(int button) {
    switch (button) {
    case vbLeftButton:
        return Qt::LeftButton;
    case vbRightButton:
        return Qt::RightButton;
    case 4:
        return Qt::MiddleButton;
    default:
        return Qt::NoButton;
    }
}

// The key a user presses to type a character code.
KeyStroke StrokeFor(int keyAscii) {
    const QString text(QChar(static_cast<char16_t>(keyAscii)));
    switch (keyAscii) {
    case vbKeyBack:
        return {Qt::Key_Backspace, Qt::NoModifier, text};
    case 9:
        return {Qt::Key_Tab, Qt::NoModifier, text};
    case vbKeyReturn:
        return {Qt::Key_Return, Qt::NoModifier, text};
    case vbKeyEscape:
        return {Qt::Key_Escape, Qt::NoModifier, text};
    case 32:
        return {Qt::Key_Space, Qt::NoModifier, text};
    default:
        break;
    }
    if (keyAscii >= 1 && keyAscii <= 26) // Ctrl+A .. Ctrl+Z
        return {Qt::Key_A + keyAscii - 1, Qt::ControlModifier, text};
    if (keyAscii >= 'a' && keyAscii <= 'z')
        return {Qt::Key_A + keyAscii - 'a', Qt::NoModifier, text};
    if (keyAscii >= 'A' && keyAscii <= 'Z')
        return {Qt::Key_A + keyAscii - 'A', Qt::ShiftModifier, text};
    if (keyAscii > 32 && keyAscii < 127)
        return {keyAscii, Qt::NoModifier, text}; // Qt's key codes are the ASCII codes
    return {Qt::Key_unknown, Qt::NoModifier, text};
}

// A key that types nothing (an arrow key, Delete, Insert, a function key),
// with the keys held.
KeyStroke StrokeForKeyCode(int keyCode, int shift) {
    Qt::KeyboardModifiers held = Qt::NoModifier;
    if (shift & vbShiftMask)
        held |= Qt::ShiftModifier;
    if (shift & vbCtrlMask)
        held |= Qt::ControlModifier;
    if (shift & vbAltMask)
        held |= Qt::AltModifier;
    switch (keyCode) {
    case vbKeyLeft:
        return {Qt::Key_Left, held, {}};
    case vbKeyUp:
        return {Qt::Key_Up, held, {}};
    case vbKeyRight:
        return {Qt::Key_Right, held, {}};
    case vbKeyDown:
        return {Qt::Key_Down, held, {}};
    case vbKeyInsert:
        return {Qt::Key_Insert, held, {}};
    case vbKeyDelete:
        return {Qt::Key_Delete, held, {}};
    default:
        break;
    }
    if (keyCode >= vbKeyF1 && keyCode <= vbKeyF12)
        return {Qt::Key_F1 + (keyCode - vbKeyF1), held, {}};
    return {Qt::Key_unknown, held, {}};
}

// The object name of the context menu's item for a command.
QString MenuItemOf(EditCommand command) {
    switch (command) {
    case EditCommand::Cut:
        return QStringLiteral("cut");
    case EditCommand::Copy:
        return QStringLiteral("copy");
    case EditCommand::Paste:
        return QStringLiteral("paste");
    case EditCommand::Clear:
        return QStringLiteral("delete");
    case EditCommand::SelectAll:
    default:
        return QStringLiteral("selectAll");
    }
}

} // namespace

void QtInput::Activate() {
    QWidget* window = backend_.Window();
    if (!window->isVisible() || window->isActiveWindow())
        return;
    // Keyboard focus only works in the active window (also offscreen).
    window->activateWindow();
    QCoreApplication::processEvents();
    if (!window->isActiveWindow())
        QApplication::setActiveWindow(window);
}

void QtInput::Settle() {
    QCoreApplication::processEvents();
}

void QtInput::SendMouse(QWidget* widget, int type, const QPoint& at, Qt::MouseButton button) {
    const auto eventType = static_cast<QEvent::Type>(type);
    const Qt::MouseButtons held = eventType == QEvent::MouseButtonRelease ? Qt::NoButton
                                  : eventType == QEvent::MouseMove        ? Qt::NoButton
                                                                          : button;
    QMouseEvent event(eventType, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void QtInput::Click(Control& control) {
    QWidget* widget = backend_.WidgetOf(control);
    if (widget == nullptr)
        return;
    Activate();
    const QPoint centre = widget->rect().center();
    SendMouse(widget, QEvent::MouseButtonPress, centre, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, centre, Qt::LeftButton);
    Settle();
}

void QtInput::Focus(Control& control) {
    Activate();
    backend_.Model().UserFocus(control);
    Settle();
}

void QtInput::Key(int keyAscii) {
    SendKey(StrokeFor(keyAscii));
}

void QtInput::Tab(bool backward) {
    SendKey(backward ? KeyStroke{Qt::Key_Backtab, Qt::ShiftModifier, {}}
                     : KeyStroke{Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")});
}

void QtInput::KeyDown(int keyCode, int shift) {
    SendKey(StrokeForKeyCode(keyCode, shift));
}

void QtInput::SendKey(const KeyStroke& stroke) {
    Activate();
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        Control* active = backend_.Model().ActiveControl();
        target = active != nullptr ? backend_.WidgetOf(*active) : nullptr;
    }
    if (target == nullptr)
        target = backend_.Window();
    QKeyEvent press(QEvent::KeyPress, stroke.key, stroke.modifiers, stroke.text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, stroke.key, stroke.modifiers, stroke.text);
    QApplication::sendEvent(target, &release);
    Settle();
}

void QtInput::SelectAllWithMouse(TextBox& box) {
    QWidget* widget = backend_.WidgetOf(box);
    if (widget == nullptr)
        return;
    Activate();
    const QPoint at = widget->rect().center();
    SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonDblClick, at, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton);
    Settle();
}

void QtInput::Paste(TextBox& box, const std::u16string& text) {
    // Copied in another program, then pasted here.
    QGuiApplication::clipboard()->setText(ToQString(text));
    ContextMenu(box, EditCommand::Paste);
}

void QtInput::ContextMenu(TextBox& box, EditCommand command) {
    QWidget* widget = backend_.WidgetOf(box);
    if (widget == nullptr)
        return;
    Activate();
    const QPoint at = widget->rect().center();
    SendMouse(widget, QEvent::MouseButtonPress, at, Qt::RightButton);
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::RightButton);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &menuEvent);
    Settle();
    QMenu* menu = backend_.Router().OpenContextMenu();
    if (menu == nullptr)
        return;
    QAction* item = menu->findChild<QAction*>(MenuItemOf(command));
    if (item != nullptr && item->isEnabled()) {
        const QPoint place = menu->actionGeometry(item).center();
        SendMouse(menu, QEvent::MouseMove, place, Qt::NoButton);
        SendMouse(menu, QEvent::MouseButtonPress, place, Qt::LeftButton);
        SendMouse(menu, QEvent::MouseButtonRelease, place, Qt::LeftButton);
    } else {
        menu->close(); // a greyed item: nothing happens
    }
    Settle();
}

void QtInput::Select(ComboBox& list, int index) {
    auto* combo = qobject_cast<QComboBox*>(backend_.WidgetOf(list));
    if (combo == nullptr)
        return;
    Click(list);
    QAbstractItemView* view = combo->view();
    if (!view->isVisible())
        return; // the model refused the press: no popup
    const QModelIndex entry = combo->model()->index(index, combo->modelColumn());
    if (!entry.isValid()) {
        combo->hidePopup();
        Settle();
        return;
    }
    view->scrollTo(entry);
    QWidget* viewport = view->viewport();
    const QPoint at = view->visualRect(entry).center();
    SendMouse(viewport, QEvent::MouseMove, at, Qt::NoButton);
    SendMouse(viewport, QEvent::MouseButtonPress, at, Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseButtonRelease, at, Qt::LeftButton);
    Settle();
}

void QtInput::MouseDown(Control& control, int button) {
    if (QWidget* widget = backend_.WidgetOf(control)) {
        Activate();
        SendMouse(widget, QEvent::MouseButtonPress, widget->rect().center(), QtButton(button));
        Settle();
    }
}

void QtInput::MouseUp(Control& control, int button) {
    if (QWidget* widget = backend_.WidgetOf(control)) {
        SendMouse(widget, QEvent::MouseButtonRelease, widget->rect().center(), QtButton(button));
        Settle();
    }
}

void QtInput::Wait(int ms) {
    if (backend_.UsesVirtualClock()) {
        backend_.Clock().Advance(ms);
        Settle();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void QtInput::Close() {
    backend_.Window()->close();
    Settle();
}

} // namespace tw::toolkit
