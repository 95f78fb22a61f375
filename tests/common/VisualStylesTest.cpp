// Visual styles, colour roles, the highlight blend and the window's icons, on
// the simulated window system.
#include "common/mCommon.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

namespace {

// Rows print as "row": gtest would otherwise dump their bytes, padding included.
template <typename Row>
requires requires {
    typename Row::TestRow;
}
void PrintTo(const Row&, std::ostream* os) {
    *os << "row";
}

using namespace tw;
using win::HWND;

constexpr std::uint32_t Sys(int index) {
    return 0x80000000u + static_cast<std::uint32_t>(index);
}

HWND Window() {
    return reinterpret_cast<HWND>(std::uintptr_t{0xA0010});
}

// A simulated computer and an mCommon on it, the platform check done.
struct Computer {
    explicit Computer(const std::string& machine)
        : sim(sim::loadMachineText(machine)), platform(sim.platform()),
          common(platform, u"C:\\App") {
        common.CheckPlatform();
    }
    sim::SimPlatform sim;
    win::Platform platform;
    mCommon common;
};

std::string Machine(const char* version, const char* themes) {
    return std::string(R"({"system": {)") + version + R"(, "themes": )" + themes + "}}";
}

struct DetectRow {
    using TestRow = void;
    const char* version;
    const char* themes;
    bool themesActive;
    bool libraryPresent;
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
        DetectRow{kXP, kThemedDesktop, true, true}, DetectRow{kWin10, R"({})", false, true},
        DetectRow{kWin10, R"({"appThemed": true})", false, true},
        DetectRow{kWin10, R"({"themeActive": true})", false, true},
        // Themed controls but no themed frame: the window stays classic.
        DetectRow{kWin10, R"({"appThemed": true, "themeActive": true, "appProperties": 2})", false,
                  true},
        DetectRow{kWin10, R"({"appThemed": true, "themeActive": true, "appProperties": 1})", true,
                  true},
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

TEST(VisualStyles, WithoutVisualStylesEveryRoleIsASystemColourConstant) {
    Computer computer(Machine(kWin10, "{}"));
    computer.common.DetectVisualStyles();
    const FormColors colors = computer.common.ResolveFormColors(Window());
    EXPECT_EQ(colors.face, Sys(15));
    EXPECT_EQ(colors.text, Sys(18));
    EXPECT_EQ(colors.back, Sys(5));
    EXPECT_EQ(colors.backText, Sys(8));
    EXPECT_EQ(colors.dark, Sys(21));
}

TEST(VisualStyles, WithVisualStylesTheRolesAreTheThemesColoursAndNoThemeStaysOpen) {
    Computer computer(Machine(kWin10, R"({"appThemed": true, "themeActive": true,
        "colors": {"15": "0xEEEEEE", "18": "0x010101", "5": "0xFAFAFA", "8": "0x020202"}})"));
    computer.common.DetectVisualStyles();
    const FormColors colors = computer.common.ResolveFormColors(Window());
    EXPECT_EQ(colors.face, 0xEEEEEEu);
    EXPECT_EQ(colors.text, 0x010101u);
    EXPECT_EQ(colors.back, 0xFAFAFAu);
    EXPECT_EQ(colors.backText, 0x020202u);
    EXPECT_EQ(colors.dark, 0x696969u); // not in the theme: the system's
    EXPECT_EQ(computer.sim.openThemes(), 0u);
}

TEST(VisualStyles, ResolveThemeColorKeepsConcreteColoursAndFallsBackOnlyWhenAsked) {
    Computer computer(Machine(kWin10, "{}"));
    computer.common.DetectVisualStyles();
    mCommon& common = computer.common;
    win::HTHEME theme = nullptr;
    EXPECT_EQ(common.ResolveThemeColor(0x123456, Window(), theme, false, u"WINDOW", false, true),
              0x123456u);
    EXPECT_EQ(common.ResolveThemeColor(Sys(5), Window(), theme, false, u"WINDOW", false, false),
              Sys(5));
    EXPECT_EQ(common.ResolveThemeColor(Sys(15), Window(), theme, false, u"WINDOW", false, true),
              0xF0F0F0u);
    EXPECT_EQ(theme, nullptr);
}

TEST(VisualStyles, EnsureThemeDataOpensOnceReopensOnForceAndClosesWhenStylesEnd) {
    Computer computer(Machine(kWin10, kThemedDesktop));
    mCommon& common = computer.common;
    common.DetectVisualStyles();
    win::HTHEME theme = nullptr;
    common.EnsureThemeData(theme, Window(), false, u"WINDOW");
    const win::HTHEME first = theme;
    ASSERT_NE(first, nullptr);
    common.EnsureThemeData(theme, Window(), false, u"WINDOW");
    EXPECT_EQ(theme, first);
    common.EnsureThemeData(theme, Window(), true, u"WINDOW");
    EXPECT_NE(theme, first);
    EXPECT_EQ(computer.sim.openThemes(), 1u);

    computer.sim.applyPatch(
        nlohmann::json::parse(R"({"system": {"themes": {"themeActive": false}}})"));
    common.DetectVisualStyles();
    common.EnsureThemeData(theme, Window(), false, u"WINDOW");
    EXPECT_EQ(theme, nullptr);
    EXPECT_EQ(computer.sim.openThemes(), 0u);
}

struct BlendRow {
    using TestRow = void;
    std::uint32_t a;
    std::uint32_t b;
    std::uint32_t blended;
};

class BlendColors : public testing::TestWithParam<BlendRow> {};

TEST_P(BlendColors, TakesTheMeanOfEachChannelRoundedDown) {
    Computer computer(Machine(kWin10, "{}"));
    EXPECT_EQ(computer.common.BlendColors(GetParam().a, GetParam().b), GetParam().blended);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BlendColors,
    testing::Values(
        // The focused field's highlight on a white window: red 255, green 255, blue 191.
        BlendRow{Sys(5), kFieldHighlight, 0xBFFFFF}, BlendRow{0xFFFFFF, kFieldHighlight, 0xBFFFFF},
        BlendRow{0x000000, 0xFFFFFF, 0x7F7F7F}, BlendRow{0x030201, 0x000000, 0x010100},
        BlendRow{Sys(15), Sys(8), 0x787878},
        // The top byte of a concrete colour plays no part.
        BlendRow{0x7F000000, 0x00000002, 0x000001}));

TEST(VisualStyles, SysColorToRgbLooksUpConstantsAndKeepsConcreteColours) {
    Computer computer(Machine(kWin10, "{}"));
    EXPECT_EQ(computer.common.SysColorToRgb(Sys(5)), 0xFFFFFFu);
    EXPECT_EQ(computer.common.SysColorToRgb(Sys(15) | 0x800), 0xF0F0F0u); // index bits 0 to 10
    EXPECT_EQ(computer.common.SysColorToRgb(0x00ABCDEF), 0xABCDEFu);
}

TEST(VisualStyles, FieldColoursAreHighlightedOnlyForTheActiveControl) {
    Computer computer(Machine(kWin10, "{}"));
    computer.common.DetectVisualStyles();
    const FieldColors active = computer.common.ResolveFieldColors(Window(), true);
    const FieldColors plain = computer.common.ResolveFieldColors(Window(), false);
    EXPECT_EQ(active.back, 0xBFFFFFu);
    EXPECT_EQ(active.text, Sys(8));
    EXPECT_EQ(plain.back, Sys(5));
    EXPECT_EQ(plain.text, Sys(8));
}

TEST(VisualStyles, FieldHighlightFollowsTheThemesWindowColour) {
    Computer computer(Machine(
        kWin10, R"({"appThemed": true, "themeActive": true, "colors": {"5": "0x7F7F7F"}})"));
    computer.common.DetectVisualStyles();
    EXPECT_EQ(computer.common.ResolveFieldColors(Window(), true).back, 0x7FBFBFu);
    EXPECT_EQ(computer.common.ResolveFieldColors(Window(), false).back, 0x7F7F7Fu);
    EXPECT_EQ(computer.sim.openThemes(), 0u);
}

TEST(FormIcons, TheWindowGetsBothIconsAtTheSystemSizes) {
    Computer computer(R"({"system": {"smallIconSize": 20, "largeIconSize": 40}})");
    computer.common.SetFormIcons(Window());
    EXPECT_EQ(computer.sim.windowIcon(Window(), false), "20x20");
    EXPECT_EQ(computer.sim.windowIcon(Window(), true), "40x40");
    EXPECT_EQ(
        computer.sim.windowMessages(),
        (std::vector<std::string>{"WM_SETICON ICON_SMALL 20x20", "WM_SETICON ICON_BIG 40x40"}));
}

TEST(FormIcons, SettingThemAgainDestroysTheIconsItReplaced) {
    Computer computer("{}");
    computer.common.SetFormIcons(Window());
    computer.common.SetFormIcons(Window());
    computer.common.SetFormIcons(Window());
    EXPECT_EQ(computer.sim.liveIcons(), 2u);
    EXPECT_EQ(computer.sim.windowIcon(Window(), false), "16x16");
    EXPECT_EQ(computer.sim.windowIcon(Window(), true), "32x32");
}

TEST(FormIcons, AnIconThatFailsToLoadLeavesTheWindowsIcon) {
    Computer computer(R"({"windowFail": {"LoadImageW#3": 1814}})");
    computer.common.SetFormIcons(Window());
    computer.common.SetFormIcons(Window()); // the small icon fails, the large one is replaced
    EXPECT_EQ(computer.sim.windowIcon(Window(), false), "16x16");
    EXPECT_EQ(computer.sim.windowIcon(Window(), true), "32x32");
    EXPECT_EQ(computer.sim.liveIcons(), 2u);
    EXPECT_EQ(computer.sim.windowMessages().size(), 3u);
}

TEST(FormIcons, AnIconTheWindowHadFromElsewhereIsNotDestroyed) {
    Computer computer("{}");
    const win::HMODULE module = computer.sim.GetModuleHandleW(nullptr);
    const auto foreign = reinterpret_cast<win::LPARAM>(
        computer.sim.LoadImageW(module, win::MAKEINTRESOURCEW_(1), win::IMAGE_ICON, 16, 16, 0));
    computer.sim.SendMessageW(Window(), win::WM_SETICON, win::ICON_SMALL, foreign);
    computer.common.SetFormIcons(Window());
    EXPECT_EQ(computer.sim.liveIcons(), 3u);
    EXPECT_NE(computer.sim.DestroyIcon(reinterpret_cast<win::HICON>(foreign)), 0);
}

} // namespace
