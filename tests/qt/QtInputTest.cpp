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

TEST_F(QtWindowTest, CancelledValidationKeepsFocusAndSwallowsTheButtonClick) {
    cancelValidation = true;
    input->Click(cmd);
    EXPECT_EQ(validates, 1);
    EXPECT_EQ(cmdClicks, 0);
    EXPECT_EQ(form.ActiveControl(), &txt);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(txt));
    EXPECT_FALSE(Widget<QPushButton>(cmd)->isDown());

    cancelValidation = false;
    input->Click(cmd);
    EXPECT_EQ(cmdClicks, 1);
    EXPECT_EQ(form.ActiveControl(), &cmd);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(cmd));
}

TEST_F(QtWindowTest, CancelledValidationLeavesTheCheckBoxAndTheListAlone) {
    cancelValidation = true;
    input->Click(chk);
    input->Select(cb, 2);
    EXPECT_EQ(chk.Value(), 0);
    EXPECT_FALSE(Widget<QCheckBox>(chk)->isChecked());
    EXPECT_EQ(cb.ListIndex(), -1);
    EXPECT_EQ(Widget<QComboBox>(cb)->currentIndex(), -1);
    EXPECT_EQ(listClicks, 0);
    EXPECT_EQ(form.ActiveControl(), &txt);
}

TEST_F(QtWindowTest, CheckBoxClickTogglesTheModelValueOnce) {
    input->Click(chk);
    EXPECT_EQ(chk.Value(), 1);
    EXPECT_EQ(chkClicks, 1);
    EXPECT_TRUE(Widget<QCheckBox>(chk)->isChecked());
    input->Click(chk);
    EXPECT_EQ(chk.Value(), 0);
    EXPECT_EQ(chkClicks, 2);
    EXPECT_FALSE(Widget<QCheckBox>(chk)->isChecked());
}

TEST_F(QtWindowTest, KeyPressRunsBeforeTheTextBoxTakesTheKeyAndCanDropIt) {
    txt.KeyPress = [this](int& keyAscii) {
        keys.push_back(keyAscii);
        if (keyAscii == 'x')
            keyAscii = 0;
        else if (keyAscii >= 'a' && keyAscii <= 'z')
            keyAscii -= 'a' - 'A';
    };
    for (int key : {'a', 'x', 'b'})
        input->Key(key);
    EXPECT_EQ(keys, (std::vector<int>{'a', 'x', 'b'}));
    EXPECT_EQ(txt.Text(), u"AB");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(Widget<QLineEdit>(txt)->text(), QStringLiteral("AB"));
    EXPECT_EQ(Widget<QLineEdit>(txt)->cursorPosition(), 2);
}

struct EditingKeyRow {
    const char* name;
    int keyAscii;
    std::u16string expected;
    int beeps;
};

class QtEditingKeyTest : public QtWindowTest,
                         public ::testing::WithParamInterface<EditingKeyRow> {};

TEST_P(QtEditingKeyTest, GoesThroughKeyPressAndTheModel) {
    const EditingKeyRow& row = GetParam();
    txt.SetText(u"abc");
    txt.SetSelStart(3);
    form.Clipboard = u"Q";
    input->Key(row.keyAscii);
    EXPECT_EQ(keys, std::vector<int>{row.keyAscii});
    EXPECT_EQ(txt.Text(), row.expected);
    EXPECT_EQ(Widget<QLineEdit>(txt)->text(), QString::fromStdU16String(row.expected));
    EXPECT_EQ(app.Beeps(), row.beeps);
}

INSTANTIATE_TEST_SUITE_P(Keys, QtEditingKeyTest,
                         ::testing::Values(EditingKeyRow{"Backspace", vbKeyBack, u"ab", 0},
                                           EditingKeyRow{"CtrlV", vbKeyCtrlV, u"abcQ", 0},
                                           EditingKeyRow{"Enter", vbKeyReturn, u"abc", 1},
                                           EditingKeyRow{"Escape", vbKeyEscape, u"abc", 0},
                                           EditingKeyRow{"Digit", '7', u"abc7", 0}),
                         [](const ::testing::TestParamInfo<EditingKeyRow>& info) {
                             return info.param.name;
                         });

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

