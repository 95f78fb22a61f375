#include "QtScenarioToolkit.h"

#include "toolkit/qt/QtBackend.h"
#include "toolkit/qt/QtInput.h"

#include <QApplication>

namespace tw::scenario {

namespace {

class QtToolkit : public ScenarioToolkit {
public:
    void Attach(app::FUserInfo& window, toolkit::Application&,
                const std::u16string& longDatePicture) override {
        toolkit::QtBackendOptions options;
        options.longDatePicture = longDatePicture;
        options.interactiveMessageBoxes = false;
        options.virtualTime = true;
        backend_ = std::make_unique<toolkit::QtBackend>(window.Form(), options);
        input_ = std::make_unique<toolkit::QtInput>(*backend_);
    }
    toolkit::IUserInput& Input() override { return *input_; }

private:
    std::unique_ptr<toolkit::QtBackend> backend_;
    std::unique_ptr<toolkit::QtInput> input_;
};

} // namespace

void InitQt(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: a QApplication torn down among the static destructors
    // at exit crashes; the process ends right after the scenarios anyway.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

std::unique_ptr<ScenarioToolkit> MakeQtToolkit() {
    return std::make_unique<QtToolkit>();
}

} // namespace tw::scenario
