// A TestForm shown in the Win32 window, with virtual time and real input.
#pragma once

#include "toolkit/headless/VirtualClock.h"
#include "toolkit/win32/Win32Backend.h"
#include "toolkit/win32/Win32Input.h"

#include "toolkit/TestForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace tw::winetests {

using toolkit::test::TestForm;

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        toolkit::Win32BackendOptions options;
        options.virtualTime = true;
        options.quitOnClose = false;
        backend = std::make_unique<toolkit::Win32Backend>(t.form, options);
        input = std::make_unique<toolkit::Win32Input>(*backend);
        t.form.Show();
        backend->PumpMessages();
        t.events.clear();
    }
    void TearDown() override {
        input.reset();
        backend.reset();
    }

    HWND__* H(const toolkit::Control& control) const { return backend->HandleOf(control); }
    int Count(const std::string& event) const {
        return static_cast<int>(std::count(t.events.begin(), t.events.end(), event));
    }

    TestForm t;
    std::unique_ptr<toolkit::Win32Backend> backend;
    std::unique_ptr<toolkit::Win32Input> input;
};

} // namespace tw::winetests
