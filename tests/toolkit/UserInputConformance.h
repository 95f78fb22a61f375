// What a user does to the window, written once over IUserInput and run
// through every toolkit: the model alone, the Qt widgets and the Win32
// window. Each backend's test binary instantiates the suite with a maker of
// its toolkit; the rules must hold the same on all of them.
#pragma once

#include "toolkit/IUserInput.h"

#include "TestForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

namespace tw::toolkit::test {

// A backend showing the form, and the input it takes.
class ToolkitUnderTest {
public:
    virtual ~ToolkitUnderTest() = default;
    virtual IUserInput& Input() = 0;
    // Lets the window system deliver what is pending (a shown window).
    virtual void Settle() {}
    // The clipboard as another program reads it: its text, or nothing when
    // it holds no text.
    virtual std::optional<std::u16string> ClipboardText() = 0;
    // Another program copies an image.
    virtual void CopyImageElsewhere() = 0;
};

// A suite over every backend that shows the test form: the parameter makes
// the backend (`Shown`, a ToolkitUnderTest), the form is shown and settled
// before each test, with no event recorded yet.
template <class Shown>
class ShownFormTest : public ::testing::TestWithParam<std::unique_ptr<Shown> (*)(Form& form)> {
protected:
    void SetUp() override {
        shown_ = this->GetParam()(t.form);
        t.form.Show();
        shown_->Settle();
        t.events.clear();
    }
    void TearDown() override { shown_.reset(); }

    TestForm t;
    std::unique_ptr<Shown> shown_;
};

class UserInput : public ShownFormTest<ToolkitUnderTest> {
protected:
    IUserInput& Input() { return shown_->Input(); }
};

} // namespace tw::toolkit::test
