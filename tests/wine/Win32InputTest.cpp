// Real window messages into the model: presses and caret keys in a text box,
// typing in the opened list, the program's list keeping the account chosen
// that failed to load, closing, real timers. The controls never decide by
// themselves; the model's rules hold as in the headless runs (the shared
// suites on Win32, and user/find-by-typing.json for the closed list).
//
// A call that may wait on another computer runs off the window's thread:
// meanwhile its timers tick and it paints what they change, and a click on
// the disabled window is dropped, not kept for later.
//
// Real keystrokes through the message loop, where TranslateMessage makes
// characters of them: Ctrl+A in the program's numeric field selects the text
// the next digit replaces, the edit control selects nothing on its own, and
// function keys reach the form's KeyDown from the window itself. From every
// control: UserInput.FunctionKeysReachTheFormsKeyDown... on Win32.
#include "ProgramWindow.h"
#include "toolkit/LivelyForm.h"

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

TEST(Win32UserList, AnAccountThatFailsToLoadStaysChosenInTheList) {
    ProgramWindow w(R"({"system": {"userName": "alice"},
                        "computers": {"WS01": {"accounts": [{"name": "alice"}, {"name": "bob"}],
                                               "fail": {"NetUserGetInfo#2": 2221}}}})");
    auto& list = w.Find<ComboBox>("cbUsername");
    const HWND combo = w.backend.HandleOf(list);
    w.input.Focus(list);
    w.input.Select(list, 1);
    EXPECT_EQ(list.Text(), u"bob");
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(test::TextOf(combo), u"bob");
    EXPECT_TRUE(::IsWindowEnabled(combo));
}

// The order of Unload and Terminate, the program ended: FormEvents and
// appearance/shutdown.json on Win32.
TEST_F(Win32Input_, CloseDestroysTheWindow) {
    w->input.Close();
    EXPECT_EQ(Count("Form_Terminate"), 1);
    EXPECT_EQ(w->backend.Handle(), nullptr);
}

// Real time: the model's timers are real SetTimer timers.
TEST(Win32RealTime, ModelTimerTicksWithTheSystemTimer) {
    TestForm t;
    test::Win32Window window(t.form, /*realTime=*/true);
    t.form.Show();
    t.tmrRepeat.SetInterval(10);
    t.tmrRepeat.SetEnabled(true);
    auto ticks = [&] { return std::count(t.events.begin(), t.events.end(), "tmrRepeat_Timer"); };
    for (int waited = 0; waited < 5000 && ticks() < 2; waited += 50)
        window.input.Wait(50);
    EXPECT_GE(ticks(), 2);
}

LRESULT CALLBACK CountPaints(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    if (msg == WM_PAINT)
        ++*reinterpret_cast<int*>(ref);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

TEST(Win32RealTime, ACallWaitsOffTheWindowsThreadWhileTheWindowPaints) {
    test::LivelyForm w;
    Win32Backend backend(w.form, test::Win32Window::Options(/*realTime=*/true));
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

// One key down and up, posted to `target` with Ctrl held or not, and the
// message loop run over it as the program's loop runs.
void PressKey(Win32Backend& backend, HWND target, UINT key, bool ctrl = false) {
    BYTE saved[256] = {};
    ::GetKeyboardState(saved);
    BYTE held[256] = {};
    std::copy(std::begin(saved), std::end(saved), std::begin(held));
    held[VK_CONTROL] = held[VK_LCONTROL] = ctrl ? 0x80 : 0;
    held[VK_SHIFT] = held[VK_MENU] = 0;
    ::SetKeyboardState(held);
    const UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    ::PostMessageW(target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    backend.PumpMessages();
    ::PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001 | (scan << 16)));
    backend.PumpMessages();
    ::SetKeyboardState(saved);
}

TEST(Win32ProgramKeys, CtrlASelectsANumericFieldsTextForTheNextDigit) {
    ProgramWindow w(R"({"system": {"userName": "alice"},
                        "computers": {"WS01": {"accounts": [{"name": "alice"}],
                                               "policy": {"lockoutDuration": 42}}}})");
    auto& field = w.Find<TextBox>("txtLockoutDuration");
    const HWND edit = w.backend.HandleOf(field);
    w.input.Click(field);
    ASSERT_EQ(w.window.Form().ActiveControl(), &field);
    ASSERT_EQ(field.Text(), u"42");
    PressKey(w.backend, edit, VK_END);
    EXPECT_EQ(field.SelStart(), 2);
    EXPECT_EQ(field.SelLength(), 0);
    const int beeps = w.app.Beeps();
    PressKey(w.backend, edit, 'A', true);
    EXPECT_EQ(field.SelStart(), 0);
    EXPECT_EQ(field.SelLength(), 2);
    EXPECT_EQ(test::EditSelection(edit), std::make_pair(0, 2));
    PressKey(w.backend, edit, '3');
    EXPECT_EQ(field.Text(), u"3");
    EXPECT_EQ(test::TextOf(edit), u"3");
    EXPECT_EQ(w.app.Beeps(), beeps);
}

using Win32Keys = Win32WindowTest;

// The edit control never selects by itself: a Ctrl+A its key press drops
// leaves the caret where it was, in the model and in the window alike.
TEST_F(Win32Keys, CtrlASelectsOnlyThroughTheKeyPress) {
    t.txtServer.SetText(u"SRV1");
    w->input.Focus(t.txtServer);
    const HWND edit = H(t.txtServer);
    PressKey(w->backend, edit, VK_END);
    t.txtServer.KeyPress = [](int& key) { key = key == vbKeyCtrlA ? 0 : key; };
    PressKey(w->backend, edit, 'A', true);
    EXPECT_EQ(t.txtServer.SelStart(), 4);
    EXPECT_EQ(t.txtServer.SelLength(), 0);
    EXPECT_EQ(test::EditSelection(edit), std::make_pair(4, 4));
    t.txtServer.KeyPress = nullptr;
    PressKey(w->backend, edit, 'A', true);
    EXPECT_EQ(t.txtServer.SelLength(), 4);
    EXPECT_EQ(test::EditSelection(edit), std::make_pair(0, 4));
}

TEST_F(Win32Keys, FunctionKeysToTheWindowItselfReachTheFormsKeyDownAndF4OpensAList) {
    std::vector<int> keys;
    t.form.KeyDown = [&](int& keyCode, int shift) { keys.push_back(keyCode * 10 + shift); };
    PressKey(w->backend, w->backend.Handle(), VK_F5);
    EXPECT_EQ(keys, (std::vector<int>{vbKeyF5 * 10}));

    w->input.Focus(t.cbUsername);
    keys.clear();
    PressKey(w->backend, H(t.cbUsername), VK_F4);
    EXPECT_EQ(keys, (std::vector<int>{VK_F4 * 10}));
    EXPECT_TRUE(::SendMessageW(H(t.cbUsername), CB_GETDROPPEDSTATE, 0, 0))
        << "a key the form lets through goes on to the list";
    ::SendMessageW(H(t.cbUsername), CB_SHOWDROPDOWN, FALSE, 0);
    t.form.KeyDown = [](int& keyCode, int) { keyCode = 0; };
    PressKey(w->backend, H(t.cbUsername), VK_F4);
    EXPECT_FALSE(::SendMessageW(H(t.cbUsername), CB_GETDROPPEDSTATE, 0, 0))
        << "a dropped key does not open it";
}

} // namespace
} // namespace tw::winetests
