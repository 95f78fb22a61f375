#include "ControlProperties.h"

#include "controls/ucPlusMinus.h"
#include "platform/TextConvert.h"

#include <deque>

namespace tw::scenario {

using nlohmann::json;
using namespace tw::toolkit;

namespace {

using Value = std::optional<json>;

json ToJson(const std::u16string& text) {
    return ToUtf8(text);
}

json ToJson(const std::deque<std::u16string>& items) {
    json list = json::array();
    for (const auto& item : items)
        list.push_back(ToJson(item));
    return list;
}

// Positions and sizes in twips: whole twips as integers; the spinner keeps
// fractional halves.
json ToJson(float twips) {
    if (static_cast<float>(static_cast<long long>(twips)) == twips)
        return static_cast<long long>(twips);
    return static_cast<double>(twips);
}

template <typename Plain> json ToJson(Plain value) {
    return value;
}

template <typename Getter> struct GetterOf;
template <typename Of, typename Result> struct GetterOf<Result (Of::*)() const> {
    using Class = Of;
};

// A property that one class of control has: the others have no such property.
template <auto getter> Value Get(const Control& control, ScenarioToolkit&) {
    using Of = typename GetterOf<decltype(getter)>::Class;
    const auto* of = dynamic_cast<const Of*>(&control);
    if (of == nullptr)
        return std::nullopt;
    return ToJson((of->*getter)());
}

Value FontName(const Control& control, ScenarioToolkit&) {
    return ToJson(control.Font().Name);
}

Value FontBold(const Control& control, ScenarioToolkit&) {
    return control.Font().Bold;
}

Value FontSize(const Control& control, ScenarioToolkit&) {
    return control.Font().Size;
}

Value LinkedControl(const Control& control, ScenarioToolkit&) {
    const auto* spinner = dynamic_cast<const controls::ucPlusMinus*>(&control);
    if (spinner == nullptr)
        return std::nullopt;
    const TextBox* linked = spinner->LinkedControl();
    return linked ? json(linked->Name()) : json(nullptr);
}

Value AccessibleName(const Control& control, ScenarioToolkit& toolkit) {
    return ToJson(toolkit.AccessibleName(control));
}

Value AccessibleDescription(const Control& control, ScenarioToolkit& toolkit) {
    return ToJson(toolkit.AccessibleDescription(control));
}

// Every property by name. A name may have a row for each class of control
// that has it; the first row that reads the control gives the value.
const std::pair<const char*, Value (*)(const Control&, ScenarioToolkit&)> kProperties[] = {
    {"Enabled", Get<&Control::Enabled>},
    {"Visible", Get<&Control::Visible>},
    {"ToolTipText", Get<&Control::ToolTipText>},
    {"TabIndex", Get<&Control::TabIndex>},
    {"BackColor", Get<&Control::BackColor>},
    {"ForeColor", Get<&Control::ForeColor>},
    {"FontName", FontName},
    {"FontBold", FontBold},
    {"FontSize", FontSize},
    {"Left", Get<&Control::Left>},
    {"Top", Get<&Control::Top>},
    {"Width", Get<&Control::Width>},
    {"Height", Get<&Control::Height>},
    {"AccessibleName", AccessibleName},
    {"AccessibleDescription", AccessibleDescription},
    {"Caption", Get<&Captioned::Caption>},
    {"Text", Get<&TextBox::Text>},
    {"Text", Get<&ComboBox::Text>},
    {"Locked", Get<&TextBox::Locked>},
    {"SelStart", Get<&TextBox::SelStart>},
    {"SelLength", Get<&TextBox::SelLength>},
    {"ListCount", Get<&ComboBox::ListCount>},
    {"ListIndex", Get<&ComboBox::ListIndex>},
    {"List", Get<&ComboBox::Items>},
    {"Value", Get<&CheckBox::Value>},
    {"Value", Get<&OptionButton::Value>},
    {"Interval", Get<&Timer::Interval>},
    {"X1", Get<&Line::X1>},
    {"Y1", Get<&Line::Y1>},
    {"X2", Get<&Line::X2>},
    {"Y2", Get<&Line::Y2>},
    {"BorderColor", Get<&Line::BorderColor>},
    {"BorderColor", Get<&Shape::BorderColor>},
    {"LinkedControl", LinkedControl},
};

} // namespace

std::optional<json> ReadProperty(const Control& control, const std::string& property,
                                 ScenarioToolkit& toolkit) {
    for (const auto& [name, read] : kProperties) {
        if (property == name) {
            if (Value value = read(control, toolkit))
                return value;
        }
    }
    return std::nullopt;
}

} // namespace tw::scenario
