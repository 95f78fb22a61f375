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
#include <string>

namespace tw::toolkit::test {

// A backend showing the form, and the input it takes.
class ToolkitUnderTest {
public:
    virtual ~ToolkitUnderTest() = default;
    virtual IUserInput& Input() = 0;
    // Lets the window system deliver what is pending (a shown window).
    virtual void Settle() {}
};

using ToolkitMaker = std::unique_ptr<ToolkitUnderTest> (*)(Form& form);

class UserInput : public ::testing::TestWithParam<ToolkitMaker> {
protected:
    void SetUp() override {
        toolkit_ = GetParam()(t.form);
        t.form.Show();
        toolkit_->Settle();
        t.events.clear();
    }
    void TearDown() override { toolkit_.reset(); }

    IUserInput& Input() { return toolkit_->Input(); }
    int Count(const std::string& event) const {
        return static_cast<int>(std::count(t.events.begin(), t.events.end(), event));
    }

    TestForm t;
    std::unique_ptr<ToolkitUnderTest> toolkit_;
};

} // namespace tw::toolkit::test
