// The user list and the user parameters panel.
#include "FUserInfo.h"

#include "platform/TextCompare.h"
#include "common/UnsignedNumbers.h"

namespace tw::app {

using toolkit::MousePointer;

bool FUserInfo::FillUserList() {
    BusySequence busy(*this);
    cbUsername->Clear();
    std::int32_t status = 0;
    std::vector<std::u16string> names = NetUser->EnumerateUsers(&status);
    busy.EnableWindow();
    if (status != 0) {
        busy.RestorePointer();
        ShowStatus(ErrorText(status));
        return false;
    }
    ShowStatus(u"");
    busy.RestorePointer();
    for (std::u16string& name : names) {
        cbUsername->AddItem(std::move(name));
        // Exact match: the platform's spelling of the running user's name.
        if (cbUsername->List(cbUsername->NewIndex()) == CurrentUser)
            cbUsername->SetListIndex(cbUsername->NewIndex());
    }
    return true;
}

void FUserInfo::cbUsername_Click() {
    if (FormLoaded)
        LoadSelectedUser();
}

void FUserInfo::LoadSelectedUser() {
    if (cbUsername->ListIndex() < 0) {
        ClearUserPanel();
        return;
    }
    NetUser->SetUserName(cbUsername->Text());
    BusySequence busy(*this);
    std::int32_t status = 0;
    if (NetUser->RefreshUser(&status))
        FillUserPanel();
    else
        ClearUserPanel();
    busy.End(status);
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
    cmdUserSet->SetEnabled(EditedFlags != NetUser->Flags());
}

void FUserInfo::ClearUserPanel() {
    for (TextBox* box : {txtPasswordAge, txtLastLogon, txtBadPassCount, txtLogonCount})
        box->SetText(u"");
    for (toolkit::CheckBox* box : {chkExpired, chkLocked, chkNeverExpires, chkPassRequired,
                                   chkDisabled, chkCanChange})
        box->SetValue(0);
    for (const FlagBox& flagBox : flagBoxes_)
        flagBox.box->SetEnabled(false);
    cmdUserSet->SetEnabled(false);
}

// One handler for the five editable boxes: the box's state goes into its bit,
// set when checked or, for the two boxes that show the opposite of their
// flag, set when unchecked.
void FUserInfo::FlagBox_Click(const FlagBox& flagBox) {
    const bool checked = flagBox.box->Value() == 1;
    if (checked == flagBox.checkedMeansSet)
        EditedFlags |= flagBox.flag;
    else
        EditedFlags &= ~flagBox.flag;
    UpdateUserSetButton();
}

void FUserInfo::UpdateUserSetButton() { cmdUserSet->SetEnabled(EditedFlags != NetUser->Flags()); }

void FUserInfo::cmdUserSet_Click() {
    BusySequence busy(*this);
    std::int32_t status = 0;
    const bool ok = NetUser->SetFlags(EditedFlags, &status);
    LoadSelectedUser();
    // Without a selection the fetch ends no busy sequence of its own.
    busy.EndKeepingStatus();
    if (!ok)
        ShowStatus(ErrorText(status));
}

} // namespace tw::app
