// The window's colours and keyboard cues on the simulated window system,
// beyond what the scenarios under appearance/ reach: every colour of every
// control, a theme switched off, a hidden window, a window destroyed unclosed.
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
