// Input as the window system delivers it (spontaneous events, through
// QApplication's own click-to-focus and shortcut handling) follows the
// model's rules too: Qt never moves the focus or presses a button itself.
#include "QtTestWindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest/QTest>

namespace tw::toolkit::test {

TEST_F(QtWindowTest, WindowSystemClickOnAButtonWaitsForValidation) {
    cancelValidation = true;
    QTest::mouseClick(WidgetOf(cmd), Qt::LeftButton);
    EXPECT_EQ(cmdClicks, 0);
    EXPECT_EQ(form.ActiveControl(), &txt);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(txt));

    cancelValidation = false;
    QTest::mouseClick(WidgetOf(cmd), Qt::LeftButton);
    EXPECT_EQ(cmdClicks, 1);
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
