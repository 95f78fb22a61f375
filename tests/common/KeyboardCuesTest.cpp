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

// Rows print as "row": gtest would otherwise dump their bytes, padding included.
template <typename Row>
requires requires {
    typename Row::TestRow;
}
void PrintTo(const Row&, std::ostream* os) {
    *os << "row";
}

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

struct SettingRow {
    using TestRow = void;
    const char* machine;
    bool alwaysShown;
};

class KeyboardCuesSetting : public testing::TestWithParam<SettingRow> {};

TEST_P(KeyboardCuesSetting, ComesFromTheSystemFromWindows2000On) {
    Computer computer(GetParam().machine);
    computer.common.ReadKeyboardCuesSetting();
    EXPECT_EQ(computer.common.KeyboardCuesAlwaysShown(), GetParam().alwaysShown);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyboardCuesSetting,
    testing::Values(SettingRow{R"({"system": {"keyboardCues": false}})", false},
                    SettingRow{R"({"system": {"keyboardCues": true}})", true},
                    SettingRow{R"({"system": {"major": 5, "minor": 0}})", false},
                    // Windows NT 4.0 has no such setting and always shows the cues.
                    SettingRow{R"({"system": {"major": 4, "minor": 0}})", true},
                    SettingRow{R"({"windowFail": {"SystemParametersInfoW": 87}})", false}));

TEST(CueHooks, InstallPutsOneKeyboardAndOneMouseHookOnTheProgramsThread) {
    Computer computer;
    computer.common.InstallCueHooks();
    computer.common.InstallCueHooks();
    EXPECT_EQ(computer.sim.hooks(), (std::vector<std::string>{"WH_KEYBOARD", "WH_MOUSE"}));
    EXPECT_NE(computer.common.KeyboardHook(), nullptr);
    EXPECT_NE(computer.common.MouseHook(), nullptr);
}

TEST(CueHooks, RemovingThemTwiceIsHarmless) {
    Computer computer;
    computer.common.InstallCueHooks();
    computer.common.RemoveCueHooks();
    EXPECT_TRUE(computer.sim.hooks().empty());
    EXPECT_EQ(computer.common.KeyboardHook(), nullptr);
    EXPECT_EQ(computer.common.MouseHook(), nullptr);
    computer.sim.keyEvent(win::VK_MENU, false);
    computer.common.RemoveCueHooks();
    EXPECT_TRUE(computer.requests.empty());
}

TEST(CueHooks, AHookThatCannotBeInstalledStaysZero) {
    Computer computer(R"({"windowFail": {"SetWindowsHookExW#1": 1428}})");
    computer.common.InstallCueHooks();
    EXPECT_EQ(computer.common.KeyboardHook(), nullptr);
    EXPECT_EQ(computer.sim.hooks(), std::vector<std::string>{"WH_MOUSE"});
    computer.sim.keyEvent(win::VK_MENU, false);
    EXPECT_TRUE(computer.requests.empty());
    computer.common.RemoveCueHooks();
    EXPECT_TRUE(computer.sim.hooks().empty());
}

TEST(CueHooks, EveryKeyDownAndUpAsksForTheCuesAndTheNextHookRuns) {
    Computer computer;
    olderHookCalls = 0;
    computer.sim.SetWindowsHookExW(win::WH_KEYBOARD, &OlderHook, nullptr,
                                   computer.sim.GetCurrentThreadId());
    computer.common.InstallCueHooks();
    computer.sim.keyEvent(win::VK_MENU, false);
    computer.sim.keyEvent(win::VK_MENU, true);
    EXPECT_EQ(computer.requests, (std::vector<std::string>{"Cue", "Cue"}));
    EXPECT_EQ(olderHookCalls, 2);
}

TEST(CueHooks, AnErrorInTheWindowIsIgnoredAndTheNextHookStillRuns) {
    Computer computer;
    olderHookCalls = 0;
    computer.sim.SetWindowsHookExW(win::WH_KEYBOARD, &OlderHook, nullptr,
                                   computer.sim.GetCurrentThreadId());
    computer.common.SetCueTarget([](bool) { throw std::runtime_error("no window"); });
    computer.common.InstallCueHooks();
    EXPECT_NO_THROW(computer.sim.keyEvent(win::VK_MENU, false));
    EXPECT_EQ(olderHookCalls, 1);
}

struct MoveRow {
    using TestRow = void;
    win::LONG x;
    win::LONG y;
    bool hides;
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
                         testing::Values(MoveRow{30, 0, false},  // 900 is not above 1000
                                         MoveRow{32, 0, true},   // 1024 is
                                         MoveRow{0, -31, false}, // 961
                                         MoveRow{-22, 23, true}, // 1013
                                         MoveRow{10, 30, false}, // 1000 exactly
                                         MoveRow{100000, 100000, true}));

TEST(CueHooks, SmallMovesAddUpFromTheLastRecordedPoint) {
    Computer computer;
    computer.common.InstallCueHooks();
    computer.sim.mouseMove(20, 0);
    computer.sim.mouseMove(30, 0);
    EXPECT_TRUE(computer.requests.empty());
    computer.sim.mouseMove(40, 0);
    EXPECT_EQ(computer.requests, std::vector<std::string>{"UnCue"});
    computer.sim.mouseMove(70, 0);
    EXPECT_EQ(computer.requests.size(), 1u);
    computer.sim.mouseMove(72, 0);
    EXPECT_EQ(computer.requests.size(), 2u);
}

struct HeldRow {
    using TestRow = void;
    win::BYTE key;
};

class DraggingKeepsTheCues : public testing::TestWithParam<HeldRow> {};

TEST_P(DraggingKeepsTheCues, AndTheLastPointStays) {
    Computer computer;
    computer.common.InstallCueHooks();
    computer.sim.setKeyDown(GetParam().key, true);
    computer.sim.mouseMove(200, 200);
    EXPECT_TRUE(computer.requests.empty());
    EXPECT_EQ(computer.common.LastMousePoint().x, 0);
    EXPECT_EQ(computer.common.LastMousePoint().y, 0);
    computer.sim.setKeyDown(GetParam().key, false);
    computer.sim.mouseMove(30, 0); // 30 pixels from the point that stayed
    EXPECT_TRUE(computer.requests.empty());
    computer.sim.mouseMove(200, 200);
    EXPECT_EQ(computer.requests, std::vector<std::string>{"UnCue"});
}

INSTANTIATE_TEST_SUITE_P(Buttons, DraggingKeepsTheCues,
                         testing::Values(HeldRow{win::VK_LBUTTON}, HeldRow{win::VK_RBUTTON},
                                         HeldRow{win::VK_SHIFT}, HeldRow{0x41}));

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
