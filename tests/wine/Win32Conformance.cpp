// The shared suites through the real Win32 window: the user-input rules fed
// with the window messages a user's mouse and keyboard produce, and what the
// controls show.
#include "Win32WindowFixture.h"

namespace tw::toolkit::test {

namespace {

std::unique_ptr<ToolkitUnderTest> MakeWin32(Form& form) {
    return std::make_unique<Win32Window>(form);
}

std::unique_ptr<WindowUnderTest> MakeWin32Window(Form& form) {
    return std::make_unique<Win32Window>(form);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, UserInput, ::testing::Values(&MakeWin32));
INSTANTIATE_TEST_SUITE_P(Win32, WindowMirror, ::testing::Values(&MakeWin32Window));

} // namespace tw::toolkit::test
