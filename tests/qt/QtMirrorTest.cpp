// What the program sets in the model shows in the Qt widgets, where Qt has
// its own way: one insertion per burst, palettes, fonts, pictures, focus.
// What both windows show alike is the shared suite's (tests/toolkit/mirror).
#include "QtTestWindow.h"

#include "platform/TextConvert.h"
#include "toolkit/qt/QtConvert.h"
#include "toolkit/qt/QtWidgets.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>

namespace tw::toolkit::test {

TEST_F(QtWindowTest, ABurstOfAddedEntriesReachesTheComboBoxAsOneInsertion) {
    auto* combo = Widget<QComboBox>(cb);
    cb.Clear();
    int insertions = 0;
    QObject::connect(combo->model(), &QAbstractItemModel::rowsInserted,
                     [&insertions] { ++insertions; });
    for (int i = 0; i < 1000; ++i)
        cb.AddItem(u"user" + FromUtf8(std::to_string(i)));
    QCoreApplication::processEvents();
    EXPECT_EQ(insertions, 1);
    ASSERT_EQ(combo->count(), 1000);
    EXPECT_EQ(combo->itemText(999), QStringLiteral("user999"));
    // A choice made amid additions shows the entries added before it.
    cb.AddItem(u"late");
    cb.SetListIndex(1000);
    EXPECT_EQ(combo->currentText(), QStringLiteral("late"));
}

TEST_F(QtWindowTest, OpenedListHasAScrollBar) {
    for (int i = 0; i < 40; ++i)
        cb.AddItem(u"entry" + FromUtf8(std::to_string(i)));
    QCoreApplication::processEvents();
    auto* combo = Widget<QComboBox>(cb);
    combo->showPopup();
    QCoreApplication::processEvents();
    QAbstractItemView* view = combo->view();
    ASSERT_TRUE(view->isVisible());
    EXPECT_TRUE(view->verticalScrollBar()->isVisible()) << "a scroll bar reaches the others";
    combo->hidePopup();
}

TEST_F(QtWindowTest, ConcreteAndSystemColoursReachThePalette) {
    txt.SetBackColor(0x000000FF); // red, as 0x00BBGGRR
    txt.SetForeColor(0x00FF0000); // blue
    EXPECT_EQ(WidgetOf(txt)->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(WidgetOf(txt)->palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 255));
    txt.SetBackColor(SystemColor(15));
    EXPECT_EQ(WidgetOf(txt)->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Button));
    label.SetBackColor(0x0000FF00);
    EXPECT_EQ(WidgetOf(label)->palette().color(QPalette::Window), QColor(0, 255, 0));
}

TEST_F(QtWindowTest, SystemColoursFollowADesktopColourChange) {
    txt.SetBackColor(SystemColor(15));
    const QPalette original = QApplication::palette();
    QPalette changed = original;
    changed.setColor(QPalette::Button, QColor(1, 2, 3));
    QApplication::setPalette(changed);
    QCoreApplication::processEvents(); // the change is posted to the windows
    const QColor shown = WidgetOf(txt)->palette().color(QPalette::Base);
    QApplication::setPalette(original);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, QColor(1, 2, 3));
}

TEST_F(QtWindowTest, WindowsFontsBecomeAnInstalledSansSerifOfTheSameSize) {
    txt.SetFont(Font{u"MS Sans Serif", 12, true, 0});
    const QFont font = WidgetOf(txt)->font();
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 12.0);
    EXPECT_TRUE(font.bold());
    EXPECT_NE(font.family(), QStringLiteral("MS Sans Serif"));
}

TEST_F(QtWindowTest, ImageShowsItsPictureWithTransparentPixels) {
    Picture picture;
    picture.width = 2;
    picture.height = 1;
    picture.pixels = {Picture::Transparent, 0x00FF0000};
    spinner.image.SetPicture(picture);
    auto* widget = static_cast<PictureWidget*>(WidgetOf(spinner.image));
    ASSERT_EQ(widget->Image().size(), QSize(2, 1));
    EXPECT_EQ(qAlpha(widget->Image().pixel(0, 0)), 0);
    EXPECT_EQ(widget->Image().pixelColor(1, 0), QColor(255, 0, 0));
}

TEST_F(QtWindowTest, ImagesAndUserControlsNeverTakeTheFocus) {
    EXPECT_EQ(WidgetOf(spinner)->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(WidgetOf(spinner.image)->focusPolicy(), Qt::NoFocus);
}

TEST_F(QtWindowTest, HidingOrDisablingTheFocusedControlMovesNoModelFocus) {
    input->Click(cmd);
    ASSERT_EQ(form.ActiveControl(), &cmd);
    std::vector<Control*> gotFocus;
    txt.GotFocus = [&] { gotFocus.push_back(&txt); };
    chk.GotFocus = [&] { gotFocus.push_back(&chk); };
    // Qt offers the focus to the next widget when the focused one goes away.
    cmd.SetEnabled(false);
    cmd.SetVisible(false);
    EXPECT_EQ(form.ActiveControl(), &cmd);
    EXPECT_TRUE(gotFocus.empty());
}

TEST_F(QtWindowTest, ModelFocusMovesTheQtFocus) {
    form.UserFocus(cb);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(cb));
    form.UserFocus(txt);
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(txt));
}

} // namespace tw::toolkit::test
