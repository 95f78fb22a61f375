// The window's colours, icons and keyboard cues on the simulated window
// system: what start-up, the focus handlers, the subclassed window procedure,
// the hooks and shutdown do to the window and the platform.
#include "app/FUserInfo.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

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
using toolkit::ControlKind;

constexpr std::uint32_t Sys(int index) {
    return 0x80000000u + static_cast<std::uint32_t>(index);
}

constexpr const char* kPlain = R"({"computers": {"WS01": {"accounts": [{"name": "alice"}]}}})";
constexpr const char* kThemed = R"({"computers": {"WS01": {"accounts": [{"name": "alice"}]}},
    "system": {"themes": {"appThemed": true, "themeActive": true,
        "colors": {"15": "0xEEEEEE", "18": "0x010101", "5": "0xFAFAFA", "8": "0x020202",
                   "21": "0x404040"}}}})";

// The window started on a simulated computer, without a screen.
class Window {
public:
    explicit Window(const std::string& machine)
        : sim_(sim::loadMachineText(machine)),
          app_({u"Brenholt", 1, 0, 12, u"", u""}, sim_.machine().system.executableFolder),
          window_(app_, sim_.platform()), input_(window_.Form(), backend_.Clock()) {
        app_.SetBackend(&backend_);
        window_.Form().SetView(&backend_);
        window_.Form().SetHandle(toolkit::HeadlessBackend::WindowHandle());
        window_.Start();
    }

    sim::SimPlatform& Sim() { return sim_; }
    app::FUserInfo& Program() { return window_; }
    toolkit::Form& Form() { return window_.Form(); }
    toolkit::IUserInput& Input() { return input_; }
    win::HWND Handle() { return Form().Handle(); }
    toolkit::Control& Control(const std::string& name) {
        toolkit::Control* control = Form().Find(name);
        EXPECT_NE(control, nullptr) << name;
        return *control;
    }
    void System(win::UINT message) { sim_.deliverMessage(Handle(), message, 0, 0); }

private:
    sim::SimPlatform sim_;
    toolkit::Application app_;
    toolkit::HeadlessBackend backend_;
    app::FUserInfo window_;
    toolkit::HeadlessInput input_;
};

// Every colour the window holds, by "control.role".
std::vector<std::pair<std::string, std::uint32_t>> AllColors(toolkit::Form& form) {
    std::vector<std::pair<std::string, std::uint32_t>> colors = {{"Form.back", form.BackColor()},
                                                                 {"Form.fore", form.ForeColor()}};
    for (const auto& control : form.Controls()) {
        colors.emplace_back(control->Name() + ".back", control->BackColor());
        colors.emplace_back(control->Name() + ".fore", control->ForeColor());
        if (control->Kind() == ControlKind::Line)
            colors.emplace_back(control->Name() + ".border",
                                static_cast<toolkit::Line&>(*control).BorderColor());
        if (control->Kind() == ControlKind::Shape)
            colors.emplace_back(control->Name() + ".border",
                                static_cast<toolkit::Shape&>(*control).BorderColor());
    }
    return colors;
}

TEST(Appearance, WithoutVisualStylesEveryColourIsASystemColourExceptTheFocusedField) {
    Window window(kPlain);
    window.Input().Focus(window.Control("txtMaxPwdAge"));
    ASSERT_EQ(window.Form().ActiveControl(), &window.Control("txtMaxPwdAge"));
    for (const auto& [role, color] : AllColors(window.Form())) {
        if (role == "txtMaxPwdAge.back")
            EXPECT_EQ(color, 0xBFFFFFu) << role;
        else
            EXPECT_TRUE((color & 0x80000000u) != 0) << role << " is " << std::hex << color;
    }
}

struct RoleRow {
    using TestRow = void;
    const char* control;
    std::uint32_t back;
    std::uint32_t fore;
};

class ControlKindColours : public testing::TestWithParam<RoleRow> {};

