// The seven policy fields as an administrator edits them, in the window and
// on the command line alike: the unit each field shows (days for the two
// password ages, else the platform's seconds and counts), the range of what
// may be entered, and 49710 days as the maximum age's "never".
#pragma once

#include "CNetUser.h"

#include <array>
#include <cstdint>
#include <string>

namespace tw {

enum class PolicyField {
    MaxPwdAge,
    MinPwdAge,
    MinPwdLen,
    LockoutThreshold,
    LockoutDuration,
    LockoutObsWin,
    PwdHistoryLen,
};

struct PolicyFieldRule {
    PolicyField field;
    std::int32_t UserModals::*value; // in the platform's units
    bool inDays;                     // shown and entered in days
    const char16_t* label;           // the label's control name ("lblMaxPwdAge")
    const char16_t* caption;         // the label's, before the language file
    const char16_t* unit;            // the unit label's; null: none
};

// In the window's order, top to bottom.
extern const std::array<PolicyFieldRule, 7> kPolicyFields;

const PolicyFieldRule& RuleOf(PolicyField field);
// A field as messages name it: its label's caption without the colon.
std::u16string FieldName(std::u16string caption);

constexpr std::int32_t kSecondsPerDay = 86400;
// 4294967295 seconds shown in whole days: the never value as the maximum age
// shows it, and takes it back.
constexpr std::int32_t kNeverDays = 49710;

// The smallest and largest numbers the field takes (unsigned). The minimum
// age goes up to the maximum age, in days, as `maxAgeDays` gives it.
std::int32_t PolicyFieldMinimum(PolicyField field);
std::int32_t PolicyFieldMaximum(PolicyField field, std::int32_t maxAgeDays);

// What the field shows for the value the policy holds (days rounded down),
// and what it stores for a number in its range.
std::int32_t ShownValue(PolicyField field, std::int32_t value);
std::int32_t StoredValue(PolicyField field, std::int32_t shown);

} // namespace tw
