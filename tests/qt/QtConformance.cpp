// The shared suites through the real Qt widgets (offscreen): the user-input
// rules fed with real Qt input events, and what the widgets show.
#include "QtTestWindow.h"

namespace tw::toolkit::test {

namespace {

std::unique_ptr<ToolkitUnderTest> MakeQt(Form& form) {
    return std::make_unique<QtWindow>(form);
}

std::unique_ptr<WindowUnderTest> MakeQtWindow(Form& form) {
    return std::make_unique<QtWindow>(form);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Qt, UserInput, ::testing::Values(&MakeQt));
INSTANTIATE_TEST_SUITE_P(Qt, WindowMirror, ::testing::Values(&MakeQtWindow));

} // namespace tw::toolkit::test
