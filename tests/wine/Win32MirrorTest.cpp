// The model mirrored into real Win32 controls, where Win32 has its own way:
// the standard control of each kind, lines, colours, the pointer, the end.
// What both windows show alike is the shared suite's (tests/toolkit/mirror);
// message boxes that do not wait: startup/unsupported-platform.json on Win32.
#include "Win32WindowFixture.h"

namespace tw::winetests {
namespace {

using namespace tw::toolkit;

using Win32Mirror = Win32WindowTest;

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
        wchar_t name[64] = {};
        ::GetClassNameW(H(*row.control), name, 64);
        EXPECT_EQ(::lstrcmpiW(name, row.windowClass), 0) << row.control->Name();
        EXPECT_EQ(::GetWindowLongPtrW(H(*row.control), GWL_STYLE) & row.typeMask, row.type)
            << row.control->Name();
    }
    EXPECT_EQ(H(t.tmrRepeat), nullptr) << "a timer has no window";
    EXPECT_EQ(::GetParent(H(t.ctlPlusMinus.imgMinus)), H(t.ctlPlusMinus))
        << "the parts of a user control are children of its window";
    EXPECT_EQ(::GetParent(H(t.chkDisabled)), w->backend.Handle());
}

TEST_F(Win32Mirror, ALineIsOnePixelThickAndReachesItsEndPoint) {
    const auto line = w->Place(t.lnStatus);
    EXPECT_EQ(line.top, w->Px(3780));
    EXPECT_EQ(line.bottom - line.top, 1);
    EXPECT_EQ(line.right - line.left, w->Px(6000) + 1);
}

TEST_F(Win32Mirror, LabelsShowThePaneBehindThemAndControlsTheirOwnColours) {
    const HDC dc = ::CreateCompatibleDC(nullptr);
    auto colour = [&](UINT message, const Control& control) {
        ::SendMessageW(w->backend.Handle(), message, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(H(control)));
    };
    colour(WM_CTLCOLORSTATIC, t.lblUsername);
    EXPECT_EQ(::GetBkColor(dc), ::GetSysColor(COLOR_WINDOW)) << "inside the pane";
    colour(WM_CTLCOLORSTATIC, t.lblStatus);
    EXPECT_EQ(::GetBkColor(dc), ::GetSysColor(COLOR_BTNFACE)) << "on the form";
    t.txtServer.SetBackColor(0x80FFFF);
    t.txtServer.SetForeColor(0x000080);
    colour(WM_CTLCOLOREDIT, t.txtServer);
    EXPECT_EQ(::GetBkColor(dc), static_cast<COLORREF>(0x80FFFF));
    EXPECT_EQ(::GetTextColor(dc), static_cast<COLORREF>(0x000080));
    ::DeleteDC(dc);
}

TEST_F(Win32Mirror, LongDateIsTheSystemsFormatOfTheSerial) {
    const std::u16string text = t.app.FormatLongDate(45000.75); // 15 March 2023, 18:00
    EXPECT_NE(text.find(u"2023"), std::u16string::npos);
    EXPECT_NE(text.find(u"15"), std::u16string::npos);
}

// A given picture (the machine's long date format) instead of the system's:
// scenarios/user/counters-and-dates.json on Win32.

TEST_F(Win32Mirror, HourglassStaysOverTheWindowWhileBusy) {
    t.app.SetMousePointer(MousePointer::Hourglass);
    EXPECT_EQ(::SendMessageW(w->backend.Handle(), WM_SETCURSOR,
                             reinterpret_cast<WPARAM>(w->backend.Handle()),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_WAIT));
    t.app.SetMousePointer(MousePointer::Default);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(Win32Mirror, EndDestroysTheWindow) {
    t.app.End();
    EXPECT_EQ(w->backend.Handle(), nullptr);
    EXPECT_EQ(H(t.cmdSet), nullptr);
    t.txtServer.SetText(u"after the end"); // nothing left to mirror into, and no crash
}

} // namespace
} // namespace tw::winetests
