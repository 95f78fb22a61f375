#include "Form.h"

#include <algorithm>

namespace tw::toolkit {

std::vector<Control*> Form::StackingOrder(const UserControl* container) const {
    std::vector<Control*> order;
    for (const auto& control : container ? container->Parts() : controls_)
        order.push_back(control.get());
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        const int layerA = StackingLayer(a->Kind());
        const int layerB = StackingLayer(b->Kind());
        return layerA != layerB ? layerA < layerB : a->ZRank() < b->ZRank();
    });
    return order;
}

Control* Form::Find(const std::string& name) const {
    const auto dot = name.find('.');
    const std::string head = name.substr(0, dot);
    for (const auto& control : controls_) {
        if (control->Name() != head)
            continue;
        if (dot == std::string::npos)
            return control.get();
        if (control->Kind() != ControlKind::UserControl)
            return nullptr;
        return static_cast<UserControl&>(*control).FindPart(name.substr(dot + 1));
    }
    return nullptr;
}

void Form::SetCaption(const std::u16string& caption) {
    caption_ = caption;
    FormChanged(Property::Caption);
}

void Form::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    FormChanged(Property::Enabled);
}

void Form::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    FormChanged(Property::Visible);
}

void Form::SetBackColor(Color c) {
    backColor_ = c;
    FormChanged(Property::Colors);
}

void Form::SetForeColor(Color c) {
    foreColor_ = c;
    FormChanged(Property::Colors);
}

void Form::SetFont(const tw::toolkit::Font& font) {
    font_ = font;
    FormChanged(Property::Font);
}

void Form::SetKeyboardCues(bool shown) {
    if (keyboardCues_ == shown)
        return;
    keyboardCues_ = shown;
    if (view_)
        view_->KeyboardCuesChanged();
}

void Form::SetClientSize(float width, float height) {
    scaleWidth_ = width;
    scaleHeight_ = height;
    FormChanged(Property::Geometry);
}

void Form::Show() {
    SetVisible(true);
    if (active_ != nullptr)
        return;
    for (Control* control : TabOrder()) {
        if (control->CanFocusNow()) {
            active_ = control;
            if (view_)
                view_->FocusChanged(active_);
            if (control->GotFocus)
                control->GotFocus();
            return;
        }
    }
}

bool Form::AcceptsInput(const Control& control) const {
    return visible_ && enabled_ && !app_.Ended() && control.Reachable();
}

bool Form::UserFocus(Control& target) {
    if (!AcceptsInput(target) || !target.CanFocusNow())
        return false;
    if (active_ == &target)
        return true;
    if (active_ != nullptr && target.CausesValidation() && active_->Validate) {
        bool cancel = false;
        active_->Validate(cancel);
        if (cancel)
            return false;
        // The handler may have disabled or hidden the target meanwhile.
        if (!AcceptsInput(target) || !target.CanFocusNow())
            return false;
    }
    Control* old = active_;
    active_ = &target;
    if (view_)
        view_->FocusChanged(active_);
    if (old != nullptr && old->LostFocus)
        old->LostFocus();
    if (active_ == &target && target.GotFocus)
        target.GotFocus();
    return true;
}

void Form::UserClick(Control& target) {
    if (!AcceptsInput(target))
        return;
    if (target.TakesFocus() && !UserFocus(target))
        return; // a cancelled validation swallows the click
    if (!AcceptsInput(target))
        return;
    switch (target.Kind()) {
    case ControlKind::CheckBox: {
        auto& box = static_cast<CheckBox&>(target);
        box.SetValue(box.Value() == 1 ? 0 : 1);
        break;
    }
    case ControlKind::OptionButton:
        static_cast<OptionButton&>(target).SetValue(true);
        break;
    case ControlKind::CommandButton: {
        auto& button = static_cast<CommandButton&>(target);
        if (button.Click)
            button.Click();
        break;
    }
    case ControlKind::Image: {
        auto& image = static_cast<Image&>(target);
        if (image.MouseDown)
            image.MouseDown(vbLeftButton);
        if (image.MouseUp && AcceptsInput(target))
            image.MouseUp(vbLeftButton);
        if (image.Click && AcceptsInput(target))
            image.Click();
        break;
    }
    default:
        break;
    }
}

std::vector<Control*> Form::TabOrder() const {
    std::vector<Control*> order;
    for (const auto& control : controls_) {
        if (control->TakesFocus())
            order.push_back(control.get());
    }
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        return a->TabIndex() < b->TabIndex();
    });
    return order;
}

