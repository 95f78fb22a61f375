// A server that takes the connection and never answers, through the real Qt
// window and the SAMR backend:
//
//     tarnwick-silent-bench
//
// A listener on 127.0.0.1 accepts and reads nothing. The window starts on
// the local computer (127.0.0.2, where nothing listens), the administrator
// types 127.0.0.1 in the server box and presses Enter. Printed: the time from
// Enter to the error in the status line, and the longest gap between two
// repaints of the window meanwhile (it is asked to repaint every 10 ms).
// Goals: the error within 20 seconds and a second, no gap over 100 ms.
#include "TypeServerName.h"
#include "samba/SilentListener.h"

#include "app/FUserInfo.h"
#include "hosts/ProgramVersion.h"
#include "hosts/scenario/ScenarioToolkit.h"
#include "platform/TextConvert.h"
#include "platform/samr/SamrNetApi.h"
#include "platform/sim/SimPlatform.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Records when any widget paints.
class PaintClock : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && watching) {
            const Clock::time_point now = Clock::now();
            longest = std::max(longest, now - previous);
            previous = now;
        }
        return false;
    }
    void Watch() {
        watching = true;
        previous = Clock::now();
        longest = {};
    }
    bool watching = false;
    Clock::time_point previous;
    Clock::duration longest{};
};

} // namespace

int main(int argc, char** argv) {
    // The Qt application first: the window's widgets need it.
    const tw::scenario::ToolkitFactory qt = tw::scenario::ToolkitNamed("qt", argc, argv);
    if (qt == nullptr) {
        std::fprintf(stderr, "tarnwick-silent-bench: this build has no Qt window\n");
        return 1;
    }
    const tw::test::SilentListener listener;
    if (listener.port() == 0) {
        std::perror("tarnwick-silent-bench: listener");
        return 1;
    }
    tw::samr::SamrConnection connection;
    connection.localHost = "127.0.0.2"; // nothing listens there: refused at once
    connection.port = listener.port();
    connection.password = tw::samr::Secret("pw");
    connection.hasPassword = true;
    tw::samr::SamrNetApi net(connection);

    tw::sim::SimPlatform sim(tw::sim::MachineDescription{});
    const tw::win::Platform simulated = sim.platform();
    tw::toolkit::Application app(tw::hosts::ProgramVersion(), u"");
    tw::app::FUserInfo window(app, tw::win::Platform{net, simulated.system, simulated.registry,
                                                     simulated.files, simulated.windowSystem,
                                                     simulated.visualStyles, false, true});
    const std::unique_ptr<tw::scenario::ScenarioToolkit> toolkit = qt();
    toolkit->UseWindowSystem(sim.windowSystem());
    toolkit->Attach(window, app, u"dddd, MMMM d, yyyy");
    window.Start();

    PaintClock paints;
    qApp->installEventFilter(&paints);
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            widget->update();
    });
    repaint.start(10);

    tw::toolkit::Form& form = window.Form();
    tw::toolkit::IUserInput& input = toolkit->Input();
    tw::bench::TypeServerName(form, input, u"127.0.0.1");

    paints.Watch();
    const auto start = Clock::now();
    input.Key(tw::toolkit::vbKeyReturn); // returns when the window is no longer busy
    const std::chrono::duration<double> took = Clock::now() - start;
    paints.watching = false;
    repaint.stop();

    const auto& status = static_cast<const tw::toolkit::Label&>(*form.Find("lblStatus"));
    const std::string said = tw::ToUtf8(status.Caption());
    const double gapMs = std::chrono::duration<double, std::milli>(paints.longest).count();
    std::printf("error after %.1f s: %s\n", took.count(), said.c_str());
    std::printf("longest gap between repaints meanwhile: %.0f ms\n", gapMs);
    const bool met = took.count() <= 21.0 && gapMs <= 100.0 && said.rfind("Error 53.", 0) == 0;
    std::printf("goals (error 53 within 21 s, no gap over 100 ms): %s\n", met ? "met" : "NOT met");
    return met ? 0 : 1;
}
