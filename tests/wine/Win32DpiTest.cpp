// The program's window in the Win32 window at 100 % to 200 % screen scale,
// on the simulated computer: every caption measured with the font its
// control really has fits the control's box, in English and in German; the
// twips land on the pixels of the resolution; the spinner's glyphs are drawn
// at their size; a move to a monitor of another resolution lays the window
// out again.
// The program's headers before <windows.h>, whose macros would take their names.
#include "controls/PlusMinusGlyph.h"

#include "ProgramWindow.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <tuple>
#include <vector>

namespace tw::winetests {

// The German language file of the program (resources/languages/1031.loc),
// its bytes as they lie on disk, built into the tests (generated).
std::vector<std::uint8_t> GermanLanguageFile();

namespace {

using toolkit::Control;
using toolkit::ControlKind;
using toolkit::test::PlaceOf;
using toolkit::test::ScreenDpi;
using toolkit::test::TextOf;

constexpr char kMachine[] = R"({
  "system": {"userName": "alice"},
  "computers": {"WS01": {"accounts": [{"name": "alice"}, {"name": "Administrator"}]}}
})";

// FUserInfo started in the Win32 window, laid out at `dpi` (0: the monitor's).
std::unique_ptr<ProgramWindow> StartProgram(const std::string& language, int dpi) {
    sim::MachineDescription machine = sim::loadMachineText(kMachine);
    if (language == "German") {
        machine.system.uiLanguage = 1031;
        machine.languageFile =
            sim::LanguageFile{.name = u"1031.loc", .content = GermanLanguageFile()};
    }
    return std::make_unique<ProgramWindow>(std::move(machine), dpi);
}

// GetSystemMetricsForDpi where the system has it, else the system's metric
// scaled.
int MetricForDpi(int index, int dpi) {
    using MetricForDpiFn = int(WINAPI*)(int, UINT);
    if (const auto forDpi = reinterpret_cast<MetricForDpiFn>(reinterpret_cast<void (*)()>(
            ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi"))))
        return forDpi(index, static_cast<UINT>(dpi));
    return ::MulDiv(::GetSystemMetrics(index), dpi, ScreenDpi());
}

// The width of the window's icon: the one it was given, else its class's.
int IconWidth(HWND hwnd, WPARAM which) {
    auto icon = reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_GETICON, which, 0));
    if (icon == nullptr)
        icon = reinterpret_cast<HICON>(
            ::GetClassLongPtrW(hwnd, which == ICON_SMALL ? GCLP_HICONSM : GCLP_HICON));
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

long Px(float twips, int dpi) {
    return std::lround(twips * dpi / 1440.0);
}

// The controls' places and fonts and the window's icons made for `dpi`, and
// unless the window was given its frame the client area too: twips land on
// its pixels, points on its character heights.
void ExpectLaidOutAt(ProgramWindow& window, int dpi, bool client = true) {
    for (const char* name : {"optLocal", "txtServer", "cbUsername", "chkCanChange",
                             "lblPwdHistoryLen", "txtPasswordReminder", "cmdLocalSet"}) {
        const Control& control = window.Find(name);
        const auto r = PlaceOf(window.H(control));
        EXPECT_EQ(r.left, Px(control.Left(), dpi)) << name;
        EXPECT_EQ(r.top, Px(control.Top(), dpi)) << name;
        EXPECT_EQ(r.right, Px(control.Left() + control.Width(), dpi)) << name;
        if (control.Kind() != ControlKind::ComboBox) { // its window holds the opened list too
            EXPECT_EQ(r.bottom, Px(control.Top() + control.Height(), dpi)) << name;
        }
    }
    for (const char* name : {"lblMaxPwdAge", "lblServerPar", "chkDisabled", "cmdUserSet"}) {
        const Control& control = window.Find(name);
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window.H(control), WM_GETFONT, 0, 0)),
                     sizeof(font), &font);
        EXPECT_EQ(font.lfHeight, -std::lround(control.Font().Size * dpi / 72.0)) << name;
    }
    EXPECT_EQ(IconWidth(window.backend.Handle(), ICON_SMALL), MetricForDpi(SM_CXSMICON, dpi));
    EXPECT_EQ(IconWidth(window.backend.Handle(), ICON_BIG), MetricForDpi(SM_CXICON, dpi));
    if (client) {
        RECT r{};
        ::GetClientRect(window.backend.Handle(), &r);
        EXPECT_EQ(r.right, Px(window.window.Form().ScaleWidth(), dpi));
        EXPECT_EQ(r.bottom, Px(window.window.Form().ScaleHeight(), dpi));
    }
}

