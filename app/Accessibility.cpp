// What a screen reader says of the window: every control that takes input
// has a name and a description in the language of the window's texts, and
// the status line is announced when it changes.
#include "FUserInfo.h"

#include <array>

namespace tw::app {

namespace {

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string Trimmed(const std::u16string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsSpace(text[begin]))
        ++begin;
    while (end > begin && IsSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

std::u16string FUserInfo::NameOfCaption(const std::u16string& caption) {
    std::u16string name = Trimmed(toolkit::WithoutAccessKeys(caption));
    if (!name.empty() && name.back() == u':')
        name = Trimmed(name.substr(0, name.size() - 1));
    return name;
}

void FUserInfo::ApplyAccessibleNames() {
    // Each field with the control whose caption names it and its unit label.
    struct NamedField {
        toolkit::Control* field;
        toolkit::Captioned* label;
        Label* unit;
    };
    const std::array<NamedField, 14> fields{{
        {txtServer, optServer, nullptr},
        {cbUsername, lblUsername, nullptr},
        {txtLastLogon, lblLastLogon, nullptr},
        {txtPasswordAge, lblPasswordAge, lblPasswordAge_u},
        {txtLogonCount, lblLogonCount, nullptr},
        {txtBadPassCount, lblBadPassCount, nullptr},
        {txtMaxPwdAge, lblMaxPwdAge, lblMaxPwdAge_u},
        {txtMinPwdAge, lblMinPwdAge, lblMinPwdAge_u},
        {txtMinPwdLen, lblMinPwdLen, nullptr},
        {txtLockoutThreshold, lblLockoutThreshold, nullptr},
        {txtLockoutDuration, lblLockoutDuration, lblLockoutDuration_u},
        {txtLockoutTimeout, lblLockoutTimeout, lblLockoutTimeout_u},
        {txtPwdHistoryLen, lblPwdHistoryLen, nullptr},
        {txtPasswordReminder, lblPasswordReminder, lblPasswordReminder_u},
    }};
    for (const NamedField& named : fields) {
        const std::u16string name = NameOfCaption(named.label->Caption());
        named.field->SetAccessibleName(name);
        named.field->SetLabelledBy(named.label);
        if (named.label->Kind() == toolkit::ControlKind::Label)
            named.label->SetAccessibleName(name);
        const std::u16string tip = Trimmed(named.field->ToolTipText());
        const std::u16string unit = named.unit ? NameOfCaption(named.unit->Caption()) : u"";
        std::u16string description = tip;
        if (!unit.empty())
            description = tip.empty() ? unit
                                      : common_.LocString(u"Frm.Acc_FieldWithUnit", u"%1 (in %2)",
                                                          {tip, unit});
        named.field->SetAccessibleDescription(description);
    }

    // Check boxes, option buttons and buttons are named by their captions.
    for (const auto& control : form_.Controls()) {
        using toolkit::ControlKind;
        const ControlKind kind = control->Kind();
        if (kind != ControlKind::CheckBox && kind != ControlKind::OptionButton &&
            kind != ControlKind::CommandButton)
            continue;
        control->SetAccessibleName(NameOfCaption(toolkit::AsCaptioned(*control)->Caption()));
        control->SetAccessibleDescription(Trimmed(control->ToolTipText()));
    }

    ctlPlusMinus->SetButtonNames(common_.LocString(u"Frm.ctlPlusMinus.Decrease", u"Decrease"),
                                 common_.LocString(u"Frm.ctlPlusMinus.Increase", u"Increase"));
}

} // namespace tw::app
