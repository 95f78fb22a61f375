// The window as designed: every control with its caption, tool tip, place
// (twips), tab position and start-up state, and the wiring of its events.
#include "FUserInfo.h"

namespace tw::app {

namespace {

using namespace tw::toolkit;

constexpr float kClientWidth = 9300;
constexpr float kClientHeight = 6300;

// The design font of every control; the pane headers are larger and bold.
const toolkit::Font kDesignFont{u"MS Sans Serif", 8.25, false, 0};
const toolkit::Font kHeaderFont{u"MS Sans Serif", 12, true, 0};

template <class T>
T* Place(Form& form, const char* name, float left, float top, float width, float height, int tab) {
    T& control = form.Add<T>(name);
    control.Move(left, top, width, height);
    control.SetTabIndex(tab);
    control.SetFont(kDesignFont);
    return &control;
}

Label* AddLabel(Form& form, const char* name, const char16_t* caption, float left, float top,
                float width, float height, int tab) {
    auto* label = Place<Label>(form, name, left, top, width, height, tab);
    label->SetCaption(caption);
    label->SetBackStyle(0); // the pane or the window shows through
    return label;
}

TextBox* AddTextBox(Form& form, const char* name, const char16_t* toolTip, float left, float top,
                    float width, float height, int tab) {
    auto* box = Place<TextBox>(form, name, left, top, width, height, tab);
    box->SetToolTipText(toolTip);
    return box;
}

CheckBox* AddCheckBox(Form& form, const char* name, const char16_t* caption,
                      const char16_t* toolTip, float top, int tab) {
    auto* box = Place<CheckBox>(form, name, 240, top, 4215, 255, tab);
    box->SetCaption(caption);
    box->SetToolTipText(toolTip);
    box->SetBackColor(SystemColor(5));
    return box;
}

CommandButton* AddSetButton(Form& form, const char* name, float left, float top, int tab) {
    auto* button = Place<CommandButton>(form, name, left, top, 1455, 375, tab);
    button->SetCaption(u"Set");
    button->SetToolTipText(u"Set above parameters");
    button->SetEnabled(false);
    return button;
}

// A read-only statistics box of the user pane: it never takes input.
TextBox* AddStatistic(Form& form, const char* name, const char16_t* toolTip, float top, float width,
                      int tab) {
    auto* box = AddTextBox(form, name, toolTip, 2280, top, width, 285, tab);
    box->SetLocked(true);
    box->SetEnabled(false);
    return box;
}

// A row of the right pane: label, numeric field and, where there is one, its unit.
// The label column starts left of the design's 5040 and the unit column is
// wider than its 735 so that the longest captions ("Password Expiry Warning:",
// "Zählerrücksetzung nach:", "Sekunden") fit on one line in the dialog font
// (Tahoma) at every screen scale; the labels end where the spinner's minus
// image begins (the field's 7080 less the image's 120): the Win32 window
// stacks each label directly in front of its field, where it would paint
// over any part of the image it covered.
constexpr float kRowLabelLeft = 4920;
constexpr float kRowLabelWidth = 6960 - kRowLabelLeft;
constexpr float kRowUnitWidth = 825;
struct PaneRow {
    Label* label;
    TextBox* field;
    Label* unit;
};

PaneRow AddNumericRow(Form& form, const char* labelName, const char16_t* caption,
                      const char* fieldName, const char16_t* toolTip, const char* unitName,
                      const char16_t* unitCaption, float top, int tab) {
    PaneRow row{};
    row.label =
        AddLabel(form, labelName, caption, kRowLabelLeft, top + 30, kRowLabelWidth, 255, tab - 1);
    row.field = AddTextBox(form, fieldName, toolTip, 7080, top, 855, 285, tab);
    row.field->SetEnabled(false);
    if (unitName != nullptr)
        row.unit =
            AddLabel(form, unitName, unitCaption, 8040, top + 30, kRowUnitWidth, 255, tab + 1);
    return row;
}

} // namespace

void FUserInfo::CreateControls() {
    form_.SetCaption(u"Brenholt");
    form_.SetClientSize(kClientWidth, kClientHeight);
    form_.SetFont(kDesignFont);

    // The pane backgrounds come first so that they stay behind everything.
    shaUserPane = Place<Shape>(form_, "shaUserPane", 60, 540, 4575, 5415, 0);
    Shape1 = Place<Shape>(form_, "Shape1", 4680, 540, 4575, 5415, 0);
    CreateTargetRow();
    CreateUserPane();
    CreateServerPane();
    CreateStatusLine();

    ctlPlusMinus = &form_.Add<controls::ucPlusMinus>("ctlPlusMinus");
    ctlPlusMinus->Move(5160, 5160, 735, 255);
}

void FUserInfo::CreateTargetRow() {
    // Wider than the design's 1575, so "Lokaler Computer" fits beside its mark.
    optLocal = Place<OptionButton>(form_, "optLocal", 180, 150, 1665, 255, 0);
    optLocal->SetCaption(u"Local Computer");
    optServer = Place<OptionButton>(form_, "optServer", 1860, 150, 975, 255, 1);
    optServer->SetCaption(u"Server:");
    txtServer = AddTextBox(form_, "txtServer", u"Server name", 2880, 120, 2415, 285, 2);
}

void FUserInfo::CreateUserPane() {
    toolkit::Form& f = form_;
    lblUserPar = AddLabel(f, "lblUserPar", u"User Parameters", 120, 630, 4455, 315, 3);
    lblUserPar->SetAlignment(Alignment::Center);
    lblUserPar->SetFont(kHeaderFont);

    lblUsername = AddLabel(f, "lblUsername", u"Username:", 240, 1140, 1935, 255, 4);
    cbUsername = Place<ComboBox>(f, "cbUsername", 2280, 1080, 2295, 315, 5);
    lblLastLogon = AddLabel(f, "lblLastLogon", u"Last Logon:", 240, 1560, 1935, 255, 6);
    txtLastLogon = AddStatistic(f, "txtLastLogon", u"Last logon date", 1530, 2295, 7);
    lblPasswordAge = AddLabel(f, "lblPasswordAge", u"Password Age:", 240, 1920, 1935, 255, 8);
    txtPasswordAge =
        AddStatistic(f, "txtPasswordAge", u"The time since last password change", 1890, 855, 9);
    lblPasswordAge_u = AddLabel(f, "lblPasswordAge_u", u"days", 3240, 1920, 735, 255, 10);
    lblLogonCount = AddLabel(f, "lblLogonCount", u"Logon Count:", 240, 2280, 1935, 255, 11);
    txtLogonCount = AddStatistic(f, "txtLogonCount",
                                 u"The number of times the user logged on successfully to this "
                                 u"account on the given server",
                                 2250, 855, 12);
    lblBadPassCount =
        AddLabel(f, "lblBadPassCount", u"Bad Password Count:", 240, 2640, 1935, 255, 13);
    txtBadPassCount = AddStatistic(f, "txtBadPassCount",
                                   u"The number of times the user tried to log on to the account "
                                   u"using an incorrect password on the given server",
                                   2610, 855, 14);

    chkDisabled = AddCheckBox(f, "chkDisabled", u"Account Disabled",
                              u"The user's account is disabled", 3120, 15);
    chkLocked = AddCheckBox(f, "chkLocked", u"Account Locked",
                            u"The account is currently locked out", 3420, 16);
    chkExpired = AddCheckBox(f, "chkExpired", u"Password Expired",
                             u"The user's password has expired", 3720, 17);
    chkExpired->SetEnabled(false);
    chkPassRequired = AddCheckBox(f, "chkPassRequired", u"Password Required",
                                  u"The user can't clear password", 4020, 18);
    chkNeverExpires = AddCheckBox(f, "chkNeverExpires", u"Password Never Expires",
                                  u"The password should never expire on the account", 4320, 19);
    chkCanChange = AddCheckBox(f, "chkCanChange", u"User Can Change Password",
                               u"The user can change the password", 4620, 20);
    cmdUserSet = AddSetButton(f, "cmdUserSet", 2880, 5040, 21);
}

void FUserInfo::CreateServerPane() {
    toolkit::Form& f = form_;
    lblServerPar = AddLabel(f, "lblServerPar", u"Server Parameters", 4740, 630, 4455, 315, 22);
    lblServerPar->SetAlignment(Alignment::Center);
    lblServerPar->SetFont(kHeaderFont);

    PaneRow row =
        AddNumericRow(f, "lblMaxPwdAge", RuleOf(PolicyField::MaxPwdAge).caption, "txtMaxPwdAge",
                      u"The maximum allowable password age (49710 means infinite)",
                      "lblMaxPwdAge_u", u"days", 1080, 24);
    lblMaxPwdAge = row.label;
    txtMaxPwdAge = row.field;
    lblMaxPwdAge_u = row.unit;
    row = AddNumericRow(f, "lblMinPwdAge", RuleOf(PolicyField::MinPwdAge).caption, "txtMinPwdAge",
                        u"The minimum interval that can elapse between the time a password "
                        u"changes and when it can be changed again",
                        "lblMinPwdAge_u", u"days", 1440, 27);
    lblMinPwdAge = row.label;
    txtMinPwdAge = row.field;
    lblMinPwdAge_u = row.unit;
    row = AddNumericRow(f, "lblMinPwdLen", RuleOf(PolicyField::MinPwdLen).caption, "txtMinPwdLen",
                        u"The minimum allowable password length", nullptr, nullptr, 1800, 30);
    lblMinPwdLen = row.label;
    txtMinPwdLen = row.field;
    row = AddNumericRow(f, "lblLockoutThreshold", RuleOf(PolicyField::LockoutThreshold).caption,
                        "txtLockoutThreshold",
                        u"The number of invalid password authentications that can occur before "
                        u"an account is marked \"locked out\" ",
                        nullptr, nullptr, 2160, 32);
    lblLockoutThreshold = row.label;
    txtLockoutThreshold = row.field;
    row = AddNumericRow(f, "lblLockoutDuration", RuleOf(PolicyField::LockoutDuration).caption,
                        "txtLockoutDuration",
                        u"How long a locked account remains locked before it is automatically "
                        u"unlocked",
                        "lblLockoutDuration_u", u"seconds", 2520, 34);
    lblLockoutDuration = row.label;
    txtLockoutDuration = row.field;
    lblLockoutDuration_u = row.unit;
    row = AddNumericRow(f, "lblLockoutTimeout", RuleOf(PolicyField::LockoutObsWin).caption,
                        "txtLockoutTimeout",
                        u"Maximum time that can elapse between any two failed logon attempts "
                        u"before lockout occurs",
                        "lblLockoutTimeout_u", u"seconds", 2880, 37);
    lblLockoutTimeout = row.label;
    txtLockoutTimeout = row.field;
    lblLockoutTimeout_u = row.unit;
    row = AddNumericRow(f, "lblPwdHistoryLen", RuleOf(PolicyField::PwdHistoryLen).caption,
                        "txtPwdHistoryLen",
                        u"The length of password history maintained (a new password cannot "
                        u"match any of maintained previous passwords)",
                        nullptr, nullptr, 3240, 40);
    lblPwdHistoryLen = row.label;
    txtPwdHistoryLen = row.field;
    cmdModalsSet = AddSetButton(f, "cmdModalsSet", 7500, 3720, 41);

    lnLocal = Place<Line>(f, "lnLocal", 0, 0, 0, 0, 0);
    lnLocal->SetPoints(4695, 4275, 9240, 4275);
    row =
        AddNumericRow(f, "lblPasswordReminder", u"Password Expiry Warning:", "txtPasswordReminder",
                      u"The number of days that a warning message is displayed before the "
                      u"user's password expires",
                      "lblPasswordReminder_u", u"days", 4560, 43);
    lblPasswordReminder = row.label;
    txtPasswordReminder = row.field;
    lblPasswordReminder_u = row.unit;
    cmdLocalSet = AddSetButton(f, "cmdLocalSet", 7500, 5040, 45);
}

void FUserInfo::CreateStatusLine() {
    lnStatus = Place<Line>(form_, "lnStatus", 0, 0, 0, 0, 0);
    lnStatus->SetPoints(0, 6000, kClientWidth, 6000);
    lblStatus = AddLabel(form_, "lblStatus", u"", 60, 6060, 9195, 315, 46);
    // The status line shows texts as they are: typed values, server messages.
    lblStatus->SetUseMnemonic(false);
    // A screen reader announces each outcome as it is shown.
    lblStatus->SetLive(true);
}

void FUserInfo::WireHandlers() {
    form_.Unload = [this] { Form_Unload(); };
    form_.Terminate = [this] { Form_Terminate(); };
    form_.KeyDown = [this](int& KeyCode, int Shift) { Form_KeyDown(KeyCode, Shift); };

    optLocal->Click = [this] { optLocal_Click(); };
    optServer->Click = [this] { optServer_Click(); };
    txtServer->KeyPress = [this](int& key) { txtServer_KeyPress(key); };
    txtServer->Validate = [this](bool& cancel) { txtServer_Validate(cancel); };
    txtServer->GotFocus = [this] { txtServer_GotFocus(); };
    txtServer->LostFocus = [this] { txtServer_LostFocus(); };

    cbUsername->Click = [this] { cbUsername_Click(); };
    flagBoxes_ = {{chkLocked, win::UF_LOCKOUT, true},
                  {chkNeverExpires, win::UF_DONT_EXPIRE_PASSWD, true},
                  {chkPassRequired, win::UF_PASSWD_NOTREQD, false},
                  {chkDisabled, win::UF_ACCOUNTDISABLE, true},
                  {chkCanChange, win::UF_PASSWD_CANT_CHANGE, false}};
    for (const FlagBox& flagBox : flagBoxes_)
        flagBox.box->Click = [this, &flagBox] { FlagBox_Click(flagBox); };
    cmdUserSet->Click = [this] { cmdUserSet_Click(); };

    cmdModalsSet->Click = [this] { cmdModalsSet_Click(); };
    cmdLocalSet->Click = [this] { SetLocalSettings(); };

    numericFields_ = {
        {txtMaxPwdAge, lblMaxPwdAge, &FUserInfo::ValidateMaxPwdAge},
        {txtMinPwdAge, lblMinPwdAge, &FUserInfo::ValidateMinPwdAge},
        {txtMinPwdLen, lblMinPwdLen, &FUserInfo::ValidateMinPwdLen},
        {txtLockoutThreshold, lblLockoutThreshold, &FUserInfo::ValidateLockoutThreshold},
        {txtLockoutDuration, lblLockoutDuration, &FUserInfo::ValidateLockoutDuration},
        {txtLockoutTimeout, lblLockoutTimeout, &FUserInfo::ValidateLockoutTimeout},
        {txtPwdHistoryLen, lblPwdHistoryLen, &FUserInfo::ValidatePwdHistoryLen},
        {txtPasswordReminder, lblPasswordReminder, &FUserInfo::ValidatePasswordReminder},
    };
    for (std::size_t i = 0; i < numericFields_.size(); ++i) {
        TextBox& box = *numericFields_[i].box;
        box.Change = [this, i] { NumericField_Change(numericFields_[i]); };
        box.GotFocus = [this, i] { NumericField_GotFocus(numericFields_[i]); };
        box.LostFocus = [this, i] { NumericField_LostFocus(numericFields_[i]); };
        box.KeyPress = [this, &box](int& key) { FilterNumericKey(key, box); };
        box.Validate = [this, i](bool& cancel) {
            NumericField_Validate(numericFields_[i], cancel);
        };
    }
    ctlPlusMinus->MinusClick = [this] { ctlPlusMinus_MinusClick(); };
    ctlPlusMinus->PlusClick = [this] { ctlPlusMinus_PlusClick(); };
}

} // namespace tw::app
