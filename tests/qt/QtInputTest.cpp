// Real Qt input reaches the model through the widgets and obeys the model's
// rules: validation, key press first, one toggle per click, a disabled
// window takes nothing, and no widget changes behind the model's back.
#include "QtTestWindow.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

namespace tw::toolkit::test {

namespace {

void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

} // namespace

TEST_F(QtWindowTest, StartsWithTheFocusInTheFirstControlOfTheTabOrder) {
    EXPECT_EQ(form.ActiveControl(), &txt);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(txt));
}

TEST_F(QtWindowTest, CaretKeysMoveTheModelSelectionWithoutChange) {
    txt.SetText(u"hello");
    const int changesBefore = changes;
    QWidget* edit = WidgetOf(txt);
    SendKey(edit, Qt::Key_End);
    EXPECT_EQ(txt.SelStart(), 5);
    SendKey(edit, Qt::Key_Left, Qt::ShiftModifier);
    SendKey(edit, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(txt.SelStart(), 3);
    EXPECT_EQ(txt.SelLength(), 2);
    // The caret stays at the moving end of the selection.
    SendKey(edit, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(txt.SelStart(), 2);
    EXPECT_EQ(txt.SelLength(), 3);
    EXPECT_EQ(changes, changesBefore);
    EXPECT_TRUE(keys.empty());

    input->Key('X');
    EXPECT_EQ(txt.Text(), u"heX");
}

TEST_F(QtWindowTest, KeysThatWouldEditBehindTheModelDoNothing) {
    txt.SetText(u"one two");
    txt.SetSelStart(4);
    const int changesBefore = changes;
    SendKey(WidgetOf(txt), Qt::Key_Backspace, Qt::ControlModifier); // delete the word before
    EXPECT_EQ(Widget<QLineEdit>(txt)->text(), QStringLiteral("one two"));
    SendKey(WidgetOf(txt), Qt::Key_Delete, Qt::ControlModifier); // delete the word after
    EXPECT_EQ(Widget<QLineEdit>(txt)->text(), QStringLiteral("one two"));
    EXPECT_EQ(txt.Text(), u"one two");
    EXPECT_EQ(changes, changesBefore);
}

TEST_F(QtWindowTest, TypingInTheOpenedListChoosesThroughTheModel) {
    input->Focus(cb);
    auto* combo = Widget<QComboBox>(cb);
    combo->showPopup();
    QCoreApplication::processEvents();
    ASSERT_TRUE(combo->view()->isVisible());
    input->Key('b'); // to the popup, which has the keyboard
    EXPECT_EQ(cb.ListIndex(), 1);
    EXPECT_EQ(listClicks, 1);
    EXPECT_EQ(combo->view()->currentIndex().row(), 1);
    combo->hidePopup();
}

TEST_F(QtWindowTest, ListShowsTheModelChoiceWhenTheModelRefusesTheUsers) {
    input->Select(cb, 1);
    form.SetEnabled(false);
    auto* combo = Widget<QComboBox>(cb);
    combo->setCurrentIndex(2);
    emit combo->activated(2); // as a choice in the open popup reports it
    EXPECT_EQ(cb.ListIndex(), 1);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(listClicks, 1);
}

// Tab with validation (real Tab and Backtab key events) and the input a
// disabled window refuses: UserInput.CancelledValidation... and
// UserInput.ADisabledWindow... on Qt; here the widgets' own state.
TEST_F(QtWindowTest, DisabledWindowIgnoresClicksAndKeysButKeepsItsLook) {
    form.SetEnabled(false);
    input->Click(cmd);
    input->Click(chk);
    EXPECT_EQ(cmdClicks, 0);
    EXPECT_FALSE(Widget<QCheckBox>(chk)->isChecked());
    EXPECT_TRUE(WidgetOf(cmd)->isEnabled());
    EXPECT_TRUE(WidgetOf(txt)->isEnabled());

    form.SetEnabled(true);
    input->Click(cmd);
    EXPECT_EQ(cmdClicks, 1);
}

// Input as the window system delivers it (spontaneous events, through
// QApplication's own click-to-focus and shortcut handling) follows the
// model's rules too: Qt never moves the focus or presses a button itself.
TEST_F(QtWindowTest, WindowSystemClickOnAButtonWaitsForValidation) {
    cancelValidation = true;
    QTest::mouseClick(WidgetOf(cmd), Qt::LeftButton);
    EXPECT_EQ(validates, 1);
    EXPECT_EQ(cmdClicks, 0);
    EXPECT_EQ(form.ActiveControl(), &txt);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(txt));
    EXPECT_FALSE(Widget<QPushButton>(cmd)->isDown());

    cancelValidation = false;
    QTest::mouseClick(WidgetOf(cmd), Qt::LeftButton);
    EXPECT_EQ(cmdClicks, 1);
    EXPECT_EQ(form.ActiveControl(), &cmd);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(cmd));
}

TEST_F(QtWindowTest, WindowSystemClickOnAnImageLeavesTheFocus) {
    QTest::mouseClick(WidgetOf(spinner.image), Qt::LeftButton);
    EXPECT_EQ(mouseDowns, std::vector<int>{vbLeftButton});
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(txt));
}

TEST_F(QtWindowTest, WindowSystemTypingGoesThroughKeyPress) {
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ab"));
    EXPECT_EQ(keys, (std::vector<int>{'a', 'b'}));
    EXPECT_EQ(txt.Text(), u"ab");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(form.ActiveControl(), &cmd);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(cmd));
}

TEST_F(QtWindowTest, AccessKeyClicksThroughTheModel) {
    chk.SetCaption(u"&Flag");
    cancelValidation = true;
    QTest::keyClick(backend->Window(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(chk.Value(), 0);
    cancelValidation = false;
    QTest::keyClick(backend->Window(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(chk.Value(), 1);
    EXPECT_EQ(chkClicks, 1);
    EXPECT_TRUE(Widget<QCheckBox>(chk)->isChecked());
    EXPECT_EQ(form.ActiveControl(), &chk);
}

} // namespace tw::toolkit::test
