// The model mirrored into real Win32 controls: kinds, places, states and the
// changes the program makes.
#include "Win32WindowFixture.h"

#include "platform/TextConvert.h"
#include "toolkit/win32/Win32Convert.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <commctrl.h>

#include <cmath>

namespace tw::winetests {
namespace {

using namespace tw::toolkit;

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[512] = {};
    ::GetWindowTextW(hwnd, text, 512);
    return text;
}

LONG_PTR StyleOf(HWND hwnd) {
    return ::GetWindowLongPtrW(hwnd, GWL_STYLE);
}

// The window's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Dpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

int Px(float twips) {
    return static_cast<int>(std::lround(twips * Dpi() / 1440.0));
}

// Position in the parent's stacking order, 0 at the top.
int StackIndex(HWND hwnd) {
    int index = 0;
    for (HWND h = ::GetWindow(::GetParent(hwnd), GW_CHILD); h != nullptr;
         h = ::GetWindow(h, GW_HWNDNEXT), ++index) {
        if (h == hwnd)
            return index;
    }
    return -1;
}

BOOL CALLBACK FindToolTip(HWND hwnd, LPARAM found) {
    if (::lstrcmpiW(ClassOf(hwnd).c_str(), TOOLTIPS_CLASSW) == 0)
        *reinterpret_cast<HWND*>(found) = hwnd;
    return TRUE;
}

using Win32Mirror = Win32Window;

TEST_F(Win32Mirror, EachKindIsItsStandardControl) {
    struct Row {
        const Control* control;
        const wchar_t* windowClass;
        LONG_PTR typeMask;
        LONG_PTR type;
    };
    const Row rows[] = {
        {&t.lblUsername, L"Static", SS_TYPEMASK, SS_LEFT},
        {&t.lblHeader, L"Static", SS_TYPEMASK, SS_CENTER},
        {&t.txtServer, L"Edit", ES_READONLY | ES_MULTILINE, 0},
        {&t.chkDisabled, L"Button", BS_TYPEMASK, BS_3STATE},
        {&t.optLocal, L"Button", BS_TYPEMASK, BS_RADIOBUTTON},
        {&t.cmdSet, L"Button", BS_TYPEMASK, BS_PUSHBUTTON},
        {&t.cbUsername, L"ComboBox", CBS_DROPDOWNLIST, CBS_DROPDOWNLIST},
        {&t.shaPane, L"TarnwickShape", 0, 0},
        {&t.lnStatus, L"TarnwickLine", 0, 0},
        {&t.ctlPlusMinus, L"TarnwickUserControl", 0, 0},
    };
    for (const Row& row : rows) {
        const HWND hwnd = H(*row.control);
        ASSERT_NE(hwnd, nullptr) << row.control->Name();
        EXPECT_EQ(::lstrcmpiW(ClassOf(hwnd).c_str(), row.windowClass), 0) << row.control->Name();
        EXPECT_EQ(StyleOf(hwnd) & row.typeMask, row.type) << row.control->Name();
    }
    EXPECT_EQ(H(t.tmrRepeat), nullptr) << "a timer has no window";
    EXPECT_EQ(::GetParent(H(t.ctlPlusMinus.imgMinus)), H(t.ctlPlusMinus))
        << "the parts of a user control are children of its window";
    EXPECT_EQ(::GetParent(H(t.chkDisabled)), backend->Handle());
}

TEST_F(Win32Mirror, CaptionsAndTextsAreTheModels) {
    EXPECT_EQ(TextOf(backend->Handle()), L"Brenholt");
    EXPECT_EQ(TextOf(H(t.chkDisabled)), L"Account Disabled");
    EXPECT_EQ(TextOf(H(t.lblPasswordAge_u)), L"days");
    EXPECT_EQ(::SendMessageW(H(t.cbUsername), CB_GETCOUNT, 0, 0), 3);
}

TEST_F(Win32Mirror, TwipsBecomePixelsAtTheSystemResolution) {
    RECT client{};
    ::GetClientRect(backend->Handle(), &client);
    EXPECT_EQ(client.right, Px(6000));
    EXPECT_EQ(client.bottom, Px(4200));
    const RECT r = PlaceOf(H(t.txtPasswordAge));
    EXPECT_EQ(r.left, Px(1800));
    EXPECT_EQ(r.top, Px(1575));
    EXPECT_EQ(r.right, Px(1800 + 855));
    EXPECT_EQ(r.bottom, Px(1575 + 285));
    const RECT line = PlaceOf(H(t.lnStatus));
    EXPECT_EQ(line.top, Px(3780));
    EXPECT_EQ(line.bottom - line.top, 1);
    EXPECT_EQ(line.right - line.left, Px(6000) + 1);
}

TEST_F(Win32Mirror, ProgramChangesReachTheControls) {
    t.txtServer.SetText(u"SERVER01");
    EXPECT_EQ(TextOf(H(t.txtServer)), L"SERVER01");
    t.chkLocked.SetValue(1);
    EXPECT_EQ(::SendMessageW(H(t.chkLocked), BM_GETCHECK, 0, 0), BST_CHECKED);
    t.optServer.SetValue(true);
    t.optLocal.SetValue(true);
    EXPECT_EQ(::SendMessageW(H(t.optLocal), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendMessageW(H(t.optServer), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    t.cbUsername.SetListIndex(2);
    EXPECT_EQ(::SendMessageW(H(t.cbUsername), CB_GETCURSEL, 0, 0), 2);
    t.cbUsername.Clear();
    EXPECT_EQ(::SendMessageW(H(t.cbUsername), CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(H(t.cbUsername), CB_GETCURSEL, 0, 0), CB_ERR);
    t.cmdSet.SetEnabled(false);
    EXPECT_FALSE(::IsWindowEnabled(H(t.cmdSet)));
    t.lblStatus.SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(H(t.lblStatus)));
    t.txtServer.SetLocked(true);
    EXPECT_NE(StyleOf(H(t.txtServer)) & ES_READONLY, 0);
    t.txtPasswordAge.Move(2000, 1575, 855, 285);
    EXPECT_EQ(PlaceOf(H(t.txtPasswordAge)).left, Px(2000));
}

TEST_F(Win32Mirror, AddedEntriesGoInBeforeTheNextPaintWhereTheModelPutThem) {
    const HWND list = H(t.cbUsername);
    t.cbUsername.Clear();
    t.cbUsername.SetSorted(true);
    for (const char16_t* name : {u"mara", u"Administrator", u"guest", u"zed", u"bob"})
        t.cbUsername.AddItem(name);
    EXPECT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), 0); // one burst, not yet painted
    backend->PumpMessages();
    ASSERT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), 5);
    for (int i = 0; i < 5; ++i) {
        wchar_t text[32] = {};
        ::SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(win32text::FromWide(text), t.cbUsername.List(i)) << i;
    }
    // A choice amid additions shows the entries added before it.
    t.cbUsername.AddItem(u"carl");
    t.cbUsername.SetListIndex(t.cbUsername.NewIndex());
    EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), t.cbUsername.NewIndex());
}

