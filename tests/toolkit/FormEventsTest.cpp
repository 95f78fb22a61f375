// The event rules of the control model: when each event is raised, the
// validate rule with its swallowed click, and input refused by a disabled
// window. Every backend feeds its input through these rules.
#include "toolkit/Form.h"
#include "toolkit/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace tw::toolkit;

class FormEvents : public ::testing::Test {
protected:
    FormEvents() : app_({}, u"") {
        app_.SetBackend(&backend_);
        form_.SetView(&backend_);
    }

    // Records "name.Event" for the focus, Click and Change events of the control.
    template <class T> T& Add(const std::string& name, int tab) {
        T& control = form_.Add<T>(name);
        control.SetTabIndex(tab);
        control.GotFocus = [this, name] { log_.push_back(name + ".GotFocus"); };
        control.LostFocus = [this, name] { log_.push_back(name + ".LostFocus"); };
        if constexpr (requires { control.Click; })
            control.Click = [this, name] { log_.push_back(name + ".Click"); };
        if constexpr (requires { control.Change; })
            control.Change = [this, name] { log_.push_back(name + ".Change"); };
        return control;
    }

    HeadlessBackend backend_;
    Application app_;
    Form form_{app_};
    std::vector<std::string> log_;
};

// Typing, clicks and choices raising their events: UserInput on every toolkit;
// a sorted list's order and where an entry went (NewIndex): WindowMirror.EntriesShow...;
// typing in a list: scenarios/user/find-by-typing.json and, with nothing
// chosen, user/large-server.json.
TEST_F(FormEvents, ValueEventsRunOnlyWhenTheValueChangesAndClearRaisesNone) {
    auto& box = Add<TextBox>("txt", 0);
    auto& check = Add<CheckBox>("chk", 1);
    auto& a = Add<OptionButton>("optA", 2);
    auto& b = Add<OptionButton>("optB", 3);
    auto& list = Add<ComboBox>("cb", 4);
    list.AddItem(u"alice");
    list.AddItem(u"bob");
    for (int twice = 0; twice < 2; ++twice) {
        box.SetText(u"a");
        check.SetValue(1);
        a.SetValue(true);
        list.SetListIndex(1);
    }
    box.SetText(u"");
    form_.Show();
    form_.UserClick(b);
    form_.UserClick(b); // already selected: nothing
    EXPECT_FALSE(a.Value());
    list.Clear();
    EXPECT_EQ(list.ListIndex(), -1);
    std::erase_if(log_, [](const std::string& e) { return e.find("Focus") != e.npos; });
    EXPECT_EQ(log_, (std::vector<std::string>{"txt.Change", "chk.Click", "optA.Click", "cb.Click",
                                              "txt.Change", "optB.Click"}));
}

TEST_F(FormEvents, FocusMovesWithValidateThenLostFocusThenGotFocus) {
    auto& first = Add<TextBox>("first", 0);
    auto& second = Add<TextBox>("second", 1);
    auto& free = Add<TextBox>("free", 2);
    free.SetCausesValidation(false); // moving onto it validates nothing
    first.Validate = [&](bool&) {
        log_.push_back("first.Validate");
        EXPECT_EQ(form_.ActiveControl(), &first);
    };
    // The focus has already moved when LostFocus runs.
    first.LostFocus = [&] {
        log_.push_back("first.LostFocus");
        EXPECT_NE(form_.ActiveControl(), &first);
    };
    form_.Show();
    log_.clear();
    EXPECT_TRUE(form_.UserFocus(free));
    EXPECT_TRUE(form_.UserFocus(first));
    EXPECT_TRUE(form_.UserFocus(second));
    EXPECT_EQ(log_, (std::vector<std::string>{"first.LostFocus", "free.GotFocus", "free.LostFocus",
                                              "first.GotFocus", "first.Validate", "first.LostFocus",
                                              "second.GotFocus"}));
}

// Clicks, keys and closing in a disabled window: UserInput.ADisabledWindowTakesNoInput...
TEST_F(FormEvents, DisabledWindowHiddenOrDisabledControlTakeNoInput) {
    auto& box = Add<TextBox>("txt", 0);
    auto& button = Add<CommandButton>("cmd", 1);
    auto& check = Add<CheckBox>("chk", 2);
    int clicks = 0;
    button.Click = [&] { ++clicks; };
    form_.UserClick(button); // not shown yet
    form_.Show();
    form_.SetEnabled(false);
    form_.UserTab(false);
    EXPECT_EQ(form_.ActiveControl(), &box);
    form_.SetEnabled(true);
    button.SetEnabled(false);
    form_.UserClick(button);
    check.SetVisible(false);
    form_.UserClick(check);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(check.Value(), 0);
}

TEST_F(FormEvents, ShowFocusesTheFirstControlInTabOrderThatCanTakeIt) {
    Add<Label>("lbl", 0);
    auto& late = Add<TextBox>("late", 5);
    auto& disabled = Add<TextBox>("disabled", 1);
    disabled.SetEnabled(false);
    auto& early = Add<CheckBox>("early", 2);
    form_.Show();
    EXPECT_EQ(form_.ActiveControl(), &early);
    form_.UserTab(false);
    EXPECT_EQ(form_.ActiveControl(), &late);
    form_.UserTab(false);
    EXPECT_EQ(form_.ActiveControl(), &early);
}

