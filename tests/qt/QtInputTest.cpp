// Real Qt input reaches the model through the widgets and obeys the model's
// rules: validation, key press first, one toggle per click, and no widget
// changes behind the model's back. Input the model refuses, in a disabled
// window too: the shared suites (UserInput, WindowMirror) on Qt.
#include "QtTestWindow.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QtTest/QTest>

namespace tw::toolkit::test {

namespace {

void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(widget, &release);
}

} // namespace

TEST_F(QtWindowTest, CaretKeysMoveTheModelSelectionAndNoKeyEditsBehindIt) {
    t.txtServer.SetText(u"one two");
    w->input.Focus(t.txtServer);
    t.events.clear();
    QWidget* edit = WidgetOf(t.txtServer);
    t.txtServer.SetSelStart(4);
    SendKey(edit, Qt::Key_Backspace, Qt::ControlModifier); // delete the word before
    SendKey(edit, Qt::Key_Delete, Qt::ControlModifier);    // delete the word after
    EXPECT_EQ(Widget<QLineEdit>(t.txtServer)->text(), QStringLiteral("one two"));
    EXPECT_EQ(t.txtServer.Text(), u"one two");
    SendKey(edit, Qt::Key_End);
    EXPECT_EQ(t.txtServer.SelStart(), 7);
    SendKey(edit, Qt::Key_Left, Qt::ShiftModifier);
    SendKey(edit, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(t.txtServer.SelStart(), 5);
    EXPECT_EQ(t.txtServer.SelLength(), 2);
    // The caret stays at the moving end of the selection.
    SendKey(edit, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(t.txtServer.SelStart(), 4);
    EXPECT_EQ(t.txtServer.SelLength(), 3);
    EXPECT_TRUE(t.events.empty()) << "no change and no key press";
    w->input.Key('X');
    EXPECT_EQ(t.txtServer.Text(), u"one X");
}

TEST_F(QtWindowTest, TheOpenedListChoosesThroughTheModelAndShowsItsRefusal) {
    w->input.Focus(t.cbUsername);
    auto* combo = Widget<QComboBox>(t.cbUsername);
    combo->showPopup();
    QCoreApplication::processEvents();
    ASSERT_TRUE(combo->view()->isVisible());
    w->input.Key('g'); // to the popup, which has the keyboard
    EXPECT_EQ(t.cbUsername.ListIndex(), 1);
    EXPECT_EQ(combo->view()->currentIndex().row(), 1);
    combo->hidePopup();
    t.form.SetEnabled(false);
    combo->setCurrentIndex(2);
    emit combo->activated(2); // as a choice in the open popup reports it
    EXPECT_EQ(t.cbUsername.ListIndex(), 1);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(t.Count("cbUsername_Click"), 1);
}

// From every control: UserInput.FunctionKeysReachTheFormsKeyDown...
TEST_F(QtWindowTest, FunctionKeysToTheWindowItselfReachTheFormsKeyDownAndF4OpensAList) {
    std::vector<int> keys;
    t.form.KeyDown = [&](int& keyCode, int shift) { keys.push_back(keyCode * 10 + shift); };
    SendKey(w->backend.Window(), Qt::Key_F5);
    SendKey(w->backend.Window(), Qt::Key_F4, Qt::AltModifier); // the window system's
    EXPECT_EQ(keys, (std::vector<int>{vbKeyF5 * 10}));

    w->input.Focus(t.cbUsername);
    auto* combo = Widget<QComboBox>(t.cbUsername);
    keys.clear();
    SendKey(WidgetOf(t.cbUsername), Qt::Key_F4);
    QCoreApplication::processEvents();
    EXPECT_EQ(keys, (std::vector<int>{(vbKeyF1 + 3) * 10}));
    EXPECT_TRUE(combo->view()->isVisible()) << "a key the form lets through goes on to the list";
    combo->hidePopup();
    t.form.KeyDown = [&](int& keyCode, int) { keyCode = 0; };
    SendKey(WidgetOf(t.cbUsername), Qt::Key_F4);
    QCoreApplication::processEvents();
    EXPECT_FALSE(combo->view()->isVisible()) << "a dropped key does not open it";
}

// Input as the window system delivers it (spontaneous events, through
// QApplication's own click-to-focus and shortcut handling) follows the
// model's rules too: Qt never moves the focus or presses a button itself.
TEST_F(QtWindowTest, WindowSystemClickOnAButtonWaitsForValidation) {
    w->input.Focus(t.txtPasswordAge);
    t.refuseLeavingAge = true;
    t.events.clear();
    QTest::mouseClick(WidgetOf(t.cmdSet), Qt::LeftButton);
    EXPECT_EQ(t.events, std::vector<std::string>{"txtPasswordAge_Validate"});
    EXPECT_EQ(t.form.ActiveControl(), &t.txtPasswordAge);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(t.txtPasswordAge));
    EXPECT_FALSE(Widget<QPushButton>(t.cmdSet)->isDown());

    t.refuseLeavingAge = false;
    QTest::mouseClick(WidgetOf(t.cmdSet), Qt::LeftButton);
    EXPECT_EQ(t.Count("cmdSet_Click"), 1);
    EXPECT_EQ(t.form.ActiveControl(), &t.cmdSet);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(t.cmdSet));
}

// The Qt focus follows the model's: after Show, Focus and Tab.
TEST_F(QtWindowTest, WindowSystemTypingGoesThroughKeyPressAndImagesLeaveTheFocus) {
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(t.optLocal));
    w->input.Focus(t.txtPasswordAge); // shows the images
    t.events.clear();
    EXPECT_EQ(WidgetOf(t.ctlPlusMinus)->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(WidgetOf(t.ctlPlusMinus.imgPlus)->focusPolicy(), Qt::NoFocus);
    QTest::mouseClick(WidgetOf(t.ctlPlusMinus.imgPlus), Qt::LeftButton);
    EXPECT_EQ(t.Count("imgPlus_MouseDown 1"), 1);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(t.txtPasswordAge));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("4x"));
    EXPECT_EQ(t.Count("txtPasswordAge_KeyPress 52") + t.Count("txtPasswordAge_KeyPress 120"), 2);
    EXPECT_EQ(t.txtPasswordAge.Text(), u"4");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(t.form.ActiveControl(), &t.chkDisabled);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(t.chkDisabled));
}

TEST_F(QtWindowTest, AccessKeyClicksThroughTheModel) {
    t.chkDisabled.SetCaption(u"&Flag");
    w->input.Focus(t.txtPasswordAge);
    t.refuseLeavingAge = true;
    QTest::keyClick(w->backend.Window(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(t.chkDisabled.Value(), 0);
    t.refuseLeavingAge = false;
    QTest::keyClick(w->backend.Window(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(t.chkDisabled.Value(), 1);
    EXPECT_EQ(t.Count("chkDisabled_Click"), 1);
    EXPECT_TRUE(Widget<QCheckBox>(t.chkDisabled)->isChecked());
    EXPECT_EQ(t.form.ActiveControl(), &t.chkDisabled);
}

} // namespace tw::toolkit::test
