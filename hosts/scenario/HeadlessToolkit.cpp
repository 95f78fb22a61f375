#include "ScenarioToolkit.h"

#include "toolkit/headless/HeadlessBackend.h"

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

std::unique_ptr<ScenarioToolkit> MakeHeadlessToolkit() { return std::make_unique<HeadlessToolkit>(); }

} // namespace tw::scenario
