// The application services of the Qt backend: pointer, timers, dates, end.
#include "QtTestWindow.h"

#include <QGuiApplication>

namespace tw::toolkit::test {

TEST_F(QtWindowTest, HourglassSetsOneOverrideCursorAndDefaultRemovesIt) {
    app.SetMousePointer(MousePointer::Hourglass);
    app.SetMousePointer(MousePointer::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    app.SetMousePointer(MousePointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(QtWindowTest, VirtualTimeTicksTimersOnlyWhenWaiting) {
    tmr.SetEnabled(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 0);
    input->Wait(1000);
    EXPECT_EQ(ticks, 5);
    tmr.SetEnabled(false);
    input->Wait(1000);
    EXPECT_EQ(ticks, 5);
}

TEST_F(QtWindowTest, LongDatesUseTheGivenPicture) {
    EXPECT_EQ(app.FormatLongDate(2.0), u"1900-01-01");
}

TEST_F(QtWindowTest, MessageBoxesAreRecordedWithoutShowingWhenNotInteractive) {
    app.MsgBox(u"Unsupported operating system", vbExclamation, u"Brenholt");
    ASSERT_EQ(app.MessageBoxes().size(), 1u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(QtWindowTest, EndHidesTheWindowWithoutUnloading) {
    int unloads = 0;
    form.Unload = [&] { ++unloads; };
    app.End();
    EXPECT_FALSE(backend->Window()->isVisible());
    EXPECT_EQ(unloads, 0);
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