TEST_F(Win32Mirror, OpenedListShowsAFixedNumberOfRows) {
    const HWND list = H(t.cbUsername);
    for (int i = 0; i < 40; ++i)
        t.cbUsername.AddItem(u"entry" + FromUtf8(std::to_string(i)));
    backend->PumpMessages();
    ::SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetComboBoxInfo(list, &info));
    RECT r{};
    ::GetClientRect(info.hwndList, &r);
    const auto rowHeight = static_cast<int>(::SendMessageW(info.hwndList, LB_GETITEMHEIGHT, 0, 0));
    ASSERT_GT(rowHeight, 0);
    EXPECT_EQ(r.bottom / rowHeight, ComboBox::kDropDownRows);
    ::SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(Win32Mirror, ACheckBoxShowsItsThreeValues) {
    for (const auto& [value, state] : {std::pair{1, BST_CHECKED}, std::pair{2, BST_INDETERMINATE},
                                       std::pair{0, BST_UNCHECKED}}) {
        t.chkLocked.SetValue(value);
        EXPECT_EQ(::SendMessageW(H(t.chkLocked), BM_GETCHECK, 0, 0), state) << value;
    }
}

TEST_F(Win32Mirror, StatusLineShowsAmpersandsAsTheyAre) {
    t.lblStatus.SetUseMnemonic(false);
    t.lblStatus.SetCaption(u"Invalid value \"&H10\"");
    EXPECT_NE(StyleOf(H(t.lblStatus)) & SS_NOPREFIX, 0);
    t.lblStatus.SetUseMnemonic(true);
    EXPECT_EQ(StyleOf(H(t.lblStatus)) & SS_NOPREFIX, 0);
}

TEST_F(Win32Mirror, SelectionOfTheModelIsTheEdits) {
    t.txtServer.SetText(u"ABCDEF");
    t.txtServer.SetSelStart(2);
    t.txtServer.SetSelLength(3);
    DWORD start = 0, end = 0;
    ::SendMessageW(H(t.txtServer), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 5u);
}

