// A control made of other controls (its parts), positioned inside it.
#pragma once

#include "Control.h"

#include <memory>
#include <vector>

namespace tw::toolkit {

class UserControl : public Control {
public:
    UserControl(Form& form, std::string name) : Control(form, ControlKind::UserControl, std::move(name)) {}

    const std::vector<std::unique_ptr<Control>>& Parts() const { return parts_; }
    Control* FindPart(const std::string& name) const;

    // Runs after every change of the control's size.
    std::function<void()> Resize;

protected:
    template <class T> T& AddPart(std::string name) {
        auto part = std::make_unique<T>(Parent(), std::move(name), this);
        T& ref = *part;
        parts_.push_back(std::move(part));
        return ref;
    }

private:
    std::vector<std::unique_ptr<Control>> parts_;
};

} // namespace tw::toolkit
