// Real keystrokes through the message loop, where TranslateMessage makes
// characters of them: Ctrl+A in the program's numeric field selects the text
// the next digit replaces, the edit control selects nothing on its own, and
// function keys reach the form's KeyDown from the window itself. From every
// control: UserInput.FunctionKeysReachTheFormsKeyDown... on Win32.
#include "ProgramWindow.h"

namespace tw::winetests {
namespace {

using namespace tw::toolkit;

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

std::pair<int, int> EditSelection(HWND edit) {
    DWORD start = 0, end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
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
    EXPECT_EQ(EditSelection(edit), std::make_pair(0, 2));
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
    EXPECT_EQ(EditSelection(edit), std::make_pair(4, 4));
    t.txtServer.KeyPress = nullptr;
    PressKey(w->backend, edit, 'A', true);
    EXPECT_EQ(t.txtServer.SelLength(), 4);
    EXPECT_EQ(EditSelection(edit), std::make_pair(0, 4));
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
