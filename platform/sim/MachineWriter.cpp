// Writing a machine description back as JSON, and merging machine steps.
#include "MachineLoader.h"

#include "JsonFields.h"
#include "RegistryTree.h"
#include "platform/TextCompare.h"

#include "platform/TextConvert.h"

namespace tw::sim {

using Json = nlohmann::json;

namespace {

Json textOrNull(const std::optional<std::u16string>& text) {
    return text ? Json(ToUtf8(*text)) : Json(nullptr);
}

Json themesToJson(const ThemeState& t) {
    Json colors = Json::object();
    for (const auto& [index, color] : t.colors)
        colors[std::to_string(index)] = color;
    return Json{{"library", t.library},
                {"appThemed", t.appThemed},
                {"themeActive", t.themeActive},
                {"appProperties", t.appProperties},
                {"colors", colors}};
}

Json systemToJson(const SystemInfo& s) {
    Json env = Json::object();
    for (const auto& [name, value] : s.environment)
        env[ToUtf8(name)] = ToUtf8(value);
    Json sysColors = Json::object();
    for (std::size_t i = 0; i < s.sysColors.size(); ++i)
        sysColors[std::to_string(i)] = s.sysColors[i];
    return Json{{"platformId", s.platformId},
                {"major", s.majorVersion},
                {"minor", s.minorVersion},
                {"build", s.build},
                {"wow64",
                 s.wow64 == Wow64Mode::Missing ? Json("missing") : Json(s.wow64 == Wow64Mode::Yes)},
                {"uiLanguage", s.uiLanguage},
                {"threadLocale", s.threadLocale},
                {"acp", s.acp},
                {"longDateFormat", ToUtf8(s.longDateFormat)},
                {"decimalSign", ToUtf8(s.decimalSign)},
                {"userName", textOrNull(s.userName)},
                {"computerName", textOrNull(s.computerName)},
                {"isAdmin", s.isAdmin},
                {"environment", env},
                {"executableFolder", ToUtf8(s.executableFolder)},
                {"sysColors", sysColors},
                {"themes", themesToJson(s.themes)},
                {"keyboardCues", s.keyboardCues},
                {"smallIconSize", s.smallIconSize},
                {"largeIconSize", s.largeIconSize}};
}

Json languageFileToJson(const std::optional<LanguageFile>& file) {
    if (!file)
        return nullptr;
    std::u16string text(file->content.begin(), file->content.end());
    return Json{{"name", ToUtf8(file->name)},
                {"text", ToUtf8(text)},
                {"folder", file->folder},
                {"unreadable", file->unreadable}};
}

Json accountToJson(const Account& a) {
    Json account{{"name", ToUtf8(a.name)},
                 {"fullName", ToUtf8(a.fullName)},
                 {"comment", ToUtf8(a.comment)},
                 {"flags", a.flags},
                 {"passwordAge", a.passwordAge},
                 {"privilege", a.privilege},
                 {"authFlags", a.authFlags},
                 {"lastLogon", a.lastLogon},
                 {"lastLogoff", a.lastLogoff},
                 {"acctExpires", a.acctExpires},
                 {"badPwCount", a.badPwCount},
                 {"numLogons", a.numLogons},
                 {"passwordExpired", a.passwordExpired}};
    if (a.rid)
        account["rid"] = *a.rid;
    if (a.changeRightOutOfReach)
        account["changeRightOutOfReach"] = ToUtf8(*a.changeRightOutOfReach);
    return account;
}

Json policyToJson(const Policy& p) {
    return Json{{"minPwdLen", p.minPwdLen},         {"maxPwdAge", p.maxPwdAge},
                {"minPwdAge", p.minPwdAge},         {"forceLogoff", p.forceLogoff},
                {"pwdHistoryLen", p.pwdHistoryLen}, {"lockoutDuration", p.lockoutDuration},
                {"lockoutObsWin", p.lockoutObsWin}, {"lockoutThreshold", p.lockoutThreshold}};
}

Json computerToJson(const Computer& c) {
    Json accounts = Json::array();
    for (const auto& a : c.accounts)
        accounts.push_back(accountToJson(a));
    Json fail = Json::object();
    for (const auto& [key, status] : c.fail)
        fail[key] = status;
    Json computer{{"accounts", accounts}, {"policy", policyToJson(c.policy)}, {"fail", fail}};
    if (!c.delay.empty())
        computer["delay"] = c.delay;
    if (!c.answerLost.empty())
        computer["answerLost"] = c.answerLost;
    return computer;
}

std::u16string unitsOf(const std::vector<std::uint8_t>& data) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    return units;
}

// True when the text survives the way through UTF-8 unchanged.
bool writableText(std::u16string_view text) {
    return FromUtf8(ToUtf8(text)) == text;
}

void putValueData(Json& out, const RegValue& v) {
    const auto& data = v.data;
    if (v.type == 4 && data.size() == 4) {
        out["dword"] = static_cast<std::uint32_t>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                                  (static_cast<std::uint32_t>(data[3]) << 24));
        return;
    }
    std::u16string units = unitsOf(data);
    if ((v.type == 1 || v.type == 2) && !units.empty() && units.back() == 0) {
        std::u16string text = units.substr(0, units.size() - 1);
        if (textBytes(text) == data && text.find(u'\0') == std::u16string::npos &&
            writableText(text)) {
            out["text"] = ToUtf8(text);
            return;
        }
    }
    if (v.type == 7 && units.size() >= 2) {
        std::vector<std::u16string> texts;
        if (units != std::u16string(2, u'\0')) {
            std::u16string body = units.substr(0, units.size() - 2);
            std::size_t start = 0;
            while (true) {
                std::size_t end = body.find(u'\0', start);
                texts.push_back(
                    body.substr(start, end == std::u16string::npos ? end : end - start));
                if (end == std::u16string::npos)
                    break;
                start = end + 1;
            }
        }
        bool writable = textsBytes(texts) == data;
        for (const auto& t : texts)
            writable = writable && writableText(t);
        if (writable) {
            Json list = Json::array();
            for (const auto& t : texts)
                list.push_back(ToUtf8(t));
            out["texts"] = list;
            return;
        }
    }
    out["bytes"] = data;
}

