// The program's one window: start-up and shutdown, the status line, the
// target row, the user panel, the policy panel, the numeric fields and the
// password expiry warning row. Member functions are split over several .cpp
// files by panel.
#pragma once

#include "account/CNetUser.h"
#include "account/PolicyFields.h"
#include "common/mCommon.h"
#include "controls/ICue.h"
#include "controls/ucPlusMinus.h"
#include "platform/Platform.h"
#include "toolkit/Form.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tw::app {

class FUserInfo : public controls::ICue, public ISubclassedWindow {
public:
    // Creates the window's controls in their design state; nothing runs yet.
    FUserInfo(toolkit::Application& app, const win::Platform& platform);
    ~FUserInfo() override;

    toolkit::Form& Form() { return form_; }

    // The window system creates the window: the initialization handler, then,
    // unless the platform was refused, the load handler; then the window shows.
    void Start();

    void Cue() override;
    void UnCue() override;
    // What the window last asked the platform for: cues shown or hidden.
    bool AreCuesShown() const { return CuesShown; }

    // The subclassed window procedure: follows colour, setting and theme
    // changes, then hands every message to the procedure it replaced.
    win::LRESULT WindowProc(win::HWND hWnd, win::UINT uMsg, win::WPARAM wParam,
                            win::LPARAM lParam) override;

private:
    using TextBox = toolkit::TextBox;
    using Label = toolkit::Label;

    // A numeric field: its text box, the label that names it in messages and
    // the store validator that runs after its text was checked.
    struct NumericField {
        TextBox* box;
        Label* label;
        void (FUserInfo::*validator)(bool& Cancel, bool ShowMessage);
    };

    // An editable flag box of the user panel: its flag bit, and whether a
    // checked box means the bit is set (or, for the boxes that show the
    // opposite of their flag, clear).
    struct FlagBox {
        toolkit::CheckBox* box;
        std::int32_t flag;
        bool checkedMeansSet;
    };

    // Design (FUserInfoDesign.cpp)
    void CreateControls();
    void CreateTargetRow();
    void CreateUserPane();
    void CreateServerPane();
    void CreateStatusLine();
    void WireHandlers();

    // Start-up, status line and shutdown (FUserInfo.cpp)
    void Form_Initialize();
    void Form_Load();
    void Form_Unload();
    void Form_Terminate();
    std::u16string StartupBanner() const;
    void ApplyFontsAndTexts();
    // Accessible names and descriptions from the texts just applied (Accessibility.cpp).
    void ApplyAccessibleNames();
    void ApplyColorsAndIcons();
    // The busy sequence around network-management calls. Made, it shows the
    // hourglass and "Wait...", disables the window and lets pending messages
    // through; it always ends with the window enabled and the default
    // pointer, also when its owner returns early.
    class BusySequence {
    public:
        explicit BusySequence(FUserInfo& window);
        ~BusySequence() { EndKeepingStatus(); }
        BusySequence(const BusySequence&) = delete;
        BusySequence& operator=(const BusySequence&) = delete;
        // The window enabled, the default pointer, then the status line: the
        // error text of `status`, or empty.
        void End(std::int32_t status);
        // The window enabled and the default pointer; the status line stays.
        void EndKeepingStatus();
        // The two steps of the end one at a time, for an owner whose status
        // line comes between them.
        void EnableWindow();
        void RestorePointer();

    private:
        FUserInfo& window_;
    };
    // A network-management call: it may wait on another computer, so it runs
    // while the window waits for it, painting (Application::WaitForCall).
    template <class Call> auto NetCall(Call&& call) {
        decltype(call()) result{};
        app_.WaitForCall([&] { result = call(); });
        return result;
    }
    std::u16string ErrorText(std::int32_t status);
    void ShowStatus(const std::u16string& text);
    // After a Set: names the boxes and fields (each by its own caption or its
    // label's) whose value the server did not take, in tab order; nothing
    // when there are none.
    void ShowNotKept(std::vector<toolkit::Control*> named);
    // A write that went out and got no answer (the connection broke or the
    // server went silent): the server may have carried it out.
    static bool AnswerLost(std::int32_t status);
    void ShowAnswerLost(std::int32_t status);
    // The panels whose last write got no answer, read again now that the
    // server answered a call.
    void RereadUnsurePanels();
    // "Max. Password Age:" names its field as "Max. Password Age", without
    // the access key's mark (Accessibility.cpp).
    static std::u16string NameOfCaption(const std::u16string& caption);

