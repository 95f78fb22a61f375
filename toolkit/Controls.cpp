#include "Controls.h"

#include "Form.h"

#include "platform/TextCompare.h"

#include <algorithm>

namespace tw::toolkit {

void Captioned::SetCaption(const std::u16string& text) {
    caption_ = text;
    Changed(Property::Caption);
}

std::u16string WithoutAccessKeys(const std::u16string& caption) {
    std::u16string plain;
    plain.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i; // "&x" shows x, "&&" shows one ampersand
        plain += caption[i];
    }
    return plain;
}

Captioned* AsCaptioned(Control& control) {
    switch (control.Kind()) {
    case ControlKind::Label:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::CommandButton:
        return static_cast<Captioned*>(&control);
    default:
        return nullptr;
    }
}

const Captioned* AsCaptioned(const Control& control) {
    return AsCaptioned(const_cast<Control&>(control));
}

void Label::SetAlignment(tw::toolkit::Alignment a) {
    if (alignment_ == a)
        return;
    alignment_ = a;
    Changed(Property::Caption);
}

void Label::SetUseMnemonic(bool use) {
    if (useMnemonic_ == use)
        return;
    useMnemonic_ = use;
    Changed(Property::Caption);
}

void Label::SetLive(bool live) {
    if (live_ == live)
        return;
    live_ = live;
    Changed(Property::Accessibility);
}

void Label::SetBackStyle(int style) {
    if (backStyle_ == style)
        return;
    backStyle_ = style;
    Changed(Property::Colors);
}

void TextBox::SetText(const std::u16string& text) {
    if (text == text_)
        return;
    text_ = text;
    // Setting the text by program puts the caret at the start, as an edit control does.
    selStart_ = 0;
    selLength_ = 0;
    Changed(Property::Text);
    if (Change)
        Change();
}

void TextBox::SetSelStart(int start) {
    const int length = static_cast<int>(text_.size());
    selStart_ = std::clamp(start, 0, length);
    selLength_ = 0;
    Changed(Property::Selection);
}

void TextBox::SetSelLength(int length) {
    const int room = static_cast<int>(text_.size()) - selStart_;
    selLength_ = std::clamp(length, 0, room);
    Changed(Property::Selection);
}

void TextBox::SyncSelection(int start, int length) {
    const int size = static_cast<int>(text_.size());
    const int from = std::clamp(start, 0, size);
    const int count = std::clamp(length, 0, size - from);
    if (from == selStart_ && count == selLength_)
        return;
    selStart_ = from;
    selLength_ = count;
    Changed(Property::Selection);
}

void TextBox::SetSelText(const std::u16string& text) {
    std::u16string next = text_;
    next.replace(static_cast<std::size_t>(selStart_), static_cast<std::size_t>(selLength_), text);
    const int caret = selStart_ + static_cast<int>(text.size());
    if (next != text_) {
        text_ = std::move(next);
        selStart_ = caret;
        selLength_ = 0;
        Changed(Property::Text);
        if (Change)
            Change();
    } else {
        selStart_ = caret;
        selLength_ = 0;
        Changed(Property::Selection);
    }
}

void TextBox::SetLocked(bool locked) {
    if (locked_ == locked)
        return;
    locked_ = locked;
    Changed(Property::Locked);
}

void CheckBox::SetValue(int value) {
    if (value == value_)
        return;
    value_ = value;
    Changed(Property::Value);
    if (Click)
        Click();
}

void OptionButton::SetValue(bool value) {
    if (value == value_)
        return;
    value_ = value;
    Changed(Property::Value);
    if (value) {
        Parent().OptionSelected(*this);
        if (Click)
            Click();
    }
}

void OptionButton::Deselect() {
    if (!value_)
        return;
    value_ = false;
    Changed(Property::Value);
}

void ComboBox::Clear() {
    items_.clear();
    typed_.clear();
    listIndex_ = -1;
    newIndex_ = -1;
    Changed(Property::List);
}

void ComboBox::AddItem(std::u16string item) {
    std::size_t at = items_.size();
    if (sorted_) {
        auto lower = [](std::u16string s) {
            for (auto& c : s) {
                if (c >= u'A' && c <= u'Z')
                    c = static_cast<char16_t>(c - u'A' + u'a');
            }
            return s;
        };
        const std::u16string key = lower(item);
        at = 0;
        while (at < items_.size() && lower(items_[at]) <= key)
            ++at;
    }
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    if (listIndex_ >= static_cast<int>(at))
        ++listIndex_;
    newIndex_ = static_cast<int>(at);
    Changed(Property::ListItemAdded);
}

void ComboBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount())
        index = -1;
    if (index == listIndex_)
        return;
    listIndex_ = index;
    Changed(Property::ListIndex);
    if (Click)
        Click();
}

int ComboBox::FindTyped(char16_t c, std::int64_t nowMs) {
    if (typed_.empty() || nowMs - typedAtMs_ >= kTypeAheadMs || nowMs < typedAtMs_)
        typed_.clear();
    typedAtMs_ = nowMs;
    typed_ += tw::FoldCase(c);
    const bool repeated = typed_.find_first_not_of(typed_[0]) == std::u16string::npos;
    const std::u16string_view prefix =
        repeated ? std::u16string_view(typed_).substr(0, 1) : std::u16string_view(typed_);
    const int count = ListCount();
    // A new first character (or the same again) moves on; a longer prefix
    // keeps the entry it still fits.
    const int first = repeated ? listIndex_ + 1 : std::max(listIndex_, 0);
    for (int step = 0; step < count; ++step) {
        const int at = (first + step) % count;
        const std::u16string& item = items_[static_cast<std::size_t>(at)];
        if (item.size() >= prefix.size() &&
            tw::FoldCase(std::u16string_view(item).substr(0, prefix.size())) == prefix)
            return at;
    }
    return -1;
}

std::u16string ComboBox::Text() const {
    return listIndex_ < 0 ? std::u16string() : items_[static_cast<std::size_t>(listIndex_)];
}

void Image::SetPicture(tw::toolkit::Picture picture) {
    picture_ = std::move(picture);
    Changed(Property::Picture);
}

void Image::SetDrawing(PictureDrawing drawing) {
    drawing_ = std::move(drawing);
    Changed(Property::Picture);
}

Picture Image::PictureAt(int width, int height) const {
    if (width <= 0 || height <= 0)
        return {};
    if (drawing_)
        return drawing_(width, height);
    if (width == picture_.width && height == picture_.height)
        return picture_;
    return ScalePicture(picture_, width, height);
}

void Timer::SetInterval(int ms) {
    interval_ = ms;
    Changed(Property::TimerState);
}

void Line::SetPoints(float x1, float y1, float x2, float y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    Changed(Property::Geometry);
}

void Line::SetBorderColor(Color c) {
    if (borderColor_ == c)
        return;
    borderColor_ = c;
    Changed(Property::Colors);
}

void Shape::SetBorderColor(Color c) {
    if (borderColor_ == c)
        return;
    borderColor_ = c;
    Changed(Property::Colors);
}

} // namespace tw::toolkit