void Form::UserTab(bool backward) {
    if (!visible_ || !enabled_)
        return;
    std::vector<Control*> order = TabOrder();
    std::erase_if(order, [this](Control* c) {
        // Only the selected option button of a group is a tab stop.
        if (c->Kind() == ControlKind::OptionButton && !static_cast<OptionButton*>(c)->Value() &&
            c != active_)
            return true;
        return !c->CanFocusNow();
    });
    if (order.empty())
        return;
    auto at = std::find(order.begin(), order.end(), active_);
    std::size_t index = 0;
    if (at == order.end()) {
        index = backward ? order.size() - 1 : 0;
    } else {
        const auto pos = static_cast<std::size_t>(at - order.begin());
        index = backward ? (pos + order.size() - 1) % order.size() : (pos + 1) % order.size();
    }
    UserFocus(*order[index]);
}

void Form::UserChar(TextBox& box, int keyAscii) {
    if (!AcceptsInput(box))
        return;
    if (active_ != &box && !UserFocus(box))
        return;
    if (box.KeyPress)
        box.KeyPress(keyAscii);
    if (keyAscii == 0 || !AcceptsInput(box))
        return;
    switch (keyAscii) {
    case vbKeyCtrlA:
        Edit(box, EditCommand::SelectAll);
        return;
    case vbKeyCtrlC:
        Edit(box, EditCommand::Copy);
        return;
    case vbKeyCtrlV:
        Edit(box, EditCommand::Paste);
        return;
    case vbKeyCtrlX:
        Edit(box, EditCommand::Cut);
        return;
    case vbKeyReturn: // a single-line edit box refuses Enter with a beep
        app_.Beep();
        return;
    case vbKeyBack:
        if (box.Locked())
            return;
        if (box.SelLength() == 0) {
            if (box.SelStart() == 0)
                return;
            box.SetSelStart(box.SelStart() - 1);
            box.SetSelLength(1);
        }
        TypeSelText(box, u"");
        return;
    default:
        break;
    }
    if (keyAscii < 32 || box.Locked())
        return; // other control characters do nothing in an edit box
    TypeSelText(box, std::u16string(1, static_cast<char16_t>(keyAscii)));
}

void Form::TypeSelText(TextBox& box, const std::u16string& text) {
    box.typing_ = true;
    box.SetSelText(text);
    box.typing_ = false;
}

std::optional<std::u16string> Form::ClipboardText() const {
    if (view_ == nullptr)
        return std::nullopt;
    return view_->ClipboardText();
}

void Form::PutOnClipboard(const std::u16string& text) {
    if (view_ != nullptr)
        view_->SetClipboardText(text);
}

void Form::UserEdit(TextBox& box, EditCommand command) {
    if (!AcceptsInput(box) || (active_ != &box && !UserFocus(box)))
        return;
    Edit(box, command);
}

void Form::Edit(TextBox& box, EditCommand command) {
    const auto selection = [&box] {
        return box.Text().substr(static_cast<std::size_t>(box.SelStart()),
                                 static_cast<std::size_t>(box.SelLength()));
    };
    switch (command) {
    case EditCommand::SelectAll:
        box.SetSelStart(0);
        box.SetSelLength(static_cast<int>(box.Text().size()));
        return;
    case EditCommand::Copy:
        if (box.SelLength() > 0)
            PutOnClipboard(selection());
        return;
    case EditCommand::Cut:
        if (box.SelLength() == 0 || box.Locked())
            return;
        PutOnClipboard(selection());
        TypeSelText(box, u"");
        return;
    case EditCommand::Paste:
        if (box.Locked())
            return;
        if (const auto text = ClipboardText(); text && !text->empty())
            box.SetSelText(*text);
        return;
    case EditCommand::Clear:
        if (box.SelLength() > 0 && !box.Locked())
            TypeSelText(box, u"");
        return;
    }
}

void Form::UserCharTo(Control& control, int keyAscii) {
    if (!AcceptsInput(control))
        return;
    if (control.Kind() == ControlKind::TextBox) {
        UserChar(static_cast<TextBox&>(control), keyAscii);
        return;
    }
    if (control.TakesFocus() && active_ != &control && !UserFocus(control))
        return;
    if (control.KeyPress)
        control.KeyPress(keyAscii);
    if (keyAscii == 0 || !AcceptsInput(control))
        return;
    switch (control.Kind()) {
    case ControlKind::CommandButton:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
        // Space presses a button or toggles a check box, as a click does.
        if (keyAscii == 32)
            UserClick(control);
        break;
    case ControlKind::ComboBox:
        // A typed character chooses the entry it leads to, as a mouse choice does.
        if (keyAscii >= 32) {
            auto& list = static_cast<ComboBox&>(control);
            const int found = list.FindTyped(static_cast<char16_t>(keyAscii), app_.Milliseconds());
            if (found >= 0)
                list.SetListIndex(found);
        }
        break;
    default:
        break;
    }
}

