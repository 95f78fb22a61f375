// What a user does to the Qt window, delivered as real Qt input events to
// the real widgets: mouse presses and releases, key events with their text,
// the text box's context menu, the drop-down list's popup, the window's
// close. The widgets hand them to the model exactly as they hand a user's,
// so a scenario run through Qt obeys the same rules as one run headless.
#pragma once

#include "toolkit/IUserInput.h"

#include <QString>
#include <Qt>

class QPoint;
class QWidget;

namespace tw::toolkit {

class QtBackend;

struct KeyStroke {
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

class QtInput : public IUserInput {
public:
    explicit QtInput(QtBackend& backend) : backend_(backend) {}

    void Click(Control& control) override;
    // No single gesture moves the focus in Qt without doing more (a click
    // also places the caret or presses the button), so the focus moves as
    // Tab moves it: through the model, which the widgets then follow.
    void Focus(Control& control) override;
    void Key(int keyAscii) override;
    void Tab(bool backward) override;
    void KeyDown(int keyCode, int shift) override;
    // Right click, then the item in the context menu (a greyed one closes it).
    void ContextMenu(TextBox& box, EditCommand command) override;
    // A triple click: the line edit selects its whole text.
    void SelectAllWithMouse(TextBox& box) override;
    // The text on the system clipboard, then right click and Paste from the
    // context menu.
    void Paste(TextBox& box, const std::u16string& text) override;
    // Click on the list, then on the entry in its popup.
    void Select(ComboBox& list, int index) override;
    void MouseDown(Control& control, int button) override;
    void MouseUp(Control& control, int button) override;
    // Advances the backend's virtual clock, or runs the event loop that long.
    void Wait(int ms) override;
    void Close() override;

private:
    void Activate();
    void Settle();
    // A key pressed and released on the widget that has the keyboard.
    void SendKey(const KeyStroke& stroke);
    void SendMouse(QWidget* widget, int type, const QPoint& at, Qt::MouseButton button);

    QtBackend& backend_;
};

} // namespace tw::toolkit
