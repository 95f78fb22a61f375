// What the program sets in the model shows in the Qt widgets, where Qt has
// its own way: one insertion per burst, palettes, fonts, pictures, focus.
// What both windows show alike is the shared suite's (tests/toolkit/mirror).
#include "QtTestWindow.h"

#include "platform/TextConvert.h"
#include "toolkit/qt/QtWidgets.h"

#include <QScrollBar>

namespace tw::toolkit::test {

TEST_F(QtWindowTest, ABurstOfAddedEntriesIsOneInsertionAndTheOpenedListScrolls) {
    auto* combo = Widget<QComboBox>(t.cbUsername);
    t.cbUsername.Clear();
    int insertions = 0;
    QObject::connect(combo->model(), &QAbstractItemModel::rowsInserted,
                     [&insertions] { ++insertions; });
    for (int i = 0; i < 1000; ++i)
        t.cbUsername.AddItem(u"user" + FromUtf8(std::to_string(i)));
    QCoreApplication::processEvents();
    EXPECT_EQ(insertions, 1);
    EXPECT_EQ(combo->count(), 1000);
    combo->showPopup();
    QCoreApplication::processEvents();
    ASSERT_TRUE(combo->view()->isVisible());
    EXPECT_TRUE(combo->view()->verticalScrollBar()->isVisible()) << "a scroll bar reaches the rest";
    combo->hidePopup();
}

TEST_F(QtWindowTest, ConcreteAndSystemColoursReachThePaletteAndFollowTheDesktop) {
    TextBox& box = t.txtServer;
    box.SetBackColor(0x000000FF); // red, as 0x00BBGGRR
    box.SetForeColor(0x00FF0000); // blue
    EXPECT_EQ(WidgetOf(box)->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(WidgetOf(box)->palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 255));
    t.lblUsername.SetBackColor(0x0000FF00);
    EXPECT_EQ(WidgetOf(t.lblUsername)->palette().color(QPalette::Window), QColor(0, 255, 0));
    box.SetBackColor(SystemColor(15));
    const QPalette original = QApplication::palette();
    EXPECT_EQ(WidgetOf(box)->palette().color(QPalette::Base), original.color(QPalette::Button));
    QPalette changed = original;
    changed.setColor(QPalette::Button, QColor(1, 2, 3));
    QApplication::setPalette(changed);
    QCoreApplication::processEvents(); // the change is posted to the windows
    const QColor shown = WidgetOf(box)->palette().color(QPalette::Base);
    QApplication::setPalette(original);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, QColor(1, 2, 3));
}

TEST_F(QtWindowTest, WindowsFontsBecomeAnInstalledSansSerifOfTheSameSize) {
    t.txtServer.SetFont(Font{u"MS Sans Serif", 12, true, 0});
    const QFont font = WidgetOf(t.txtServer)->font();
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 12.0);
    EXPECT_TRUE(font.bold());
    EXPECT_NE(font.family(), QStringLiteral("MS Sans Serif"));
}

TEST_F(QtWindowTest, AnImageWithoutADrawingShowsItsPictureScaledWithTransparentPixels) {
    Image& image = t.form.Add<Image>("imgPlain");
    image.Move(0, 0, 30, 15); // 2 x 1 pixels at 96 DPI
    Picture picture;
    picture.width = 2;
    picture.height = 1;
    picture.pixels = {Picture::Transparent, 0x00FF0000};
    image.SetPicture(picture);
    const QImage painted = static_cast<PictureWidget*>(WidgetOf(image))->Painted();
    ASSERT_EQ(painted.size(), QSize(2, 1));
    EXPECT_EQ(qAlpha(painted.pixel(0, 0)), 0);
    EXPECT_EQ(painted.pixelColor(1, 0), QColor(255, 0, 0));
}

TEST_F(QtWindowTest, HidingOrDisablingTheFocusedControlMovesNoModelFocus) {
    w->input.Click(t.cmdSet);
    ASSERT_EQ(t.form.ActiveControl(), &t.cmdSet);
    t.events.clear();
    // Qt offers the focus to the next widget when the focused one goes away.
    t.cmdSet.SetEnabled(false);
    t.cmdSet.SetVisible(false);
    EXPECT_EQ(t.form.ActiveControl(), &t.cmdSet);
    EXPECT_TRUE(t.events.empty());
}

} // namespace tw::toolkit::test
