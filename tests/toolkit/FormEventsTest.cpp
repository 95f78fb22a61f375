// The event rules of the control model: when each event is raised, the
// validate rule with its swallowed click, and input refused by a disabled
// window. Every backend feeds its input through these rules.
#include "toolkit/Form.h"
#include "toolkit/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <deque>
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

    // Records "name.Event" for every event of the control.
    template <class T> T& Add(const std::string& name, int tab) {
        T& control = form_.Add<T>(name);
        control.SetTabIndex(tab);
        control.GotFocus = [this, name] { log_.push_back(name + ".GotFocus"); };
        control.LostFocus = [this, name] { log_.push_back(name + ".LostFocus"); };
        return control;
    }

    HeadlessBackend backend_;
    Application app_;
    Form form_{app_};
    std::vector<std::string> log_;
};

TEST_F(FormEvents, TextBoxRaisesChangeOnEveryChangeAlsoByProgramButNotForTheSameText) {
    auto& box = Add<TextBox>("txt", 0);
    int changes = 0;
    box.Change = [&] { ++changes; };
    box.SetText(u"a");
    box.SetText(u"a");
    box.SetText(u"");
    EXPECT_EQ(changes, 2);
    form_.Show();
    form_.UserChar(box, 'x');
    form_.UserChar(box, 'y');
    EXPECT_EQ(box.Text(), u"xy");
    EXPECT_EQ(changes, 4);
}

TEST_F(FormEvents, CheckBoxClickRunsOnlyWhenTheValueChanges) {
    auto& box = Add<CheckBox>("chk", 0);
    int clicks = 0;
    box.Click = [&] { ++clicks; };
    box.SetValue(1);
    box.SetValue(1);
    EXPECT_EQ(clicks, 1);
    form_.Show();
    form_.UserClick(box);
    EXPECT_EQ(box.Value(), 0);
    EXPECT_EQ(clicks, 2);
}

TEST_F(FormEvents, OptionButtonClickRunsWhenItBecomesSelectedAndDeselectsTheOthers) {
    auto& a = Add<OptionButton>("optA", 0);
    auto& b = Add<OptionButton>("optB", 1);
    std::vector<std::string> clicks;
    a.Click = [&] { clicks.push_back("a"); };
    b.Click = [&] { clicks.push_back("b"); };
    a.SetValue(true);
    a.SetValue(true);
    form_.Show();
    form_.UserClick(b);
    form_.UserClick(b); // already selected: nothing
    EXPECT_FALSE(a.Value());
    EXPECT_TRUE(b.Value());
    EXPECT_EQ(clicks, (std::vector<std::string>{"a", "b"}));
}

TEST_F(FormEvents, ListClickRunsWhenTheSelectionChangesAndClearRaisesNothing) {
    auto& list = Add<ComboBox>("cb", 0);
    int clicks = 0;
    list.Click = [&] { ++clicks; };
    list.AddItem(u"alice");
    list.AddItem(u"bob");
    EXPECT_EQ(list.NewIndex(), 1);
    list.SetListIndex(1);
    list.SetListIndex(1);
    EXPECT_EQ(clicks, 1);
    form_.Show();
    form_.UserSelect(list, 0);
    EXPECT_EQ(list.Text(), u"alice");
    EXPECT_EQ(clicks, 2);
    list.Clear();
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(clicks, 2);
}

TEST_F(FormEvents, SortedListAddsInOrderAndReportsWhereTheEntryWent) {
    auto& list = Add<ComboBox>("cb", 0);
    list.SetSorted(true);
    list.AddItem(u"carol");
    list.AddItem(u"Alice");
    EXPECT_EQ(list.NewIndex(), 0);
    list.AddItem(u"bob");
    EXPECT_EQ(list.NewIndex(), 1);
    EXPECT_EQ(list.Items(), (std::deque<std::u16string>{u"Alice", u"bob", u"carol"}));
}

