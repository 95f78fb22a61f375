#include "ScenarioToolkit.h"

#include "toolkit/headless/HeadlessBackend.h"

#ifdef TW_SCENARIO_QT
#include "QtScenarioToolkit.h"
#endif
#ifdef TW_SCENARIO_WIN32
#include "Win32ScenarioToolkit.h"
#endif

namespace tw::scenario {

namespace {

class HeadlessToolkit : public ScenarioToolkit {
public:
    void Attach(app::FUserInfo& window, toolkit::Application& app,
                const std::u16string& longDatePicture) override {
        backend_ = std::make_unique<toolkit::HeadlessBackend>(longDatePicture);
        window.Form().SetView(backend_.get());
        window.Form().SetHandle(toolkit::HeadlessBackend::WindowHandle());
        app.SetBackend(backend_.get());
        input_ = std::make_unique<toolkit::HeadlessInput>(window.Form(), backend_->Clock());
    }
    toolkit::IUserInput& Input() override { return *input_; }

private:
    std::unique_ptr<toolkit::HeadlessBackend> backend_;
    std::unique_ptr<toolkit::HeadlessInput> input_;
};

} // namespace

std::unique_ptr<ScenarioToolkit> MakeHeadlessToolkit() {
    return std::make_unique<HeadlessToolkit>();
}

const char* AvailableToolkits() {
    return "headless"
#ifdef TW_SCENARIO_QT
           "|qt"
#endif
#ifdef TW_SCENARIO_WIN32
           "|win32"
#endif
        ;
}

ToolkitFactory ToolkitNamed(const std::string& name, [[maybe_unused]] int& argc,
                            [[maybe_unused]] char** argv) {
    if (name == "headless")
        return &MakeHeadlessToolkit;
#ifdef TW_SCENARIO_QT
    if (name == "qt") {
        InitQt(argc, argv);
        return &MakeQtToolkit;
    }
#endif
#ifdef TW_SCENARIO_WIN32
    if (name == "win32")
        return &MakeWin32Toolkit;
#endif
    return nullptr;
}

} // namespace tw::scenario
