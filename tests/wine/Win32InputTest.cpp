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

LRESULT Checked(HWND hwnd) {
    return ::SendMessageW(hwnd, BM_GETCHECK, 0, 0);
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[512] = {};
    ::GetWindowTextW(hwnd, text, 512);
    return text;
}

TEST_F(Win32Input_, ClickTogglesACheckBoxThroughTheModel) {
    input->Click(t.chkDisabled);
    EXPECT_EQ(t.chkDisabled.Value(), 1);
    EXPECT_EQ(Checked(H(t.chkDisabled)), BST_CHECKED);
    EXPECT_EQ(Count("chkDisabled_Click"), 1);
    EXPECT_EQ(t.form.ActiveControl(), &t.chkDisabled);
    EXPECT_EQ(::GetFocus(), H(t.chkDisabled));
    input->Click(t.chkDisabled);
    EXPECT_EQ(t.chkDisabled.Value(), 0);
    EXPECT_EQ(Checked(H(t.chkDisabled)), BST_UNCHECKED);
    EXPECT_EQ(Count("chkDisabled_Click"), 2);
}

TEST_F(Win32Input_, DisabledFormTakesNoClickAndTheBoxKeepsItsState) {
    t.form.SetEnabled(false);
    input->Click(t.chkDisabled);
    input->Click(t.cmdSet);
    EXPECT_EQ(t.chkDisabled.Value(), 0);
    EXPECT_EQ(Checked(H(t.chkDisabled)), BST_UNCHECKED);
    EXPECT_TRUE(t.events.empty());
}

TEST_F(Win32Input_, OptionButtonBecomesTheGroupsSelection) {
    input->Click(t.optServer);
    input->Click(t.optLocal);
    EXPECT_TRUE(t.optLocal.Value());
    EXPECT_FALSE(t.optServer.Value());
    EXPECT_EQ(Checked(H(t.optLocal)), BST_CHECKED);
    EXPECT_EQ(Checked(H(t.optServer)), BST_UNCHECKED);
    EXPECT_EQ((std::vector<std::string>{"optServer_Click", "optLocal_Click"}), t.events);
}

TEST_F(Win32Input_, CancelledValidationKeepsTheFocusAndSwallowsTheClick) {
    input->Focus(t.txtPasswordAge);
    ASSERT_EQ(t.form.ActiveControl(), &t.txtPasswordAge);
    t.refuseLeavingAge = true;
    t.events.clear();
    input->Click(t.cmdSet);
    input->Click(t.chkLocked);
    EXPECT_EQ(Count("cmdSet_Click"), 0);
    EXPECT_EQ(t.chkLocked.Value(), 0);
    EXPECT_EQ(Checked(H(t.chkLocked)), BST_UNCHECKED);
    EXPECT_EQ(Count("txtPasswordAge_Validate"), 2);
    EXPECT_EQ(t.form.ActiveControl(), &t.txtPasswordAge);
    EXPECT_EQ(::GetFocus(), H(t.txtPasswordAge));
    t.refuseLeavingAge = false;
    input->Click(t.cmdSet);
    EXPECT_EQ(Count("cmdSet_Click"), 1);
    EXPECT_EQ(::GetFocus(), H(t.cmdSet));
}

TEST_F(Win32Input_, FocusOnAButtonMovesTheFocusWithoutAClick) {
    input->Focus(t.cmdSet);
    EXPECT_EQ(t.form.ActiveControl(), &t.cmdSet);
    EXPECT_EQ(Count("cmdSet_Click"), 0);
}

