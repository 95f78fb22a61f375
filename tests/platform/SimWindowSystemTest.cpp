// The simulated window system: colours, metrics, the keyboard-cue setting,
// icons, window procedures, thread hooks and the keyboard state; and the
// simulated uxtheme: the theme state, theme handles for the class "WINDOW"
// and their colours, and a library that may be missing.
#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tw;
using namespace tw::sim::test;
using namespace tw::win;

namespace {

const HWND kWindow = reinterpret_cast<HWND>(std::uintptr_t{0xA0010});

constexpr const char* kThemed =
    R"({"system": {"themes": {"appThemed": true, "themeActive": true,
                              "colors": {"5": "0xF8F8F8"}}}})";

// The messages the test's window procedure saw.
std::vector<std::string> seen;

LRESULT TW_CALLBACK RecordingProc(HWND, UINT msg, WPARAM wParam, LPARAM) {
    seen.push_back("proc " + std::to_string(msg) + " " + std::to_string(wParam));
    return 42;
}

// A hook procedure that is refused before it could run.
LRESULT TW_CALLBACK NeverCalledHook(int, WPARAM, LPARAM) {
    return 0;
}

} // namespace

TEST(SimWindowSystem, IconsOfResourceOneAreFreshHandlesUntilDestroyed) {
    auto sim = makeSim("{}");
    const HMODULE module = sim->windowSystem().GetModuleHandleW(nullptr);
    HANDLE a = sim->windowSystem().LoadImageW(module, MAKEINTRESOURCEW_(1), IMAGE_ICON, 16, 16, 0);
    HANDLE b = sim->windowSystem().LoadImageW(module, MAKEINTRESOURCEW_(1), IMAGE_ICON, 32, 32, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_NE(a, b);
    EXPECT_NE(sim->windowSystem().DestroyIcon(static_cast<HICON>(a)), 0);
    EXPECT_EQ(sim->windowSystem().DestroyIcon(static_cast<HICON>(a)), 0);
    EXPECT_EQ(sim->system().GetLastError(), ERROR_INVALID_CURSOR_HANDLE);
    EXPECT_EQ(sim->liveIcons(), 1u);
    EXPECT_EQ(sim->windowSystem().LoadImageW(module, MAKEINTRESOURCEW_(2), IMAGE_ICON, 16, 16, 0),
              nullptr);
    EXPECT_EQ(sim->system().GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
}

// A window function failed by the machine's windowFail rules:
// scenarios/appearance/icon-that-fails-to-load.json and cues-setting-unread.json.

TEST(SimWindowSystem, ReplacedProcedureGetsTheMessagesAndCanHandThemOn) {
    auto sim = makeSim("{}");
    seen.clear();
    const LONG_PTR previous = sim->windowSystem().SetWindowLongW(
        kWindow, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(previous), &sim::SimWindowSystem::DefaultWindowProc);

    EXPECT_EQ(sim->windowSystem().SendMessageW(kWindow, WM_UPDATEUISTATE, 0x30002, 0), 42);
    EXPECT_EQ(sim->deliverMessage(kWindow, WM_SYSCOLORCHANGE, 0, 0), 42);
    EXPECT_EQ(seen, (std::vector<std::string>{"proc 296 196610", "proc 21 0"}));
    // Only what the program sent is in the log.
    EXPECT_EQ(sim->windowMessages(), std::vector<std::string>{"WM_UPDATEUISTATE 0x30002 0"});
    // The procedure has not handed the message on: the state is unchanged.
    EXPECT_EQ(sim->uiState(kWindow), UISF_HIDEFOCUS | UISF_HIDEACCEL);

    sim->windowSystem().CallWindowProcW(reinterpret_cast<WNDPROC>(previous), kWindow,
                                        WM_UPDATEUISTATE, 0x30002, 0);
    EXPECT_EQ(sim->uiState(kWindow), 0);
    EXPECT_EQ(sim->windowSystem().SetWindowLongW(kWindow, GWL_WNDPROC, previous),
              reinterpret_cast<LONG_PTR>(&RecordingProc));
    EXPECT_EQ(sim->windowSystem().SendMessageW(kWindow, WM_UPDATEUISTATE, 0x10001, 0), 0);
    EXPECT_EQ(sim->uiState(kWindow), UISF_HIDEFOCUS);
}

TEST(SimWindowSystem, SetWindowLongRefusesWhatItCannotDo) {
    auto sim = makeSim("{}");
    EXPECT_EQ(sim->windowSystem().SetWindowLongW(nullptr, GWL_WNDPROC, 1), 0);
    EXPECT_EQ(sim->system().GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(sim->windowSystem().SetWindowLongW(kWindow, -16, 1), 0);
    EXPECT_EQ(sim->system().GetLastError(), ERROR_INVALID_INDEX);
}

// Key events through the hook chain, newest first, and mouse moves with the
// pointer's position: CueHooks.EveryKeyDownAndUpAsks... and MouseCueHook in
// tests/common, where the program's own hooks sit in the chain. Keys and
// buttons held down: scenarios/appearance/dragging-keeps-cues.json.

struct HookRefusal {
    using TestRow = void;
    int kind;
    bool withProc;
    DWORD thread; // 1: the program's thread
    DWORD error;
};

class SimHookRefusals : public testing::TestWithParam<HookRefusal> {};

TEST_P(SimHookRefusals, SetTheLastError) {
    auto sim = makeSim("{}");
    const HookRefusal& row = GetParam();
    const DWORD thread = row.thread == 1 ? sim->windowSystem().GetCurrentThreadId() : row.thread;
    EXPECT_EQ(sim->windowSystem().SetWindowsHookExW(
                  row.kind, row.withProc ? &NeverCalledHook : nullptr, nullptr, thread),
              nullptr);
    EXPECT_EQ(sim->system().GetLastError(), row.error);
    EXPECT_TRUE(sim->hooks().empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, SimHookRefusals,
                         testing::Values(HookRefusal{13, true, 1, ERROR_INVALID_HOOK_FILTER},
                                         HookRefusal{WH_MOUSE, false, 1, ERROR_INVALID_FILTER_PROC},
                                         HookRefusal{WH_MOUSE, true, 0, ERROR_HOOK_NEEDS_HMOD},
                                         HookRefusal{WH_MOUSE, true, 4242,
                                                     ERROR_INVALID_PARAMETER}));

TEST(SimVisualStyles, ThemeDataOfTheWindowClassGivesTheThemeColours) {
    auto sim = makeSim(kThemed);
    HTHEME theme = sim->visualStyles().OpenThemeData(kWindow, u"Button; window");
    ASSERT_NE(theme, nullptr);
    EXPECT_EQ(sim->openThemes(), 1u);
    EXPECT_EQ(sim->visualStyles().GetThemeSysColor(theme, COLOR_WINDOW), 0xF8F8F8u);
    // An index the theme does not list is the system colour.
    EXPECT_EQ(sim->visualStyles().GetThemeSysColor(theme, COLOR_BTNFACE), 0xF0F0F0u);
    EXPECT_EQ(sim->visualStyles().CloseThemeData(theme), S_OK);
    EXPECT_EQ(sim->visualStyles().CloseThemeData(theme), E_HANDLE);
    EXPECT_EQ(sim->openThemes(), 0u);
    EXPECT_EQ(sim->visualStyles().OpenThemeData(kWindow, u"BUTTON"), nullptr);
}

TEST(SimVisualStyles, TurningTheProgramsThemingOffEndsItsThemedState) {
    auto sim = makeSim(kThemed);
    EXPECT_NE(sim->visualStyles().IsAppThemed(), 0);
    sim->visualStyles().SetThemeAppProperties(0);
    EXPECT_EQ(sim->visualStyles().IsAppThemed(), 0);
    EXPECT_NE(sim->visualStyles().IsThemeActive(), 0); // the desktop keeps its theme
    EXPECT_EQ(sim->visualStyles().OpenThemeData(kWindow, u"WINDOW"), nullptr);
    EXPECT_EQ(sim->query("system/themes/appProperties"), 0u);
}

TEST(SimVisualStyles, MissingLibraryFailsEveryCallAndCountsIt) {
    auto sim = makeSim(R"({"system": {"themes": {"library": false, "appThemed": true,
                                                  "themeActive": true}}})");
    EXPECT_FALSE(sim->visualStyles().HasUxTheme());
    EXPECT_EQ(sim->missingLibraryCalls(), 0u);
    EXPECT_EQ(sim->visualStyles().IsAppThemed(), 0);
    EXPECT_EQ(sim->visualStyles().OpenThemeData(kWindow, u"WINDOW"), nullptr);
    sim->visualStyles().SetThemeAppProperties(0);
    EXPECT_EQ(sim->visualStyles().GetThemeAppProperties(), 0u);
    EXPECT_EQ(sim->missingLibraryCalls(), 4u);
    EXPECT_EQ(sim->machine().system.themes.appProperties, 7u);
}
