// What an administrator does before pressing Enter on a server: Server
// chosen, the server box's text selected with the mouse and the name typed
// over it.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/IUserInput.h"

#include <string>

namespace tw::bench {

inline void TypeServerName(toolkit::Form& form, toolkit::IUserInput& input,
                           const std::u16string& name) {
    input.Click(*form.Find("optServer"));
    auto& server = static_cast<toolkit::TextBox&>(*form.Find("txtServer"));
    input.Focus(server);
    input.SelectAllWithMouse(server);
    for (char16_t c : name)
        input.Key(c);
}

} // namespace tw::bench
