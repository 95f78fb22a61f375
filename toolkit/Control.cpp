#include "Control.h"

#include "Form.h"
#include "UserControl.h"

namespace tw::toolkit {

int StackingLayer(ControlKind kind) {
    switch (kind) {
    case ControlKind::Shape:
        return 0;
    case ControlKind::Line:
        return 1;
    case ControlKind::Label:
    case ControlKind::Image:
        return 2;
    default:
        return 3;
    }
}

Control::Control(Form& form, ControlKind kind, std::string name, UserControl* container)
    : form_(form), kind_(kind), name_(std::move(name)), container_(container) {}

void Control::Move(float left, float top, float width, float height) {
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed(Property::Geometry);
    if (resized && kind_ == ControlKind::UserControl) {
        auto& self = static_cast<UserControl&>(*this);
        if (self.Resize)
            self.Resize();
    }
}

void Control::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Changed(Property::Enabled);
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    Changed(Property::Visible);
}

void Control::SetAccessibleName(const std::u16string& name) {
    if (accessibleName_ == name)
        return;
    accessibleName_ = name;
    Changed(Property::Accessibility);
}

void Control::SetAccessibleDescription(const std::u16string& description) {
    if (accessibleDescription_ == description)
        return;
    accessibleDescription_ = description;
    Changed(Property::Accessibility);
}

void Control::SetLabelledBy(Control* label) {
    if (labelledBy_ == label)
        return;
    labelledBy_ = label;
    Changed(Property::Accessibility);
}

void Control::SetToolTipText(const std::u16string& text) {
    if (toolTip_ == text)
        return;
    toolTip_ = text;
    Changed(Property::ToolTip);
}

void Control::SetBackColor(Color c) {
    if (backColor_ == c)
        return;
    backColor_ = c;
    Changed(Property::Colors);
}

void Control::SetForeColor(Color c) {
    if (foreColor_ == c)
        return;
    foreColor_ = c;
    Changed(Property::Colors);
}

void Control::SetFont(const tw::toolkit::Font& font) {
    if (font_ == font)
        return;
    font_ = font;
    Changed(Property::Font);
}

void Control::ZOrder(int position) {
    const long rank = form_.NextZRank();
    zRank_ = position == 1 ? -rank : rank;
    Changed(Property::ZOrder);
}

bool Control::Reachable() const {
    if (!enabled_ || !visible_)
        return false;
    return container_ == nullptr || container_->Reachable();
}

bool Control::CanFocusNow() const {
    return TakesFocus() && Reachable();
}

void Control::Changed(Property what) {
    form_.NotifyChanged(*this, what);
}

Control* UserControl::FindPart(const std::string& name) const {
    for (const auto& part : parts_) {
        if (part->Name() == name)
            return part.get();
    }
    return nullptr;
}

} // namespace tw::toolkit
