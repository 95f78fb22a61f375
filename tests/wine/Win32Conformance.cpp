// The shared suites through the real Win32 window: the user-input rules fed
// with the window messages a user's mouse and keyboard produce, and what the
// controls show.
#include "Win32WindowFixture.h"

namespace tw::toolkit::test {

namespace {

template <class Shown> std::unique_ptr<Shown> Make(Form& form) {
    return std::make_unique<Win32Window>(form);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, UserInput, ::testing::Values(&Make<ToolkitUnderTest>));
INSTANTIATE_TEST_SUITE_P(Win32, WindowMirror, ::testing::Values(&Make<WindowUnderTest>));

} // namespace tw::toolkit::test