TEST_F(Win32Input_, TypedKeysPassKeyPressAndTheEditInsertsNothingItself) {
    input->Focus(t.txtPasswordAge);
    for (int key : {'4', 'x', '2'})
        input->Key(key);
    EXPECT_EQ(t.txtPasswordAge.Text(), u"42");
    EXPECT_EQ(TextOf(H(t.txtPasswordAge)), L"42");
    EXPECT_EQ(Count("txtPasswordAge_KeyPress 120"), 1) << "the x is offered, then dropped";
    EXPECT_EQ(Count("txtPasswordAge_Change"), 2);
    input->Key(8); // Backspace
    EXPECT_EQ(t.txtPasswordAge.Text(), u"4");
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

TEST_F(Win32Input_, ContextMenuPasteReplacesTheSelectionWithoutAKeyPress) {
    t.txtServer.SetText(u"old");
    input->SelectAllWithMouse(t.txtServer);
    EXPECT_EQ(t.txtServer.SelStart(), 0);
    EXPECT_EQ(t.txtServer.SelLength(), 3);
    t.events.clear();
    input->Paste(t.txtServer, u"NEWSRV");
    EXPECT_EQ(t.txtServer.Text(), u"NEWSRV");
    EXPECT_EQ(TextOf(H(t.txtServer)), L"NEWSRV");
    EXPECT_EQ((std::vector<std::string>{"txtServer_Change"}), t.events);
}

TEST_F(Win32Input_, CtrlVPastesTheSystemClipboardAfterItsKeyPress) {
    input->Focus(t.txtServer);
    input->Paste(t.txtServer, u"HOST"); // the clipboard now holds HOST
    t.events.clear();
    input->Key(vbKeyCtrlV);
    EXPECT_EQ(t.txtServer.Text(), u"HOSTHOST");
    EXPECT_EQ(Count("txtServer_KeyPress 22"), 1);
}

TEST_F(Win32Input_, ChoosingAnEntryRaisesTheListsClick) {
    input->Select(t.cbUsername, 1);
    EXPECT_EQ(t.cbUsername.ListIndex(), 1);
    EXPECT_EQ(Count("cbUsername_Click"), 1);
    EXPECT_EQ(t.form.ActiveControl(), &t.cbUsername);
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

TEST_F(Win32Input_, ArrowKeysMoveTheSelectionWithinTheOptionGroup) {
    input->Click(t.optLocal);
    t.events.clear();
    input->KeyDown(vbKeyRight, 0);
    EXPECT_TRUE(t.optServer.Value());
    EXPECT_EQ(Checked(H(t.optServer)), BST_CHECKED);
    EXPECT_EQ(Checked(H(t.optLocal)), BST_UNCHECKED);
    EXPECT_EQ(::GetFocus(), H(t.optServer));
    input->KeyDown(vbKeyDown, 0); // round the end
    EXPECT_TRUE(t.optLocal.Value());
    EXPECT_EQ((std::vector<std::string>{"optServer_Click", "optLocal_Click"}), t.events);
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

TEST_F(Win32Input_, ImagePressesReachTheModelAndLeaveTheFocus) {
    input->Focus(t.txtPasswordAge);
    ASSERT_TRUE(t.ctlPlusMinus.Visible());
    t.events.clear();
    input->MouseDown(t.ctlPlusMinus.imgPlus, vbLeftButton);
    input->MouseUp(t.ctlPlusMinus.imgPlus, vbLeftButton);
    input->MouseDown(t.ctlPlusMinus.imgMinus, vbRightButton);
    input->MouseUp(t.ctlPlusMinus.imgMinus, vbRightButton);
    EXPECT_EQ((std::vector<std::string>{"imgPlus_MouseDown 1", "imgPlus_MouseUp 1",
                                        "imgMinus_MouseDown 2", "imgMinus_MouseUp 2"}),
              t.events);
    EXPECT_EQ(t.form.ActiveControl(), &t.txtPasswordAge);
    EXPECT_EQ(::GetFocus(), H(t.txtPasswordAge));
}

TEST_F(Win32Input_, TabMovesThroughTheModelsTabOrder) {
    input->Focus(t.txtServer);
    input->Tab();
    EXPECT_EQ(t.form.ActiveControl(), &t.cbUsername);
    EXPECT_EQ(::GetFocus(), H(t.cbUsername));
    input->Tab(true);
    EXPECT_EQ(t.form.ActiveControl(), &t.txtServer);
}

TEST_F(Win32Input_, TimersTickFromTheVirtualClock) {
    t.tmrRepeat.SetEnabled(true);
    input->Wait(1000);
    EXPECT_EQ(Count("tmrRepeat_Timer"), 5);
    t.tmrRepeat.SetEnabled(false);
    input->Wait(1000);
    EXPECT_EQ(Count("tmrRepeat_Timer"), 5);
}

TEST_F(Win32Input_, CloseRunsUnloadAndTerminateAndDestroysTheWindow) {
    input->Close();
    EXPECT_EQ((std::vector<std::string>{"Form_Unload", "Form_Terminate"}), t.events);
    EXPECT_EQ(backend->Handle(), nullptr);
    EXPECT_TRUE(t.app.Ended());
}

TEST_F(Win32Input_, DisabledWindowCannotBeClosed) {
    t.form.SetEnabled(false);
    input->Close();
    EXPECT_TRUE(t.events.empty());
    EXPECT_NE(backend->Handle(), nullptr);
}

// Real time: the timer is a real SetTimer timer.
TEST(Win32RealTime, ModelTimerTicksWithTheSystemTimer) {
    TestForm t;
    Win32Options options;
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
