// Real window messages into the model: presses and caret keys in a text box,
// typing in the opened list, closing, real timers. The controls never decide
// by themselves; the model's rules hold as in the headless runs (the shared
// suites on Win32, and user/find-by-typing.json for the closed list).
#include "Win32WindowFixture.h"

namespace tw::winetests {
namespace {

using namespace tw::toolkit;

using Win32Input_ = Win32WindowTest;

TEST_F(Win32Input_, SelectionPressesAndCaretKeysReachTheModelWithoutAChange) {
    t.txtServer.SetText(u"SRV1");
    t.txtServer.GotFocus = [this] {
        t.txtServer.SetSelStart(0);
        t.txtServer.SetSelLength(4);
    };
    w->input.Click(t.txtServer); // the selection made as the click brings the focus outlives it
    EXPECT_EQ(t.txtServer.SelLength(), 4);
    EXPECT_EQ(w->Selection(t.txtServer), std::make_pair(0, 4));
    // A press into the box that has the focus places the caret, past the text here.
    const HWND edit = H(t.txtServer);
    RECT r{};
    ::GetClientRect(edit, &r);
    const LPARAM at = MAKELPARAM(r.right - 2, r.bottom / 2);
    ::SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(edit, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(t.txtServer.SelStart(), 4);
    EXPECT_EQ(t.txtServer.SelLength(), 0);
    t.events.clear();
    ::SendMessageW(edit, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(t.txtServer.SelStart(), 3);
    EXPECT_TRUE(t.events.empty()) << "no change event for a caret move";
    w->input.Key('9');
    EXPECT_EQ(t.txtServer.Text(), u"SRV91");
    ::SendMessageW(edit, WM_KEYDOWN, VK_HOME, 0);
    ::SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(w->Text(t.txtServer), u"RV91");
    EXPECT_EQ(t.txtServer.Text(), u"RV91");
    ::SendMessageW(edit, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(t.txtServer.SelStart(), 4);
}

TEST_F(Win32Input_, TypingInTheOpenedListChoosesThroughTheModel) {
    w->input.Focus(t.cbUsername);
    ::SendMessageW(H(t.cbUsername), CB_SHOWDROPDOWN, TRUE, 0);
    w->input.Key('g');
    EXPECT_EQ(t.cbUsername.ListIndex(), 1);
    EXPECT_EQ(w->ListIndex(t.cbUsername), 1);
    EXPECT_EQ(Count("cbUsername_Click"), 1);
    ::SendMessageW(H(t.cbUsername), CB_SHOWDROPDOWN, FALSE, 0);
}

// The order of Unload and Terminate, the program ended: FormEvents and
// appearance/shutdown.json on Win32.
TEST_F(Win32Input_, CloseDestroysTheWindow) {
    w->input.Close();
    EXPECT_EQ(Count("Form_Terminate"), 1);
    EXPECT_EQ(w->backend.Handle(), nullptr);
}

// Real time: the timer is a real SetTimer timer.
TEST(Win32RealTime, ModelTimerTicksWithTheSystemTimer) {
    TestForm t;
    Win32BackendOptions options;
    options.quitOnClose = false;
    Win32Backend backend(t.form, options);
    Win32Input input(backend);
    t.form.Show();
    t.tmrRepeat.SetInterval(10);
    t.tmrRepeat.SetEnabled(true);
    auto ticks = [&] { return std::count(t.events.begin(), t.events.end(), "tmrRepeat_Timer"); };
    for (int waited = 0; waited < 5000 && ticks() < 2; waited += 50)
        input.Wait(50);
    EXPECT_GE(ticks(), 2);
}

} // namespace
} // namespace tw::winetests
