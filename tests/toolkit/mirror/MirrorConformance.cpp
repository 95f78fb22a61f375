// The model's state in the real widgets (MirrorConformance.h): texts, the
// three check values, states, tool tips, places in pixels, the list and its
// bursts of entries, the selection, labels' ampersands and the stacking order.
#include "MirrorConformance.h"

#include "platform/TextConvert.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tw::toolkit::test {
namespace {

TEST_P(WindowMirror, TextsStatesAndToolTipsShowInTheWidgets) {
    EXPECT_EQ(W().Caption(), u"Brenholt");
    t.form.SetCaption(u"Brenholt - SERVER01");
    EXPECT_EQ(W().Caption(), u"Brenholt - SERVER01");
    EXPECT_EQ(W().Text(t.chkDisabled), u"Account Disabled");
    EXPECT_EQ(W().LabelReads(t.lblPasswordAge_u), u"days");
    EXPECT_EQ(W().ToolTip(t.txtServer), u"Server name");
    t.txtServer.SetText(u"SERVER01");
    t.cmdSet.SetCaption(u"&Apply");
    t.cmdSet.SetEnabled(false);
    t.lblStatus.SetVisible(false);
    t.txtServer.SetLocked(true);
    t.txtServer.SetToolTipText(u"");
    t.chkLocked.SetToolTipText(u"The account is currently locked out");
    EXPECT_EQ(W().Text(t.txtServer), u"SERVER01");
    EXPECT_EQ(W().Text(t.cmdSet), u"&Apply");
    EXPECT_FALSE(W().Enabled(t.cmdSet));
    EXPECT_FALSE(W().Visible(t.lblStatus));
    EXPECT_TRUE(W().ReadOnly(t.txtServer));
    EXPECT_EQ(W().ToolTip(t.txtServer), u"");
    EXPECT_EQ(W().ToolTip(t.chkLocked), u"The account is currently locked out");
    for (int value : {1, 2, 0}) {
        t.chkLocked.SetValue(value);
        EXPECT_EQ(W().CheckState(t.chkLocked), value) << "check box value " << value;
    }
    t.optServer.SetValue(true);
    t.optLocal.SetValue(true);
    EXPECT_EQ(W().CheckState(t.optLocal), 1);
    EXPECT_EQ(W().CheckState(t.optServer), 0);
}

TEST_P(WindowMirror, LabelsShowAmpersandsOnlyAsTheyAskToBeShown) {
    t.lblUsername.SetCaption(u"&User && group:");
    EXPECT_EQ(W().LabelReads(t.lblUsername), u"User & group:");
    t.lblStatus.SetUseMnemonic(false);
    t.lblStatus.SetCaption(u"Invalid value \"&H10\"");
    EXPECT_EQ(W().LabelReads(t.lblStatus), u"Invalid value \"&H10\"");
}

// The widgets never change by themselves: input the model refuses leaves them
// showing what the model holds, and a disabled window keeps its look.
TEST_P(WindowMirror, InputTheModelRefusesLeavesTheWidgetsAsTheModelHasThem) {
    t.cbUsername.SetListIndex(0);
    W().Input().Focus(t.txtPasswordAge);
    t.refuseLeavingAge = true;
    W().Input().Select(t.cbUsername, 2);
    W().Input().Click(t.chkLocked);
    EXPECT_EQ(W().ListIndex(t.cbUsername), 0);
    EXPECT_EQ(W().CheckState(t.chkLocked), 0);
    t.refuseLeavingAge = false;
    t.form.SetEnabled(false);
    W().Input().Click(t.chkDisabled);
    EXPECT_EQ(W().CheckState(t.chkDisabled), 0);
    EXPECT_TRUE(W().Enabled(t.chkDisabled));
    EXPECT_TRUE(W().Enabled(t.txtServer));
}

TEST_P(WindowMirror, TwipsBecomePixelsAtTheScreenResolution) {
    EXPECT_EQ(W().Client(), (PixelRect{0, 0, Px(6000), Px(4200)}));
    EXPECT_EQ(W().Place(t.txtPasswordAge),
              (PixelRect{Px(1800), Px(1575), Px(1800 + 855), Px(1575 + 285)}));
    t.txtPasswordAge.Move(2000, 1600, 900, 300);
    EXPECT_EQ(W().Place(t.txtPasswordAge),
              (PixelRect{Px(2000), Px(1600), Px(2000 + 900), Px(1600 + 300)}));
    // Parts lie inside their user control: the plus image ends at its right edge.
    t.LinkSpinner();
    const PixelRect spinner = W().Place(t.ctlPlusMinus);
    EXPECT_EQ(spinner.left, Px(2000 - 120));
    EXPECT_EQ(W().Place(t.ctlPlusMinus.imgPlus).right, spinner.right - spinner.left);
}

TEST_P(WindowMirror, SelectionOfTheModelShowsInTheBox) {
    t.txtServer.SetText(u"ABCDEF");
    t.txtServer.SetSelStart(2);
    t.txtServer.SetSelLength(3);
    EXPECT_EQ(W().Selection(t.txtServer), std::make_pair(2, 5));
    t.txtServer.SetSelLength(0);
    EXPECT_EQ(W().Selection(t.txtServer), std::make_pair(2, 2));
}

TEST_P(WindowMirror, EntriesShowBeforeTheNextPaintWhereTheModelPutThem) {
    ComboBox& list = t.cbUsername;
    EXPECT_EQ(W().Entries(list),
              (std::vector<std::u16string>{u"Administrator", u"Guest", u"mara"}));
    list.SetListIndex(2);
    EXPECT_EQ(W().ListIndex(list), 2);
    list.Clear();
    EXPECT_TRUE(W().Entries(list).empty());
    EXPECT_EQ(W().ListIndex(list), -1);
    list.SetSorted(true);
    for (const char16_t* name : {u"mara", u"Administrator", u"guest", u"zed", u"bob"})
        list.AddItem(name);
    W().Settle();
    EXPECT_EQ(W().Entries(list),
              (std::vector<std::u16string>{u"Administrator", u"bob", u"guest", u"mara", u"zed"}));
    // A choice amid additions shows the entries added before it.
    list.AddItem(u"carl");
    list.SetListIndex(list.NewIndex());
    EXPECT_EQ(W().ListIndex(list), 2);
    EXPECT_EQ(W().Entries(list).at(2), u"carl");
}

TEST_P(WindowMirror, OpenedListShowsAFixedNumberOfRows) {
    for (int i = 0; i < 40; ++i)
        t.cbUsername.AddItem(u"entry" + FromUtf8(std::to_string(i)));
    W().Settle();
    EXPECT_EQ(W().OpenedRows(t.cbUsername), ComboBox::kDropDownRows);
}

TEST_P(WindowMirror, WidgetsStandInTheModelsStackingOrder) {
    t.LinkSpinner(); // sent to the back of the windowed controls
    t.shaPane.ZOrder(0);
    std::vector<int> shown;
    for (const Control* control : t.form.StackingOrder(nullptr)) {
        if (control->Kind() != ControlKind::Timer)
            shown.push_back(W().StackIndex(*control));
    }
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_LT(W().StackIndex(t.shaPane), W().StackIndex(t.lblUsername))
        << "a rectangle brought to the front stays beneath the labels";
    EXPECT_LT(W().StackIndex(t.ctlPlusMinus), W().StackIndex(t.txtPasswordAge));
}

} // namespace
} // namespace tw::toolkit::test
