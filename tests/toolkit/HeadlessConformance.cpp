// The user-input rules through the model alone.
#include "UserInputConformance.h"

#include "toolkit/headless/HeadlessBackend.h"

namespace tw::toolkit::test {

namespace {

class Headless : public ToolkitUnderTest {
public:
    explicit Headless(Form& form) : input_(form, backend_.Clock()) {
        form.SetView(&backend_);
        form.App().SetBackend(&backend_);
    }
    IUserInput& Input() override { return input_; }
    std::optional<std::u16string> ClipboardText() override { return backend_.ClipboardText(); }
    void CopyImageElsewhere() override { backend_.PutNonTextOnClipboard(); }

private:
    HeadlessBackend backend_;
    HeadlessInput input_;
};

std::unique_ptr<ToolkitUnderTest> MakeHeadless(Form& form) {
    return std::make_unique<Headless>(form);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Headless, UserInput, ::testing::Values(&MakeHeadless));

} // namespace tw::toolkit::test
