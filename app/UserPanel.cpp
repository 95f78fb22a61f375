// The user list and the user parameters panel.
#include "FUserInfo.h"

#include "platform/TextCompare.h"
#include "common/UnsignedNumbers.h"

namespace tw::app {

using toolkit::MousePointer;

bool FUserInfo::FillUserList() {
    BeginBusy();
    cbUsername->Clear();
    std::int32_t status = 0;
    std::vector<std::u16string> names = NetUser->EnumerateUsers(&status);
    form_.SetEnabled(true);
    if (status != 0) {
        app_.SetMousePointer(MousePointer::Default);
        ShowStatus(ErrorText(status));
        return false;
    }
    ShowStatus(u"");
    app_.SetMousePointer(MousePointer::Default);
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
    BeginBusy();
    std::int32_t status = 0;
    if (NetUser->RefreshUser(&status))
        FillUserPanel();
    else
        ClearUserPanel();
    EndBusy(status);
}

void FUserInfo::FillUserPanel() {
    NetUser->SetUserName(TrimSpaces(cbUsername->Text()));
    txtPasswordAge->SetText(UnsignedToText(UnsignedDivide(NetUser->PasswordAge(), 86400)));
    txtLastLogon->SetText(app_.FormatLongDate(NetUser->LastLogonDate()));
    txtBadPassCount->SetText(UnsignedToText(NetUser->BadPasswordCount()));
    txtLogonCount->SetText(UnsignedToText(NetUser->NumLogons()));

    EditedFlags = NetUser->Flags();
    const auto bit = [this](std::int32_t mask) { return (EditedFlags & mask) != 0; };
    chkExpired->SetValue(bit(0x800000) || NetUser->PasswordExpired() ? 1 : 0);
    chkLocked->SetValue(bit(0x10) ? 1 : 0);
    chkNeverExpires->SetValue(bit(0x10000) ? 1 : 0);
    chkPassRequired->SetValue(bit(0x20) ? 0 : 1);
    chkDisabled->SetValue(bit(0x2) ? 1 : 0);
    chkCanChange->SetValue(bit(0x40) ? 0 : 1);

    for (toolkit::CheckBox* box : {chkLocked, chkNeverExpires, chkPassRequired, chkDisabled,
                                   chkCanChange})
        box->SetEnabled(true);
    cmdUserSet->SetEnabled(EditedFlags != NetUser->Flags());
}

void FUserInfo::ClearUserPanel() {
    for (TextBox* box : {txtPasswordAge, txtLastLogon, txtBadPassCount, txtLogonCount})
        box->SetText(u"");
    for (toolkit::CheckBox* box : {chkExpired, chkLocked, chkNeverExpires, chkPassRequired,
                                   chkDisabled, chkCanChange})
        box->SetValue(0);
    for (toolkit::CheckBox* box : {chkLocked, chkNeverExpires, chkPassRequired, chkDisabled,
                                   chkCanChange})
        box->SetEnabled(false);
    cmdUserSet->SetEnabled(false);
}

// One handler for the five editable boxes: the box's state goes into its bit,
// set when checked or, for the two boxes that show the opposite of their
// flag, set when unchecked.
void FUserInfo::FlagBox_Click(toolkit::CheckBox& box, std::int32_t bit, bool checkedMeansSet) {
    const bool checked = box.Value() == 1;
    if (checked == checkedMeansSet)
        EditedFlags |= bit;
    else
        EditedFlags &= ~bit;
    UpdateUserSetButton();
}

void FUserInfo::UpdateUserSetButton() { cmdUserSet->SetEnabled(EditedFlags != NetUser->Flags()); }

void FUserInfo::cmdUserSet_Click() {
    BeginBusy();
    std::int32_t status = 0;
    const bool ok = NetUser->SetFlags(EditedFlags, &status);
    LoadSelectedUser();
    if (!form_.Enabled()) {
        // Without a selection the fetch ends no busy sequence; never leave
        // the window disabled behind the write.
        form_.SetEnabled(true);
        app_.SetMousePointer(MousePointer::Default);
    }
    if (!ok)
        ShowStatus(ErrorText(status));
}

} // namespace tw::app
