// The account policy panel: seven fields in days, seconds and counts.
#include "FUserInfo.h"

#include "common/RuntimeError.h"
#include "common/UnsignedNumbers.h"
#include "platform/TextConvert.h"

namespace tw::app {

bool FUserInfo::LoadPolicy() {
    // Read again, or emptied when the read fails: nothing unsure stays shown.
    PolicyWriteUnsure = false;
    BusySequence busy(*this);
    std::int32_t status = 0;
    if (NetCall([&] { return NetUser->RefreshModals(&status); }))
        FillPolicyPanel();
    else
        ClearPolicyPanel();
    busy.End(status);
    if (status == 0)
        RereadUnsurePanels();
    return status == 0;
}

void FUserInfo::ClearPolicyPanel() {
    const std::vector<TextBox*> fields = {
        txtMaxPwdAge,       txtMinPwdAge,      txtMinPwdLen,    txtLockoutThreshold,
        txtLockoutDuration, txtLockoutTimeout, txtPwdHistoryLen};
    for (TextBox* field : fields)
        field->SetText(u"");
    for (TextBox* field : fields)
        field->SetEnabled(false);
    cmdModalsSet->SetEnabled(false);
}

void FUserInfo::FillPolicyPanel() {
    const CNetUser& user = *NetUser;
    txtMaxPwdAge->SetText(
        UnsignedToText(ShownValue(PolicyField::MaxPwdAge, user.ModalsMaxPwdAge())));
    txtMinPwdAge->SetText(
        UnsignedToText(ShownValue(PolicyField::MinPwdAge, user.ModalsMinPwdAge())));
    txtMinPwdLen->SetText(FromUtf8(std::to_string(user.ModalsMinPwdLen())));
    txtLockoutThreshold->SetText(UnsignedToText(user.ModalsLockoutThreshold()));
    txtLockoutDuration->SetText(UnsignedToText(user.ModalsLockoutDuration()));
    txtLockoutTimeout->SetText(UnsignedToText(user.ModalsLockoutObsWin()));
    txtPwdHistoryLen->SetText(FromUtf8(std::to_string(user.ModalsPwdHistoryLen())));
    for (TextBox* field : {txtMaxPwdAge, txtMinPwdAge, txtMinPwdLen, txtLockoutThreshold,
                           txtLockoutDuration, txtLockoutTimeout, txtPwdHistoryLen})
        field->SetEnabled(true);
    cmdModalsSet->SetEnabled(false);
}

void FUserInfo::UpdatePolicySetButton() {
    cmdModalsSet->SetEnabled(NetUser->ModalsChanged());
}

void FUserInfo::cmdModalsSet_Click() {
    BusySequence busy(*this);
    // The fields changed here go onto the policy the target holds now, so a
    // field changed on the target since the panel was filled keeps its value.
    const UserModals loaded = NetUser->LoadedModals();
    const UserModals edited = NetUser->CurrentModals();
    std::int32_t status = 0;
    if (!NetCall([&] { return NetUser->RefreshModalsKeepingChanges(&status); })) {
        // Nothing is written; the edits stay in the panel for another try.
        busy.End(status);
        return;
    }
    NetCall([&] { return NetUser->SetModals(&status); });
    if (AnswerLost(status)) {
        // Reading it back now would wait on the silent server again: the
        // panel keeps the edits until the server answers another call.
        PolicyWriteUnsure = true;
        busy.EndKeepingStatus();
        ShowAnswerLost(status);
        return;
    }
    // The policy is always read back, whatever the write did. A refused
    // lockout level is an error too: its fields go back to what the target
    // holds, and the status line says why.
    const bool read = LoadPolicy();
    busy.EndKeepingStatus();
    if (status != 0) {
        ShowStatus(ErrorText(status));
        return;
    }
    if (!read)
        return; // the read's error says what the panel shows
    const struct {
        std::int32_t UserModals::*field;
        Label* label;
    } fields[] = {{&UserModals::MaxPwdAge, lblMaxPwdAge},
                  {&UserModals::MinPwdAge, lblMinPwdAge},
                  {&UserModals::MinPwdLen, lblMinPwdLen},
                  {&UserModals::LockoutThreshold, lblLockoutThreshold},
                  {&UserModals::LockoutDuration, lblLockoutDuration},
                  {&UserModals::LockoutObsWin, lblLockoutTimeout},
                  {&UserModals::PwdHistoryLen, lblPwdHistoryLen}};
    std::vector<toolkit::Control*> notKept;
    for (const auto& [field, label] : fields) {
        if (edited.*field != loaded.*field && NetUser->LoadedModals().*field != edited.*field)
            notKept.push_back(label);
    }
    ShowNotKept(notKept);
}

// The common steps of the store validators: check the text, then store the
// number (in seconds when the field shows days) and follow with the button.
void FUserInfo::StorePolicyField(TextBox& field, Label& label, bool& Cancel, bool ShowMessage,
                                 void (CNetUser::*setter)(std::int32_t)) {
    bool invalid = false;
    ValidateField(field, ShowMessage ? label.Caption() : std::u16string(), invalid);
    Cancel = invalid;
    if (invalid)
        return;
    (NetUser.get()->*setter)(StoredValue(*PolicyFieldOf(field), *ParseUnsigned(field.Text())));
    UpdatePolicySetButton();
}

void FUserInfo::ValidateMaxPwdAge(bool& Cancel, bool ShowMessage) {
    bool invalid = false;
    ValidateField(*txtMaxPwdAge, ShowMessage ? lblMaxPwdAge->Caption() : std::u16string(), invalid);
    Cancel = invalid;
    if (invalid)
        return;
    const std::int32_t days = *ParseUnsigned(txtMaxPwdAge->Text());
    // 49710 is how the never value shows, so it is read back as never.
    NetUser->SetModalsMaxPwdAge(StoredValue(PolicyField::MaxPwdAge, days));
    // While the maximum is being typed its text is not yet the value meant
    // ("1" on the way to "120"): the minimum follows it once the field is
    // left. A text set whole (a paste, a step, the fill) is final at once.
    if (!ShowMessage && txtMaxPwdAge->Typing()) {
        UpdatePolicySetButton();
        return;
    }
    const std::int32_t minimum = ParseUnsigned(txtMinPwdAge->Text()).value_or(0);
    if (UnsignedCompare(days, minimum) < 0) {
        txtMinPwdAge->SetText(txtMaxPwdAge->Text());
        bool minCancel = false;
        ValidateMinPwdAge(minCancel, true);
    }
    UpdatePolicySetButton();
}

void FUserInfo::ValidateMinPwdAge(bool& Cancel, bool ShowMessage) {
    StorePolicyField(*txtMinPwdAge, *lblMinPwdAge, Cancel, ShowMessage,
                     &CNetUser::SetModalsMinPwdAge);
}

void FUserInfo::ValidateMinPwdLen(bool& Cancel, bool ShowMessage) {
    StorePolicyField(*txtMinPwdLen, *lblMinPwdLen, Cancel, ShowMessage,
                     &CNetUser::SetModalsMinPwdLen);
}

void FUserInfo::ValidateLockoutThreshold(bool& Cancel, bool ShowMessage) {
    StorePolicyField(*txtLockoutThreshold, *lblLockoutThreshold, Cancel, ShowMessage,
                     &CNetUser::SetModalsLockoutThreshold);
}

void FUserInfo::ValidateLockoutDuration(bool& Cancel, bool ShowMessage) {
    StorePolicyField(*txtLockoutDuration, *lblLockoutDuration, Cancel, ShowMessage,
                     &CNetUser::SetModalsLockoutDuration);
}

void FUserInfo::ValidateLockoutTimeout(bool& Cancel, bool ShowMessage) {
    StorePolicyField(*txtLockoutTimeout, *lblLockoutTimeout, Cancel, ShowMessage,
                     &CNetUser::SetModalsLockoutObsWin);
}

void FUserInfo::ValidatePwdHistoryLen(bool& Cancel, bool ShowMessage) {
    StorePolicyField(*txtPwdHistoryLen, *lblPwdHistoryLen, Cancel, ShowMessage,
                     &CNetUser::SetModalsPwdHistoryLen);
}

} // namespace tw::app