    // Target row (TargetRow.cpp)
    void optServer_Click();
    // The target handler's work: the target from the option buttons and the
    // server box, then its policy, its accounts (choosing `select`) and the
    // local setting.
    void LoadTarget(const std::u16string& select);
    void RefreshTarget();
    void Form_KeyDown(int& KeyCode, int Shift);
    void optLocal_Click();
    void txtServer_KeyPress(int& KeyAscii);
    void txtServer_Validate(bool& Cancel);
    void txtServer_GotFocus();
    void txtServer_LostFocus();

    // User list and panel (UserPanel.cpp)
    // Fills the list and selects `select` (the running user at a change of
    // target), which fetches that account.
    bool FillUserList(const std::u16string& select);
    // True when the chosen account was fetched and is shown.
    bool LoadSelectedUser();
    void FillUserPanel();
    void ClearUserPanel();
    // The change-password box where the server keeps the right out of reach:
    // grey and disabled, its tool tip saying why; else as the language file
    // has it.
    void ShowChangeRightKnown(const std::optional<std::u16string>& whyNot);
    void UpdateUserSetButton();
    void cbUsername_Click();
    void FlagBox_Click(const FlagBox& flagBox);
    void cmdUserSet_Click();

    // Policy panel (PolicyPanel.cpp)
    bool LoadPolicy();
    void ClearPolicyPanel();
    void FillPolicyPanel();
    void UpdatePolicySetButton();
    void cmdModalsSet_Click();
    void StorePolicyField(TextBox& field, Label& label, bool& Cancel, bool ShowMessage,
                          void (CNetUser::*setter)(std::int32_t));
    void ValidateMaxPwdAge(bool& Cancel, bool ShowMessage);
    void ValidateMinPwdAge(bool& Cancel, bool ShowMessage);
    void ValidateMinPwdLen(bool& Cancel, bool ShowMessage);
    void ValidateLockoutThreshold(bool& Cancel, bool ShowMessage);
    void ValidateLockoutDuration(bool& Cancel, bool ShowMessage);
    void ValidateLockoutTimeout(bool& Cancel, bool ShowMessage);
    void ValidatePwdHistoryLen(bool& Cancel, bool ShowMessage);

    // Numeric fields (NumericFields.cpp)
    const NumericField* FindField(const TextBox& box) const;
    // The policy field a box shows; nothing for the expiry warning's.
    std::optional<PolicyField> PolicyFieldOf(const TextBox& box) const;
    std::int32_t FieldMinimum(const TextBox& field) const;
    std::int32_t FieldMaximum(const TextBox& field) const;
    bool IsInFieldRange(std::int32_t value, const TextBox& field) const;
    void ValidateField(TextBox& field, const std::u16string& caption, bool& invalid);
    void StepField(TextBox& field, bool down);
    void FilterNumericKey(int& KeyAscii, TextBox& field);
    static void SelectAllText(TextBox& box);
    void NumericField_Change(const NumericField& field);
    void NumericField_GotFocus(const NumericField& field);
    void NumericField_LostFocus(const NumericField& field);
    void NumericField_Validate(const NumericField& field, bool& Cancel);
    void ctlPlusMinus_MinusClick();
    void ctlPlusMinus_PlusClick();
    std::optional<std::int32_t> ParseUnsigned(const std::u16string& text) const;

    // Password expiry warning row (ExpiryWarningRow.cpp)
    void EnableLocalSettings(bool enabled);
    void ClearLocalSettings();
    void RefreshLocalSettings();
    void SetLocalSettings();
    void UpdateLocalSetButton();
    void ValidatePasswordReminder(bool& Cancel, bool ShowMessage);

    char16_t LocaleDecimalSign();

