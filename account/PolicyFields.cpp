#include "PolicyFields.h"

#include "common/UnsignedNumbers.h"

#include <stdexcept>

namespace tw {

const std::array<PolicyFieldRule, 7> kPolicyFields = {{
    {PolicyField::MaxPwdAge, &UserModals::MaxPwdAge, true, u"lblMaxPwdAge", u"Max. Password Age:", u"days"},
    {PolicyField::MinPwdAge, &UserModals::MinPwdAge, true, u"lblMinPwdAge", u"Min. Password Age:", u"days"},
    {PolicyField::MinPwdLen, &UserModals::MinPwdLen, false, u"lblMinPwdLen", u"Min. Password Length:", nullptr},
    {PolicyField::LockoutThreshold, &UserModals::LockoutThreshold, false,
     u"lblLockoutThreshold", u"Bad Pw Before Lockout:",
     nullptr},
    {PolicyField::LockoutDuration, &UserModals::LockoutDuration, false,
     u"lblLockoutDuration", u"Lockout Duration:",
     u"seconds"},
    {PolicyField::LockoutObsWin, &UserModals::LockoutObsWin, false, u"lblLockoutTimeout",
     u"Bad Password Timeout:",
     u"seconds"},
    {PolicyField::PwdHistoryLen, &UserModals::PwdHistoryLen, false,
     u"lblPwdHistoryLen", u"Password History Length:",
     nullptr},
}};

const PolicyFieldRule& RuleOf(PolicyField field) {
    for (const PolicyFieldRule& rule : kPolicyFields) {
        if (rule.field == field)
            return rule;
    }
    throw std::logic_error("a policy field without its rule");
}

std::u16string FieldName(std::u16string caption) {
    if (!caption.empty() && caption.back() == u':')
        caption.pop_back();
    return caption;
}

std::int32_t PolicyFieldMinimum(PolicyField field) {
    return field == PolicyField::MaxPwdAge ? 1 : 0;
}

std::int32_t PolicyFieldMaximum(PolicyField field, std::int32_t maxAgeDays) {
    switch (field) {
    case PolicyField::MaxPwdAge:
        return kNeverDays;
    case PolicyField::MinPwdAge:
        return maxAgeDays;
    case PolicyField::MinPwdLen:
        return 256;
    case PolicyField::PwdHistoryLen:
        return 8;
    default:
        return -1; // 4294967295
    }
}

std::int32_t ShownValue(PolicyField field, std::int32_t value) {
    return RuleOf(field).inDays ? UnsignedDivide(value, kSecondsPerDay) : value;
}

std::int32_t StoredValue(PolicyField field, std::int32_t shown) {
    if (field == PolicyField::MaxPwdAge && shown == kNeverDays)
        return -1; // never expires
    // In range, even 49710 days fit in 32 bits.
    return RuleOf(field).inDays ? UnsignedMultiply(shown, kSecondsPerDay) : shown;
}

} // namespace tw
