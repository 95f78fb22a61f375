// mCommon on the simulated window system, where the scenarios cannot reach:
// visual styles, the highlight blend and the window's icons; the
// keyboard-cue setting and the two thread hooks (keys show the cues, a mouse
// move of more than about 31.6 pixels with no key or button down hides them).
#include "common/mCommon.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace tw;
using win::HWND;

// A simulated computer and an mCommon on it, the platform check done; the
// cues the hooks ask for.
struct Computer {
    explicit Computer(const std::string& machine = "{}")
        : sim(sim::loadMachineText(machine)), platform(sim.platform()),
          common(platform, u"C:\\App") {
        common.CheckPlatform();
        common.SetCueTarget([this](bool show) { requests.push_back(show ? "Cue" : "UnCue"); });
    }
    sim::SimPlatform sim;
    win::Platform platform;
    mCommon common;
    std::vector<std::string> requests;
};

constexpr std::uint32_t Sys(int index) {
    return 0x80000000u + static_cast<std::uint32_t>(index);
}

const HWND kWindow = reinterpret_cast<HWND>(std::uintptr_t{0xA0010});

std::string Machine(const char* version, const char* themes) {
    return std::string(R"({"system": {)") + version + R"(, "themes": )" + themes + "}}";
}

struct DetectRow {
    const char *version, *themes;
    bool themesActive, libraryPresent;
    friend void PrintTo(const DetectRow& r, std::ostream* os) { *os << r.version << r.themes; }
};

class DetectVisualStyles : public testing::TestWithParam<DetectRow> {};

TEST_P(DetectVisualStyles, SetsBothFlagsWithoutCallingAMissingLibrary) {
    const DetectRow& row = GetParam();
    Computer computer(Machine(row.version, row.themes));
    computer.common.DetectVisualStyles();
    EXPECT_EQ(computer.common.ThemesActive(), row.themesActive);
    EXPECT_EQ(computer.common.ThemeLibraryPresent(), row.libraryPresent);
    EXPECT_EQ(computer.sim.missingLibraryCalls(), 0u);
}

constexpr const char* kXP = R"("major": 5, "minor": 1)";
constexpr const char* kWin10 = R"("major": 10, "minor": 0)";
constexpr const char* kThemedDesktop = R"({"appThemed": true, "themeActive": true})";

INSTANTIATE_TEST_SUITE_P(
    Rows, DetectVisualStyles,
    testing::Values(
        // Windows 2000: no visual styles, whatever the library would say.
        DetectRow{R"("major": 5, "minor": 0)", kThemedDesktop, false, false},
        // Windows 10 plain: scenarios under appearance/.
        DetectRow{kWin10, R"({"appThemed": true})", false, true},
        // Themed controls but no themed frame: the window stays classic.
        DetectRow{kWin10, R"({"appThemed": true, "themeActive": true, "appProperties": 2})", false,
                  true},
        DetectRow{kWin10, R"({"appThemed": true, "themeActive": true, "appProperties": 1})", true,
                  true},
        DetectRow{kXP, kThemedDesktop, true, true},
        DetectRow{kXP, R"({"themeActive": true})", false, true},
        DetectRow{kXP, R"({"library": false, "appThemed": true, "themeActive": true})", false,
                  false}));

TEST(VisualStyles, LibraryThatGoesMissingLeavesTheThemeStateAsItWas) {
    Computer computer(Machine(kWin10, kThemedDesktop));
    computer.common.DetectVisualStyles();
    ASSERT_TRUE(computer.common.ThemesActive());
    computer.sim.applyPatch(nlohmann::json::parse(R"({"system": {"themes": {"library": false}}})"));
    computer.common.DetectVisualStyles();
    EXPECT_FALSE(computer.common.ThemeLibraryPresent());
    EXPECT_TRUE(computer.common.ThemesActive());
    EXPECT_EQ(computer.sim.missingLibraryCalls(), 0u);
}

struct BlendRow {
    std::uint32_t a, b, blended;
    friend void PrintTo(const BlendRow& r, std::ostream* os) { *os << r.a << " " << r.b; }
};

class BlendColors : public testing::TestWithParam<BlendRow> {};

TEST_P(BlendColors, TakesTheMeanOfEachChannelRoundedDown) {
    Computer computer(Machine(kWin10, "{}"));
    EXPECT_EQ(computer.common.BlendColors(GetParam().a, GetParam().b), GetParam().blended);
}

INSTANTIATE_TEST_SUITE_P(Rows, BlendColors,
                         testing::Values(BlendRow{0x030201, 0x000000, 0x010100},
                                         BlendRow{Sys(15), Sys(8), 0x787878},
                                         // Only the bits 0 to 10 of a system colour name its index.
                                         BlendRow{Sys(15) | 0x800, 0xF0F0F0, 0xF0F0F0},
                                         // The top byte of a concrete colour plays no part.
                                         BlendRow{0x7F000000, 0x00000002, 0x000001}));