// Plain ticking and stopping: UserInput.TimersTickFromTheVirtualClock.
TEST_F(FormEvents, ATimerRestartsItsCountWhenEnabledAndCanStopItselfInItsTick) {
    auto& timer = form_.Add<Timer>("tmr");
    std::vector<std::int64_t> ticks;
    timer.Tick = [&] {
        ticks.push_back(backend_.Clock().Now());
        if (ticks.size() == 3)
            timer.SetEnabled(false);
    };
    timer.SetInterval(200);
    timer.SetEnabled(true);
    backend_.Clock().Advance(250);
    timer.SetEnabled(false);
    timer.SetEnabled(true); // the count starts again
    backend_.Clock().Advance(5000);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{200, 450, 650}));
}

TEST_F(FormEvents, CloseRunsUnloadHidesThenTerminate) {
    std::vector<std::string> order;
    form_.Unload = [&] { order.push_back(form_.Visible() ? "Unload(visible)" : "Unload"); };
    form_.Terminate = [&] {
        order.push_back(form_.Visible() ? "Terminate(visible)" : "Terminate");
    };
    form_.Show();
    EXPECT_FALSE(app_.Ended());
    form_.UserClose();
    form_.UserClose();
    EXPECT_EQ(order, (std::vector<std::string>{"Unload(visible)", "Terminate"}));
    EXPECT_TRUE(app_.Ended()); // its one window closed, the program ends
}

// The arrow keys in the group, round its ends, as clicks: UserInput.OptionButtons...
// and scenarios/target/option-buttons-by-keyboard.json.
TEST_F(FormEvents, ArrowKeysPassOverADisabledOptionAndNeedTheFocus) {
    auto& first = Add<OptionButton>("optA", 0);
    auto& off = Add<OptionButton>("optB", 1);
    auto& last = Add<OptionButton>("optC", 2);
    off.SetEnabled(false);
    first.SetValue(true);
    form_.Show();
    form_.UserKeyDown(first, vbKeyDown);
    EXPECT_TRUE(last.Value());
    EXPECT_EQ(form_.ActiveControl(), &last);
    form_.UserKeyDown(first, vbKeyDown); // not the control with the focus: nothing
    EXPECT_TRUE(last.Value());
}

// A function key from every control through each toolkit, seen before the
// option group moves, and dropped there: UserInput.FunctionKeysReachTheFormsKeyDown...
TEST_F(FormEvents, TheFormsKeyDownSeesAKeyFirstAndCanDropIt) {
    auto& first = Add<OptionButton>("optA", 0);
    auto& second = Add<OptionButton>("optB", 1);
    first.SetValue(true);
    std::vector<int> keys; // key code * 10 + shift
    bool drop = false;
    form_.KeyDown = [&](int& keyCode, int shift) {
        keys.push_back(keyCode * 10 + shift);
        if (drop)
            keyCode = 0;
    };
    form_.Show();
    drop = true;
    EXPECT_FALSE(form_.UserKeyDown(first, vbKeyF5, vbShiftMask)) << "a dropped key goes no further";
    drop = false;
    EXPECT_TRUE(form_.UserKeyDown(first, vbKeyF5, vbCtrlMask));
    EXPECT_FALSE(form_.UserKeyDown(second, vbKeyF5)) << "not the control with the focus";
    form_.UserKeyDown(vbKeyF12); // to the window itself
    EXPECT_EQ(keys, (std::vector<int>{1161, 1162, 1230}));

    keys.clear();
    form_.SetEnabled(false);
    EXPECT_FALSE(form_.UserKeyDown(first, vbKeyF5));
    form_.UserKeyDown(vbKeyF5);
    form_.SetEnabled(true);
    form_.SetVisible(false);
    form_.UserKeyDown(vbKeyF5);
    EXPECT_TRUE(keys.empty()) << "a disabled or hidden window takes no key";
}

// A key dropped in KeyPress: UserInput.TypedKeysPassTheKeyPressFirst...
TEST_F(FormEvents, KeyPressCanChangeTheKeyAndChangeTellsWhetherTheUserIsTyping) {
    auto& box = Add<TextBox>("txt", 0);
    std::vector<bool> typing;
    box.Change = [&] { typing.push_back(box.Typing()); };
    box.KeyPress = [](int& key) { key = key == 'a' ? '3' : key; };
    form_.Show();
    box.SetText(u"12");       // by program
    form_.UserChar(box, 'a'); // typed, as a 3
    EXPECT_EQ(box.Text(), u"312");
    form_.UserChar(box, 8); // Backspace
    box.SetSelStart(0);
    form_.UserKeyDown(box, vbKeyDelete); // Delete
    backend_.SetClipboardText(u"9");
    form_.UserEdit(box, EditCommand::Paste); // pasted whole
    form_.UserSelectAll(box);
    form_.UserChar(box, 24); // a cut
    EXPECT_EQ(typing, (std::vector<bool>{false, true, true, true, false, true}));
    EXPECT_FALSE(box.Typing());
}

} // namespace
