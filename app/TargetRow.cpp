// The target row: the local computer or a server by name.
#include "FUserInfo.h"

#include "platform/TextCompare.h"

namespace tw::app {

void FUserInfo::optLocal_Click() {
    optServer_Click();
}

// The target handler: runs on either option button, at load and when a
// changed server name is confirmed.
void FUserInfo::optServer_Click() {
    LoadTarget(CurrentUser);
}

// F5: the target read again, as a confirmed change of target reads it,
// unsaved edits included; the chosen account stays chosen while the target
// still has it.
void FUserInfo::RefreshTarget() {
    if (!FormLoaded)
        return;
    LoadTarget(cbUsername->ListIndex() >= 0 ? cbUsername->Text() : CurrentUser);
}

void FUserInfo::Form_KeyDown(int& KeyCode, int Shift) {
    if (KeyCode == toolkit::vbKeyF5 && Shift == 0) {
        KeyCode = 0;
        RefreshTarget();
    }
}

void FUserInfo::LoadTarget(const std::u16string& select) {
    const bool server = optServer->Value();
    txtServer->SetEnabled(server);
    if (server) {
        if (TrimSpaces(txtServer->Text()).empty())
            txtServer->SetText(CurrentMachine);
        NetUser->SetServer(TrimSpaces(txtServer->Text()));
    } else {
        NetUser->SetServer(u"");
    }

    // Everything is read anew, so nothing waits to be read again.
    UserWriteUnsure = false;
    PolicyWriteUnsure = false;
    // An error of the reload must outlive the local-setting step below, whose
    // field changes would otherwise empty the status line before anyone read it.
    std::u16string reloadStatus;
    bool keepReloadStatus = false;
    if (FormLoaded) {
        if (LoadPolicy()) {
            if (FillUserList(select))
                LoadSelectedUser();
            else
                ClearUserPanel();
        } else {
            cbUsername->Clear();
            ClearUserPanel();
        }
        reloadStatus = lblStatus->Caption();
        keepReloadStatus = !reloadStatus.empty();
    }

    if (optLocal->Value() && platform_.localRegistry) {
        RefreshLocalSettings();
        EnableLocalSettings(true);
    } else {
        ClearLocalSettings();
        EnableLocalSettings(false);
        // An unsaved edit of the local setting cannot be written from a
        // server target: its field is empty now, so its button goes too.
        cmdLocalSet->SetEnabled(false);
    }
    if (keepReloadStatus)
        ShowStatus(reloadStatus);
}

void FUserInfo::txtServer_KeyPress(int& KeyAscii) {
    if (KeyAscii == toolkit::vbKeyReturn) {
        bool cancel = false;
        txtServer_Validate(cancel);
        KeyAscii = 0; // the box neither takes Enter nor beeps
    }
}

void FUserInfo::txtServer_Validate(bool& Cancel) {
    if (!EqualsIgnoringCase(NetUser->Server(), TrimSpaces(txtServer->Text())))
        optServer_Click();
    Cancel = false; // the name is never refused here; the platform judges it
}

void FUserInfo::txtServer_GotFocus() {
    ApplyFieldColors(*txtServer);
}

void FUserInfo::txtServer_LostFocus() {
    ApplyFieldColors(*txtServer);
}

} // namespace tw::app
