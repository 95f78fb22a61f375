// Real window messages into the model: clicks, keys, the context menu's
// paste, list choices, image presses, Tab, timers and closing. The controls
// never decide by themselves; the model's rules hold as in the headless runs.
#include "Win32WindowFixture.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace tw::winetests {
namespace {

using namespace tw::toolkit;

using Win32Input_ = Win32Window;

std::wstring TextOf(HWND hwnd) {
    wchar_t text[512] = {};
    ::GetWindowTextW(hwnd, text, 512);
    return text;
}

TEST_F(Win32Input_, CaretKeysMoveTheModelsSelectionWithoutAChange) {
    t.txtServer.SetText(u"SRV1");
    input->Focus(t.txtServer);
    t.events.clear();
    const HWND edit = H(t.txtServer);
    ::SendMessageW(edit, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(t.txtServer.SelStart(), 4);
    ::SendMessageW(edit, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(t.txtServer.SelStart(), 3);
    EXPECT_TRUE(t.events.empty()) << "no change event for a caret move";
    input->Key('9');
    EXPECT_EQ(t.txtServer.Text(), u"SRV91");
    ::SendMessageW(edit, WM_KEYDOWN, VK_HOME, 0);
    ::SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(t.txtServer.Text(), u"RV91");
    EXPECT_EQ(TextOf(edit), L"RV91");
}

TEST_F(Win32Input_, SelectionMadeAsAClickBringsTheFocusOutlivesThePress) {
    t.txtServer.SetText(u"SRV01");
    t.txtServer.GotFocus = [this] {
        t.txtServer.SetSelStart(0);
        t.txtServer.SetSelLength(5);
    };
    input->Click(t.txtServer);
    EXPECT_EQ(t.txtServer.SelStart(), 0);
    EXPECT_EQ(t.txtServer.SelLength(), 5);
    DWORD start = 9, end = 9;
    ::SendMessageW(H(t.txtServer), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u);
    // A press into the box that has the focus places the caret, past the text here.
    RECT r{};
    ::GetClientRect(H(t.txtServer), &r);
    const LPARAM at = MAKELPARAM(r.right - 2, r.bottom / 2);
    ::SendMessageW(H(t.txtServer), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(H(t.txtServer), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(t.txtServer.SelStart(), 5);
    EXPECT_EQ(t.txtServer.SelLength(), 0);
}

TEST_F(Win32Input_, TypingInTheListChoosesThroughTheModel) {
    input->Focus(t.cbUsername);
    input->Key('g');
    EXPECT_EQ(t.cbUsername.ListIndex(), 1);
    EXPECT_EQ(::SendMessageW(H(t.cbUsername), CB_GETCURSEL, 0, 0), 1);
    input->KeyDown(vbKeyDown, 0);
    EXPECT_EQ(t.cbUsername.ListIndex(), 2);
    EXPECT_EQ(Count("cbUsername_Click"), 2);
    // The opened list: the same choice, shown in it.
    ::SendMessageW(H(t.cbUsername), CB_SHOWDROPDOWN, TRUE, 0);
    input->Wait(1000); // a new search, not "ga"
    input->Key('a');
    EXPECT_EQ(t.cbUsername.ListIndex(), 0);
    EXPECT_EQ(::SendMessageW(H(t.cbUsername), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Count("cbUsername_Click"), 3);
    ::SendMessageW(H(t.cbUsername), CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(Win32Input_, RefusedChoiceShowsTheModelsEntryAgain) {
    t.cbUsername.SetListIndex(0);
    input->Focus(t.txtPasswordAge);
    t.refuseLeavingAge = true;
    t.events.clear();
    input->Select(t.cbUsername, 2);
    EXPECT_EQ(t.cbUsername.ListIndex(), 0);
    EXPECT_EQ(::SendMessageW(H(t.cbUsername), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Count("cbUsername_Click"), 0);
}

TEST_F(Win32Input_, CloseRunsUnloadAndTerminateAndDestroysTheWindow) {
    input->Close();
    EXPECT_EQ((std::vector<std::string>{"Form_Unload", "Form_Terminate"}), t.events);
    EXPECT_EQ(backend->Handle(), nullptr);
    EXPECT_TRUE(t.app.Ended());
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