TEST_F(FormEvents, FocusMovesWithValidateThenLostFocusThenGotFocus) {
    auto& first = Add<TextBox>("first", 0);
    auto& second = Add<TextBox>("second", 1);
    first.Validate = [&](bool&) {
        log_.push_back("first.Validate");
        EXPECT_EQ(form_.ActiveControl(), &first);
    };
    // The focus has already moved when LostFocus runs.
    first.LostFocus = [&] {
        log_.push_back("first.LostFocus");
        EXPECT_EQ(form_.ActiveControl(), &second);
    };
    form_.Show();
    log_.clear();
    EXPECT_TRUE(form_.UserFocus(second));
    EXPECT_EQ(log_, (std::vector<std::string>{"first.Validate", "first.LostFocus",
                                              "second.GotFocus"}));
}

TEST_F(FormEvents, ValidateRunsOnlyForATargetThatCausesValidation) {
    auto& box = Add<TextBox>("txt", 0);
    auto& other = Add<TextBox>("other", 1);
    other.SetCausesValidation(false);
    int validations = 0;
    box.Validate = [&](bool& cancel) {
        ++validations;
        cancel = true;
    };
    form_.Show();
    EXPECT_TRUE(form_.UserFocus(other));
    EXPECT_EQ(validations, 0);
}

TEST_F(FormEvents, KeyPressRunsFirstAndCanDropOrChangeTheKey) {
    auto& box = Add<TextBox>("txt", 0);
    box.KeyPress = [&](int& key) {
        if (key == 'x')
            key = 0;
        else if (key == 'a')
            key = 'A';
    };
    int changes = 0;
    box.Change = [&] { ++changes; };
    form_.Show();
    form_.UserChar(box, 'x');
    EXPECT_EQ(changes, 0);
    form_.UserChar(box, 'a');
    EXPECT_EQ(box.Text(), u"A");
}

TEST_F(FormEvents, DisabledWindowHiddenOrDisabledControlTakeNoInput) {
    auto& box = Add<TextBox>("txt", 0);
    auto& button = Add<CommandButton>("cmd", 1);
    auto& check = Add<CheckBox>("chk", 2);
    int clicks = 0;
    button.Click = [&] { ++clicks; };
    form_.UserClick(button); // not shown yet
    form_.Show();
    form_.SetEnabled(false);
    form_.UserClick(button);
    form_.UserClick(check);
    form_.UserChar(box, 'a');
    form_.UserTab(false);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(check.Value(), 0);
    EXPECT_EQ(box.Text(), u"");
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

TEST_F(FormEvents, TimersTickFromTheVirtualClockAndRestartWhenEnabled) {
    auto& timer = form_.Add<Timer>("tmr");
    std::vector<std::int64_t> ticks;
    timer.Tick = [&] { ticks.push_back(backend_.Clock().Now()); };
    timer.SetInterval(200);
    backend_.Clock().Advance(1000); // disabled: nothing
    timer.SetEnabled(true);
    backend_.Clock().Advance(450);
    timer.SetEnabled(false);
    timer.SetEnabled(true); // the count starts again
    backend_.Clock().Advance(250);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1200, 1400, 1650}));
}

TEST_F(FormEvents, ATimerThatDisablesItselfTicksOnce) {
    auto& timer = form_.Add<Timer>("tmr");
    int ticks = 0;
    timer.Tick = [&] {
        ++ticks;
        timer.SetEnabled(false);
    };
    timer.SetInterval(1000);
    timer.SetEnabled(true);
    backend_.Clock().Advance(5000);
    EXPECT_EQ(ticks, 1);
}

TEST_F(FormEvents, CloseRunsUnloadHidesThenTerminate) {
    std::vector<std::string> order;
    form_.Unload = [&] { order.push_back(form_.Visible() ? "Unload(visible)" : "Unload"); };
    form_.Terminate = [&] { order.push_back(form_.Visible() ? "Terminate(visible)" : "Terminate"); };
    form_.Show();
    EXPECT_FALSE(app_.Ended());
    form_.UserClose();
    form_.UserClose();
    EXPECT_EQ(order, (std::vector<std::string>{"Unload(visible)", "Terminate"}));
    EXPECT_TRUE(app_.Ended()); // its one window closed, the program ends
}

// Typed characters with the milliseconds since the first, and the entry
// each leads to (-1: the selection stays).
struct TypeAheadCase {
    const char* name;
    int startIndex;
    std::vector<std::pair<char16_t, int>> keys;
    std::vector<int> chosen;
};