// The caption as the control's own font draws it, and the room it has.
struct Fit {
    SIZE text{};
    int oneLine = 0; // the width of the caption on one line
    SIZE room{};
    std::u16string face;
};

// The room a caption has inside its control: a check box or option button
// draws its mark first and the text half a "0" after it; a push button
// keeps its edges free.
Fit Measure(HWND hwnd, ControlKind kind, int dpi) {
    Fit fit;
    RECT client{};
    ::GetClientRect(hwnd, &client);
    fit.room = {client.right, client.bottom};
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
    const HDC dc = ::GetDC(hwnd);
    const HGDIOBJ old = ::SelectObject(dc, font);
    // The family the system really drew with, past its substitutes.
    alignas(OUTLINETEXTMETRICW) char metrics[2048] = {};
    if (::GetOutlineTextMetricsW(dc, sizeof(metrics),
                                 reinterpret_cast<OUTLINETEXTMETRICW*>(metrics)) > 0) {
        const auto* outline = reinterpret_cast<const OUTLINETEXTMETRICW*>(metrics);
        fit.face = toolkit::win32text::FromWide(reinterpret_cast<const wchar_t*>(
            metrics + reinterpret_cast<std::uintptr_t>(outline->otmpFamilyName)));
    } else {
        wchar_t face[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, face);
        fit.face = toolkit::win32text::FromWide(face);
    }
    const std::u16string text = TextOf(hwnd);
    UINT format = DT_CALCRECT | DT_LEFT | DT_TOP | DT_EXPANDTABS;
    switch (kind) {
    case ControlKind::Label: // a static control breaks its text at words within its width
        format |= DT_WORDBREAK;
        if ((::GetWindowLongPtrW(hwnd, GWL_STYLE) & SS_NOPREFIX) != 0)
            format |= DT_NOPREFIX;
        break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton: {
        format |= DT_SINGLELINE;
        SIZE zero{};
        ::GetTextExtentPoint32W(dc, L"0", 1, &zero);
        fit.room.cx -= MetricForDpi(SM_CXMENUCHECK, dpi) + zero.cx / 2;
        break;
    }
    default: {
        format |= DT_SINGLELINE;
        const int edge = 3 * dpi / 96; // the button's frame and its focus rectangle
        fit.room.cx -= 2 * edge;
        fit.room.cy -= 2 * edge;
        break;
    }
    }
    RECT r{0, 0, fit.room.cx, 0};
    if (!text.empty())
        ::DrawTextW(dc, toolkit::win32text::Wide(text), static_cast<int>(text.size()), &r, format);
    fit.text = {r.right - r.left, r.bottom - r.top};
    RECT line{0, 0, 0, 0};
    if (!text.empty())
        ::DrawTextW(dc, toolkit::win32text::Wide(text), static_cast<int>(text.size()), &line,
                    (format & ~UINT{DT_WORDBREAK}) | DT_SINGLELINE);
    fit.oneLine = line.right - line.left;
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd, dc);
    return fit;
}

using ScaleCase = std::tuple<std::string, int>; // the language, the resolution

std::string CaseName(const ::testing::TestParamInfo<ScaleCase>& info) {
    return std::get<0>(info.param) + "_" + std::to_string(std::get<1>(info.param)) + "dpi";
}

class AtScale : public ::testing::TestWithParam<ScaleCase> {
protected:
    void SetUp() override { window = StartProgram(std::get<0>(GetParam()), Dpi()); }
    int Dpi() const { return std::get<1>(GetParam()); }

    std::unique_ptr<ProgramWindow> window;
};

TEST_P(AtScale, EveryCaptionFitsItsControlInTheControlsOwnFont) {
    ASSERT_EQ(window->backend.Dpi(), Dpi());
    std::ostringstream clipped;
    std::u16string face;
    int measured = 0;
    for (const auto& control : window->window.Form().Controls()) {
        const toolkit::Captioned* captioned = toolkit::AsCaptioned(*control);
        if (captioned == nullptr || captioned->Caption().empty())
            continue;
        const HWND hwnd = window->H(*control);
        ASSERT_NE(hwnd, nullptr) << control->Name();
        const Fit fit = Measure(hwnd, control->Kind(), Dpi());
        face = fit.face;
        ++measured;
        if (fit.text.cx > fit.room.cx || fit.text.cy > fit.room.cy)
            clipped << "\n  " << control->Name() << " " << ::testing::PrintToString(TextOf(hwnd))
                    << ": needs " << fit.text.cx << "x" << fit.text.cy << " px (" << fit.oneLine
                    << " on one line), has " << fit.room.cx << "x" << fit.room.cy;
    }
    std::cout << "[ fonts    ] " << std::get<0>(GetParam()) << " at " << Dpi()
              << " dpi: " << measured << " captions in " << ::testing::PrintToString(face) << "\n";
    EXPECT_GT(measured, 30);
    EXPECT_TRUE(clipped.str().empty())
        << "clipped in " << ::testing::PrintToString(face) << ":" << clipped.str();
}

