// The user-input rules every toolkit keeps (UserInputConformance.h): focus
// with validation, key press first, one toggle per click, the option group,
// the editing commands, a disabled window. The scenario files run on the
// same toolkits and drive the rest: typing in a list
// (user/find-by-typing.json), image presses (spinner/press-and-hold.json),
// closing (appearance/shutdown.json).
#include "UserInputConformance.h"

#include <algorithm>
#include <vector>

namespace tw::toolkit::test {

namespace {

using Events = std::vector<std::string>;

TEST_P(UserInput, ClickTogglesACheckBoxOnceThroughTheModel) {
    Input().Click(t.chkDisabled);
    EXPECT_EQ(t.chkDisabled.Value(), 1);
    EXPECT_EQ(t.form.ActiveControl(), &t.chkDisabled);
    Input().Click(t.chkDisabled);
    EXPECT_EQ(t.chkDisabled.Value(), 0);
    EXPECT_EQ(t.Count("chkDisabled_Click"), 2);
    Input().Key(' ');
    EXPECT_EQ(t.chkDisabled.Value(), 1);
    Input().Focus(t.cmdSet);
    EXPECT_EQ(t.Count("cmdSet_Click"), 0) << "moving the focus onto a button clicks nothing";
    Input().Key(' ');
    EXPECT_EQ(t.Count("cmdSet_Click"), 1);
}

TEST_P(UserInput, OptionButtonsAreOneGroupForTheMouseAndTheArrowKeys) {
    Input().Click(t.optServer);
    Input().Click(t.optLocal);
    EXPECT_TRUE(t.optLocal.Value());
    EXPECT_FALSE(t.optServer.Value());
    Input().KeyDown(vbKeyRight, 0);
    EXPECT_TRUE(t.optServer.Value());
    EXPECT_EQ(t.form.ActiveControl(), &t.optServer);
    Input().KeyDown(vbKeyDown, 0); // round the end
    EXPECT_TRUE(t.optLocal.Value());
    EXPECT_EQ((Events{"optServer_Click", "optLocal_Click", "optServer_Click", "optLocal_Click"}),
              t.events);
    // On a button an arrow key moves the focus as Tab does.
    Input().Focus(t.chkLocked);
    Input().KeyDown(vbKeyDown, 0);
    EXPECT_EQ(t.form.ActiveControl(), &t.cmdSet);
    Input().KeyDown(vbKeyLeft, 0);
    EXPECT_EQ(t.form.ActiveControl(), &t.chkLocked);
    EXPECT_EQ(t.Count("cmdSet_Click") + t.Count("chkLocked_Click"), 0);
}

TEST_P(UserInput, CancelledValidationKeepsTheFocusAndSwallowsTheClick) {
    Input().Focus(t.txtPasswordAge);
    ASSERT_EQ(t.form.ActiveControl(), &t.txtPasswordAge);
    t.refuseLeavingAge = true;
    t.events.clear();
    Input().Click(t.cmdSet);
    Input().Click(t.chkLocked);
    Input().Select(t.cbUsername, 2);
    Input().Tab(false);
    EXPECT_EQ(t.Count("cmdSet_Click") + t.Count("chkLocked_Click") + t.Count("cbUsername_Click"),
              0);
    EXPECT_EQ(t.chkLocked.Value(), 0);
    EXPECT_EQ(t.cbUsername.ListIndex(), -1);
    EXPECT_EQ(t.Count("txtPasswordAge_Validate"), 4);
    EXPECT_EQ(t.form.ActiveControl(), &t.txtPasswordAge);

    t.refuseLeavingAge = false;
    Input().Tab(false);
    EXPECT_EQ(t.form.ActiveControl(), &t.chkDisabled);
    Input().Tab(true);
    EXPECT_EQ(t.form.ActiveControl(), &t.txtPasswordAge);
    Input().Click(t.cmdSet);
    EXPECT_EQ(t.Count("cmdSet_Click"), 1);
}

TEST_P(UserInput, TypedKeysPassTheKeyPressFirstAndOnlyTheModelEdits) {
    Input().Focus(t.txtPasswordAge);
    for (int key : {'4', 'x', '2'})
        Input().Key(key);
    EXPECT_EQ(t.txtPasswordAge.Text(), u"42");
    EXPECT_EQ(t.Count("txtPasswordAge_KeyPress 120"), 1) << "the x is offered, then dropped";
    EXPECT_EQ(t.Count("txtPasswordAge_Change"), 2);
    EXPECT_EQ(t.app.Beeps(), 1);
    Input().Key(vbKeyBack);
    EXPECT_EQ(t.txtPasswordAge.Text(), u"4");
    Input().KeyDown(vbKeyLeft, 0);
    Input().Key('3');
    EXPECT_EQ(t.txtPasswordAge.Text(), u"34");
    Input().Key(vbKeyReturn);
    EXPECT_EQ(t.txtPasswordAge.Text(), u"34");
}

TEST_P(UserInput, SelectingWithTheMouseChangesOnlyTheSelection) {
    t.txtServer.SetText(u"SRV01");
    Input().Focus(t.txtServer);
    t.events.clear();
    Input().SelectAllWithMouse(t.txtServer);
    EXPECT_EQ(t.txtServer.SelStart(), 0);
    EXPECT_EQ(t.txtServer.SelLength(), 5);
    EXPECT_TRUE(t.events.empty());
}

// One editing command from a text box holding "abc" with "b" selected and
// "Q" on the clipboard.
struct EditingRow {
    const char* name;
    bool numericField; // txtPasswordAge (digits only) instead of txtServer
    int keyAscii;      // a typed control character, or 0
    int keyCode;       // else a key going down, with `shift`
    int shift;
    int menu; // else a context-menu item: 1 + EditCommand
    std::u16string text;
    std::u16string clipboard;
    bool keyPress;
    int beeps;
};

const EditingRow kEditingRows[] = {
    {"CtrlA", false, vbKeyCtrlA, 0, 0, 0, u"abc", u"Q", true, 0},
    {"CtrlC", false, vbKeyCtrlC, 0, 0, 0, u"abc", u"b", true, 0},
    {"CtrlV", false, vbKeyCtrlV, 0, 0, 0, u"aQc", u"Q", true, 0},
    {"CtrlX", false, vbKeyCtrlX, 0, 0, 0, u"ac", u"b", true, 0},
    {"CtrlXRefusedInANumericField", true, vbKeyCtrlX, 0, 0, 0, u"abc", u"Q", true, 1},
    {"ShiftDeleteCutsWithoutKeyPress", true, 0, vbKeyDelete, vbShiftMask, 0, u"ac", u"b", false, 0},
    {"ShiftInsertPastes", true, 0, vbKeyInsert, vbShiftMask, 0, u"aQc", u"Q", false, 0},
    {"CtrlInsertCopies", true, 0, vbKeyInsert, vbCtrlMask, 0, u"abc", u"b", false, 0},
    {"Delete", true, 0, vbKeyDelete, 0, 0, u"ac", u"Q", false, 0},
    {"MenuCut", true, 0, 0, 0, 1 + static_cast<int>(EditCommand::Cut), u"ac", u"b", false, 0},
    {"MenuCopy", true, 0, 0, 0, 1 + static_cast<int>(EditCommand::Copy), u"abc", u"b", false, 0},
    {"MenuPaste", true, 0, 0, 0, 1 + static_cast<int>(EditCommand::Paste), u"aQc", u"Q", false, 0},
    {"MenuDelete", true, 0, 0, 0, 1 + static_cast<int>(EditCommand::Clear), u"ac", u"Q", false, 0},
};

TEST_P(UserInput, EditingCommandsTakeTheKeyPressOnlyAsTypedCharacters) {
    for (const EditingRow& row : kEditingRows) {
        SCOPED_TRACE(row.name);
        TextBox& box = row.numericField ? t.txtPasswordAge : t.txtServer;
        // A field that refuses letters holds them all the same when the program puts them.
        box.SetText(u"abc");
        Input().Focus(box);
        Input().Paste(box, u"Q"); // the clipboard holds Q, the box "Q"
        box.SetText(u"abc");
        box.SetSelStart(1);
        box.SetSelLength(1);
        const int beepsBefore = t.app.Beeps();
        t.events.clear();
        if (row.keyAscii != 0)
            Input().Key(row.keyAscii);
        else if (row.keyCode != 0)
            Input().KeyDown(row.keyCode, row.shift);
        else
            Input().ContextMenu(box, static_cast<EditCommand>(row.menu - 1));
        EXPECT_EQ(box.Text(), row.text);
        EXPECT_EQ(shown_->ClipboardText(), row.clipboard) << "what other programs paste";
        const auto keyPresses = std::count_if(t.events.begin(), t.events.end(), [&](const auto& e) {
            return e.rfind(box.Name() + "_KeyPress", 0) == 0;
        });
        EXPECT_EQ(keyPresses, row.keyPress ? 1 : 0);
        EXPECT_EQ(t.app.Beeps() - beepsBefore, row.beeps);
        if (row.keyAscii == vbKeyCtrlA) {
            EXPECT_EQ(box.SelLength(), 3);
        }
    }
}

TEST_P(UserInput, PasteTakesWhatAnotherProgramCopiedLast) {
    t.txtServer.SetText(u"abc");
    Input().Focus(t.txtServer);
    t.txtServer.SetSelStart(1);
    t.txtServer.SetSelLength(1);
    Input().Paste(t.txtServer, u"Z"); // copied as text in another program
    EXPECT_EQ(t.txtServer.Text(), u"aZc");

    shown_->CopyImageElsewhere();
    ASSERT_FALSE(shown_->ClipboardText().has_value()) << "an image is no text";
    t.events.clear();
    Input().Key(vbKeyCtrlV);
    Input().KeyDown(vbKeyInsert, vbShiftMask);
    Input().ContextMenu(t.txtServer, EditCommand::Paste);
    EXPECT_EQ(t.txtServer.Text(), u"aZc") << "nothing pasted, not the text copied before";
    EXPECT_EQ(t.Count("txtServer_Change"), 0);
}

TEST_P(UserInput, FunctionKeysReachTheFormsKeyDownFromEveryControl) {
    std::vector<int> keys; // key code * 10 + shift
    t.form.KeyDown = [&](int& keyCode, int shift) {
        keys.push_back(keyCode * 10 + shift);
        if (keyCode == vbKeyRight)
            keyCode = 0; // dropped: the option group stays
    };
    t.txtPasswordAge.SetText(u"12");
    const int beepsBefore = t.app.Beeps();
    Control* const controls[] = {&t.txtPasswordAge, &t.cbUsername, &t.chkDisabled, &t.optLocal,
                                 &t.cmdSet};
    for (Control* control : controls) {
        SCOPED_TRACE(control->Name());
        Input().Focus(*control);
        ASSERT_EQ(t.form.ActiveControl(), control);
        keys.clear();
        t.events.clear();
        Input().KeyDown(vbKeyF5, 0);
        Input().KeyDown(vbKeyF5, vbShiftMask);
        EXPECT_EQ(keys, (std::vector<int>{1160, 1161}));
        EXPECT_EQ(t.form.ActiveControl(), control);
        EXPECT_TRUE(t.events.empty()) << "no key press, no click, no change";
    }
    EXPECT_EQ(t.txtPasswordAge.Text(), u"12");
    EXPECT_EQ(t.app.Beeps(), beepsBefore) << "the numeric field's filter never saw F5";

    Input().Click(t.optLocal);
    keys.clear();
    Input().KeyDown(vbKeyRight, 0);
    EXPECT_EQ(keys, (std::vector<int>{vbKeyRight * 10}));
    EXPECT_TRUE(t.optLocal.Value());
    EXPECT_EQ(t.form.ActiveControl(), &t.optLocal);

    keys.clear();
    t.form.SetEnabled(false);
    shown_->Settle();
    Input().KeyDown(vbKeyF5, 0);
    EXPECT_TRUE(keys.empty()) << "a disabled window takes no key";
}

TEST_P(UserInput, TimersTickFromTheVirtualClock) {
    t.tmrRepeat.SetEnabled(true);
    shown_->Settle();
    EXPECT_EQ(t.Count("tmrRepeat_Timer"), 0) << "virtual time runs only while waiting";
    Input().Wait(1000);
    EXPECT_EQ(t.Count("tmrRepeat_Timer"), 5);
    t.tmrRepeat.SetEnabled(false);
    Input().Wait(1000);
    EXPECT_EQ(t.Count("tmrRepeat_Timer"), 5);
}

TEST_P(UserInput, ADisabledWindowTakesNoInputAndCannotBeClosed) {
    t.form.SetEnabled(false);
    Input().Click(t.chkDisabled);
    Input().Click(t.cmdSet);
    Input().Key('a');
    Input().MouseDown(t.ctlPlusMinus.imgPlus, vbLeftButton);
    Input().Close();
    EXPECT_EQ(t.chkDisabled.Value(), 0);
    EXPECT_TRUE(t.events.empty());
    EXPECT_TRUE(t.form.Visible());
    EXPECT_FALSE(t.app.Ended());
}

} // namespace

} // namespace tw::toolkit::test
