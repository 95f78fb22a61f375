// The application services of the Qt backend: pointer, end, real timers.
// Message boxes that do not wait: startup/unsupported-platform.json on Qt;
// long dates: user/counters-and-dates.json on Qt.
#include "QtTestWindow.h"
#include "toolkit/LivelyForm.h"

#include <QGuiApplication>
#include <QTest>
#include <QThread>

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
    EXPECT_EQ(t.Count("Form_Unload"), 0);
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

// Real time: the timers are QTimers running in the event loop. A call that
// may wait on another computer runs off the window's thread: meanwhile the
// window's timers tick and it paints what they change, and a click on the
// disabled window is dropped, not kept for later.
TEST(QtRealTime, TimersTickInTheEventLoopAlsoWhileACallWaitsOffTheWindowsThread) {
    LivelyForm w;
    QtBackend backend(w.form);
    w.form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(backend.Window()));
    PaintCounter counter;
    backend.WidgetOf(w.label)->installEventFilter(&counter);
    const bool offTheWindowsThread = w.WaitForACall(
        [&] {
            QMetaObject::invokeMethod(
                backend.Window(),
                [&] { QTest::mouseClick(backend.WidgetOf(w.button), Qt::LeftButton); },
                Qt::QueuedConnection);
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
        },
        [] { return QThread::currentThread() == QCoreApplication::instance()->thread(); });
    QCoreApplication::processEvents();

    EXPECT_TRUE(offTheWindowsThread);
    EXPECT_GE(w.ticks, 3);
    EXPECT_GE(counter.paints, 2);
    EXPECT_EQ(w.clicks, 0) << "the click came while the window was disabled";

    // Outside a call, while the event loop runs, until the timer is stopped.
    QtInput input(backend);
    const int before = w.ticks;
    w.timer.SetEnabled(true);
    input.Wait(200);
    EXPECT_GT(w.ticks, before);
    w.timer.SetEnabled(false);
    const int stopped = w.ticks;
    input.Wait(60);
    EXPECT_EQ(w.ticks, stopped);
}

} // namespace tw::toolkit::test
