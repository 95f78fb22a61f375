#include "Win32ScenarioToolkit.h"

#include "toolkit/headless/VirtualClock.h"
#include "toolkit/win32/Win32Backend.h"
#include "toolkit/win32/Win32Input.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace tw::scenario {

namespace {

class Win32Toolkit : public ScenarioToolkit {
public:
    void Attach(app::FUserInfo& window, toolkit::Application&,
                const std::u16string& longDatePicture) override {
        toolkit::Win32BackendOptions options;
        options.virtualTime = true;
        // One window after another in this thread: a closed one must not end
        // the message loop of the next.
        options.quitOnClose = false;
        options.longDatePicture = longDatePicture;
        options.interactiveMessageBoxes = false;
        backend_ = std::make_unique<toolkit::Win32Backend>(window.Form(), options);
        input_ = std::make_unique<toolkit::Win32Input>(*backend_);
    }
    toolkit::IUserInput& Input() override { return *input_; }
    // The real window hears of it too: the backend forgets its brushes and repaints.
    void SystemMessage(unsigned message) override {
        if (HWND__* hwnd = backend_->Handle()) {
            ::SendMessageW(hwnd, message, 0, 0);
            backend_->PumpMessages();
        }
    }

private:
    std::unique_ptr<toolkit::Win32Backend> backend_;
    std::unique_ptr<toolkit::Win32Input> input_;
};

} // namespace

std::unique_ptr<ScenarioToolkit> MakeWin32Toolkit() {
    return std::make_unique<Win32Toolkit>();
}

} // namespace tw::scenario
