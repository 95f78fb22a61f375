// Real input from the Qt widgets to the window model. An event filter on
// every widget turns presses, keys, the context menu and list choices into
// the model's user-input calls, and stops Qt wherever Qt would change a
// widget's state itself: what the widgets show always comes from the model.
#pragma once

#include "toolkit/Form.h"

#include <QMenu>
#include <QObject>
#include <QPointer>

#include <unordered_map>

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QMouseEvent;
class QWidget;

namespace tw::toolkit {

class QtBackend;

class QtInputRouter : public QObject {
    Q_OBJECT
public:
    explicit QtInputRouter(QtBackend& backend);

    // Starts routing the input of a control's widget.
    void Attach(Control& control, QWidget* widget);

    // The context menu open on a text box, or null.
    QMenu* OpenContextMenu() const { return menu_.data(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form& Model() const;
    bool OnButtonMouse(Control& control, QWidget* widget, QMouseEvent* event);
    bool OnButtonKey(Control& control, QKeyEvent* event);
    bool OnTextBoxMouse(TextBox& box, QMouseEvent* event);
    bool OnTextBoxKey(TextBox& box, QKeyEvent* event);
    bool OnComboMouse(ComboBox& list, QMouseEvent* event);
    bool OnComboKey(ComboBox& list, QKeyEvent* event);
    bool OnOpenListKey(ComboBox& list, QKeyEvent* event);
    bool OnPassiveMouse(Control& control, QMouseEvent* event);
    void ShowContextMenu(TextBox& box, QLineEdit* edit, const QPoint& globalPos);
    void TakeSelection(TextBox& box, QLineEdit* edit);
    void ListChosen(ComboBox& list, QComboBox* combo, int index);
    bool TabKey(QKeyEvent* event);
    // A function key to the model; true when it ends there.
    bool FunctionKey(Control& control, QKeyEvent* event);

    QtBackend& backend_;
    // The button the left mouse button went down on, while it is down.
    Control* pressed_ = nullptr;
    QPointer<QMenu> menu_;
    // The popup view of each drop-down list, to its list.
    std::unordered_map<const QObject*, ComboBox*> openLists_;
};

} // namespace tw::toolkit
