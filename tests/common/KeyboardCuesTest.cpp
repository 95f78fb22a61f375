// The keyboard-cue setting and the two thread hooks, on the simulated window
// system: keys show the cues, a mouse move of more than about 31.6 pixels with
// no key or button down hides them.
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

// A hook installed before the program's: it must still see every event.
int olderHookCalls = 0;
win::LRESULT TW_CALLBACK OlderHook(int, win::WPARAM, win::LPARAM) {
    ++olderHookCalls;
    return 7;
}

class KeyboardCuesSetting : public testing::TestWithParam<const char*> {};

// Shown only when the system says so (as the scenarios show), not after a
// failed query nor where the system knows no such setting.
TEST_P(KeyboardCuesSetting, IsNotAlwaysShown) {
    Computer computer(GetParam());
    computer.common.ReadKeyboardCuesSetting();
    EXPECT_FALSE(computer.common.KeyboardCuesAlwaysShown());
}

INSTANTIATE_TEST_SUITE_P(Rows, KeyboardCuesSetting,
                         testing::Values(R"({"system": {"major": 5, "minor": 0}})",
                                         R"({"windowFail": {"SystemParametersInfoW": 87}})"));

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
    computer.sim.SetWindowsHookExW(win::WH_KEYBOARD, &OlderHook, nullptr,
                                   computer.sim.GetCurrentThreadId());
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
