// The user list and the user parameters panel.
#include "FUserInfo.h"

#include "common/UnsignedNumbers.h"
#include "platform/TextCompare.h"

namespace tw::app {

using toolkit::MousePointer;

bool FUserInfo::FillUserList(const std::u16string& select) {
    BusySequence busy(*this);
    cbUsername->Clear();
    std::int32_t status = 0;
    std::vector<std::u16string> names = NetCall([&] { return NetUser->EnumerateUsers(&status); });
    busy.EnableWindow();
    if (status != 0) {
        busy.RestorePointer();
        ShowStatus(ErrorText(status));
        return false;
    }
    ShowStatus(u"");
    busy.RestorePointer();
    int runningUser = -1;
    for (std::u16string& name : names) {
        cbUsername->AddItem(std::move(name));
        // Exact match: the platform's spelling of the name.
        const std::u16string& added = cbUsername->List(cbUsername->NewIndex());
        if (added == select)
            cbUsername->SetListIndex(cbUsername->NewIndex());
        else if (runningUser < 0 && added == CurrentUser)
            runningUser = cbUsername->NewIndex();
    }
    // An account chosen before a reload that the target no longer has: the
    // running user's, as at a change of target.
    if (cbUsername->ListIndex() < 0 && runningUser >= 0)
        cbUsername->SetListIndex(runningUser);
    return true;
}

void FUserInfo::cbUsername_Click() {
    if (FormLoaded)
        LoadSelectedUser();
}

bool FUserInfo::LoadSelectedUser() {
    // Read again, or emptied when the read fails: nothing unsure stays shown.
    UserWriteUnsure = false;
    if (cbUsername->ListIndex() < 0) {
        ClearUserPanel();
        return false;
    }
    NetUser->SetUserName(cbUsername->Text());
    BusySequence busy(*this);
    std::int32_t status = 0;
    const bool fetched = NetCall([&] { return NetUser->RefreshUser(&status); });
    if (fetched)
        FillUserPanel();
    else
        ClearUserPanel();
    busy.End(status);
    if (fetched)
        RereadUnsurePanels();
    return fetched;
}

void FUserInfo::FillUserPanel() {
    NetUser->SetUserName(TrimSpaces(cbUsername->Text()));
    txtPasswordAge->SetText(UnsignedToText(UnsignedDivide(NetUser->PasswordAge(), 86400)));
    txtLastLogon->SetText(app_.FormatLongDate(NetUser->LastLogonDate()));
    txtBadPassCount->SetText(UnsignedToText(NetUser->BadPasswordCount()));
    txtLogonCount->SetText(UnsignedToText(NetUser->NumLogons()));

    EditedFlags = NetUser->Flags();
    const auto bit = [this](std::int32_t flag) { return (EditedFlags & flag) != 0; };
    chkExpired->SetValue(bit(win::UF_PASSWORD_EXPIRED) || NetUser->PasswordExpired() ? 1 : 0);
    for (const FlagBox& flagBox : flagBoxes_)
        flagBox.box->SetValue(bit(flagBox.flag) == flagBox.checkedMeansSet ? 1 : 0);
    for (const FlagBox& flagBox : flagBoxes_)
        flagBox.box->SetEnabled(true);
    if (platform_.unknownChangeRight)
        ShowChangeRightKnown(
            platform_.unknownChangeRight(NetUser->ServerArg().value_or(u""), NetUser->UserName()));
    cmdUserSet->SetEnabled(EditedFlags != NetUser->Flags());
}

void FUserInfo::ShowChangeRightKnown(const std::optional<std::u16string>& whyNot) {
    if (CanChangeToolTip.empty())
        CanChangeToolTip = chkCanChange->ToolTipText();
    if (!whyNot) {
        chkCanChange->SetToolTipText(CanChangeToolTip);
        return;
    }
    // Never a value the program cannot know.
    chkCanChange->SetValue(2);
    chkCanChange->SetEnabled(false);
    chkCanChange->SetToolTipText(common_.LocString(
        u"Frm.chkCanChange.Unknown",
        u"Not known here: the server keeps this right where the program cannot reach it (%1)",
        {*whyNot}));
}

void FUserInfo::ClearUserPanel() {
    for (TextBox* box : {txtPasswordAge, txtLastLogon, txtBadPassCount, txtLogonCount})
        box->SetText(u"");
    for (toolkit::CheckBox* box :
         {chkExpired, chkLocked, chkNeverExpires, chkPassRequired, chkDisabled, chkCanChange})
        box->SetValue(0);
    for (const FlagBox& flagBox : flagBoxes_)
        flagBox.box->SetEnabled(false);
    cmdUserSet->SetEnabled(false);
}

// One handler for the five editable boxes: the box's state goes into its bit,
// set when checked or, for the two boxes that show the opposite of their
// flag, set when unchecked.
void FUserInfo::FlagBox_Click(const FlagBox& flagBox) {
    // A grey box shows a right not known here: it edits nothing, and the
    // bit goes back as the server has it.
    if (flagBox.box->Value() == 2)
        return;
    const bool checked = flagBox.box->Value() == 1;
    if (checked == flagBox.checkedMeansSet)
        EditedFlags |= flagBox.flag;
    else
        EditedFlags &= ~flagBox.flag;
    UpdateUserSetButton();
}

void FUserInfo::UpdateUserSetButton() {
    cmdUserSet->SetEnabled(EditedFlags != NetUser->Flags());
}

void FUserInfo::cmdUserSet_Click() {
    BusySequence busy(*this);
    // Only the bits changed here since the panel was filled are written, onto
    // the flags the account has now: whatever changed on the server meanwhile
    // (an account disabled there, or locked out by bad logons) stays as it is.
    const std::int32_t wanted = EditedFlags;
    const std::int32_t changed = EditedFlags ^ NetUser->Flags();
    std::int32_t status = 0;
    if (!NetCall([&] { return NetUser->RefreshUser(&status); })) {
        // Nothing is written; the edits stay in the panel for another try.
        busy.End(status);
        return;
    }
    const std::int32_t flags = (NetUser->Flags() & ~changed) | (wanted & changed);
    const bool ok = NetCall([&] { return NetUser->SetFlags(flags, &status); });
    if (!ok && AnswerLost(status)) {
        // Reading it back now would wait on the silent server again: the
        // panel keeps the edits until the server answers another call.
        UserWriteUnsure = true;
        busy.EndKeepingStatus();
        ShowAnswerLost(status);
        return;
    }
    const bool shown = LoadSelectedUser();
    // Without a selection the fetch ends no busy sequence of its own.
    busy.EndKeepingStatus();
    if (!ok) {
        ShowStatus(ErrorText(status));
        return;
    }
    if (!shown)
        return; // the fetch's error says why the panel is empty
    std::vector<toolkit::Control*> notKept;
    for (const FlagBox& flagBox : flagBoxes_) {
        if ((changed & flagBox.flag) != 0 &&
            (NetUser->Flags() & flagBox.flag) != (wanted & flagBox.flag))
            notKept.push_back(flagBox.box);
    }
    ShowNotKept(notKept);
}

} // namespace tw::app
