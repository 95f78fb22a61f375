// The user-input rules through the real Win32 window, fed with the window
// messages a user's mouse and keyboard produce.
#include "toolkit/UserInputConformance.h"

#include "toolkit/headless/VirtualClock.h"
#include "toolkit/win32/Win32Backend.h"
#include "toolkit/win32/Win32Input.h"

namespace tw::toolkit::test {

namespace {

class Win32Window : public ToolkitUnderTest {
public:
    explicit Win32Window(Form& form) : backend_(form, Options()), input_(backend_) {}
    IUserInput& Input() override { return input_; }
    void Settle() override { backend_.PumpMessages(); }

private:
    static Win32BackendOptions Options() {
        Win32BackendOptions options;
        options.virtualTime = true;
        options.quitOnClose = false;
        options.interactiveMessageBoxes = false;
        return options;
    }
    Win32Backend backend_;
    Win32Input input_;
};

std::unique_ptr<ToolkitUnderTest> MakeWin32(Form& form) {
    return std::make_unique<Win32Window>(form);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, UserInput, ::testing::Values(&MakeWin32));

} // namespace tw::toolkit::test