TEST_F(QtWindowTest, DeleteRemovesTheNextCharacterWithoutKeyPress) {
    txt.SetText(u"abc");
    txt.SetSelStart(1);
    SendKey(WidgetOf(txt), Qt::Key_Delete);
    EXPECT_EQ(txt.Text(), u"ac");
    EXPECT_EQ(txt.SelStart(), 1);
    EXPECT_TRUE(keys.empty());
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

TEST_F(QtWindowTest, PasteThroughTheContextMenuRaisesNoKeyPress) {
    txt.SetText(u"old");
    txt.SetSelStart(0);
    txt.SetSelLength(3);
    const int changesBefore = changes;
    input->Paste(txt, u" 42 "); // copied in another program
    EXPECT_EQ(txt.Text(), u" 42 ");
    EXPECT_EQ(Widget<QLineEdit>(txt)->text(), QStringLiteral(" 42 "));
    EXPECT_EQ(changes, changesBefore + 1);
    EXPECT_TRUE(keys.empty());
    EXPECT_EQ(form.Clipboard, u" 42 ");
}

TEST_F(QtWindowTest, SelectingAllWithTheMouseChangesOnlyTheSelection) {
    txt.SetText(u"hello world");
    const int changesBefore = changes;
    input->SelectAllWithMouse(txt);
    EXPECT_EQ(txt.SelStart(), 0);
    EXPECT_EQ(txt.SelLength(), 11);
    EXPECT_EQ(changes, changesBefore);
    EXPECT_TRUE(keys.empty());
}

TEST_F(QtWindowTest, ListChoiceGoesThroughTheModel) {
    input->Select(cb, 1);
    EXPECT_EQ(cb.ListIndex(), 1);
    EXPECT_EQ(listClicks, 1);
    EXPECT_EQ(form.ActiveControl(), &cb);
    EXPECT_EQ(Widget<QComboBox>(cb)->currentIndex(), 1);
    EXPECT_FALSE(Widget<QComboBox>(cb)->view()->isVisible());
}

TEST_F(QtWindowTest, TypingInTheClosedListChoosesThroughTheModel) {
    input->Focus(cb);
    input->Key('g');
    EXPECT_EQ(cb.ListIndex(), 2);
    EXPECT_EQ(listClicks, 1);
    EXPECT_EQ(Widget<QComboBox>(cb)->currentIndex(), 2);
    input->KeyDown(vbKeyUp, 0);
    EXPECT_EQ(cb.ListIndex(), 1);
    EXPECT_EQ(listClicks, 2);
    EXPECT_EQ(Widget<QComboBox>(cb)->currentIndex(), 1);
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

TEST_F(QtWindowTest, ArrowKeysOnAButtonMoveTheFocusAsTabDoes) {
    input->Focus(cmd);
    input->KeyDown(vbKeyDown, 0);
    EXPECT_EQ(form.ActiveControl(), &chk);
    input->KeyDown(vbKeyLeft, 0);
    EXPECT_EQ(form.ActiveControl(), &cmd);
    EXPECT_EQ(cmdClicks, 0);
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

TEST_F(QtWindowTest, TabMovesTheFocusThroughTheModelWithValidation) {
    cancelValidation = true;
    input->Key(9);
    EXPECT_EQ(form.ActiveControl(), &txt);
    cancelValidation = false;
    input->Key(9);
    EXPECT_EQ(form.ActiveControl(), &cmd);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(cmd));
    SendKey(WidgetOf(cmd), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(form.ActiveControl(), &txt);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(txt));
}

TEST_F(QtWindowTest, SpaceOnTheFocusedButtonClicksIt) {
    input->Focus(cmd);
    input->Key(' ');
    EXPECT_EQ(cmdClicks, 1);
    input->Focus(chk);
    input->Key(' ');
    EXPECT_EQ(chk.Value(), 1);
    EXPECT_EQ(chkClicks, 1);
}

TEST_F(QtWindowTest, PressingAnImageLeavesTheFocusInTheTextBox) {
    input->MouseDown(spinner.image, vbLeftButton);
    input->MouseUp(spinner.image, vbLeftButton);
    input->MouseDown(spinner.image, vbRightButton);
    input->MouseUp(spinner.image, vbRightButton);
    EXPECT_EQ(mouseDowns, (std::vector<int>{vbLeftButton, vbRightButton}));
    EXPECT_EQ(mouseUps, (std::vector<int>{vbLeftButton, vbRightButton}));
    EXPECT_EQ(form.ActiveControl(), &txt);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(txt));
    EXPECT_EQ(validates, 0);
}

TEST_F(QtWindowTest, DisabledWindowIgnoresClicksAndKeysButKeepsItsLook) {
    form.SetEnabled(false);
    input->Click(cmd);
    input->Click(chk);
    input->Key('a');
    input->MouseDown(spinner.image, vbLeftButton);
    EXPECT_EQ(cmdClicks, 0);
    EXPECT_EQ(chk.Value(), 0);
    EXPECT_FALSE(Widget<QCheckBox>(chk)->isChecked());
    EXPECT_EQ(txt.Text(), u"");
    EXPECT_TRUE(keys.empty());
    EXPECT_TRUE(mouseDowns.empty());
    EXPECT_EQ(validates, 0);
    EXPECT_TRUE(WidgetOf(cmd)->isEnabled());
    EXPECT_TRUE(WidgetOf(txt)->isEnabled());

    form.SetEnabled(true);
    input->Click(cmd);
    EXPECT_EQ(cmdClicks, 1);
}

TEST_F(QtWindowTest, ClosingTheWindowUnloadsHidesAndTerminates) {
    std::vector<std::string> events;
    form.Unload = [&] { events.push_back(form.Visible() ? "unload" : "unload hidden"); };
    form.Terminate = [&] { events.push_back(form.Visible() ? "terminate shown" : "terminate"); };
    input->Close();
    EXPECT_EQ(events, (std::vector<std::string>{"unload", "terminate"}));
    EXPECT_FALSE(backend->Window()->isVisible());
}

TEST_F(QtWindowTest, DisabledWindowCannotBeClosed) {
    int unloads = 0;
    form.Unload = [&] { ++unloads; };
    form.SetEnabled(false);
    input->Close();
    EXPECT_EQ(unloads, 0);
    EXPECT_TRUE(backend->Window()->isVisible());
}

} // namespace tw::toolkit::test
