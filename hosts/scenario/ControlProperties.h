// What a scenario can read from a control: the properties a user sees,
// as JSON values for comparison.
#pragma once

#include "ScenarioToolkit.h"
#include "toolkit/Form.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace tw::scenario {

// The property's value, or nullopt when the control has no such property.
// The toolkit tells what assistive technology is told of the control.
std::optional<nlohmann::json> ReadProperty(const toolkit::Control& control,
                                           const std::string& property, ScenarioToolkit& toolkit);

} // namespace tw::scenario
