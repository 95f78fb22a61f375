// The password expiry warning row: a setting of the local computer only, the
// PasswordExpiryWarning value of the Winlogon key.
#include "FUserInfo.h"

#include "common/ExpiryWarningValue.h"
#include "common/RuntimeError.h"
#include "common/UnsignedNumbers.h"
#include "common/mRegistry.h"

namespace tw::app {

void FUserInfo::EnableLocalSettings(bool enabled) {
    lblPasswordReminder->SetEnabled(enabled);
    lblPasswordReminder_u->SetEnabled(enabled);
    txtPasswordReminder->SetEnabled(enabled);
}

void FUserInfo::ClearLocalSettings() {
    txtPasswordReminder->SetText(u"");
}

void FUserInfo::RefreshLocalSettings() {
    ClearLocalSettings();
    mRegistry registry(platform_, common_);
    const win::HKEY key = registry.OpenRegistryKey(win::HKEY_LOCAL_MACHINE_(), kWinlogonKey,
                                                   win::KEY_READ, false, nullptr, true);
    if (key != nullptr) {
        const RegistryValue value = registry.RegistryKeyValue(key, kExpiryWarningValue);
        if (const auto* number = std::get_if<std::int32_t>(&value.data)) {
            txtPasswordReminder->SetText(UnsignedToText(*number));
            LoadedExpiryWarning = *number;
        }
        registry.CloseRegistryKey(key);
    }
    cmdLocalSet->SetEnabled(false);
}

void FUserInfo::SetLocalSettings() {
    ShowStatus(u"");
    mRegistry registry(platform_, common_);
    const win::HKEY key = registry.OpenRegistryKey(win::HKEY_LOCAL_MACHINE_(), kWinlogonKey,
                                                   win::KEY_WRITE, false, nullptr, true);
    if (key != nullptr) {
        try {
            const std::int32_t days = TextToUnsigned(txtPasswordReminder->Text(), decimalSign_);
            registry.RegistryKeyValue(key, kExpiryWarningValue, RegistryValue::Long(days));
        } catch (const RuntimeError& error) {
            ShowStatus(error.Description);
        }
        registry.CloseRegistryKey(key);
    } else {
        ShowStatus(ErrorText(static_cast<std::int32_t>(registry.LastError())));
    }
    // The refresh changes the field, which would empty the status line; a
    // failed write must stay visible, or the administrator never learns of it.
    const std::u16string outcome = lblStatus->Caption();
    RefreshLocalSettings();
    if (!outcome.empty())
        ShowStatus(outcome);
}

void FUserInfo::UpdateLocalSetButton() {
    const std::optional<std::int32_t> value = ParseUnsigned(txtPasswordReminder->Text());
    cmdLocalSet->SetEnabled(value && *value != LoadedExpiryWarning);
}

void FUserInfo::ValidatePasswordReminder(bool& Cancel, bool ShowMessage) {
    bool invalid = false;
    ValidateField(*txtPasswordReminder,
                  ShowMessage ? lblPasswordReminder->Caption() : std::u16string(), invalid);
    Cancel = invalid;
    if (!invalid)
        UpdateLocalSetButton();
}

} // namespace tw::app
