#include "MachineLoader.h"

#include "FailureKeys.h"
#include "JsonFields.h"
#include "JsonNesting.h"
#include "RegistryTree.h"
#include "platform/TextCompare.h"

#include "platform/TextConvert.h"

#include <unordered_set>

#include <algorithm>

namespace tw::sim {

using namespace json;

const std::vector<std::string_view>& netApiFunctions() {
    static const std::vector<std::string_view> names = {
        "NetUserEnum", "NetUserGetInfo", "NetUserSetInfo", "NetUserModalsGet", "NetUserModalsSet"};
    return names;
}

const std::vector<std::string_view>& registryFunctions() {
    static const std::vector<std::string_view> names = {"RegOpenKeyExW",  "RegCreateKeyExW",
                                                        "RegCloseKey",    "RegQueryValueExW",
                                                        "RegSetValueExW", "RegDeleteValueW"};
    return names;
}

const std::vector<std::string_view>& windowFunctions() {
    static const std::vector<std::string_view> names = {
        "LoadImageW",       "SetWindowsHookExW",     "SetWindowLongW",
        "GetKeyboardState", "SystemParametersInfoW", "OpenThemeData"};
    return names;
}

namespace {

// More generated accounts than any domain holds would only exhaust memory.
constexpr std::uint32_t kMaxGeneratedAccounts = 1000000;
// A call's delay: a slow network, not a server that never answers.
constexpr std::uint32_t kMaxCallDelayMs = 60000;

std::optional<std::u16string> readTextOrNull(const Json& value, const std::string& where) {
    if (value.is_null())
        return std::nullopt;
    return readText(value, where);
}

Wow64Mode readWow64(const Json& value, const std::string& where) {
    if (value.is_boolean())
        return value.get<bool>() ? Wow64Mode::Yes : Wow64Mode::No;
    if (value.is_string() && value.get_ref<const std::string&>() == "missing")
        return Wow64Mode::Missing;
    fail(where, "expected true, false or \"missing\", found " + describe(value));
}

void readEnvironment(const Json& value, const std::string& where, SystemInfo& system) {
    requireObject(value, where);
    for (const auto& [key, text] : value.items()) {
        std::u16string name = FromUtf8(key);
        auto& env = system.environment;
        auto it = std::find_if(env.begin(), env.end(), [&](const auto& var) {
            return EqualsIgnoringCase(var.first, name);
        });
        if (text.is_null()) {
            if (it != env.end())
                env.erase(it);
            continue;
        }
        std::u16string content = readText(text, child(where, key));
        if (it != env.end())
            it->second = std::move(content);
        else
            env.emplace_back(std::move(name), std::move(content));
    }
}

std::uint32_t readColor(const Json& value, const std::string& where) {
    std::uint32_t color = readU32(value, where);
    if ((color & 0xFF000000u) != 0)
        fail(where, "expected a colour 0x00BBGGRR, found " + describe(value));
    return color;
}

// Colours by system colour index: {"5": 16777215, "0x0F": "0xF0F0F0"}.
template <typename Store>
void readColorIndexes(const Json& value, const std::string& where, Store store) {
    requireObject(value, where);
    for (const auto& [key, color] : value.items()) {
        std::uint32_t index = 0;
        if (!parseU32Text(key, index) || index >= kDefaultSysColors.size())
            fail(child(where, key), "expected a system colour index from 0 to 30 as the key");
        store(index, readColor(color, child(where, key)));
    }
}

ThemeState readThemes(const Json& value, const std::string& where) {
    requireObject(value, where);
    checkFields(value, where, {"library", "appThemed", "themeActive", "appProperties", "colors"});
    ThemeState t;
    readOptional(value, "library", where, t.library, readBool);
    readOptional(value, "appThemed", where, t.appThemed, readBool);
    readOptional(value, "themeActive", where, t.themeActive, readBool);
    readOptional(value, "appProperties", where, t.appProperties, readU32);
    if (auto it = value.find("colors"); it != value.end())
        readColorIndexes(
            *it, child(where, "colors"),
            [&](std::uint32_t index, std::uint32_t color) { t.colors[index] = color; });
    return t;
}

std::uint32_t readIconSize(const Json& value, const std::string& where) {
    std::uint32_t size = readU32(value, where);
    if (size == 0 || size > 256)
        fail(where, "expected an icon size from 1 to 256 pixels, found " + describe(value));
    return size;
}

SystemInfo readSystem(const Json& value, const std::string& where) {
    requireObject(value, where);
    checkFields(value, where,
                {"platformId", "major",        "minor",        "build",          "wow64",
                 "uiLanguage", "threadLocale", "acp",          "longDateFormat", "decimalSign",
                 "userName",   "computerName", "isAdmin",      "environment",    "executableFolder",
                 "sysColors",  "themes",       "keyboardCues", "smallIconSize",  "largeIconSize"});
    SystemInfo s;
    readOptional(value, "platformId", where, s.platformId, readU32);
    readOptional(value, "major", where, s.majorVersion, readU32);
    readOptional(value, "minor", where, s.minorVersion, readU32);
    readOptional(value, "build", where, s.build, readU32);
    readOptional(value, "wow64", where, s.wow64, readWow64);
    readOptional(value, "uiLanguage", where, s.uiLanguage, readU16);
    readOptional(value, "threadLocale", where, s.threadLocale, readU32);
    readOptional(value, "acp", where, s.acp, readU32);
    readOptional(value, "longDateFormat", where, s.longDateFormat, readText);
    readOptional(value, "decimalSign", where, s.decimalSign, readText);
    readOptional(value, "userName", where, s.userName, readTextOrNull);
    readOptional(value, "computerName", where, s.computerName, readTextOrNull);
    readOptional(value, "isAdmin", where, s.isAdmin, readBool);
    readOptional(value, "executableFolder", where, s.executableFolder, readText);
    if (auto it = value.find("environment"); it != value.end())
        readEnvironment(*it, child(where, "environment"), s);
    if (auto it = value.find("sysColors"); it != value.end())
        readColorIndexes(
            *it, child(where, "sysColors"),
            [&](std::uint32_t index, std::uint32_t color) { s.sysColors[index] = color; });
    readOptional(value, "themes", where, s.themes, readThemes);
    readOptional(value, "keyboardCues", where, s.keyboardCues, readBool);
    readOptional(value, "smallIconSize", where, s.smallIconSize, readIconSize);
    readOptional(value, "largeIconSize", where, s.largeIconSize, readIconSize);
    return s;
}

std::vector<std::uint8_t> readBytes(const Json& value, const std::string& where) {
    return readArrayOf<std::uint8_t>(value, where, readByte);
}

std::vector<std::uint8_t> readLatin1(const Json& value, const std::string& where) {
    std::u16string text = readText(value, where);
    std::vector<std::uint8_t> bytes;
    for (char16_t c : text) {
        if (c > 0xFF)
            fail(where, "character " + ToUtf8(std::u16string(1, c)) +
                            " is not a Latin-1 character (use \"bytes\")");
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return bytes;
}

std::optional<LanguageFile> readLanguageFile(const Json& value, const std::string& where) {
    if (value.is_null())
        return std::nullopt;
    requireObject(value, where);
    checkFields(value, where, {"name", "text", "bytes", "folder", "unreadable"});
    LanguageFile file;
    readOptional(value, "name", where, file.name, readText);
    readOptional(value, "folder", where, file.folder, readBool);
    readOptional(value, "unreadable", where, file.unreadable, readBool);
    if (value.contains("text") && value.contains("bytes"))
        fail(child(where, "bytes"), "give either \"text\" or \"bytes\", not both");
    readOptional(value, "text", where, file.content, readLatin1);
    readOptional(value, "bytes", where, file.content, readBytes);
    if (file.folder && !file.content.empty())
        fail(child(where, "folder"), "a folder has no content");
    if (file.name.empty() || file.name.find_first_of(u"\\/") != std::u16string::npos)
        fail(child(where, "name"), "expected a file name without folders");
    return file;
}

Account readAccount(const Json& value, const std::string& where) {
    requireObject(value, where);
    checkFields(value, where,
                {"name", "fullName", "comment", "rid", "flags", "passwordAge", "privilege",
                 "authFlags", "lastLogon", "lastLogoff", "acctExpires", "badPwCount", "numLogons",
                 "passwordExpired", "changeRightOutOfReach"});
    Account a;
    if (!value.contains("name"))
        fail(child(where, "name"), "missing");
    a.name = readText(value["name"], child(where, "name"));
    if (a.name.empty())
        fail(child(where, "name"), "an account name cannot be empty");
    readOptional(value, "fullName", where, a.fullName, readText);
    readOptional(value, "comment", where, a.comment, readText);
    if (value.contains("rid"))
        a.rid = readU32(value["rid"], child(where, "rid"));
    readOptional(value, "flags", where, a.flags, readU32);
    readOptional(value, "passwordAge", where, a.passwordAge, readU32);
    readOptional(value, "privilege", where, a.privilege, readU32);
    readOptional(value, "authFlags", where, a.authFlags, readU32);
    readOptional(value, "lastLogon", where, a.lastLogon, readU32);
    readOptional(value, "lastLogoff", where, a.lastLogoff, readU32);
    readOptional(value, "acctExpires", where, a.acctExpires, readU32);
    readOptional(value, "badPwCount", where, a.badPwCount, readU32);
    readOptional(value, "numLogons", where, a.numLogons, readU32);
    readOptional(value, "passwordExpired", where, a.passwordExpired, readBool);
    if (value.contains("changeRightOutOfReach"))
        a.changeRightOutOfReach =
            readText(value["changeRightOutOfReach"], child(where, "changeRightOutOfReach"));
    return a;
}

Policy readPolicy(const Json& value, const std::string& where) {
    requireObject(value, where);
    checkFields(value, where,
                {"minPwdLen", "maxPwdAge", "minPwdAge", "forceLogoff", "pwdHistoryLen",
                 "lockoutDuration", "lockoutObsWin", "lockoutThreshold"});
    Policy p;
    readOptional(value, "minPwdLen", where, p.minPwdLen, readU32);
    readOptional(value, "maxPwdAge", where, p.maxPwdAge, readU32);
    readOptional(value, "minPwdAge", where, p.minPwdAge, readU32);
    readOptional(value, "forceLogoff", where, p.forceLogoff, readU32);
    readOptional(value, "pwdHistoryLen", where, p.pwdHistoryLen, readU32);
    readOptional(value, "lockoutDuration", where, p.lockoutDuration, readU32);
    readOptional(value, "lockoutObsWin", where, p.lockoutObsWin, readU32);
    readOptional(value, "lockoutThreshold", where, p.lockoutThreshold, readU32);
    return p;
}

std::map<std::string, std::uint32_t> readFailRules(const Json& value, const std::string& where,
                                                   const std::vector<std::string_view>& functions,
                                                   bool withLevels) {
    requireObject(value, where);
    std::map<std::string, std::uint32_t> rules;
    for (const auto& [key, status] : value.items()) {
        std::string error;
        auto canonical = canonicalFailKey(key, functions, withLevels, error);
        if (!canonical)
            fail(child(where, key), error);
        if (rules.count(*canonical) != 0)
            fail(child(where, key), "the same rule as another key");
        rules[*canonical] = readU32(status, child(where, key));
    }
    return rules;
}

// {"prefix": "user", "count": N}: N ordinary accounts named the prefix and a
// number of as many digits as N has ("user001" ... "user250"), after the
// accounts listed; a large server without a large file.
void generateAccounts(const Json& value, const std::string& where, std::vector<Account>& accounts) {
    requireObject(value, where);
    checkFields(value, where, {"prefix", "count"});
    std::u16string prefix = u"user";
    if (auto it = value.find("prefix"); it != value.end()) {
        if (!it->is_string())
            fail(child(where, "prefix"), "a text is needed");
        prefix = FromUtf8(it->get<std::string>());
    }
    const auto countAt = value.find("count");
    if (countAt == value.end())
        fail(where, "\"count\" is needed");
    const std::uint32_t count = readU32(*countAt, child(where, "count"));
    if (count > kMaxGeneratedAccounts)
        fail(child(where, "count"),
             "at most " + std::to_string(kMaxGeneratedAccounts) + " accounts");
    std::unordered_set<std::u16string> seen;
    for (const Account& a : accounts)
        seen.insert(FoldCase(a.name));
    const std::size_t digits = std::to_string(count).size();
    accounts.reserve(accounts.size() + count);
    for (std::uint32_t i = 1; i <= count; ++i) {
        std::string number = std::to_string(i);
        number.insert(0, digits - number.size(), '0');
        Account a;
        a.name = prefix + FromUtf8(number);
        if (!seen.insert(FoldCase(a.name)).second)
            fail(where, "a generated account has the name of another: \"" + ToUtf8(a.name) + "\"");
        accounts.push_back(std::move(a));
    }
}

Computer readComputer(const std::string& name, const Json& value, const std::string& where) {
    requireObject(value, where);
    checkFields(value, where,
                {"accounts", "generatedAccounts", "policy", "fail", "delay", "answerLost"});
    Computer c;
    c.name = FromUtf8(name);
    if (auto it = value.find("accounts"); it != value.end()) {
        std::string list = child(where, "accounts");
        requireArray(*it, list);
        // A set of folded names keeps a machine of many accounts linear to load.
        std::unordered_set<std::u16string> seen;
        for (std::size_t i = 0; i < it->size(); ++i) {
            Account a = readAccount((*it)[i], element(list, i));
            if (!seen.insert(FoldCase(a.name)).second)
                fail(child(element(list, i), "name"),
                     "a second account named \"" + ToUtf8(a.name) + "\"");
            c.accounts.push_back(std::move(a));
        }
    }
    if (auto it = value.find("generatedAccounts"); it != value.end())
        generateAccounts(*it, child(where, "generatedAccounts"), c.accounts);
    readOptional(value, "policy", where, c.policy, readPolicy);
    if (auto it = value.find("fail"); it != value.end())
        c.fail = readFailRules(*it, child(where, "fail"), netApiFunctions(), true);
    if (auto it = value.find("delay"); it != value.end()) {
        c.delay = readFailRules(*it, child(where, "delay"), netApiFunctions(), true);
        for (const auto& [key, ms] : c.delay) {
            if (ms > kMaxCallDelayMs)
                fail(child(child(where, "delay"), key),
                     "at most " + std::to_string(kMaxCallDelayMs) + " milliseconds");
        }
    }
    if (auto it = value.find("answerLost"); it != value.end()) {
        static const std::vector<std::string_view> writes = {"NetUserSetInfo", "NetUserModalsSet"};
        c.answerLost = readFailRules(*it, child(where, "answerLost"), writes, true);
    }
    return c;
}

std::vector<Computer> readComputers(const Json& value, const std::string& where) {
    requireObject(value, where);
    std::vector<Computer> computers;
    for (const auto& [name, computer] : value.items()) {
        std::string place = child(where, name);
        if (name.empty())
            fail(place, "a computer name cannot be empty");
        for (const auto& other : computers) {
            if (EqualsIgnoringCase(other.name, FromUtf8(name)))
                fail(place, "a second computer named \"" + name + "\"");
        }
        if (computer.is_null())
            continue; // a machine step removes a computer with null
        computers.push_back(readComputer(name, computer, place));
    }
    return computers;
}

RegKey* rootFor(Registry& registry, std::u16string_view name) {
    if (EqualsIgnoringCase(name, u"HKLM") || EqualsIgnoringCase(name, u"HKEY_LOCAL_MACHINE"))
        return &registry.hklm;
    if (EqualsIgnoringCase(name, u"HKCU") || EqualsIgnoringCase(name, u"HKEY_CURRENT_USER"))
        return &registry.hkcu;
    return nullptr;
}

std::vector<std::u16string> readTexts(const Json& value, const std::string& where) {
    return readArrayOf<std::u16string>(value, where, readText);
}

void readRegistryEntry(const Json& value, const std::string& where, Registry& registry) {
    requireObject(value, where);
    checkFields(value, where,
                {"key", "name", "type", "dword", "text", "texts", "bytes", "view", "denyWrite"});
    if (!value.contains("key"))
        fail(child(where, "key"), "missing");
    KeyPath path = splitKeyPath(readText(value["key"], child(where, "key")));
    RegKey* root = path.empty() ? nullptr : rootFor(registry, path.front());
    if (root == nullptr)
        fail(child(where, "key"),
             "expected a key path from HKLM or HKCU, found " + describe(value["key"]));
    path.erase(path.begin());
    std::uint32_t view = 64;
    readOptional(value, "view", where, view, readU32);
    if (view != 32 && view != 64)
        fail(child(where, "view"), "expected 32 or 64, found " + describe(value["view"]));
    if (view == 32 && root == &registry.hklm)
        path = toView32(path);
    RegKey& key = createKey(*root, path);
    bool denyWrite = false;
    readOptional(value, "denyWrite", where, denyWrite, readBool);
    key.denyWrite = key.denyWrite || denyWrite;

    int dataKinds = 0;
    std::optional<std::uint32_t> kindType;
    std::vector<std::uint8_t> data;
    const char* dataField = nullptr;
    auto take = [&](const char* field, std::uint32_t type, auto reader) {
        if (auto it = value.find(field); it != value.end()) {
            ++dataKinds;
            dataField = field;
            kindType = type;
            data = reader(*it, child(where, field));
        }
    };
    take("dword", 4, [](const Json& v, const std::string& w) { return dwordBytes(readU32(v, w)); });
    take("text", 1, [](const Json& v, const std::string& w) { return textBytes(readText(v, w)); });
    take("texts", 7,
         [](const Json& v, const std::string& w) { return textsBytes(readTexts(v, w)); });
    take("bytes", 3, readBytes);
    if (dataKinds > 1)
        fail(child(where, dataField), "give only one of dword, text, texts and bytes");

    if (!value.contains("name")) {
        if (value.contains("type") || dataKinds > 0)
            fail(child(where, "name"), "missing (a value needs a name; \"\" is the default value)");
        return;
    }
    RegValue entry;
    entry.name = readText(value["name"], child(where, "name"));
    if (value.contains("type"))
        entry.type = readU32(value["type"], child(where, "type"));
    else if (kindType)
        entry.type = *kindType;
    else
        fail(child(where, "type"), "missing (a value needs a type or data)");
    entry.data = std::move(data);
    setValue(key, std::move(entry));
}

std::map<std::uint32_t, std::optional<std::u16string>> readMessages(const Json& value,
                                                                    const std::string& where) {
    requireObject(value, where);
    std::map<std::uint32_t, std::optional<std::u16string>> messages;
    for (const auto& [key, text] : value.items()) {
        std::uint32_t code = 0;
        if (!parseU32Text(key, code))
            fail(child(where, key), "expected a message number as the key");
        if (messages.count(code) != 0)
            fail(child(where, key), "a second text for message " + std::to_string(code));
        messages[code] =
            text.is_null() ? std::nullopt : std::optional(readText(text, child(where, key)));
    }
    return messages;
}

} // namespace

MachineDescription loadMachine(const nlohmann::json& machine, const std::string& where) {
    requireObject(machine, where);
    checkFields(machine, where,
                {"system", "languageFile", "computers", "unknownServerStatus", "registry",
                 "registryFail", "messages", "windowFail"});
    MachineDescription m;
    readOptional(machine, "system", where, m.system, readSystem);
    readOptional(machine, "languageFile", where, m.languageFile, readLanguageFile);
    readOptional(machine, "computers", where, m.computers, readComputers);
    readOptional(machine, "unknownServerStatus", where, m.unknownServerStatus, readU32);
    if (auto it = machine.find("registry"); it != machine.end()) {
        std::string list = child(where, "registry");
        requireArray(*it, list);
        for (std::size_t i = 0; i < it->size(); ++i)
            readRegistryEntry((*it)[i], element(list, i), m.registry);
    }
    if (auto it = machine.find("registryFail"); it != machine.end())
        m.registryFail =
            readFailRules(*it, child(where, "registryFail"), registryFunctions(), false);
    readOptional(machine, "messages", where, m.messages, readMessages);
    if (auto it = machine.find("windowFail"); it != machine.end())
        m.windowFail = readFailRules(*it, child(where, "windowFail"), windowFunctions(), false);

    // Calls without a server argument always reach a local computer.
    std::u16string local = localComputerName(m.system);
    bool hasLocal = false;
    for (const auto& c : m.computers)
        hasLocal = hasLocal || EqualsIgnoringCase(c.name, local);
    if (!hasLocal) {
        // In the place a JSON object of the computers gives it (by name), so
        // that the description written back reads as the same one.
        const std::string key = ToUtf8(local);
        const auto at = std::find_if(m.computers.begin(), m.computers.end(),
                                     [&](const Computer& c) { return ToUtf8(c.name) > key; });
        Computer computer;
        computer.name = local;
        m.computers.insert(at, std::move(computer));
    }
    return m;
}

MachineDescription loadMachineText(std::string_view text, const std::string& where) {
    if (const auto tooDeep = CheckJsonNesting(text))
        throw MachineError(where + ": " + *tooDeep);
    nlohmann::json machine;
    try {
        machine = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& e) {
        // Not only syntax: a number too large for any number type is refused too.
        throw MachineError(where + ": not valid JSON: " + e.what());
    }
    return loadMachine(machine, where);
}

} // namespace tw::sim