// Without visual styles, so the colours name their roles by index.
TEST_P(ControlKindColours, FollowTheTableOfRoles) {
    Window window(kPlain);
    toolkit::Control& control = window.Control(GetParam().control);
    EXPECT_EQ(control.BackColor(), GetParam().back);
    EXPECT_EQ(control.ForeColor(), GetParam().fore);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ControlKindColours,
    testing::Values(RoleRow{"chkDisabled", Sys(5), Sys(18)}, RoleRow{"lblStatus", Sys(15), Sys(18)},
                    RoleRow{"cmdUserSet", Sys(15), Sys(18)}, RoleRow{"cbUsername", Sys(5), Sys(8)},
                    RoleRow{"txtServer", Sys(5), Sys(8)}, RoleRow{"shaUserPane", Sys(5), Sys(18)}));

TEST(Appearance, WithVisualStylesTheWindowTakesTheThemesColours) {
    Window window(kThemed);
    toolkit::Form& form = window.Form();
    EXPECT_EQ(form.BackColor(), 0xEEEEEEu);
    EXPECT_EQ(form.ForeColor(), 0x010101u);
    EXPECT_EQ(window.Control("chkDisabled").BackColor(), 0xFAFAFAu);
    EXPECT_EQ(window.Control("chkDisabled").ForeColor(), 0x010101u);
    EXPECT_EQ(window.Control("lblUserPar").ForeColor(), 0x010101u);
    EXPECT_EQ(window.Control("cmdUserSet").BackColor(), 0xEEEEEEu);
    EXPECT_EQ(window.Control("cbUsername").ForeColor(), 0x020202u);
    EXPECT_EQ(static_cast<toolkit::Shape&>(window.Control("Shape1")).BorderColor(), 0x404040u);
    EXPECT_EQ(static_cast<toolkit::Line&>(window.Control("lnStatus")).BorderColor(), 0x404040u);
    EXPECT_EQ(window.Control("txtServer").BackColor(), 0xFAFAFAu);
    // Option buttons keep their own colours.
    EXPECT_EQ(window.Control("optLocal").BackColor(), Sys(15));
    EXPECT_EQ(window.Sim().openThemes(), 0u);
}

TEST(Appearance, TheFocusedFieldIsHighlightedAndReturnsToWhiteWhenLeft) {
    Window window(kPlain);
    toolkit::Control& field = window.Control("txtMinPwdLen");
    window.Input().Focus(field);
    EXPECT_EQ(field.BackColor(), 0xBFFFFFu); // red 255, green 255, blue 191
    EXPECT_EQ(field.ForeColor(), Sys(8));
    window.Input().Focus(window.Control("txtPwdHistoryLen"));
    ASSERT_EQ(window.Form().ActiveControl(), &window.Control("txtPwdHistoryLen"));
    EXPECT_EQ(field.BackColor(), Sys(5));
    EXPECT_EQ(window.Control("txtPwdHistoryLen").BackColor(), 0xBFFFFFu);
}

TEST(Appearance, ColourChangeReappliesTheColoursAndRecomputesTheHighlight) {
    Window window(kPlain);
    toolkit::Control& field = window.Control("txtPasswordReminder");
    window.Input().Focus(field);
    ASSERT_EQ(field.BackColor(), 0xBFFFFFu);
    window.Sim().applyPatch(
        nlohmann::json::parse(R"({"system": {"sysColors": {"5": "0x7F7F7F"}}})"));
    window.System(win::WM_SYSCOLORCHANGE);
    EXPECT_EQ(field.BackColor(), 0x7FBFBFu);
    EXPECT_EQ(window.Control("txtServer").BackColor(), Sys(5));
    EXPECT_EQ(window.Form().BackColor(), Sys(15));
}

TEST(Appearance, AThemeSwitchedOnWhileRunningIsTurnedOffForTheProgram) {
    Window window(kPlain);
    window.Sim().applyPatch(nlohmann::json::parse(
        R"({"system": {"themes": {"appThemed": true, "themeActive": true,
                                  "colors": {"15": "0x123456"}}}})"));
    window.System(win::WM_SYSCOLORCHANGE);
    EXPECT_EQ(window.Sim().machine().system.themes.appProperties, 0u);
    EXPECT_EQ(window.Form().BackColor(), Sys(15));
    // The theme change that follows finds the program unthemed.
    window.System(win::WM_THEMECHANGED);
    window.System(win::WM_SYSCOLORCHANGE);
    EXPECT_EQ(window.Form().BackColor(), Sys(15));
}

