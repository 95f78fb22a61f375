// The application services of the Qt backend: pointer, end, real timers.
// Message boxes that do not wait: startup/unsupported-platform.json on Qt;
// long dates: QtAppearanceTest.
#include "QtTestWindow.h"

#include <QGuiApplication>

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

} // namespace tw::toolkit::test
