// The application services of the Qt backend: pointer, end, real timers.
// Message boxes that do not wait: startup/unsupported-platform.json on Qt;
// long dates: QtAppearanceTest.
#include "QtTestWindow.h"

#include <QGuiApplication>
#include <QTest>

#include <chrono>
#include <thread>

namespace tw::toolkit::test {

TEST_F(QtWindowTest, HourglassSetsOneOverrideCursorAndDefaultRemovesIt) {
    t.app.SetMousePointer(MousePointer::Hourglass);
    t.app.SetMousePointer(MousePointer::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    t.app.SetMousePointer(MousePointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(QtWindowTest, EndHidesTheWindowWithoutUnloading) {
    t.app.End();
    EXPECT_FALSE(w->backend.Window()->isVisible());
    EXPECT_EQ(Count("Form_Unload"), 0);
}

// Real time: the timer is a QTimer running in the event loop.
TEST(QtRealTime, TimersTickWhileTheEventLoopRuns) {
    Application app({}, u"");
    Form form(app);
    auto& timer = form.Add<Timer>("tmr");
    int ticks = 0;
    timer.Tick = [&] { ++ticks; };
    timer.SetInterval(20);
    QtBackend backend(form);
    QtInput input(backend);
    timer.SetEnabled(true);
    input.Wait(200);
    EXPECT_GE(ticks, 1);
    timer.SetEnabled(false);
    const int stopped = ticks;
    input.Wait(60);
    EXPECT_EQ(ticks, stopped);
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// A call that may wait on another computer runs off the window's thread:
// meanwhile the window's timers tick and it paints what they change, and a
// click on the disabled window is dropped, not kept for later.
TEST(QtRealTime, ACallWaitsOffTheWindowsThreadWhileTheWindowPaints) {
    Application app({}, u"");
    Form form(app);
    auto& label = form.Add<Label>("lbl");
    auto& button = form.Add<CommandButton>("cmd");
    auto& timer = form.Add<Timer>("tmr");
    int ticks = 0;
    int clicks = 0;
    timer.Tick = [&] { label.SetCaption(u"tick " + std::u16string(1, u'0' + ticks++ % 10)); };
    button.Click = [&] { ++clicks; };
    timer.SetInterval(20);
    form.SetClientSize(3000, 1500);
    label.Move(120, 120, 2000, 300);
    button.Move(120, 600, 1200, 375);
    QtBackend backend(form);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(backend.Window()));
    PaintCounter counter;
    backend.WidgetOf(label)->installEventFilter(&counter);

    form.SetEnabled(false); // as the busy sequence leaves it
    timer.SetEnabled(true);
    const std::thread::id windowThread = std::this_thread::get_id();
    std::thread::id callThread;
    app.WaitForCall([&] {
        callThread = std::this_thread::get_id();
        QMetaObject::invokeMethod(
            backend.Window(),
            [&] { QTest::mouseClick(backend.WidgetOf(button), Qt::LeftButton); },
            Qt::QueuedConnection);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    });
    timer.SetEnabled(false);
    form.SetEnabled(true);
    QCoreApplication::processEvents();

    EXPECT_NE(callThread, windowThread);
    EXPECT_GE(ticks, 3);
    EXPECT_GE(counter.paints, 2);
    EXPECT_EQ(clicks, 0) << "the click came while the window was disabled";
}

} // namespace tw::toolkit::test
