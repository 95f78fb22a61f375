// The eight numeric fields: key filter, range check with its message,
// stepping with "+", "-" and the spinner, and the fields' events.
#include "FUserInfo.h"

#include "common/RuntimeError.h"
#include "common/UnsignedNumbers.h"

namespace tw::app {

namespace {
constexpr std::int32_t kAllBits = -1; // 4294967295
}

std::optional<std::int32_t> FUserInfo::ParseUnsigned(const std::u16string& text) const {
    try {
        return TextToUnsigned(text, decimalSign_);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

const FUserInfo::NumericField* FUserInfo::FindField(const TextBox& box) const {
    for (const NumericField& field : numericFields_) {
        if (field.box == &box)
            return &field;
    }
    return nullptr;
}

std::optional<PolicyField> FUserInfo::PolicyFieldOf(const TextBox& field) const {
    const TextBox* const boxes[] = {txtMaxPwdAge,        txtMinPwdAge,       txtMinPwdLen,
                                    txtLockoutThreshold, txtLockoutDuration, txtLockoutTimeout,
                                    txtPwdHistoryLen};
    for (std::size_t i = 0; i < kPolicyFields.size(); ++i) {
        if (boxes[i] == &field)
            return kPolicyFields[i].field;
    }
    return std::nullopt;
}

std::int32_t FUserInfo::FieldMinimum(const TextBox& field) const {
    const std::optional<PolicyField> policy = PolicyFieldOf(field);
    return policy ? PolicyFieldMinimum(*policy) : 0;
}

std::int32_t FUserInfo::FieldMaximum(const TextBox& field) const {
    // The minimum age goes up to the maximum age, in days as its field shows it.
    if (const std::optional<PolicyField> policy = PolicyFieldOf(field))
        return PolicyFieldMaximum(*policy, ParseUnsigned(txtMaxPwdAge->Text()).value_or(0));
    return kAllBits;
}

bool FUserInfo::IsInFieldRange(std::int32_t value, const TextBox& field) const {
    const std::int32_t minimum = FieldMinimum(field);
    const std::int32_t maximum = FieldMaximum(field);
    return UnsignedCompare(value, maximum) <= 0 && UnsignedCompare(value, minimum) >= 0;
}

void FUserInfo::ValidateField(TextBox& field, const std::u16string& caption, bool& invalid) {
    const std::u16string text = field.Text();
    const std::optional<std::int32_t> value = ParseUnsigned(text);
    invalid = !value || !IsInFieldRange(*value, field);
    if (caption.empty() || !invalid) {
        ShowStatus(u"");
        return;
    }
    ShowStatus(common_.LocString(
        u"Frm.Status_InvalidValue",
        u"Invalid value \"%1\" in \"%2\" field. Valid value range: %3-%4.",
        {text, FieldName(caption), UnsignedToText(FieldMinimum(field)),
         UnsignedToText(FieldMaximum(field))}));
}

void FUserInfo::StepField(TextBox& field, bool down) {
    const std::optional<std::int32_t> value = ParseUnsigned(field.Text());
    if (!value)
        return;
    std::int32_t next = 0;
    try {
        next = UnsignedAddSubtract(*value, 1, down);
    } catch (const RuntimeError&) {
        return; // past 0 or 4294967295: nothing happens
    }
    if (!IsInFieldRange(next, field))
        return; // no wrap-around, no clamping, no beep
    field.SetText(UnsignedToText(next));
    SelectAllText(field);
}

void FUserInfo::FilterNumericKey(int& KeyAscii, TextBox& field) {
    // Digits and Backspace edit; Ctrl+A only selects the text to type over.
    if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == toolkit::vbKeyBack ||
        KeyAscii == toolkit::vbKeyCtrlA)
        return;
    if (KeyAscii == '+' || KeyAscii == '-') {
        const bool down = KeyAscii == '-';
        KeyAscii = 0;
        StepField(field, down);
        return;
    }
    // Everything else, the clipboard shortcuts included, is refused with a beep.
    KeyAscii = 0;
    app_.Beep();
}

void FUserInfo::SelectAllText(TextBox& box) {
    box.SetSelStart(0);
    box.SetSelLength(static_cast<int>(box.Text().size()));
}

void FUserInfo::NumericField_Change(const NumericField& field) {
    if (!FormLoaded)
        return;
    bool cancel = false;
    (this->*field.validator)(cancel, false);
}

void FUserInfo::NumericField_GotFocus(const NumericField& field) {
    ctlPlusMinus->LinkTo(*field.box);
    SelectAllText(*field.box);
    ApplyFieldColors(*field.box);
}

void FUserInfo::NumericField_LostFocus(const NumericField& field) {
    ctlPlusMinus->Unlink();
    ApplyFieldColors(*field.box);
}

void FUserInfo::NumericField_Validate(const NumericField& field, bool& Cancel) {
    (this->*field.validator)(Cancel, true);
}

void FUserInfo::ctlPlusMinus_MinusClick() {
    if (TextBox* field = ctlPlusMinus->LinkedControl())
        StepField(*field, true);
}

void FUserInfo::ctlPlusMinus_PlusClick() {
    if (TextBox* field = ctlPlusMinus->LinkedControl())
        StepField(*field, false);
}

} // namespace tw::app
