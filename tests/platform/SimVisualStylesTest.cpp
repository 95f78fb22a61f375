// The simulated uxtheme: the theme state, theme handles for the class
// "WINDOW" and their colours, and a library that may be missing.
#include "SimTestSupport.h"

#include <gtest/gtest.h>

using namespace tw;
using namespace tw::sim;
using namespace tw::sim::test;
using namespace tw::win;

namespace {

HWND window() {
    return reinterpret_cast<HWND>(std::uintptr_t{0xA0010});
}

constexpr const char* kThemed =
    R"({"system": {"themes": {"appThemed": true, "themeActive": true,
                              "colors": {"5": "0xF8F8F8"}}}})";

} // namespace

TEST(SimVisualStyles, DefaultDesktopHasTheLibraryButNoVisualStyles) {
    auto sim = makeSim("{}");
    EXPECT_TRUE(sim->HasUxTheme());
    EXPECT_EQ(sim->IsAppThemed(), 0);
    EXPECT_EQ(sim->IsThemeActive(), 0);
    EXPECT_EQ(sim->GetThemeAppProperties(), 7u);
    EXPECT_EQ(sim->OpenThemeData(window(), u"WINDOW"), nullptr);
}

TEST(SimVisualStyles, ThemeDataOfTheWindowClassGivesTheThemeColours) {
    auto sim = makeSim(kThemed);
    HTHEME theme = sim->OpenThemeData(window(), u"Button; window");
    ASSERT_NE(theme, nullptr);
    EXPECT_EQ(sim->openThemes(), 1u);
    EXPECT_EQ(sim->GetThemeSysColor(theme, COLOR_WINDOW), 0xF8F8F8u);
    // An index the theme does not list is the system colour.
    EXPECT_EQ(sim->GetThemeSysColor(theme, COLOR_BTNFACE), 0xF0F0F0u);
    EXPECT_EQ(sim->CloseThemeData(theme), S_OK);
    EXPECT_EQ(sim->CloseThemeData(theme), E_HANDLE);
    EXPECT_EQ(sim->openThemes(), 0u);
    EXPECT_EQ(sim->OpenThemeData(window(), u"BUTTON"), nullptr);
}

TEST(SimVisualStyles, TurningTheProgramsThemingOffEndsItsThemedState) {
    auto sim = makeSim(kThemed);
    EXPECT_NE(sim->IsAppThemed(), 0);
    sim->SetThemeAppProperties(0);
    EXPECT_EQ(sim->IsAppThemed(), 0);
    EXPECT_NE(sim->IsThemeActive(), 0); // the desktop keeps its theme
    EXPECT_EQ(sim->OpenThemeData(window(), u"WINDOW"), nullptr);
    EXPECT_EQ(sim->query("system/themes/appProperties"), 0u);
}

TEST(SimVisualStyles, MissingLibraryFailsEveryCallAndCountsIt) {
    auto sim = makeSim(R"({"system": {"themes": {"library": false, "appThemed": true,
                                                  "themeActive": true}}})");
    EXPECT_FALSE(sim->HasUxTheme());
    EXPECT_EQ(sim->missingLibraryCalls(), 0u);
    EXPECT_EQ(sim->IsAppThemed(), 0);
    EXPECT_EQ(sim->OpenThemeData(window(), u"WINDOW"), nullptr);
    sim->SetThemeAppProperties(0);
    EXPECT_EQ(sim->GetThemeAppProperties(), 0u);
    EXPECT_EQ(sim->missingLibraryCalls(), 4u);
    EXPECT_EQ(sim->machine().system.themes.appProperties, 7u);
}
