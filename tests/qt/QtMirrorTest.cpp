// What the program sets in the model shows in the Qt widgets.
#include "QtTestWindow.h"

#include "platform/TextConvert.h"
#include "toolkit/qt/QtConvert.h"
#include "toolkit/qt/QtWidgets.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace tw::toolkit::test {

namespace {

int Px(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

// The widget's position among its siblings, from the bottom.
int StackIndex(const QWidget* widget) {
    int index = 0;
    for (const QObject* sibling : widget->parentWidget()->children()) {
        if (sibling == widget)
            return index;
        if (sibling->isWidgetType())
            ++index;
    }
    return -1;
}

} // namespace

TEST_F(QtWindowTest, TextCaptionEnabledVisibleAndToolTipShowInTheWidgets) {
    txt.SetText(u"server");
    cmd.SetCaption(u"&Apply");
    chk.SetEnabled(false);
    label.SetVisible(false);
    txt.SetToolTipText(u"Server name");
    form.SetCaption(u"Brenholt");
    EXPECT_EQ(Widget<QLineEdit>(txt)->text(), QStringLiteral("server"));
    EXPECT_EQ(Widget<QPushButton>(cmd)->text(), QStringLiteral("&Apply"));
    EXPECT_FALSE(WidgetOf(chk)->isEnabled());
    EXPECT_FALSE(WidgetOf(label)->isVisible());
    EXPECT_EQ(WidgetOf(txt)->toolTip(), QStringLiteral("Server name"));
    EXPECT_EQ(backend->Window()->windowTitle(), QStringLiteral("Brenholt"));
    chk.SetValue(1);
    EXPECT_TRUE(Widget<QCheckBox>(chk)->isChecked());
    chk.SetValue(0);
    EXPECT_FALSE(Widget<QCheckBox>(chk)->isChecked());
}

TEST_F(QtWindowTest, LabelsShowTheirCaptionWithoutAccessKeyMarks) {
    EXPECT_EQ(Widget<QLabel>(label)->text(), QStringLiteral("Name:"));
    label.SetCaption(u"Fish && Chips");
    EXPECT_EQ(Widget<QLabel>(label)->text(), QStringLiteral("Fish & Chips"));
    label.SetUseMnemonic(false);
    label.SetCaption(u"Invalid value \"&H10\" && more");
    EXPECT_EQ(Widget<QLabel>(label)->text(), QStringLiteral("Invalid value \"&H10\" && more"));
}

TEST_F(QtWindowTest, GeometryIsInPixelsAtTheScreenDpi) {
    const int dpi = backend->Window()->logicalDpiX();
    txt.Move(1440, 720, 2880, 300);
    EXPECT_EQ(WidgetOf(txt)->geometry(), QRect(dpi, dpi / 2, 2 * dpi, Px(300, dpi)));
    EXPECT_EQ(backend->Window()->size(), QSize(Px(6000, dpi), Px(4500, dpi)));
    // A part of a user control is placed inside it.
    EXPECT_EQ(WidgetOf(spinner.image)->parentWidget(), WidgetOf(spinner));
    EXPECT_EQ(WidgetOf(spinner.image)->geometry(),
              QRect(Px(120, dpi), Px(60, dpi), Px(120, dpi), Px(120, dpi)));
}

TEST_F(QtWindowTest, SelectionSetByTheProgramShowsInTheLineEdit) {
    txt.SetText(u"abcdef");
    txt.SetSelStart(1);
    txt.SetSelLength(3);
    auto* edit = Widget<QLineEdit>(txt);
    EXPECT_EQ(edit->selectionStart(), 1);
    EXPECT_EQ(edit->selectedText(), QStringLiteral("bcd"));
    txt.SetSelLength(0);
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(edit->cursorPosition(), 1);
}

TEST_F(QtWindowTest, ListEntriesAndChoiceShowInTheComboBox) {
    auto* combo = Widget<QComboBox>(cb);
    EXPECT_EQ(combo->count(), 3);
    cb.SetListIndex(2);
    EXPECT_EQ(combo->currentText(), QStringLiteral("gamma"));
    cb.Clear();
    EXPECT_EQ(combo->count(), 0);
    cb.AddItem(u"delta");
    QCoreApplication::processEvents(); // added entries show before the next paint
    EXPECT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("delta"));
    EXPECT_EQ(combo->currentIndex(), -1);
}

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

TEST_F(QtWindowTest, SortedEntriesGoWhereTheModelPutThem) {
    cb.Clear();
    cb.SetSorted(true);
    for (const char16_t* item : {u"mike", u"alpha", u"zulu", u"bravo", u"charlie"})
        cb.AddItem(item);
    QCoreApplication::processEvents();
    auto* combo = Widget<QComboBox>(cb);
    ASSERT_EQ(combo->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(combo->itemText(i), ToQString(cb.List(i))) << i;
}

TEST_F(QtWindowTest, OpenedListShowsAFixedNumberOfRowsAndAScrollBar) {
    for (int i = 0; i < 40; ++i)
        cb.AddItem(u"entry" + FromUtf8(std::to_string(i)));
    QCoreApplication::processEvents();
    auto* combo = Widget<QComboBox>(cb);
    combo->showPopup();
    QCoreApplication::processEvents();
    QAbstractItemView* view = combo->view();
    ASSERT_TRUE(view->isVisible());
    const int rows = view->viewport()->height() / view->sizeHintForRow(0);
    EXPECT_EQ(rows, ComboBox::kDropDownRows);
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

TEST_F(QtWindowTest, ZOrderBackLowersTheWidgetButRectanglesStayBeneath) {
    QWidget* spin = WidgetOf(spinner);
    EXPECT_GT(StackIndex(spin), StackIndex(WidgetOf(txt)));
    spinner.ZOrder(1);
    EXPECT_LT(StackIndex(spin), StackIndex(WidgetOf(txt)));
    EXPECT_GT(StackIndex(spin), StackIndex(WidgetOf(label)));
    EXPECT_GT(StackIndex(WidgetOf(label)), StackIndex(WidgetOf(shape)));
    shape.ZOrder(0);
    EXPECT_LT(StackIndex(WidgetOf(shape)), StackIndex(WidgetOf(label)));
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
