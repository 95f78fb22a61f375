// The shared suites through the real Qt widgets (offscreen): the user-input
// rules fed with real Qt input events, and what the widgets show.
#include "QtTestWindow.h"

namespace tw::toolkit::test {

namespace {

template <class Shown> std::unique_ptr<Shown> Make(Form& form) {
    return std::make_unique<QtWindow>(form);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Qt, UserInput, ::testing::Values(&Make<ToolkitUnderTest>));
INSTANTIATE_TEST_SUITE_P(Qt, WindowMirror, ::testing::Values(&Make<WindowUnderTest>));

} // namespace tw::toolkit::test
