// Start-up, the status line's busy sequence, and shutdown.
#include "FUserInfo.h"

#include "common/UnsignedNumbers.h"
#include "platform/TextConvert.h"

#include <algorithm>

namespace tw::app {

using toolkit::MousePointer;

FUserInfo::FUserInfo(toolkit::Application& app, const win::Platform& platform)
    : app_(app), platform_(platform), form_(app), common_(platform_, app.Path()) {
    CreateControls();
    WireHandlers();
    common_.SetCueTarget([this](bool show) {
        if (controls::ICue* window = ActiveCueWindow())
            show ? window->Cue() : window->UnCue();
    });
}

FUserInfo::~FUserInfo() {
    // A window that goes away without being closed (an embedding program that
    // ends early) still gives the window system back what it took.
    UnsubclassWindow();
    RemoveKeyboardCues();
}

void FUserInfo::Start() {
    Form_Initialize();
    if (app_.Ended())
        return; // refused: the window is never shown
    Form_Load();
    form_.Show();
}

void FUserInfo::Form_Initialize() {
    if (!common_.CheckPlatform()) {
        // The language file is not read yet, so this text stays English.
        app_.MsgBox(u"Unsupported operating system", toolkit::vbExclamation, app_.Version().Title);
        app_.End();
        return;
    }
    // The version 6 common controls are in force through the manifest; the
    // toolkit backend loads and initialises them before it creates a control.
    InitializeKeyboardCues();
    common_.LoadLanguageFile(0);
}

void FUserInfo::Form_Load() {
    DetectVisualStyles();
    ApplyColorsAndIcons();
    ApplyFontsAndTexts();
    decimalSign_ = LocaleDecimalSign();

    NetUser = std::make_unique<CNetUser>(platform_.net, platform_.system);
    CurrentUser = NetUser->CurrentUserName();
    CurrentMachine = NetUser->CurrentMachineName();

    // Selecting the local computer runs the target handler while FormLoaded
    // is still false: it only sets the target and reads the local setting.
    optLocal->SetValue(true);
    FormLoaded = true;
    optServer_Click();

    SubclassWindow();
    if (!platform_.realServers || lblStatus->Caption().empty())
        ShowStatus(StartupBanner());
}

void FUserInfo::Form_Unload() {
    UnsubclassWindow();
}

void FUserInfo::Form_Terminate() {
    RemoveKeyboardCues();
}

char16_t FUserInfo::LocaleDecimalSign() {
    char16_t buffer[8] = {};
    const int written =
        platform_.system.GetLocaleInfoW(win::LOCALE_USER_DEFAULT, win::LOCALE_SDECIMAL, buffer, 8);
    return written > 1 ? buffer[0] : u'.';
}

std::u16string FUserInfo::StartupBanner() const {
    const toolkit::VersionInfo& v = app_.Version();
    auto padded = [](int value, std::size_t width) {
        std::u16string digits = UnsignedToText(value);
        if (digits.size() < width)
            digits.insert(0, width - digits.size(), u'0');
        return digits;
    };
    return v.Title + u" " + UnsignedToText(v.Major) + u"." + padded(v.Minor, 2) + u"." +
           padded(v.Revision, 3) + u"     " + v.LegalCopyright + u"     " + v.WebAddress;
}

void FUserInfo::ApplyFontsAndTexts() {
    const std::u16string face = common_.IsWin2000OrLater() ? u"MS Shell Dlg 2" : u"Arial";
    const int charset = common_.AnsiCharset();
    toolkit::Font formFont = form_.Font();
    formFont.Name = face;
    formFont.Charset = charset;
    form_.SetFont(formFont);

    for (const auto& control : form_.Controls()) {
        using toolkit::ControlKind;
        const ControlKind kind = control->Kind();
        if (kind == ControlKind::Line || kind == ControlKind::Shape || kind == ControlKind::Timer ||
            kind == ControlKind::UserControl)
            continue;
        toolkit::Font font = control->Font();
        font.Name = face;
        font.Charset = charset;
        control->SetFont(font);

        const std::u16string prefix = u"Frm." + FromUtf8(control->Name());
        if (toolkit::Captioned* captioned = toolkit::AsCaptioned(*control))
            captioned->SetCaption(common_.LocString(prefix + u".Caption", captioned->Caption()));
        control->SetToolTipText(
            common_.LocString(prefix + u".ToolTipText", control->ToolTipText()));
    }
    if (!platform_.localRegistry) {
        // The row stays empty and disabled; its tips say why.
        const std::u16string why = common_.LocString(
            u"Frm.Tip_NoLocalRegistry",
            u"This computer has no Windows registry to hold a password expiry warning");
        txtPasswordReminder->SetToolTipText(why);
        cmdLocalSet->SetToolTipText(why);
    }
    ApplyAccessibleNames();
}

FUserInfo::BusySequence::BusySequence(FUserInfo& window) : window_(window) {
    window_.app_.SetMousePointer(MousePointer::Hourglass);
    window_.ShowStatus(window_.common_.LocString(u"Frm.Status_Wait", u"Wait..."));
    window_.form_.SetEnabled(false);
    window_.app_.DoEvents();
}

void FUserInfo::BusySequence::End(std::int32_t status) {
    EndKeepingStatus();
    window_.ShowStatus(status != 0 ? window_.ErrorText(status) : std::u16string());
}

void FUserInfo::BusySequence::EndKeepingStatus() {
    EnableWindow();
    RestorePointer();
}

void FUserInfo::BusySequence::EnableWindow() {
    window_.form_.SetEnabled(true);
}

void FUserInfo::BusySequence::RestorePointer() {
    if (window_.app_.MousePointer() != MousePointer::Default)
        window_.app_.SetMousePointer(MousePointer::Default);
}

std::u16string FUserInfo::ErrorText(std::int32_t status) {
    return common_.StatusErrorText(status);
}

void FUserInfo::ShowStatus(const std::u16string& text) {
    lblStatus->SetCaption(text);
}

bool FUserInfo::AnswerLost(std::int32_t status) {
    switch (static_cast<win::DWORD>(status)) {
    case win::RPC_S_CALL_FAILED:     // the call went out; whether it ran is unknown
    case win::ERROR_NETNAME_DELETED: // the server's session went during the call
    case win::ERROR_SEM_TIMEOUT:     // the redirector waited in vain
        return true;
    default:
        return false;
    }
}

void FUserInfo::ShowAnswerLost(std::int32_t status) {
    ShowStatus(common_.LocString(
        u"Frm.Status_NoAnswer",
        u"Error %1. No answer from the server: the change may have been made.", {status}));
}

void FUserInfo::RereadUnsurePanels() {
    if (UserWriteUnsure)
        LoadSelectedUser();
    if (PolicyWriteUnsure)
        LoadPolicy();
}

void FUserInfo::ShowNotKept(std::vector<toolkit::Control*> named) {
    if (named.empty())
        return;
    std::sort(named.begin(), named.end(), [](const toolkit::Control* a, const toolkit::Control* b) {
        return a->TabIndex() < b->TabIndex();
    });
    std::u16string names;
    for (const toolkit::Control* control : named) {
        if (!names.empty())
            names += u", ";
        names += NameOfCaption(toolkit::AsCaptioned(*control)->Caption());
    }
    ShowStatus(common_.LocString(u"Frm.Status_NotKept", u"Not kept by the server: %1", {names}));
}

} // namespace tw::app
