// The program's window in the Win32 window at 100 % to 200 % screen scale,
// on the simulated computer: every caption measured with the font its
// control really has fits the control's box, in English and in German; the
// twips land on the pixels of the resolution; the spinner's glyphs are drawn
// at their size; a move to a monitor of another resolution lays the window
// out again.
#include "GermanLanguageFile.h"
#include "ProgramWindow.h"

#include "app/FUserInfo.h"
#include "controls/PlusMinusGlyph.h"
#include "hosts/ProgramVersion.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Win32Backend.h"
#include "toolkit/win32/Win32Convert.h"

#include "toolkit/win32/Win32Windows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>

namespace tw::winetests {

namespace {

using toolkit::Control;
using toolkit::ControlKind;

constexpr char kMachine[] = R"({
  "system": {"userName": "alice"},
  "computers": {"WS01": {"accounts": [{"name": "alice"}, {"name": "Administrator"}]}}
})";

enum class Language { English, German };

std::string NameOf(Language language) {
    return language == Language::German ? "German" : "English";
}

// FUserInfo started in the Win32 window, laid out at `dpi` (0: the monitor's).
std::unique_ptr<ProgramWindow> StartProgram(Language language, int dpi) {
    sim::MachineDescription machine = sim::loadMachineText(kMachine);
    if (language == Language::German) {
        machine.system.uiLanguage = 1031;
        sim::LanguageFile file;
        file.name = u"1031.loc";
        file.content = GermanLanguageFile();
        machine.languageFile = file;
    }
    return std::make_unique<ProgramWindow>(std::move(machine), dpi);
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(hwnd, text, 1024);
    return text;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

// GetSystemMetricsForDpi where the system has it, else the system's metric
// scaled.
int MetricForDpi(int index, int dpi) {
    using MetricForDpiFn = int(WINAPI*)(int, UINT);
    if (const auto forDpi = reinterpret_cast<MetricForDpiFn>(reinterpret_cast<void (*)()>(
            ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi"))))
        return forDpi(index, static_cast<UINT>(dpi));
    const HDC screen = ::GetDC(nullptr);
    const int system = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return ::MulDiv(::GetSystemMetrics(index), dpi, system);
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

// The caption as the control's own font draws it, and the room it has.
struct Fit {
    SIZE text{};
    int oneLine = 0; // the width of the caption on one line
    SIZE room{};
    std::wstring face;
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
        fit.face = reinterpret_cast<const wchar_t*>(
            metrics + reinterpret_cast<std::uintptr_t>(outline->otmpFamilyName));
    } else {
        wchar_t face[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, face);
        fit.face = face;
    }
    const std::wstring text = TextOf(hwnd);
    UINT format = DT_CALCRECT | DT_LEFT | DT_TOP | DT_EXPANDTABS;
    switch (kind) {
    case ControlKind::Label: {
        // A static control breaks its text at words within its width.
        format |= DT_WORDBREAK;
        if ((::GetWindowLongPtrW(hwnd, GWL_STYLE) & SS_NOPREFIX) != 0)
            format |= DT_NOPREFIX;
        break;
    }
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
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    fit.text = {r.right - r.left, r.bottom - r.top};
    RECT line{0, 0, 0, 0};
    if (!text.empty())
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line,
                    (format & ~UINT{DT_WORDBREAK}) | DT_SINGLELINE);
    fit.oneLine = line.right - line.left;
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd, dc);
    return fit;
}

using ScaleCase = std::tuple<Language, int>;

std::string CaseName(const ::testing::TestParamInfo<ScaleCase>& info) {
    return NameOf(std::get<0>(info.param)) + "_" + std::to_string(std::get<1>(info.param)) + "dpi";
}

class AtScale : public ::testing::TestWithParam<ScaleCase> {
protected:
    void SetUp() override { window = StartProgram(std::get<0>(GetParam()), Dpi()); }
    void TearDown() override { window.reset(); }
    int Dpi() const { return std::get<1>(GetParam()); }
    int Px(float twips) const {
        return static_cast<int>(std::lround(static_cast<double>(twips) * Dpi() / 1440.0));
    }

    std::unique_ptr<ProgramWindow> window;
};

TEST_P(AtScale, EveryCaptionFitsItsControlInTheControlsOwnFont) {
    ASSERT_EQ(window->backend.Dpi(), Dpi());
    std::ostringstream clipped;
    std::wstring face;
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
            clipped << "\n  " << control->Name() << " \"" << Narrow(TextOf(hwnd)) << "\": needs "
                    << fit.text.cx << "x" << fit.text.cy << " px (" << fit.oneLine
                    << " on one line), has " << fit.room.cx << "x" << fit.room.cy;
    }
    std::cout << "[ fonts    ] " << NameOf(std::get<0>(GetParam())) << " at " << Dpi()
              << " dpi: " << measured << " captions in \"" << Narrow(face) << "\"\n";
    EXPECT_GT(measured, 30);
    EXPECT_TRUE(clipped.str().empty()) << "clipped in \"" << Narrow(face) << "\":" << clipped.str();
}

TEST_P(AtScale, TwipsLandOnThePixelsOfTheResolution) {
    for (const char* name : {"optLocal", "txtServer", "cbUsername", "chkCanChange",
                             "lblPwdHistoryLen", "txtPasswordReminder", "cmdLocalSet"}) {
        const Control& control = window->Find(name);
        RECT r{};
        ::GetWindowRect(window->H(control), &r);
        ::MapWindowPoints(HWND_DESKTOP, window->backend.Handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, Px(control.Left())) << name;
        EXPECT_EQ(r.top, Px(control.Top())) << name;
        EXPECT_EQ(r.right, Px(control.Left() + control.Width())) << name;
        if (control.Kind() != ControlKind::ComboBox) { // its window holds the opened list too
            EXPECT_EQ(r.bottom, Px(control.Top() + control.Height())) << name;
        }
    }
    RECT client{};
    ::GetClientRect(window->backend.Handle(), &client);
    EXPECT_EQ(client.right, Px(window->window.Form().ScaleWidth()));
    EXPECT_EQ(client.bottom, Px(window->window.Form().ScaleHeight()));
}

TEST_P(AtScale, FontsAreMadeForTheResolution) {
    for (const char* name : {"lblMaxPwdAge", "lblServerPar", "chkDisabled", "cmdUserSet"}) {
        const Control& control = window->Find(name);
        const auto font =
            reinterpret_cast<HFONT>(::SendMessageW(window->H(control), WM_GETFONT, 0, 0));
        LOGFONTW logFont{};
        ASSERT_GT(::GetObjectW(font, sizeof(logFont), &logFont), 0) << name;
        EXPECT_EQ(logFont.lfHeight, -std::lround(control.Font().Size * Dpi() / 72.0)) << name;
    }
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
        ASSERT_EQ(r.right, Px(120)) << name;
        ASSERT_EQ(r.bottom, Px(120)) << name;
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

TEST_P(AtScale, WindowIconsHaveTheSystemsSizesForTheResolution) {
    const HWND form = window->backend.Handle();
    EXPECT_EQ(IconWidth(form, ICON_SMALL), MetricForDpi(SM_CXSMICON, Dpi()));
    EXPECT_EQ(IconWidth(form, ICON_BIG), MetricForDpi(SM_CXICON, Dpi()));
}

INSTANTIATE_TEST_SUITE_P(Win32, AtScale,
                         ::testing::Combine(::testing::Values(Language::English, Language::German),
                                            ::testing::Values(96, 120, 144, 192)),
                         CaseName);

// Without a fixed resolution the window takes its monitor's: the system's
// under Wine (its LogPixels setting; run-wine-tests.sh runs these tests once
// more at 144 and says so in TW_EXPECT_DPI).
TEST(MonitorResolution, WindowIsLaidOutAtItsMonitorsResolution) {
    const auto window = StartProgram(Language::English, 0);
    int expected = 0;
    if (const char* told = std::getenv("TW_EXPECT_DPI"))
        expected = std::atoi(told);
    if (expected == 0) {
        const HDC screen = ::GetDC(nullptr);
        expected = ::GetDeviceCaps(screen, LOGPIXELSX);
        ::ReleaseDC(nullptr, screen);
    }
    EXPECT_EQ(window->backend.Dpi(), expected);
    RECT client{};
    ::GetClientRect(window->backend.Handle(), &client);
    EXPECT_EQ(client.right, std::lround(9300.0 * expected / 1440.0));
    std::cout << "[ dpi      ] the window is laid out at " << window->backend.Dpi() << " dpi\n";
}

TEST(MonitorResolution, MovingToAnotherResolutionLaysTheWindowOutAgain) {
    const auto window = StartProgram(Language::English, 0);
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
    EXPECT_EQ(frame.left, suggested.left);
    EXPECT_EQ(frame.top, suggested.top);
    EXPECT_EQ(frame.right - frame.left, suggested.right - suggested.left);
    EXPECT_EQ(frame.bottom - frame.top, suggested.bottom - suggested.top);

    RECT r{};
    ::GetWindowRect(window->H(label), &r);
    ::MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, std::lround(label.Left() * after / 1440.0));
    EXPECT_EQ(r.right - r.left, std::lround((label.Left() + label.Width()) * after / 1440.0) -
                                    std::lround(label.Left() * after / 1440.0));
    LOGFONTW logFont{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window->H(label), WM_GETFONT, 0, 0)),
                 sizeof(logFont), &logFont);
    EXPECT_EQ(logFont.lfHeight, -std::lround(label.Font().Size * after / 72.0));
    EXPECT_EQ(IconWidth(form, ICON_SMALL), MetricForDpi(SM_CXSMICON, after));
    EXPECT_EQ(IconWidth(form, ICON_BIG), MetricForDpi(SM_CXICON, after));
    // The model never hears of it: twips stay twips.
    EXPECT_EQ(label.Left(), left);
}

} // namespace

} // namespace tw::winetests