// Entries that recreate `key` and everything below it, in the order they
// are stored, so that loading them gives the same tree.
void keyToEntries(const RegKey& key, const std::u16string& root, const KeyPath& path, bool view32,
                  Json& entries) {
    auto entry = [&] {
        Json e{{"key", ToUtf8(joinKeyPath(root, path))}};
        if (view32)
            e["view"] = 32;
        return e;
    };
    for (const auto& v : key.values) {
        Json e = entry();
        e["name"] = ToUtf8(v.name);
        e["type"] = v.type;
        putValueData(e, v);
        entries.push_back(e);
    }
    if (key.denyWrite) {
        Json e = entry();
        e["denyWrite"] = true;
        entries.push_back(e);
    }
    if (key.values.empty() && key.subkeys.empty() && !key.denyWrite && !path.empty())
        entries.push_back(entry());
    bool isSoftware =
        root == u"HKLM" && !view32 && path.size() == 1 && EqualsIgnoringCase(path[0], u"SOFTWARE");
    for (const auto& sub : key.subkeys) {
        if (isSoftware && EqualsIgnoringCase(sub.name, u"WOW6432Node")) {
            // The 32-bit view is written as it is described: under SOFTWARE, view 32.
            keyToEntries(sub, root, path, true, entries);
        } else {
            KeyPath subPath = path;
            subPath.push_back(sub.name);
            keyToEntries(sub, root, subPath, view32, entries);
        }
    }
}

} // namespace

Json registryValueToJson(const RegValue& value) {
    Json out{{"type", value.type}};
    putValueData(out, value);
    return out;
}

nlohmann::json machineToJson(const MachineDescription& m) {
    Json computers = Json::object();
    for (const auto& c : m.computers)
        computers[ToUtf8(c.name)] = computerToJson(c);
    Json registry = Json::array();
    keyToEntries(m.registry.hklm, u"HKLM", {}, false, registry);
    keyToEntries(m.registry.hkcu, u"HKCU", {}, false, registry);
    Json registryFail = Json::object();
    for (const auto& [key, status] : m.registryFail)
        registryFail[key] = status;
    Json messages = Json::object();
    for (const auto& [code, text] : m.messages)
        messages[std::to_string(code)] = textOrNull(text);
    Json windowFail = Json::object();
    for (const auto& [key, status] : m.windowFail)
        windowFail[key] = status;
    return Json{{"system", systemToJson(m.system)},
                {"languageFile", languageFileToJson(m.languageFile)},
                {"computers", computers},
                {"unknownServerStatus", m.unknownServerStatus},
                {"registry", registry},
                {"registryFail", registryFail},
                {"messages", messages},
                {"windowFail", windowFail}};
}

namespace {

enum class KeyMatch { Exact, IgnoreCase, Number };

std::string findKey(const Json& object, const std::string& key, KeyMatch match) {
    if (object.contains(key) || match == KeyMatch::Exact)
        return key;
    std::uint32_t wanted = 0;
    bool numeric = match == KeyMatch::Number && json::parseU32Text(key, wanted);
    for (const auto& [existing, value] : object.items()) {
        std::uint32_t number = 0;
        if (match == KeyMatch::IgnoreCase && EqualsIgnoringCase(FromUtf8(existing), FromUtf8(key)))
            return existing;
        if (numeric && json::parseU32Text(existing, number) && number == wanted)
            return existing;
    }
    return key;
}

void merge(Json& target, const Json& patch, const std::string& path) {
    if (!target.is_object() || !patch.is_object()) {
        target = patch;
        return;
    }
    KeyMatch match =
        path == "computers" || path == "system.environment" ? KeyMatch::IgnoreCase
        : path == "messages" || path == "system.sysColors" || path == "system.themes.colors"
            ? KeyMatch::Number
            : KeyMatch::Exact;
    for (const auto& [key, value] : patch.items()) {
        std::string existing = findKey(target, key, match);
        if (existing != key && !value.is_object()) {
            // Replaced under the name the patch gives.
            target.erase(existing);
            existing = key;
        }
        merge(target[existing], value, path.empty() ? key : path + "." + key);
    }
}

} // namespace

void mergeMachinePatch(nlohmann::json& target, const nlohmann::json& patch) {
    merge(target, patch, "");
}

} // namespace tw::sim
