// Machine descriptions as JSON: reading with validation, writing back, and the
// merge of a scenario's "machine" step.
#pragma once

#include "MachineDescription.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace tw::sim {

// Reads a machine description. Every field may be left out (defaults as in
// MachineDescription.h). Throws MachineError naming the place of the first
// problem, its path starting with `where`.
MachineDescription loadMachine(const nlohmann::json& machine, const std::string& where = "machine");
// The same from JSON text; text that is not JSON is a MachineError too.
MachineDescription loadMachineText(std::string_view text, const std::string& where = "machine");

// The whole state in the machine format, every field written out, numbers
// unsigned. loadMachine(machineToJson(m)) == m.
nlohmann::json machineToJson(const MachineDescription& machine);

// A registry value as a "registry/KEY/NAME" query gives it: {"type": 4, "dword": 14}.
nlohmann::json registryValueToJson(const RegValue& value);

// Merges `patch` into `target` key by key at every depth; arrays and other
// values replace. Computer and environment names match without regard to
// case, message numbers by value.
void mergeMachinePatch(nlohmann::json& target, const nlohmann::json& patch);

// The functions that failure injection knows.
const std::vector<std::string_view>& netApiFunctions();
const std::vector<std::string_view>& registryFunctions();
const std::vector<std::string_view>& windowFunctions();

} // namespace tw::sim