// An icon that fails to load: scenarios/appearance/icon-that-fails-to-load.json.
TEST(FormIcons, AnIconTheWindowHadFromElsewhereIsNotDestroyed) {
    Computer computer("{}");
    const win::HMODULE module = computer.sim.windowSystem().GetModuleHandleW(nullptr);
    const auto foreign = reinterpret_cast<win::LPARAM>(computer.sim.windowSystem().LoadImageW(
        module, win::MAKEINTRESOURCEW_(1), win::IMAGE_ICON, 16, 16, 0));
    computer.sim.windowSystem().SendMessageW(kWindow, win::WM_SETICON, win::ICON_SMALL, foreign);
    computer.common.SetFormIcons(kWindow);
    EXPECT_EQ(computer.sim.liveIcons(), 3u);
    EXPECT_NE(computer.sim.windowSystem().DestroyIcon(reinterpret_cast<win::HICON>(foreign)), 0);
}

// The setting read when the system answers, and not after a failed query:
// scenarios/appearance/cues-always-shown.json and cues-setting-unread.json.

// A hook installed before the program's: it must still see every event.
int olderHookCalls = 0;
win::LRESULT TW_CALLBACK OlderHook(int, win::WPARAM, win::LPARAM) {
    ++olderHookCalls;
    return 7;
}

TEST(CueHooks, InstalledOnceAndRemovedAgainEvenTwice) {
    Computer computer;
    computer.common.InstallCueHooks();
    computer.common.InstallCueHooks();
    EXPECT_EQ(computer.sim.hooks(), (std::vector<std::string>{"WH_KEYBOARD", "WH_MOUSE"}));
    computer.common.RemoveCueHooks();
    computer.common.RemoveCueHooks();
    EXPECT_TRUE(computer.sim.hooks().empty());
    EXPECT_EQ(computer.common.KeyboardHook(), nullptr);
    EXPECT_EQ(computer.common.MouseHook(), nullptr);
    computer.sim.keyEvent(win::VK_MENU, false);
    EXPECT_TRUE(computer.requests.empty());
}

TEST(CueHooks, AHookThatCannotBeInstalledStaysZeroAndTheOtherIsRemoved) {
    Computer computer(R"({"windowFail": {"SetWindowsHookExW#1": 1428}})");
    computer.common.InstallCueHooks();
    EXPECT_EQ(computer.common.KeyboardHook(), nullptr);
    EXPECT_EQ(computer.sim.hooks(), std::vector<std::string>{"WH_MOUSE"});
    computer.common.RemoveCueHooks();
    EXPECT_TRUE(computer.sim.hooks().empty());
}

TEST(CueHooks, EveryKeyDownAndUpAsksForTheCuesAndTheNextHookAlwaysRuns) {
    Computer computer;
    olderHookCalls = 0;
    computer.sim.windowSystem().SetWindowsHookExW(win::WH_KEYBOARD, &OlderHook, nullptr,
                                                  computer.sim.windowSystem().GetCurrentThreadId());
    computer.common.InstallCueHooks();
    computer.sim.keyEvent(win::VK_MENU, false);
    computer.sim.keyEvent(win::VK_MENU, true);
    EXPECT_EQ(computer.requests, (std::vector<std::string>{"Cue", "Cue"}));
    // An error in the window is ignored.
    computer.common.SetCueTarget([](bool) { throw std::runtime_error("no window"); });
    EXPECT_NO_THROW(computer.sim.keyEvent(win::VK_MENU, false));
    EXPECT_EQ(olderHookCalls, 3);
}

struct MoveRow {
    win::LONG x, y;
    bool hides;
    friend void PrintTo(const MoveRow& r, std::ostream* os) { *os << r.x << ", " << r.y; }
};

class MouseCueHook : public testing::TestWithParam<MoveRow> {};

TEST_P(MouseCueHook, HidesTheCuesOnlyBeyondTheDistanceFromTheLastPoint) {
    Computer computer;
    computer.common.InstallCueHooks();
    computer.sim.mouseMove(GetParam().x, GetParam().y);
    EXPECT_EQ(computer.requests.size(), GetParam().hides ? 1u : 0u);
    const win::POINT last = computer.common.LastMousePoint();
    EXPECT_EQ(last.x, GetParam().hides ? GetParam().x : 0);
    EXPECT_EQ(last.y, GetParam().hides ? GetParam().y : 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, MouseCueHook,
                         // 30 and 32 pixels along: appearance/keyboard-and-mouse-cues.json.
                         testing::Values(MoveRow{0, -31, false}, // 961 is not above 1000
                                         MoveRow{-22, 23, true}, // 1013
                                         MoveRow{10, 30, false}, // 1000 exactly
                                         MoveRow{100000, 100000, true}));

TEST(CueHooks, HooksThatOutliveTheirObjectDoNothing) {
    sim::SimPlatform sim(sim::loadMachineText("{}"));
    win::Platform platform = sim.platform();
    {
        mCommon common(platform, u"C:\\App");
        common.CheckPlatform();
        common.InstallCueHooks();
    }
    EXPECT_EQ(sim.hooks().size(), 2u);
    EXPECT_NO_THROW(sim.keyEvent(win::VK_MENU, false));
    EXPECT_NO_THROW(sim.mouseMove(500, 500));
}

} // namespace
