// A small window of the model for the toolkit backends' tests and the Win32
// demo: a pane with a header, a target row, a list, a numeric field with a
// plus/minus pair of images, two check boxes, a button, a separator line, a
// status line and a timer. Every event it raises is written to `events`.
#pragma once

#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/UserControl.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tw::toolkit::test {

// Two 8 x 8 images, left and right of the field they are attached to.
class PlusMinusPair : public toolkit::UserControl {
public:
    PlusMinusPair(toolkit::Form& form, std::string name);
    toolkit::Image& imgMinus;
    toolkit::Image& imgPlus;
};

// A white square with a silver frame, transparent corners and a bar across.
toolkit::Picture ButtonPicture(bool plus);

class TestForm {
public:
    TestForm();

    toolkit::Application app;
    toolkit::Form form;
    toolkit::Shape& shaPane;
    toolkit::Label& lblHeader;
    toolkit::OptionButton& optLocal;
    toolkit::OptionButton& optServer;
    toolkit::TextBox& txtServer;
    toolkit::Label& lblUsername;
    toolkit::ComboBox& cbUsername;
    toolkit::Label& lblPasswordAge;
    toolkit::TextBox& txtPasswordAge;
    toolkit::Label& lblPasswordAge_u;
    toolkit::CheckBox& chkDisabled;
    toolkit::CheckBox& chkLocked;
    toolkit::CommandButton& cmdSet;
    toolkit::Line& lnStatus;
    toolkit::Label& lblStatus;
    PlusMinusPair& ctlPlusMinus;
    toolkit::Timer& tmrRepeat;

    // When set, leaving txtPasswordAge is refused.
    bool refuseLeavingAge = false;
    std::vector<std::string> events;
    int Count(const std::string& event) const {
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }

    // Attaches the images around txtPasswordAge and sends them behind it.
    void LinkSpinner();
};

} // namespace tw::toolkit::test