    // Colours, icons and keyboard cues (Appearance.cpp)
    void InitializeKeyboardCues();
    void RemoveKeyboardCues();
    void DetectVisualStyles();
    void ApplyFormColors();
    void ApplyFieldColors(TextBox& box);
    void SubclassWindow();
    void UnsubclassWindow();
    controls::ICue* ActiveCueWindow();
    void RedrawCueControls();

    toolkit::Application& app_;
    win::Platform platform_; // references to the platform's objects
    toolkit::Form form_;
    tw::mCommon common_;
    char16_t decimalSign_ = u'.';

    // Window state.
    std::unique_ptr<CNetUser> NetUser;
    std::u16string CurrentUser;
    std::u16string CurrentMachine;
    bool FormLoaded = false;
    std::int32_t EditedFlags = 0;
    // A panel's last write got no answer: it shows what the administrator
    // meant, not what the server holds, until it is read again.
    bool UserWriteUnsure = false;
    bool PolicyWriteUnsure = false;
    std::int32_t LoadedExpiryWarning = 0;
    bool CuesShown = false;
    // The window procedure SubclassWindow replaced; null when not subclassed.
    win::WNDPROC PrevWndProc = nullptr;

    std::vector<NumericField> numericFields_;
    // The five editable flag boxes, in the order the panel fills them.
    std::vector<FlagBox> flagBoxes_;
    std::u16string CanChangeToolTip; // the language file's

    // Controls.
    toolkit::OptionButton* optLocal = nullptr;
    toolkit::OptionButton* optServer = nullptr;
    TextBox* txtServer = nullptr;
    Label* lblUserPar = nullptr;
    Label* lblUsername = nullptr;
    toolkit::ComboBox* cbUsername = nullptr;
    Label* lblLastLogon = nullptr;
    TextBox* txtLastLogon = nullptr;
    Label* lblPasswordAge = nullptr;
    TextBox* txtPasswordAge = nullptr;
    Label* lblPasswordAge_u = nullptr;
    Label* lblLogonCount = nullptr;
    TextBox* txtLogonCount = nullptr;
    Label* lblBadPassCount = nullptr;
    TextBox* txtBadPassCount = nullptr;
    toolkit::CheckBox* chkDisabled = nullptr;
    toolkit::CheckBox* chkLocked = nullptr;
    toolkit::CheckBox* chkExpired = nullptr;
    toolkit::CheckBox* chkPassRequired = nullptr;
    toolkit::CheckBox* chkNeverExpires = nullptr;
    toolkit::CheckBox* chkCanChange = nullptr;
    toolkit::CommandButton* cmdUserSet = nullptr;
    Label* lblServerPar = nullptr;
    Label* lblMaxPwdAge = nullptr;
    TextBox* txtMaxPwdAge = nullptr;
    Label* lblMaxPwdAge_u = nullptr;
    Label* lblMinPwdAge = nullptr;
    TextBox* txtMinPwdAge = nullptr;
    Label* lblMinPwdAge_u = nullptr;
    Label* lblMinPwdLen = nullptr;
    TextBox* txtMinPwdLen = nullptr;
    Label* lblLockoutThreshold = nullptr;
    TextBox* txtLockoutThreshold = nullptr;
    Label* lblLockoutDuration = nullptr;
    TextBox* txtLockoutDuration = nullptr;
    Label* lblLockoutDuration_u = nullptr;
    Label* lblLockoutTimeout = nullptr;
    TextBox* txtLockoutTimeout = nullptr;
    Label* lblLockoutTimeout_u = nullptr;
    Label* lblPwdHistoryLen = nullptr;
    TextBox* txtPwdHistoryLen = nullptr;
    toolkit::CommandButton* cmdModalsSet = nullptr;
    Label* lblPasswordReminder = nullptr;
    TextBox* txtPasswordReminder = nullptr;
    Label* lblPasswordReminder_u = nullptr;
    toolkit::CommandButton* cmdLocalSet = nullptr;
    Label* lblStatus = nullptr;
    toolkit::Line* lnLocal = nullptr;
    toolkit::Line* lnStatus = nullptr;
    toolkit::Shape* shaUserPane = nullptr;
    toolkit::Shape* Shape1 = nullptr;
    controls::ucPlusMinus* ctlPlusMinus = nullptr;
};

} // namespace tw::app
