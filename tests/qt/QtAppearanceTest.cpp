// What the Qt window shows of the program's look: system colours from the
// platform, concrete colours as they are, keyboard cues as the model asks,
// and real input handed to the platform's hooks.
#include "toolkit/Form.h"
#include "toolkit/qt/QtBackend.h"
#include "toolkit/qt/QtCueStyle.h"
#include "toolkit/qt/QtInputHooks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tw::toolkit::test {

namespace {

class QtAppearanceTest : public ::testing::Test {
protected:
    QtAppearanceTest()
        : app({}, u""), form(app), txt(form.Add<TextBox>("txtName")),
          cmd(form.Add<CommandButton>("cmdSet")), chk(form.Add<CheckBox>("chkFlag")) {
        form.SetClientSize(4000, 2000);
        txt.Move(120, 120, 1500, 285);
        cmd.Move(120, 600, 1200, 375);
        cmd.SetCaption(u"&Set");
        chk.Move(120, 1080, 2400, 255);
        chk.SetCaption(u"&Flag");
    }

    void Open(QtBackendOptions options) {
        options.interactiveMessageBoxes = false;
        options.virtualTime = true;
        backend = std::make_unique<QtBackend>(form, std::move(options));
        form.Show();
        QCoreApplication::processEvents();
    }

    void TearDown() override { backend.reset(); }

    QWidget* WidgetOf(const Control& control) const { return backend->WidgetOf(control); }
    int UnderlineHint(const Control& control) const {
        QWidget* widget = WidgetOf(control);
        return widget->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, widget);
    }

    Application app;
    Form form;
    TextBox& txt;
    CommandButton& cmd;
    CheckBox& chk;
    std::unique_ptr<QtBackend> backend;
};

} // namespace

TEST_F(QtAppearanceTest, SystemColoursComeFromThePlatformAndFollowItsChanges) {
    std::uint32_t window = 0x00FFFF; // yellow, 0x00BBGGRR
    QtBackendOptions options;
    options.systemColor = [&window](unsigned index) { return index == 5 ? window : 0x000000u; };
    Open(options);
    ASSERT_EQ(txt.BackColor(), SystemColor(5));
    EXPECT_EQ(WidgetOf(txt)->palette().color(QPalette::Base), QColor(255, 255, 0));
    window = 0xFF0000; // blue
    backend->RefreshColors();
    EXPECT_EQ(WidgetOf(txt)->palette().color(QPalette::Base), QColor(0, 0, 255));
}

TEST_F(QtAppearanceTest, ACheckBoxIsFilledWithItsBackColour) {
    Open({});
    chk.SetBackColor(0x00FF00); // green
    const QImage image = WidgetOf(chk)->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(image.width() - 2, image.height() / 2)), QColor(0, 255, 0));
}

TEST_F(QtAppearanceTest, KeyboardCuesFollowTheModel) {
    Open({});
    EXPECT_FALSE(backend->Window()->property(CueStyle::kProperty).toBool());
    EXPECT_EQ(UnderlineHint(cmd), 0);
    EXPECT_EQ(UnderlineHint(chk), 0);
    form.SetKeyboardCues(true);
    EXPECT_TRUE(backend->Window()->property(CueStyle::kProperty).toBool());
    EXPECT_EQ(UnderlineHint(cmd), 1);
    EXPECT_EQ(UnderlineHint(chk), 1);
    form.SetKeyboardCues(false);
    EXPECT_EQ(UnderlineHint(cmd), 0);
    // A widget of another window is drawn as the style always draws it.
    QPushButton other(QStringLiteral("&Other"));
    EXPECT_EQ(
        backend->WidgetOf(cmd)->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, &other),
        QApplication::style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, &other));
}

TEST_F(QtAppearanceTest, TheWindowHasAHandleForTheProgramWhileItLives) {
    Open({});
    EXPECT_EQ(form.Handle(), QtBackend::WindowHandle());
    backend.reset();
    EXPECT_EQ(form.Handle(), nullptr);
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
    QWindow* window = backend->Window()->windowHandle();
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

TEST_F(QtAppearanceTest, TheFocusedCheckBoxDrawsItsFocusOnlyWithCues) {
    Open({});
    chk.SetCaption(u"Flag"); // no access key: only the focus can differ
    ASSERT_TRUE(form.UserFocus(chk));
    ASSERT_TRUE(WidgetOf(chk)->hasFocus());
    const QImage hidden = WidgetOf(chk)->grab().toImage();
    form.SetKeyboardCues(true);
    const QImage shown = WidgetOf(chk)->grab().toImage();
    EXPECT_NE(hidden, shown);
    form.SetKeyboardCues(false);
    EXPECT_EQ(WidgetOf(chk)->grab().toImage(), hidden);
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
