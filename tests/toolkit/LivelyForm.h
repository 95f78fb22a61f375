// A window that shows whether it lives while a call waits
// (Application::WaitForCall): its timer changes a label at every tick and
// its button counts clicks. The Qt and Win32 tests run one call in it.
#pragma once

#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"

#include <functional>
#include <string>

namespace tw::toolkit::test {

struct LivelyForm {
    LivelyForm() {
        form.SetClientSize(3000, 1500);
        label.Move(120, 120, 2000, 300);
        button.Move(120, 600, 1200, 375);
        timer.Tick = [this] {
            label.SetCaption(u"tick " + std::u16string(1, u'0' + ticks++ % 10));
        };
        button.Click = [this] { ++clicks; };
        timer.SetInterval(20);
    }

    // One call with the window disabled, as the busy sequence leaves it, and
    // the timer running; `inCall` runs in the call (it sends the button a
    // click and waits). True when the call ran off the window's thread.
    bool WaitForACall(const std::function<void()>& inCall,
                      const std::function<bool()>& onWindowThread) {
        form.SetEnabled(false);
        timer.SetEnabled(true);
        bool offTheWindowsThread = false;
        app.WaitForCall([&] {
            offTheWindowsThread = !onWindowThread();
            inCall();
        });
        timer.SetEnabled(false);
        form.SetEnabled(true);
        return offTheWindowsThread;
    }

    Application app{{}, u""};
    Form form{app};
    Label& label = form.Add<Label>("lbl");
    CommandButton& button = form.Add<CommandButton>("cmd");
    Timer& timer = form.Add<Timer>("tmr");
    int ticks = 0;
    int clicks = 0;
};

} // namespace tw::toolkit::test