bool Form::UserKeyDown(Control& control, int keyCode, int shift) {
    if (!AcceptsInput(control) || active_ != &control)
        return false;
    if (KeyDown) {
        KeyDown(keyCode, shift);
        if (keyCode == 0 || !AcceptsInput(control) || active_ != &control)
            return false;
    }
    if (control.Kind() == ControlKind::TextBox &&
        (keyCode == vbKeyDelete || keyCode == vbKeyInsert)) {
        // Editing commands of the keyboard that type no character.
        auto& box = static_cast<TextBox&>(control);
        if (keyCode == vbKeyDelete && shift == 0) {
            // The selection, or else the character after the caret.
            if (box.SelLength() == 0 && box.SelStart() < static_cast<int>(box.Text().size()) &&
                !box.Locked())
                box.SetSelLength(1);
            Edit(box, EditCommand::Clear);
        } else if (keyCode == vbKeyDelete && shift == vbShiftMask)
            Edit(box, EditCommand::Cut);
        else if (keyCode == vbKeyInsert && shift == vbCtrlMask)
            Edit(box, EditCommand::Copy);
        else if (keyCode == vbKeyInsert && shift == vbShiftMask)
            Edit(box, EditCommand::Paste);
        return true;
    }
    const bool back = keyCode == vbKeyLeft || keyCode == vbKeyUp;
    if (shift != 0 || (!back && keyCode != vbKeyRight && keyCode != vbKeyDown))
        return true; // no move of the model's: the widget may have its own use for it
    switch (control.Kind()) {
    case ControlKind::OptionButton:
        // The option buttons of one container are one group: an arrow key
        // moves the focus and the selection to the next one, round the end.
        if (OptionButton* next = NextInGroup(static_cast<OptionButton&>(control), back))
            UserClick(*next);
        break;
    case ControlKind::CommandButton:
    case ControlKind::CheckBox:
        UserTab(back);
        break;
    case ControlKind::ComboBox: {
        auto& list = static_cast<ComboBox&>(control);
        const int at = back ? std::max(list.ListIndex() - 1, 0)
                            : std::min(list.ListIndex() + 1, list.ListCount() - 1);
        if (list.ListCount() > 0)
            list.SetListIndex(at);
        break;
    }
    case ControlKind::TextBox: {
        // A single line: Up and Down move the caret as Left and Right do, one
        // character from the caret (the selection's end), the selection gone.
        auto& box = static_cast<TextBox&>(control);
        const int caret = box.SelStart() + box.SelLength();
        box.SyncSelection(back ? caret - 1 : caret + 1, 0);
        break;
    }
    default:
        break;
    }
    return true;
}

void Form::UserKeyDown(int keyCode, int shift) {
    if (visible_ && enabled_ && !app_.Ended() && KeyDown)
        KeyDown(keyCode, shift);
}

OptionButton* Form::NextInGroup(OptionButton& from, bool backward) const {
    std::vector<OptionButton*> group;
    for (Control* control : TabOrder()) {
        if (control->Kind() == ControlKind::OptionButton &&
            control->Container() == from.Container() &&
            (control == &from || control->CanFocusNow()))
            group.push_back(static_cast<OptionButton*>(control));
    }
    const auto at = std::find(group.begin(), group.end(), &from);
    if (group.size() < 2 || at == group.end())
        return nullptr;
    const auto pos = static_cast<std::size_t>(at - group.begin());
    return group[backward ? (pos + group.size() - 1) % group.size() : (pos + 1) % group.size()];
}

void Form::UserSelectAll(TextBox& box) {
    if (AcceptsInput(box))
        Edit(box, EditCommand::SelectAll);
}

void Form::UserSelect(ComboBox& list, int index) {
    if (!AcceptsInput(list))
        return;
    if (!UserFocus(list))
        return;
    if (index < 0 || index >= list.ListCount())
        return;
    list.SetListIndex(index);
}

void Form::UserMouseDown(Control& control, int button) {
    if (!AcceptsInput(control))
        return;
    if (control.TakesFocus() && !UserFocus(control))
        return;
    mouseCapture_ = &control;
    if (control.MouseDown)
        control.MouseDown(button);
}

void Form::UserMouseUp(Control& control, int button) {
    const bool captured = mouseCapture_ == &control;
    mouseCapture_ = nullptr;
    if (!captured && !AcceptsInput(control))
        return;
    if (control.MouseUp)
        control.MouseUp(button);
}

void Form::UserClose() {
    // A disabled window takes no input, its close box included.
    if (!visible_ || !enabled_)
        return;
    if (Unload)
        Unload();
    SetVisible(false);
    if (Terminate)
        Terminate();
    // The program's only window is closed: the program ends.
    app_.End();
}

void Form::NotifyChanged(Control& control, Property what) {
    if (view_)
        view_->ControlChanged(control, what);
}

void Form::OptionSelected(OptionButton& selected) {
    for (const auto& control : controls_) {
        if (control.get() != &selected && control->Kind() == ControlKind::OptionButton &&
            control->Container() == selected.Container())
            static_cast<OptionButton&>(*control).Deselect();
    }
}

void Form::FormChanged(Property what) {
    if (view_)
        view_->FormChanged(what);
}

} // namespace tw::toolkit
