// The window on the simulated window system, beyond what the scenarios
// reach: every colour of every control, a hidden window, a window destroyed
// unclosed; and every network-management call inside the busy sequence: the
// hourglass, "Wait..." (or the language file's text) in the status line, the
// window disabled and painted once before the call blocks.
#include "HeadlessProgram.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace tw;
using toolkit::ControlKind;

constexpr const char* kPlain = R"({"computers": {"WS01": {"accounts": [{"name": "alice"}]}}})";

// Forwards to the simulated computer and notes what the window showed at the
// moment of each call.
class ObservingNetApi : public win::INetApi {
public:
    win::INetApi* inner = nullptr;
    std::function<void()> onCall = [] {};

    win::NET_API_STATUS NetUserEnum(win::LPCWSTR s, win::DWORD l, win::DWORD f, win::LPBYTE* b,
                                    win::DWORD p, win::LPDWORD e, win::LPDWORD t,
                                    win::PDWORD r) override {
        onCall();
        return inner->NetUserEnum(s, l, f, b, p, e, t, r);
    }
    win::NET_API_STATUS NetUserGetInfo(win::LPCWSTR s, win::LPCWSTR u, win::DWORD l,
                                       win::LPBYTE* b) override {
        onCall();
        return inner->NetUserGetInfo(s, u, l, b);
    }
    win::NET_API_STATUS NetUserSetInfo(win::LPCWSTR s, win::LPCWSTR u, win::DWORD l, win::LPBYTE b,
                                       win::LPDWORD e) override {
        onCall();
        return inner->NetUserSetInfo(s, u, l, b, e);
    }
    win::NET_API_STATUS NetUserModalsGet(win::LPCWSTR s, win::DWORD l, win::LPBYTE* b) override {
        onCall();
        return inner->NetUserModalsGet(s, l, b);
    }
    win::NET_API_STATUS NetUserModalsSet(win::LPCWSTR s, win::DWORD l, win::LPBYTE b,
                                         win::LPDWORD e) override {
        onCall();
        return inner->NetUserModalsSet(s, l, b, e);
    }
    win::NET_API_STATUS NetApiBufferFree(win::LPVOID b) override {
        return inner->NetApiBufferFree(b);
    }
};

// The window started on a simulated computer, without a screen; `onCall`
// sees it at every network-management call.
class Window : public test::HeadlessProgram {
public:
    explicit Window(const std::string& machine, std::function<void(Window&)> onCall = {})
        : HeadlessProgram(sim::loadMachineText(machine), &net_) {
        // The window keeps the forwarder's address; it calls it only once started.
        net_.inner = &sim.net();
        if (onCall)
            net_.onCall = [this, onCall] { onCall(*this); };
        window.Start();
    }

private:
    ObservingNetApi net_;
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
    window.input.Focus(window.Control("txtMaxPwdAge"));
    ASSERT_EQ(window.Form().ActiveControl(), &window.Control("txtMaxPwdAge"));
    for (const auto& [role, color] : AllColors(window.Form())) {
        if (role == "txtMaxPwdAge.back")
            EXPECT_EQ(color, 0xBFFFFFu) << role;
        else
            EXPECT_TRUE((color & 0x80000000u) != 0) << role << " is " << std::hex << color;
    }
}

TEST(KeyboardCues, AHiddenWindowIsNotTheActiveWindow) {
    Window window(kPlain);
    window.sim.clearWindowMessages();
    window.Form().SetVisible(false);
    window.sim.keyEvent(win::VK_MENU, false);
    window.sim.keyEvent(win::VK_MENU, true);
    EXPECT_TRUE(window.sim.windowMessages().empty());
    EXPECT_FALSE(window.window.AreCuesShown());
    window.Form().SetVisible(true);
    window.sim.keyEvent(win::VK_MENU, false);
    EXPECT_EQ(window.sim.windowMessages().size(), 1u);
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
    EXPECT_EQ(sim.windowSystem().SetWindowLongW(toolkit::HeadlessBackend::WindowHandle(),
                                                win::GWL_WNDPROC, 1),
              reinterpret_cast<win::LONG_PTR>(&sim::SimWindowSystem::DefaultWindowProc));
}

struct Observation {
    std::u16string status;
    bool formEnabled;
    toolkit::MousePointer pointer;
    int paintedPasses;
};

std::vector<Observation> ObserveStartup(const std::string& machine) {
    std::vector<Observation> seen;
    Window window(machine, [&seen](Window& w) {
        seen.push_back({static_cast<toolkit::Label&>(w.Control("lblStatus")).Caption(),
                        w.Form().Enabled(), w.app.MousePointer(), w.backend.DoEventsPasses()});
    });
    return seen;
}

TEST(BusySequence, EveryCallSeesWaitHourglassAndDisabledWindow) {
    const auto seen = ObserveStartup(R"({"system": {"userName": "alice"},
        "computers": {"WS01": {"accounts": [{"name": "alice"}]}}})");
    std::vector<int> painted;
    for (const Observation& call : seen) {
        EXPECT_EQ(call.status, u"Wait...");
        EXPECT_FALSE(call.formEnabled);
        EXPECT_EQ(call.pointer, toolkit::MousePointer::Hourglass);
        painted.push_back(call.paintedPasses);
    }
    // The policy at two levels, the list, the account twice. Each busy
    // sequence paints once before its call blocks: one for the policy's two
    // reads, one for the list, one per fetch of the account.
    EXPECT_EQ(painted, (std::vector<int>{1, 1, 2, 3, 4}));
}

TEST(BusySequence, WaitTextComesFromTheLanguageFile) {
    const auto seen = ObserveStartup(R"({"system": {"uiLanguage": 1031},
        "languageFile": {"name": "1031.loc", "text": "Frm.Status_Wait=Bitte warten...\r\n"}})");
    ASSERT_FALSE(seen.empty());
    for (const Observation& call : seen)
        EXPECT_EQ(call.status, u"Bitte warten...");
}

} // namespace

