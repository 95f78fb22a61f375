// Machine.PATH expectations: reading the current state by path.
#include "SimPlatform.h"

#include "MachineLoader.h"
#include "platform/TextCompare.h"

#include "platform/TextConvert.h"

namespace tw::sim {

using Json = nlohmann::json;

namespace {

[[noreturn]] void badPath(const std::string& path, const std::string& what) {
    throw MachineError("Machine." + path + ": " + what);
}

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t end = path.find('/', start);
        parts.push_back(path.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// Objects whose keys are names (of computers, rules, variables, messages)
// rather than fields of the machine format.
bool isNameMap(const std::string& place) {
    return place == "computers" || place == "messages" || place == "registryFail" ||
           place == "system/environment" || place == "computers/*/fail" || place == "windowFail" ||
           place == "system/sysColors" || place == "system/themes/colors";
}

Json registryQuery(const MachineDescription& m, const std::string& path, bool view32,
                   const std::string& rest) {
    std::size_t slash = rest.find('/');
    std::string keyText = rest.substr(0, slash);
    KeyPath key = splitKeyPath(FromUtf8(keyText));
    const RegKey* root = nullptr;
    if (!key.empty() &&
        (EqualsIgnoringCase(key[0], u"HKLM") || EqualsIgnoringCase(key[0], u"HKEY_LOCAL_MACHINE")))
        root = &m.registry.hklm;
    else if (!key.empty() && (EqualsIgnoringCase(key[0], u"HKCU") ||
                              EqualsIgnoringCase(key[0], u"HKEY_CURRENT_USER")))
        root = &m.registry.hkcu;
    if (root == nullptr)
        badPath(path, "expected a key path from HKLM or HKCU, found \"" + keyText + "\"");
    key.erase(key.begin());
    if (view32 && root == &m.registry.hklm)
        key = toView32(key);
    const RegKey* found = findKey(*root, key);
    if (found == nullptr)
        return nullptr;
    if (slash == std::string::npos) {
        Json values = Json::object();
        for (const auto& v : found->values)
            values[ToUtf8(v.name)] = registryValueToJson(v);
        return values;
    }
    const RegValue* value = findValue(*found, FromUtf8(rest.substr(slash + 1)));
    return value == nullptr ? Json(nullptr) : registryValueToJson(*value);
}

} // namespace

Json SimPlatform::query(const std::string& path) const {
    for (const char* view : {"registry/", "registry32/"}) {
        std::string prefix = view;
        if (path.compare(0, prefix.size(), prefix) == 0)
            return registryQuery(state_.machine, path, prefix == "registry32/",
                                 path.substr(prefix.size()));
    }
    Json state = toJson();
    if (path.empty())
        return state;
    const Json* at = &state;
    std::string place; // the path so far, computer names as "*"
    for (const auto& part : splitPath(path)) {
        if (at->is_null())
            return nullptr;
        if (at->is_array() && place.size() > 9 &&
            place.compare(place.size() - 9, 9, "/accounts") == 0) {
            const Json* account = nullptr;
            for (const auto& a : *at) {
                if (EqualsIgnoringCase(FromUtf8(a["name"].get<std::string>()), FromUtf8(part)))
                    account = &a;
            }
            if (account == nullptr)
                return nullptr;
            at = account;
            place += "/*";
            continue;
        }
        if (at->is_array()) {
            std::size_t index = 0;
            if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos ||
                part.size() > 9)
                badPath(path, "expected an index into the list, found \"" + part + "\"");
            index = std::stoul(part);
            if (index >= at->size())
                return nullptr;
            at = &(*at)[index];
            place += "/*";
            continue;
        }
        if (!at->is_object())
            badPath(path, "\"" + part + "\" is below a value that has no fields");
        bool nameMap = isNameMap(place);
        const Json* next = nullptr;
        for (const auto& [key, value] : at->items()) {
            if (key == part || (nameMap && EqualsIgnoringCase(FromUtf8(key), FromUtf8(part))))
                next = &value;
        }
        if (next == nullptr) {
            if (nameMap)
                return nullptr;
            badPath(path, "unknown field \"" + part + "\"");
        }
        at = next;
        place += place.empty() ? part : "/" + (place == "computers" ? std::string("*") : part);
    }
    return *at;
}

} // namespace tw::sim
