#include "QtScenarioToolkit.h"

#include "toolkit/qt/QtAccessibility.h"
#include "toolkit/qt/QtBackend.h"
#include "toolkit/qt/QtInput.h"

#include <QApplication>

namespace tw::scenario {

namespace {

class QtToolkit : public ScenarioToolkit {
public:
    void UseWindowSystem(win::IWindowSystem& windowSystem) override {
        windowSystem_ = &windowSystem;
    }
    void Attach(app::FUserInfo& window, toolkit::Application&,
                const std::u16string& longDatePicture) override {
        toolkit::QtBackendOptions options;
        options.longDatePicture = longDatePicture;
        options.interactiveMessageBoxes = false;
        options.virtualTime = true;
        // The hooks see only the scenario's own keyboard and mouseMove steps,
        // as in the headless run: no real input is handed to them here.
        if (win::IWindowSystem* windowSystem = windowSystem_)
            options.systemColor = [windowSystem](unsigned index) {
                return windowSystem->GetSysColor(static_cast<int>(index));
            };
        backend_ = std::make_unique<toolkit::QtBackend>(window.Form(), options);
        input_ = std::make_unique<toolkit::QtInput>(*backend_);
    }
    toolkit::IUserInput& Input() override { return *input_; }
    // The system colours changed: the widgets paint with the new ones.
    void SystemMessage(unsigned message) override {
        if (message == win::WM_SYSCOLORCHANGE)
            backend_->RefreshColors();
    }
    std::u16string AccessibleName(const toolkit::Control& control) override {
        return FromWidget(control, toolkit::AccessibleName);
    }
    std::u16string AccessibleDescription(const toolkit::Control& control) override {
        return FromWidget(control, toolkit::AccessibleDescription);
    }

private:
    // Read from the widget's own accessible object, as a screen reader would.
    std::u16string FromWidget(const toolkit::Control& control, QString (*read)(QWidget*)) {
        QWidget* widget = backend_->WidgetOf(control);
        return widget != nullptr ? read(widget).toStdU16String() : std::u16string();
    }

    win::IWindowSystem* windowSystem_ = nullptr;
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
