// A call that may wait on another computer runs off the Win32 window's
// thread: meanwhile its timers tick (real time) and it paints what they
// change, and a click on the disabled window is dropped, not kept for later.
#include "Win32WindowFixture.h"

#include <commctrl.h>

#include <atomic>

namespace tw::winetests {
namespace {

using namespace tw::toolkit;

LRESULT CALLBACK CountPaints(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    if (msg == WM_PAINT)
        ++*reinterpret_cast<int*>(ref);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

DWORD ThreadIdOfCall(const std::function<void(const std::function<void()>&)>& wait, HWND button) {
    DWORD id = 0;
    wait([&] {
        id = ::GetCurrentThreadId();
        ::PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        ::Sleep(400);
    });
    return id;
}

TEST(Win32RealTime, ACallWaitsOffTheWindowsThreadWhileTheWindowPaints) {
    Application app({}, u"");
    Form form(app);
    auto& label = form.Add<Label>("lbl");
    auto& button = form.Add<CommandButton>("cmd");
    auto& timer = form.Add<Timer>("tmr");
    form.SetClientSize(3000, 1500);
    label.Move(120, 120, 2000, 300);
    button.Move(120, 600, 1200, 375);
    int ticks = 0;
    int clicks = 0;
    timer.Tick = [&] { label.SetCaption(u"tick " + std::u16string(1, u'0' + ticks++ % 10)); };
    button.Click = [&] { ++clicks; };
    timer.SetInterval(20);
    Win32BackendOptions options = toolkit::test::Win32Window::Options();
    options.virtualTime = false;
    Win32Backend backend(form, options);
    form.Show();
    backend.PumpMessages();
    int paints = 0;
    ::SetWindowSubclass(backend.HandleOf(label), CountPaints, 1,
                        reinterpret_cast<DWORD_PTR>(&paints));

    form.SetEnabled(false); // as the busy sequence leaves it
    timer.SetEnabled(true);
    const DWORD callThread =
        ThreadIdOfCall([&](const std::function<void()>& call) { app.WaitForCall(call); },
                       backend.HandleOf(button));
    timer.SetEnabled(false);
    form.SetEnabled(true);
    backend.PumpMessages();
    ::RemoveWindowSubclass(backend.HandleOf(label), CountPaints, 1);

    EXPECT_NE(callThread, ::GetCurrentThreadId());
    EXPECT_GE(ticks, 3);
    EXPECT_GE(paints, 2);
    EXPECT_EQ(clicks, 0) << "the click came while the window was disabled";
}

} // namespace
} // namespace tw::winetests