TEST_F(Win32Mirror, DisabledFormKeepsItsControlsLookingEnabled) {
    t.form.SetEnabled(false);
    EXPECT_TRUE(::IsWindowEnabled(backend->Handle()));
    EXPECT_TRUE(::IsWindowEnabled(H(t.chkDisabled)));
    EXPECT_TRUE(::IsWindowEnabled(H(t.txtServer)));
}

TEST_F(Win32Mirror, SpinnerSentBackStaysAboveThePaneAndBelowItsField) {
    t.LinkSpinner();
    const int spinner = StackIndex(H(t.ctlPlusMinus));
    EXPECT_TRUE(::IsWindowVisible(H(t.ctlPlusMinus)));
    EXPECT_LT(StackIndex(H(t.txtPasswordAge)), spinner);
    EXPECT_LT(spinner, StackIndex(H(t.shaPane)));
    EXPECT_LT(StackIndex(H(t.lblUsername)), StackIndex(H(t.shaPane)))
        << "labels always lie above the filled rectangles";
    const RECT r = PlaceOf(H(t.ctlPlusMinus));
    EXPECT_EQ(r.left, Px(1800 - 120));
    EXPECT_EQ(r.right, Px(1800 + 855 + 120));
    const RECT plus = PlaceOf(H(t.ctlPlusMinus.imgPlus));
    EXPECT_EQ(plus.right, r.right - r.left) << "the plus image ends at the spinner's right edge";
}

TEST_F(Win32Mirror, LabelsShowThePaneBehindThemAndControlsTheirOwnColours) {
    const HDC dc = ::CreateCompatibleDC(nullptr);
    ::SendMessageW(backend->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(H(t.lblUsername)));
    EXPECT_EQ(::GetBkColor(dc), ::GetSysColor(COLOR_WINDOW)) << "inside the pane";
    ::SendMessageW(backend->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(H(t.lblStatus)));
    EXPECT_EQ(::GetBkColor(dc), ::GetSysColor(COLOR_BTNFACE)) << "on the form";
    t.txtServer.SetBackColor(0x80FFFF);
    t.txtServer.SetForeColor(0x000080);
    ::SendMessageW(backend->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(H(t.txtServer)));
    EXPECT_EQ(::GetBkColor(dc), static_cast<COLORREF>(0x80FFFF));
    EXPECT_EQ(::GetTextColor(dc), static_cast<COLORREF>(0x000080));
    ::DeleteDC(dc);
}

TEST_F(Win32Mirror, ToolTipsFollowTheModel) {
    HWND tooltip = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindToolTip, reinterpret_cast<LPARAM>(&tooltip));
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 3);
    t.txtServer.SetToolTipText(u"");
    EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 2);
    t.chkLocked.SetToolTipText(u"The account is currently locked out");
    EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 3);
}

TEST_F(Win32Mirror, LongDateIsTheSystemsFormatOfTheSerial) {
    const std::u16string text = t.app.FormatLongDate(45000.75); // 15 March 2023, 18:00
    EXPECT_NE(text.find(u"2023"), std::u16string::npos);
    EXPECT_NE(text.find(u"15"), std::u16string::npos);
}

TEST(Win32Scenario, LongDateFollowsTheScenariosPictureAndMessageBoxesDoNotWait) {
    TestForm t;
    Win32BackendOptions options;
    options.quitOnClose = false;
    options.longDatePicture = u"dddd, MMMM d, yyyy";
    options.interactiveMessageBoxes = false;
    Win32Backend backend(t.form, options);
    EXPECT_EQ(t.app.FormatLongDate(45000.75), u"Wednesday, March 15, 2023");
    t.app.MsgBox(u"Unsupported operating system", 48, u"Brenholt"); // returns at once
    ASSERT_EQ(t.app.MessageBoxes().size(), 1u);
    EXPECT_EQ(t.app.MessageBoxes()[0].Style, 48);
}

TEST_F(Win32Mirror, HourglassStaysOverTheWindowWhileBusy) {
    t.app.SetMousePointer(MousePointer::Hourglass);
    EXPECT_EQ(::SendMessageW(backend->Handle(), WM_SETCURSOR,
                             reinterpret_cast<WPARAM>(backend->Handle()),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_WAIT));
    t.app.SetMousePointer(MousePointer::Default);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(Win32Mirror, EndDestroysTheWindow) {
    t.app.End();
    EXPECT_EQ(backend->Handle(), nullptr);
    EXPECT_EQ(H(t.cmdSet), nullptr);
    t.txtServer.SetText(u"after the end"); // nothing left to mirror into, and no crash
}

} // namespace
} // namespace tw::winetests
