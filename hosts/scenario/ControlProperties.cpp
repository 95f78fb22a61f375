#include "ControlProperties.h"

#include "controls/ucPlusMinus.h"
#include "platform/TextConvert.h"

namespace tw::scenario {

using nlohmann::json;
using namespace tw::toolkit;

namespace {

json Text(const std::u16string& text) {
    return ToUtf8(text);
}

std::optional<json> Caption(const Control& control) {
    if (const toolkit::Captioned* captioned = toolkit::AsCaptioned(control))
        return Text(captioned->Caption());
    return std::nullopt;
}

std::optional<json> TextBoxProperty(const TextBox& box, const std::string& property) {
    if (property == "Text")
        return Text(box.Text());
    if (property == "Locked")
        return box.Locked();
    if (property == "SelStart")
        return box.SelStart();
    if (property == "SelLength")
        return box.SelLength();
    return std::nullopt;
}

std::optional<json> ListProperty(const ComboBox& list, const std::string& property) {
    if (property == "Text")
        return Text(list.Text());
    if (property == "ListCount")
        return list.ListCount();
    if (property == "ListIndex")
        return list.ListIndex();
    if (property == "List") {
        json items = json::array();
        for (const auto& item : list.Items())
            items.push_back(Text(item));
        return items;
    }
    return std::nullopt;
}

json Twips(float value) {
    // Whole twips as integers; the spinner keeps fractional halves.
    if (static_cast<float>(static_cast<long long>(value)) == value)
        return static_cast<long long>(value);
    return static_cast<double>(value);
}

} // namespace

std::optional<json> ReadProperty(const Control& control, const std::string& property) {
    if (property == "Enabled")
        return control.Enabled();
    if (property == "Visible")
        return control.Visible();
    if (property == "ToolTipText")
        return Text(control.ToolTipText());
    if (property == "TabIndex")
        return control.TabIndex();
    if (property == "BackColor")
        return control.BackColor();
    if (property == "ForeColor")
        return control.ForeColor();
    if (property == "FontName")
        return Text(control.Font().Name);
    if (property == "FontBold")
        return control.Font().Bold;
    if (property == "FontSize")
        return control.Font().Size;
    if (property == "Caption")
        return Caption(control);
    if (control.Kind() == ControlKind::Line) {
        const auto& line = static_cast<const Line&>(control);
        if (property == "X1")
            return Twips(line.X1());
        if (property == "Y1")
            return Twips(line.Y1());
        if (property == "X2")
            return Twips(line.X2());
        if (property == "Y2")
            return Twips(line.Y2());
        if (property == "BorderColor")
            return line.BorderColor();
    }
    if (control.Kind() == ControlKind::Shape && property == "BorderColor")
        return static_cast<const Shape&>(control).BorderColor();
    if (property == "Left")
        return Twips(control.Left());
    if (property == "Top")
        return Twips(control.Top());
    if (property == "Width")
        return Twips(control.Width());
    if (property == "Height")
        return Twips(control.Height());
    switch (control.Kind()) {
    case ControlKind::TextBox:
        return TextBoxProperty(static_cast<const TextBox&>(control), property);
    case ControlKind::ComboBox:
        return ListProperty(static_cast<const ComboBox&>(control), property);
    case ControlKind::CheckBox:
        if (property == "Value")
            return static_cast<const CheckBox&>(control).Value();
        break;
    case ControlKind::OptionButton:
        if (property == "Value")
            return static_cast<const OptionButton&>(control).Value();
        break;
    case ControlKind::Timer:
        if (property == "Interval")
            return static_cast<const Timer&>(control).Interval();
        break;
    case ControlKind::UserControl:
        if (property == "LinkedControl") {
            const auto* spinner = dynamic_cast<const controls::ucPlusMinus*>(&control);
            if (spinner == nullptr)
                return std::nullopt;
            const TextBox* linked = spinner->LinkedControl();
            return linked ? json(linked->Name()) : json(nullptr);
        }
        break;
    default:
        break;
    }
    return std::nullopt;
}

} // namespace tw::scenario
