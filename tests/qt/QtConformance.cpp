// The user-input rules through the real Qt widgets (offscreen), fed with real
// Qt input events.
#include "toolkit/UserInputConformance.h"

#include "toolkit/qt/QtBackend.h"
#include "toolkit/qt/QtInput.h"

#include <QCoreApplication>
#include <QWidget>

namespace tw::toolkit::test {

namespace {

class QtWindow : public ToolkitUnderTest {
public:
    explicit QtWindow(Form& form) : backend_(form, Options()), input_(backend_) {}
    IUserInput& Input() override { return input_; }
    void Settle() override {
        QCoreApplication::processEvents();
        backend_.Window()->activateWindow();
        QCoreApplication::processEvents();
    }

private:
    static QtBackendOptions Options() {
        QtBackendOptions options;
        options.interactiveMessageBoxes = false;
        options.virtualTime = true;
        return options;
    }
    QtBackend backend_;
    QtInput input_;
};

std::unique_ptr<ToolkitUnderTest> MakeQt(Form& form) {
    return std::make_unique<QtWindow>(form);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Qt, UserInput, ::testing::Values(&MakeQt));

} // namespace tw::toolkit::test
