// The model mirrored into real Win32 controls, where Win32 has its own way:
// the standard control of each kind, lines, colours, the pointer, the end.
// What both windows show alike is the shared suite's (tests/toolkit/mirror).
#include "Win32WindowFixture.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cmath>

namespace tw::winetests {
namespace {

using namespace tw::toolkit;

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
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

TEST_F(Win32Mirror, ALineIsOnePixelThickAndReachesItsEndPoint) {
    const RECT line = PlaceOf(H(t.lnStatus));
    EXPECT_EQ(line.top, Px(3780));
    EXPECT_EQ(line.bottom - line.top, 1);
    EXPECT_EQ(line.right - line.left, Px(6000) + 1);
}

TEST_F(Win32Mirror, DisabledFormKeepsItsControlsLookingEnabled) {
    t.form.SetEnabled(false);
    EXPECT_TRUE(::IsWindowEnabled(backend->Handle()));
    EXPECT_TRUE(::IsWindowEnabled(H(t.chkDisabled)));
    EXPECT_TRUE(::IsWindowEnabled(H(t.txtServer)));
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