TEST(Appearance, ThemeChangeRereadsTheStateAndTheNextColourChangeUsesIt) {
    Window window(kThemed);
    window.Sim().applyPatch(
        nlohmann::json::parse(R"({"system": {"themes": {"themeActive": false}}})"));
    window.System(win::WM_THEMECHANGED);
    EXPECT_EQ(window.Form().BackColor(), 0xEEEEEEu); // nothing re-applied yet
    window.System(win::WM_SYSCOLORCHANGE);
    EXPECT_EQ(window.Form().BackColor(), Sys(15));
    EXPECT_EQ(window.Sim().machine().system.themes.appProperties, 7u);
}

TEST(Appearance, SettingChangesReplaceTheIconsWithoutLeakingAny) {
    Window window(kPlain);
    EXPECT_EQ(window.Sim().windowIcon(window.Handle(), false), "16x16");
    EXPECT_EQ(window.Sim().windowIcon(window.Handle(), true), "32x32");
    window.Sim().applyPatch(nlohmann::json::parse(R"({"system": {"smallIconSize": 24}})"));
    window.System(win::WM_SETTINGCHANGE);
    window.System(win::WM_SETTINGCHANGE);
    EXPECT_EQ(window.Sim().liveIcons(), 2u);
    EXPECT_EQ(window.Sim().windowIcon(window.Handle(), false), "24x24");
}

TEST(Appearance, MessagesReachTheWindowOnlyWhileItIsSubclassed) {
    Window window(kPlain);
    window.Sim().applyPatch(nlohmann::json::parse(R"({"system": {"smallIconSize": 24}})"));
    window.Input().Close();
    window.System(win::WM_SETTINGCHANGE);
    EXPECT_EQ(window.Sim().windowIcon(window.Handle(), false), "16x16");
    // The window system has its own procedure back.
    EXPECT_EQ(window.Sim().SetWindowLongW(window.Handle(), win::GWL_WNDPROC, 1),
              reinterpret_cast<win::LONG_PTR>(&sim::SimPlatform::DefaultWindowProc));
}

TEST(KeyboardCues, TheFirstKeyShowsTheCuesOnceAndFurtherKeysSendNothing) {
    Window window(kPlain);
    EXPECT_EQ(window.Sim().hooks(), (std::vector<std::string>{"WH_KEYBOARD", "WH_MOUSE"}));
    EXPECT_FALSE(window.Program().AreCuesShown());
    window.Sim().clearWindowMessages();
    window.Sim().keyEvent(win::VK_MENU, false);
    window.Sim().keyEvent(win::VK_MENU, true);
    window.Sim().keyEvent(0x41, false);
    EXPECT_EQ(window.Sim().windowMessages(),
              std::vector<std::string>{"WM_UPDATEUISTATE 0x30002 0"});
    EXPECT_TRUE(window.Program().AreCuesShown());
    EXPECT_TRUE(window.Form().KeyboardCues());
    EXPECT_EQ(window.Sim().uiState(window.Handle()), 0);
}

TEST(KeyboardCues, ALargeMouseMoveHidesThemAndFurtherMovesSendNothing) {
    Window window(kPlain);
    window.Sim().mouseMove(100, 0); // hidden already: nothing to do
    window.Sim().keyEvent(win::VK_MENU, false);
    window.Sim().keyEvent(win::VK_MENU, true);
    window.Sim().clearWindowMessages();
    window.Sim().mouseMove(200, 0);
    window.Sim().mouseMove(300, 0);
    EXPECT_EQ(window.Sim().windowMessages(),
              std::vector<std::string>{"WM_UPDATEUISTATE 0x30001 0"});
    EXPECT_FALSE(window.Program().AreCuesShown());
    EXPECT_FALSE(window.Form().KeyboardCues());
    EXPECT_EQ(window.Sim().uiState(window.Handle()), win::UISF_HIDEFOCUS | win::UISF_HIDEACCEL);
}