class ListTypeAhead : public ::testing::TestWithParam<TypeAheadCase> {};

TEST_P(ListTypeAhead, ChoosesTheEntryTheTypedCharactersLeadTo) {
    HeadlessBackend backend;
    Application app({}, u"");
    app.SetBackend(&backend);
    Form form(app);
    auto& list = form.Add<ComboBox>("cb");
    for (const char16_t* item : {u"alice", u"bob", u"Bert", u"carol", u"bob2"})
        list.AddItem(item);
    list.SetListIndex(GetParam().startIndex);
    int clicks = 0;
    list.Click = [&] { ++clicks; };
    form.Show();
    int at = 0;
    std::vector<int> chosen;
    for (const auto& [key, ms] : GetParam().keys) {
        backend.Clock().Advance(ms - at);
        at = ms;
        form.UserCharTo(list, key);
        chosen.push_back(list.ListIndex());
    }
    EXPECT_EQ(chosen, GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Model, ListTypeAhead,
    ::testing::Values(
        TypeAheadCase{"FirstLetterFromNothingSelected", -1, {{u'b', 0}}, {1}},
        TypeAheadCase{"LettersTogetherMakeAPrefix", 0, {{u'b', 0}, {u'e', 500}}, {1, 2}},
        TypeAheadCase{"APauseStartsAgain", 0, {{u'b', 0}, {u'e', 1000}}, {1, 1}},
        TypeAheadCase{"TheSameLetterGoesOnRoundTheEnd", 0,
                      {{u'b', 0}, {u'b', 100}, {u'b', 200}, {u'b', 300}}, {1, 2, 4, 1}},
        TypeAheadCase{"LetterCaseAside", 0, {{u'B', 0}, {u'O', 10}, {u'B', 20}, {u'2', 30}},
                      {1, 1, 1, 4}},
        TypeAheadCase{"NoEntryLeavesTheSelection", 3, {{u'x', 0}, {u'c', 2000}}, {3, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormEvents, ArrowKeysMoveWithinTheOptionGroupAsAClick) {
    auto& first = Add<OptionButton>("optA", 0);
    auto& off = Add<OptionButton>("optB", 1);
    auto& last = Add<OptionButton>("optC", 2);
    auto& box = Add<TextBox>("txt", 3);
    off.SetEnabled(false);
    std::vector<std::string> clicks;
    first.Click = [&] { clicks.push_back("A"); };
    last.Click = [&] { clicks.push_back("C"); };
    bool cancel = false;
    box.Validate = [&](bool& c) { c = cancel; };
    first.SetValue(true);
    form_.Show();
    form_.UserKeyDown(first, vbKeyDown); // the disabled one is passed over
    EXPECT_TRUE(last.Value());
    EXPECT_EQ(form_.ActiveControl(), &last);
    form_.UserKeyDown(last, vbKeyRight); // round the end
    form_.UserKeyDown(first, vbKeyUp);
    EXPECT_EQ(clicks, (std::vector<std::string>{"A", "C", "A", "C"}));
    EXPECT_FALSE(first.Value());
    // Not the control with the focus: nothing.
    form_.UserKeyDown(first, vbKeyDown);
    EXPECT_EQ(clicks.size(), 4u);
}

TEST_F(FormEvents, ChangeTellsWhetherTheUserIsTyping) {
    auto& box = Add<TextBox>("txt", 0);
    std::vector<bool> typing;
    box.Change = [&] { typing.push_back(box.Typing()); };
    form_.Show();
    box.SetText(u"12");         // by program
    form_.UserChar(box, '3');   // typed
    form_.UserChar(box, 8);     // Backspace
    box.SetSelStart(0);
    form_.UserKeyDown(box, vbKeyDelete); // Delete
    form_.Clipboard = std::u16string(1, u'9');
    form_.UserEdit(box, EditCommand::Paste); // pasted whole
    form_.UserSelectAll(box);
    form_.UserChar(box, 24);    // a cut
    EXPECT_EQ(typing, (std::vector<bool>{false, true, true, true, false, true}));
    EXPECT_FALSE(box.Typing());
}

} // namespace
