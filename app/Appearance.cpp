// Colours, icons and keyboard cues of the window: the start-up and shutdown
// steps, the control-kind table of the colours, the focused field's
// highlight, the subclassed window procedure and ICue.
#include "FUserInfo.h"

namespace tw::app {

using toolkit::ControlKind;

void FUserInfo::InitializeKeyboardCues() {
    common_.ReadKeyboardCuesSetting();
    // A window system without per-window cue state draws the cues from the
    // start when the system always shows them.
    form_.SetKeyboardCues(common_.KeyboardCuesAlwaysShown());
    if (!common_.KeyboardCuesAlwaysShown())
        common_.InstallCueHooks();
}

void FUserInfo::RemoveKeyboardCues() {
    common_.RemoveCueHooks();
}

void FUserInfo::DetectVisualStyles() {
    common_.DetectVisualStyles();
}

void FUserInfo::ApplyColorsAndIcons() {
    ApplyFormColors();
    common_.SetFormIcons(form_.Handle());
}

// Every colour is set again from the current theme or system state: the
// window keeps no memory of its colours.
void FUserInfo::ApplyFormColors() {
    const FormColors colors = common_.ResolveFormColors(form_.Handle());
    form_.SetBackColor(colors.face);
    form_.SetForeColor(colors.text);
    for (const auto& control : form_.Controls()) {
        switch (control->Kind()) {
        case ControlKind::CheckBox:
            control->SetBackColor(colors.back);
            control->SetForeColor(colors.text);
            break;
        case ControlKind::Label:
            control->SetForeColor(colors.text);
            break;
        case ControlKind::CommandButton:
            control->SetBackColor(colors.face);
            break;
        case ControlKind::Shape: {
            auto& shape = static_cast<toolkit::Shape&>(*control);
            shape.SetBackColor(colors.back);
            shape.SetBorderColor(colors.dark);
            break;
        }
        case ControlKind::Line:
            static_cast<toolkit::Line&>(*control).SetBorderColor(colors.dark);
            break;
        case ControlKind::ComboBox:
            control->SetBackColor(colors.back);
            control->SetForeColor(colors.backText);
            break;
        case ControlKind::TextBox:
            ApplyFieldColors(static_cast<TextBox&>(*control));
            break;
        default:
            break; // option buttons and the spinner keep their colours
        }
    }
}

// Called on gaining the focus (the box is then the active control and is
// highlighted) and on losing it (the focus has moved on: plain again).
void FUserInfo::ApplyFieldColors(TextBox& box) {
    const FieldColors colors =
        common_.ResolveFieldColors(form_.Handle(), form_.ActiveControl() == &box);
    box.SetBackColor(colors.back);
    box.SetForeColor(colors.text);
}

void FUserInfo::SubclassWindow() {
    common_.SetSubclassedForm(this);
    PrevWndProc = reinterpret_cast<win::WNDPROC>(platform_.windowSystem.SetWindowLongW(
        form_.Handle(), win::GWL_WNDPROC, reinterpret_cast<win::LONG_PTR>(&mCommon::MessageThunk)));
}

void FUserInfo::UnsubclassWindow() {
    if (PrevWndProc != nullptr)
        platform_.windowSystem.SetWindowLongW(form_.Handle(), win::GWL_WNDPROC,
                                              reinterpret_cast<win::LONG_PTR>(PrevWndProc));
    PrevWndProc = nullptr;
    common_.SetSubclassedForm(nullptr);
}

win::LRESULT FUserInfo::WindowProc(win::HWND hWnd, win::UINT uMsg, win::WPARAM wParam,
                                   win::LPARAM lParam) {
    switch (uMsg) {
    case win::WM_SYSCOLORCHANGE:
        // A theme switched on while the program runs must not reach it: the
        // window was laid out for the look it started with.
        if (common_.ThemeLibraryPresent() && !common_.ThemesActive() &&
            platform_.visualStyles.IsAppThemed() != 0)
            platform_.visualStyles.SetThemeAppProperties(0);
        ApplyColorsAndIcons();
        break;
    case win::WM_SETTINGCHANGE:
        common_.SetFormIcons(hWnd);
        break;
    case win::WM_THEMECHANGED:
        common_.DetectVisualStyles();
        break;
    default:
        break;
    }
    return platform_.windowSystem.CallWindowProcW(PrevWndProc, hWnd, uMsg, wParam, lParam);
}

// The program's only window is its active window while it is shown.
controls::ICue* FUserInfo::ActiveCueWindow() {
    return form_.Visible() ? this : nullptr;
}

void FUserInfo::Cue() {
    if (CuesShown)
        return;
    if (common_.IsWin2000OrLater()) {
        // Clear "hide focus" and "hide accelerators": the window and its
        // children draw focus rectangles and access-key underlines.
        platform_.windowSystem.SendMessageW(
            form_.Handle(), win::WM_UPDATEUISTATE,
            win::MAKEWPARAM_(win::UIS_CLEAR, win::UISF_HIDEFOCUS | win::UISF_HIDEACCEL), 0);
        form_.SetKeyboardCues(true);
    }
    RedrawCueControls();
    CuesShown = true;
}

void FUserInfo::UnCue() {
    if (!CuesShown)
        return;
    if (common_.IsWin2000OrLater()) {
        platform_.windowSystem.SendMessageW(
            form_.Handle(), win::WM_UPDATEUISTATE,
            win::MAKEWPARAM_(win::UIS_SET, win::UISF_HIDEFOCUS | win::UISF_HIDEACCEL), 0);
        form_.SetKeyboardCues(false);
    }
    RedrawCueControls();
    CuesShown = false;
}

// Push buttons and check boxes draw their cues with their caption: assigning
// the caption again makes them redraw in the new state.
void FUserInfo::RedrawCueControls() {
    for (const auto& control : form_.Controls()) {
        if (control->Kind() == ControlKind::CommandButton) {
            auto& button = static_cast<toolkit::CommandButton&>(*control);
            const std::u16string caption = button.Caption();
            button.SetCaption(caption);
        } else if (control->Kind() == ControlKind::CheckBox) {
            auto& box = static_cast<toolkit::CheckBox&>(*control);
            const std::u16string caption = box.Caption();
            box.SetCaption(caption);
        }
    }
}

} // namespace tw::app