TEST(KeyboardCues, CaptionsAndCheckStatesAreUnchangedByCueAndUnCue) {
    Window window(R"({"computers": {"WS01": {"accounts": [{"name": "alice", "flags": 66067}]}}})");
    std::vector<std::pair<std::u16string, int>> before;
    auto snapshot = [&] {
        std::vector<std::pair<std::u16string, int>> state;
        for (const auto& control : window.Form().Controls()) {
            if (control->Kind() == ControlKind::CheckBox) {
                auto& box = static_cast<toolkit::CheckBox&>(*control);
                state.emplace_back(box.Caption(), box.Value());
            } else if (control->Kind() == ControlKind::CommandButton) {
                state.emplace_back(static_cast<toolkit::CommandButton&>(*control).Caption(), -1);
            }
        }
        return state;
    };
    before = snapshot();
    window.Program().Cue();
    EXPECT_EQ(snapshot(), before);
    window.Program().UnCue();
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(before[0].second, 1); // the account is disabled: a checked box stayed checked
}

TEST(KeyboardCues, WithTheAlwaysShowSettingNoHooksAreInstalled) {
    Window window(R"({"system": {"keyboardCues": true}})");
    EXPECT_TRUE(window.Sim().hooks().empty());
    window.Sim().clearWindowMessages();
    window.Sim().keyEvent(win::VK_MENU, false);
    window.Sim().mouseMove(500, 500);
    EXPECT_TRUE(window.Sim().windowMessages().empty());
    EXPECT_FALSE(window.Program().AreCuesShown());
    EXPECT_TRUE(window.Form().KeyboardCues());
}

TEST(KeyboardCues, SystemsOlderThanWindows2000GetNoHooks) {
    Window window(R"({"system": {"major": 4, "minor": 0}})");
    EXPECT_TRUE(window.Sim().hooks().empty());
    EXPECT_TRUE(window.Form().KeyboardCues());
}

TEST(KeyboardCues, AHiddenWindowIsNotTheActiveWindow) {
    Window window(kPlain);
    window.Sim().clearWindowMessages();
    window.Form().SetVisible(false);
    window.Sim().keyEvent(win::VK_MENU, false);
    window.Sim().keyEvent(win::VK_MENU, true);
    EXPECT_TRUE(window.Sim().windowMessages().empty());
    EXPECT_FALSE(window.Program().AreCuesShown());
    window.Form().SetVisible(true);
    window.Sim().keyEvent(win::VK_MENU, false);
    EXPECT_EQ(window.Sim().windowMessages().size(), 1u);
}

TEST(KeyboardCues, ClosingTheWindowRemovesTheHooks) {
    Window window(kPlain);
    window.Input().Close();
    EXPECT_TRUE(window.Sim().hooks().empty());
}

TEST(Shutdown, AWindowDestroyedWithoutClosingGivesBackItsHooksAndProcedure) {
    sim::SimPlatform sim(sim::loadMachineText(kPlain));
    {
        toolkit::Application app({u"Brenholt", 1, 0, 12, u"", u""}, u"C:\\App");
        toolkit::HeadlessBackend backend;
        app.SetBackend(&backend);
        app::FUserInfo window(app, sim.platform());
        window.Form().SetView(&backend);
        window.Form().SetHandle(toolkit::HeadlessBackend::WindowHandle());
        window.Start();
        ASSERT_EQ(sim.hooks().size(), 2u);
    }
    EXPECT_TRUE(sim.hooks().empty());
    EXPECT_EQ(sim.SetWindowLongW(toolkit::HeadlessBackend::WindowHandle(), win::GWL_WNDPROC, 1),
              reinterpret_cast<win::LONG_PTR>(&sim::SimPlatform::DefaultWindowProc));
}

} // namespace
