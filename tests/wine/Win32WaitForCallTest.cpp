// A call that may wait on another computer runs off the Win32 window's
// thread: meanwhile its timers tick (real time) and it paints what they
// change, and a click on the disabled window is dropped, not kept for later.
#include "Win32WindowFixture.h"
#include "toolkit/LivelyForm.h"

#include <commctrl.h>


namespace tw::winetests {
namespace {

using namespace tw::toolkit;
using toolkit::test::LivelyForm;

LRESULT CALLBACK CountPaints(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    if (msg == WM_PAINT)
        ++*reinterpret_cast<int*>(ref);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

TEST(Win32RealTime, ACallWaitsOffTheWindowsThreadWhileTheWindowPaints) {
    LivelyForm w;
    Win32BackendOptions options = toolkit::test::Win32Window::Options();
    options.virtualTime = false;
    Win32Backend backend(w.form, options);
    w.form.Show();
    backend.PumpMessages();
    int paints = 0;
    const HWND label = backend.HandleOf(w.label);
    ::SetWindowSubclass(label, CountPaints, 1, reinterpret_cast<DWORD_PTR>(&paints));
    const HWND button = backend.HandleOf(w.button);
    const DWORD windowThread = ::GetCurrentThreadId();
    const bool offTheWindowsThread = w.WaitForACall(
        [&] {
            ::PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            ::PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            ::Sleep(400);
        },
        [&] { return ::GetCurrentThreadId() == windowThread; });
    backend.PumpMessages();
    ::RemoveWindowSubclass(label, CountPaints, 1);

    EXPECT_TRUE(offTheWindowsThread);
    EXPECT_GE(w.ticks, 3);
    EXPECT_GE(paints, 2);
    EXPECT_EQ(w.clicks, 0) << "the click came while the window was disabled";
}

} // namespace
} // namespace tw::winetests
