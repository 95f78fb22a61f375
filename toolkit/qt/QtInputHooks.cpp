#include "QtInputHooks.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace tw::toolkit {

namespace {

// Windows virtual-key codes of the keys that have one and whose Qt code is
// not already the same number (letters and digits are).
int MappedKey(int key) {
    switch (key) {
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Shift:
        return 0x10;
    case Qt::Key_Control:
        return 0x11;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return 0x12;
    case Qt::Key_Pause:
        return 0x13;
    case Qt::Key_CapsLock:
        return 0x14;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    case Qt::Key_Meta:
        return 0x5B;
    case Qt::Key_Menu:
        return 0x5D;
    case Qt::Key_Plus:
        return 0xBB;
    case Qt::Key_Comma:
        return 0xBC;
    case Qt::Key_Minus:
        return 0xBD;
    case Qt::Key_Period:
        return 0xBE;
    default:
        if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
            return 0x70 + (key - Qt::Key_F1);
        return 0xFF;
    }
}

int ButtonKey(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 0x01;
    case Qt::RightButton:
        return 0x02;
    case Qt::MiddleButton:
        return 0x04;
    default:
        return 0;
    }
}

} // namespace

QtInputHooks::QtInputHooks(QtInputHookCallbacks callbacks) : callbacks_(std::move(callbacks)) {
    QCoreApplication::instance()->installEventFilter(this);
}

QtInputHooks::~QtInputHooks() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

int QtInputHooks::VirtualKey(const QKeyEvent& event) {
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;
    return MappedKey(key);
}

bool QtInputHooks::eventFilter(QObject* watched, QEvent* event) {
    // Input reaches its top-level window once and is then handed on to the
    // widget: looking at windows only sees each event once, as a hook does.
    if (!watched->isWindowType())
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (callbacks_.keyEvent)
            callbacks_.keyEvent(VirtualKey(static_cast<const QKeyEvent&>(*event)),
                                event->type() == QEvent::KeyRelease);
        break;
    case QEvent::MouseMove:
        if (callbacks_.mouseMove) {
            const QPoint at = static_cast<const QMouseEvent&>(*event).globalPosition().toPoint();
            callbacks_.mouseMove(at.x(), at.y());
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (callbacks_.mouseButton) {
            const int key = ButtonKey(static_cast<const QMouseEvent&>(*event).button());
            if (key != 0)
                callbacks_.mouseButton(key, event->type() == QEvent::MouseButtonPress);
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace tw::toolkit
