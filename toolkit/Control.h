// The base of every control of the window model: name, kind, position in
// twips, the common properties and the focus, key and mouse events.
#pragma once

#include "Types.h"

#include <functional>
#include <string>

namespace tw::toolkit {

class Form;
class UserControl;

// Filled rectangles lie lowest, then lines, then labels and images, as the
// form paints them itself; controls that are windows of their own always
// stand above them. Higher is nearer the front.
int StackingLayer(ControlKind kind);

class Control {
public:
    Control(Form& form, ControlKind kind, std::string name, UserControl* container = nullptr);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    ControlKind Kind() const { return kind_; }
    Form& Parent() const { return form_; }
    // The user control this control is a part of, or null for a control of the form.
    UserControl* Container() const { return container_; }

    // Position and size in twips, relative to the container.
    float Left() const { return left_; }
    float Top() const { return top_; }
    float Width() const { return width_; }
    float Height() const { return height_; }
    void Move(float left, float top, float width, float height);
    void SetLeft(float v) { Move(v, top_, width_, height_); }
    void SetTop(float v) { Move(left_, v, width_, height_); }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int index) { tabIndex_ = index; }
    bool CausesValidation() const { return causesValidation_; }
    void SetCausesValidation(bool v) { causesValidation_ = v; }
    const std::u16string& ToolTipText() const { return toolTip_; }
    void SetToolTipText(const std::u16string& text);
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color c);
    Color ForeColor() const { return foreColor_; }
    void SetForeColor(Color c);
    const tw::toolkit::Font& Font() const { return font_; }
    void SetFont(const tw::toolkit::Font& font);
    // What a screen reader says of the control: a short name ("Max. Password
    // Age", "Increase") and a longer description (its unit and tool tip).
    const std::u16string& AccessibleName() const { return accessibleName_; }
    void SetAccessibleName(const std::u16string& name);
    const std::u16string& AccessibleDescription() const { return accessibleDescription_; }
    void SetAccessibleDescription(const std::u16string& description);
    // The label that names this control on the screen, or null: assistive
    // technology finds the control's name through it too.
    Control* LabelledBy() const { return labelledBy_; }
    void SetLabelledBy(Control* label);
    // 0 brings the control to the front, 1 sends it to the back, among the
    // controls of its layer (see StackingLayer).
    void ZOrder(int position);
    // Its place in its layer as ZOrder last set it: higher lies nearer the
    // front; 0 (creation order) until then.
    long ZRank() const { return zRank_; }

    // Whether the control can ever hold the keyboard focus.
    virtual bool TakesFocus() const { return false; }
    // Whether it can take the focus now: able to, enabled and visible, and so
    // is the user control it belongs to.
    bool CanFocusNow() const;
    // Enabled and visible, with its container: a user can reach it.
    bool Reachable() const;

    std::function<void()> GotFocus;
    std::function<void()> LostFocus;
    std::function<void(bool& Cancel)> Validate;
    std::function<void(int& KeyAscii)> KeyPress;
    std::function<void(int Button)> MouseDown;
    std::function<void(int Button)> MouseUp;

protected:
    void Changed(Property what);

private:
    Form& form_;
    ControlKind kind_;
    std::string name_;
    UserControl* container_;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    int tabIndex_ = 0;
    bool causesValidation_ = true;
    std::u16string toolTip_;
    std::u16string accessibleName_;
    std::u16string accessibleDescription_;
    Control* labelledBy_ = nullptr;
    Color backColor_ = SystemColor(15);
    Color foreColor_ = SystemColor(18);
    tw::toolkit::Font font_;
    long zRank_ = 0;
};

} // namespace tw::toolkit
