// The Windows window: the form model mirrored into a top-level window of
// plain Win32 controls, with real input fed back into the model. The model
// keeps every event rule; the controls never change their own state.
//
// This header stays free of <windows.h>, so hosts can include it beside the
// platform's own declarations; window handles appear as HWND__*.
#pragma once

#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/IFormView.h"

#include <memory>
#include <optional>
#include <string>

struct HWND__;

namespace tw::toolkit {

class VirtualClock;

struct Win32BackendOptions {
    // Timers tick from a virtual clock that only moves when told to (scenario
    // runs and tests) instead of real time.
    bool virtualTime = false;
    // Closing the window (or End) ends the thread's message loop. Tests that
    // open several windows in one thread turn it off.
    bool quitOnClose = true;
    // Scenario runs: long dates in this picture ("dddd, MMMM d, yyyy"), the
    // same on every machine. Empty: the user's long date format.
    std::u16string longDatePicture;
    // Off for scenario runs: message boxes are only recorded by the model,
    // nobody is there to press OK.
    bool interactiveMessageBoxes = true;
    // Dots per inch to lay the window out at, whatever the monitor has
    // (tests of the layout at several resolutions); 0: the monitor's, and
    // again the new monitor's after a move to one of another resolution.
    int dpi = 0;
};

class Win32Backend final : public IFormView, public IAppBackend {
public:
    // Creates the window and its controls, hidden until the form shows, and
    // becomes the form's view and its application's backend.
    explicit Win32Backend(Form& form, Win32BackendOptions options = {});
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    Form& Model() const;
    // The top-level window; null once it is destroyed.
    HWND__* Handle() const;
    // The window that shows a control; null for a timer or an unknown control.
    HWND__* HandleOf(const Control& control) const;
    // Dots per inch the window's twips are laid out at now.
    int Dpi() const;

    // The program's message loop: until the thread's quit message; returns its code.
    int Run();
    // Processes every message waiting in the thread's queue, as the loop does.
    void PumpMessages();
    // The virtual clock the timers tick from, when the options ask for one.
    bool UsesVirtualClock() const;
    VirtualClock& Clock();

    // IFormView
    void ControlChanged(Control& control, Property what) override;
    void FormChanged(Property what) override;
    void FocusChanged(Control* control) override;
    // The system's clipboard, shared with other programs.
    std::optional<std::u16string> ClipboardText() override;
    void SetClipboardText(const std::u16string& text) override;

    // IAppBackend
    void ShowMousePointer(MousePointer pointer) override;
    void DoEvents() override;
    void WaitForCall(const std::function<void()>& call) override;
    void ShowMessageBox(const MessageBoxRecord& box) override;
    void Beep() override;
    std::u16string FormatLongDate(double serial) override;
    void End() override;
    std::int64_t Milliseconds() override;

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// The folder of the running executable, without a final backslash (App.Path).
std::u16string Win32ExecutableFolder();

} // namespace tw::toolkit
