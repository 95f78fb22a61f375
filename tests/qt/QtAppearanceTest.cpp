// What the Qt window shows of the program's look: system colours from the
// platform, concrete colours as they are, keyboard cues as the model asks,
// and real input handed to the platform's hooks.
#include "QtTestWindow.h"

#include "toolkit/qt/QtCueStyle.h"
#include "toolkit/qt/QtInputHooks.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QWindow>
#include <QtTest/QTest>

namespace tw::toolkit::test {

namespace {

// The window opened by the test, with the options it needs.
class QtAppearanceTest : public QtWindowTest {
protected:
    void SetUp() override {}
};

int UnderlineHint(QWidget* widget) {
    return widget->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, widget);
}

} // namespace

TEST_F(QtAppearanceTest, SystemColoursComeFromThePlatformAndFollowItsChanges) {
    std::uint32_t window = 0x00FFFF; // yellow, 0x00BBGGRR
    QtBackendOptions options;
    options.systemColor = [&window](unsigned index) { return index == 5 ? window : 0x000000u; };
    Open(options);
    ASSERT_EQ(t.txtServer.BackColor(), SystemColor(5));
    EXPECT_EQ(WidgetOf(t.txtServer)->palette().color(QPalette::Base), QColor(255, 255, 0));
    window = 0xFF0000; // blue
    w->backend.RefreshColors();
    EXPECT_EQ(WidgetOf(t.txtServer)->palette().color(QPalette::Base), QColor(0, 0, 255));
}

TEST_F(QtWindowTest, ACheckBoxIsFilledWithItsBackColour) {
    t.chkDisabled.SetBackColor(0x00FF00); // green
    const QImage image = WidgetOf(t.chkDisabled)->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(image.width() - 2, image.height() / 2)), QColor(0, 255, 0));
}

TEST_F(QtWindowTest, KeyboardCuesFollowTheModelAndTheFocusedCheckBoxDrawsItsFocusOnlyWithThem) {
    ASSERT_TRUE(t.form.UserFocus(t.chkDisabled));
    ASSERT_TRUE(WidgetOf(t.chkDisabled)->hasFocus());
    const QImage hidden = WidgetOf(t.chkDisabled)->grab().toImage();
    EXPECT_FALSE(w->backend.Window()->property(CueStyle::kProperty).toBool());
    EXPECT_EQ(UnderlineHint(WidgetOf(t.cmdSet)), 0);
    EXPECT_EQ(UnderlineHint(WidgetOf(t.chkDisabled)), 0);
    t.form.SetKeyboardCues(true);
    EXPECT_TRUE(w->backend.Window()->property(CueStyle::kProperty).toBool());
    EXPECT_EQ(UnderlineHint(WidgetOf(t.cmdSet)), 1);
    EXPECT_EQ(UnderlineHint(WidgetOf(t.chkDisabled)), 1);
    EXPECT_NE(WidgetOf(t.chkDisabled)->grab().toImage(), hidden);
    t.form.SetKeyboardCues(false);
    EXPECT_EQ(UnderlineHint(WidgetOf(t.cmdSet)), 0);
    EXPECT_EQ(WidgetOf(t.chkDisabled)->grab().toImage(), hidden);
    // A widget of another window is drawn as the style always draws it.
    QPushButton other(QStringLiteral("&Other"));
    EXPECT_EQ(WidgetOf(t.cmdSet)->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, &other),
              QApplication::style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, &other));
}

TEST_F(QtWindowTest, TheWindowHasAHandleForTheProgramWhileItLives) {
    EXPECT_EQ(t.form.Handle(), QtBackend::WindowHandle());
    w.reset();
    EXPECT_EQ(t.form.Handle(), nullptr);
}

TEST_F(QtAppearanceTest, RealKeysAndMouseMovesReachTheHooksOncePerEvent) {
    std::vector<std::string> seen;
    QtBackendOptions options;
    options.keyEvent = [&seen](int key, bool up) {
        seen.push_back("key " + std::to_string(key) + (up ? " up" : " down"));
    };
    options.mouseMove = [&seen](int x, int y) {
        seen.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    };
    options.mouseButton = [&seen](int key, bool down) {
        seen.push_back("button " + std::to_string(key) + (down ? " down" : " up"));
    };
    Open(options);
    QWindow* window = w->backend.Window()->windowHandle();
    ASSERT_NE(window, nullptr);

    QTest::keyClick(window, Qt::Key_Alt);
    QTest::keyClick(window, Qt::Key_A);
    ASSERT_EQ(seen,
              (std::vector<std::string>{"key 18 down", "key 18 up", "key 65 down", "key 65 up"}));
    seen.clear();
    QTest::mouseMove(window, QPoint(40, 30));
    ASSERT_EQ(seen.size(), 1u);
    const QPoint global = window->mapToGlobal(QPoint(40, 30));
    EXPECT_EQ(seen[0], "move " + std::to_string(global.x()) + "," + std::to_string(global.y()));
    seen.clear();
    QTest::mousePress(window, Qt::RightButton, {}, QPoint(40, 30));
    QTest::mouseRelease(window, Qt::RightButton, {}, QPoint(40, 30));
    EXPECT_EQ(seen, (std::vector<std::string>{"button 2 down", "button 2 up"}));
}

TEST(QtInputHooks, KeysMapToWindowsVirtualKeys) {
    const std::pair<int, int> keys[] = {
        {Qt::Key_A, 0x41},  {Qt::Key_7, 0x37},    {Qt::Key_Shift, 0x10},  {Qt::Key_Return, 0x0D},
        {Qt::Key_F5, 0x74}, {Qt::Key_Left, 0x25}, {Qt::Key_Escape, 0x1B}, {Qt::Key_Eacute, 0xFF}};
    for (const auto& [qtKey, virtualKey] : keys) {
        QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier);
        EXPECT_EQ(QtInputHooks::VirtualKey(event), virtualKey) << qtKey;
    }
}

} // namespace tw::toolkit::test
