// Application services of the toolkit: mouse pointer, pending messages,
// message box, beep, long dates, version information, the executable's
// folder and ending the program. What the user saw is also recorded, so
// tests and scenarios can check it on every backend.
#pragma once

#include "Types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tw::toolkit {

struct VersionInfo {
    std::u16string Title;
    int Major = 0;
    int Minor = 0;
    int Revision = 0;
    std::u16string LegalCopyright;
    std::u16string WebAddress;
};

struct MessageBoxRecord {
    std::u16string Text;
    std::u16string Title;
    int Style = 0;
};

// The real effect of each service, supplied by a backend.
class IAppBackend {
public:
    virtual ~IAppBackend() = default;
    virtual void ShowMousePointer(MousePointer pointer) = 0;
    virtual void DoEvents() = 0;
    // Runs a call that may wait on another computer off the window's thread,
    // and waits for it in a loop of the window's own events: the window
    // paints and its timers tick meanwhile, and the handler that made the
    // call goes on in order once it returned. The caller has disabled the
    // window, so input that arrives meanwhile is dropped, never kept for
    // later. Without threads of its own a backend runs the call inline.
    virtual void WaitForCall(const std::function<void()>& call) { call(); }
    virtual void ShowMessageBox(const MessageBoxRecord& box) = 0;
    virtual void Beep() = 0;
    // The date part of a date serial in the user's long date format.
    virtual std::u16string FormatLongDate(double serial) = 0;
    virtual void End() = 0;
    // Milliseconds on the clock the window's timers follow (a virtual clock
    // in tests and scenarios); only differences between two readings count.
    virtual std::int64_t Milliseconds();
};

class Application {
public:
    Application(VersionInfo version, std::u16string executableFolder)
        : version_(std::move(version)), path_(std::move(executableFolder)) {}

    // The backend that carries out the services; until one is set they only record.
    void SetBackend(IAppBackend* backend) { backend_ = backend; }

    tw::toolkit::MousePointer MousePointer() const { return pointer_; }
    void SetMousePointer(tw::toolkit::MousePointer pointer);
    void DoEvents();
    // A call that may wait on another computer, made while the window stays
    // alive (IAppBackend::WaitForCall); inline without a backend.
    void WaitForCall(const std::function<void()>& call);
    void MsgBox(const std::u16string& text, int style, const std::u16string& title);
    void Beep();
    std::u16string FormatLongDate(double serial);
    const VersionInfo& Version() const { return version_; }
    // The folder of the executable (App.Path).
    const std::u16string& Path() const { return path_; }
    void End();
    bool Ended() const { return ended_; }
    std::int64_t Milliseconds() const { return backend_ ? backend_->Milliseconds() : 0; }

    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
    int Beeps() const { return beeps_; }

private:
    IAppBackend* backend_ = nullptr;
    VersionInfo version_;
    std::u16string path_;
    tw::toolkit::MousePointer pointer_ = tw::toolkit::MousePointer::Default;
    bool ended_ = false;
    std::vector<MessageBoxRecord> messageBoxes_;
    int beeps_ = 0;
};

} // namespace tw::toolkit