TEST_P(AtScale, ControlsFontsAndIconsAreMadeForTheResolution) {
    ExpectLaidOutAt(*window, Dpi());
}

TEST_P(AtScale, SpinnerGlyphsAreDrawnAtTheirSize) {
    auto& field = static_cast<toolkit::TextBox&>(window->Find("txtMaxPwdAge"));
    ASSERT_TRUE(field.Enabled());
    window->window.Form().UserFocus(field);
    window->backend.PumpMessages();
    const std::pair<const char*, controls::PlusMinusGlyph> glyphs[] = {
        {"ctlPlusMinus.imgMinus", controls::PlusMinusGlyph::Minus},
        {"ctlPlusMinus.imgPlus", controls::PlusMinusGlyph::Plus}};
    for (const auto& [name, glyph] : glyphs) {
        const HWND hwnd = window->H(window->Find(name));
        ASSERT_TRUE(::IsWindowVisible(hwnd)) << name;
        RECT r{};
        ::GetClientRect(hwnd, &r);
        ASSERT_EQ(r.right, Px(120, Dpi())) << name;
        ASSERT_EQ(r.bottom, Px(120, Dpi())) << name;
        ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const toolkit::Picture expected = controls::DrawPlusMinusGlyph(glyph, r.right, r.bottom);
        const HDC dc = ::GetDC(hwnd);
        int differing = 0;
        for (int y = 0; y < r.bottom; ++y) {
            for (int x = 0; x < r.right; ++x) {
                const std::uint32_t want = expected.At(x, y);
                if (want == toolkit::Picture::Transparent)
                    continue;
                const COLORREF got = ::GetPixel(dc, x, y);
                const std::uint32_t rgb =
                    (GetRValue(got) << 16) | (GetGValue(got) << 8) | GetBValue(got);
                differing += rgb != want ? 1 : 0;
            }
        }
        ::ReleaseDC(hwnd, dc);
        EXPECT_EQ(differing, 0) << name << " at " << r.right << " px";
    }
}

INSTANTIATE_TEST_SUITE_P(Win32, AtScale,
                         ::testing::Combine(::testing::Values("English", "German"),
                                            ::testing::Values(96, 120, 144, 192)),
                         CaseName);

// Without a fixed resolution the window takes its monitor's: the system's
// under Wine (its LogPixels setting; run-wine-tests.sh runs these tests once
// more at 144 and says so in TW_EXPECT_DPI).
TEST(MonitorResolution, WindowIsLaidOutAtItsMonitorsResolution) {
    const auto window = StartProgram("English", 0);
    const char* told = std::getenv("TW_EXPECT_DPI");
    const int expected = told != nullptr && std::atoi(told) != 0 ? std::atoi(told) : ScreenDpi();
    EXPECT_EQ(window->backend.Dpi(), expected);
    ExpectLaidOutAt(*window, expected);
    std::cout << "[ dpi      ] the window is laid out at " << window->backend.Dpi() << " dpi\n";
}

TEST(MonitorResolution, MovingToAnotherResolutionLaysTheWindowOutAgain) {
    const auto window = StartProgram("English", 0);
    const HWND form = window->backend.Handle();
    const Control& label = window->Find("lblPasswordReminder");
    const float left = label.Left();
    const int before = window->backend.Dpi();
    const int after = before == 192 ? 96 : 192;
    RECT suggested{40, 30, 40 + 9300 * after / 1440 + 20, 30 + 6300 * after / 1440 + 40};
    ::SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(after, after),
                   reinterpret_cast<LPARAM>(&suggested));
    window->backend.PumpMessages();
    EXPECT_EQ(window->backend.Dpi(), after);

    RECT frame{};
    ::GetWindowRect(form, &frame);
    EXPECT_EQ((std::array{frame.left, frame.top, frame.right, frame.bottom}),
              (std::array{suggested.left, suggested.top, suggested.right, suggested.bottom}));

    ExpectLaidOutAt(*window, after, false);
    // The model never hears of it: twips stay twips.
    EXPECT_EQ(label.Left(), left);
}

} // namespace

} // namespace tw::winetests
