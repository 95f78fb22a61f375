#include "RegistryTree.h"

#include "platform/TextCompare.h"

#include <algorithm>

namespace tw::sim {

KeyPath splitKeyPath(std::u16string_view path) {
    KeyPath parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos)
            end = path.size();
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::u16string joinKeyPath(std::u16string_view root, const KeyPath& path) {
    std::u16string text(root);
    for (const auto& part : path) {
        text += u'\\';
        text += part;
    }
    return text;
}

bool isRedirected(const KeyPath& hklmPath) {
    return !hklmPath.empty() && EqualsIgnoringCase(hklmPath[0], u"SOFTWARE") &&
           !(hklmPath.size() > 1 && EqualsIgnoringCase(hklmPath[1], u"WOW6432Node"));
}

KeyPath toView32(const KeyPath& hklmPath) {
    if (!isRedirected(hklmPath))
        return hklmPath;
    KeyPath path = hklmPath;
    path.insert(path.begin() + 1, u"WOW6432Node");
    return path;
}

namespace {

template <typename Key> Key* findSubkey(Key& key, std::u16string_view name) {
    auto it = std::find_if(key.subkeys.begin(), key.subkeys.end(),
                           [&](const RegKey& k) { return EqualsIgnoringCase(k.name, name); });
    return it == key.subkeys.end() ? nullptr : &*it;
}

} // namespace

const RegKey* findKey(const RegKey& root, const KeyPath& path) {
    const RegKey* key = &root;
    for (const auto& part : path) {
        key = findSubkey(*key, part);
        if (key == nullptr)
            return nullptr;
    }
    return key;
}

RegKey* findKey(RegKey& root, const KeyPath& path) {
    return const_cast<RegKey*>(findKey(static_cast<const RegKey&>(root), path));
}

RegKey& deepestKey(RegKey& root, const KeyPath& path, std::size_t& depth) {
    RegKey* key = &root;
    depth = 0;
    for (const auto& part : path) {
        RegKey* next = findSubkey(*key, part);
        if (next == nullptr)
            break;
        key = next;
        ++depth;
    }
    return *key;
}

RegKey& createKey(RegKey& root, const KeyPath& path) {
    RegKey* key = &root;
    for (const auto& part : path) {
        RegKey* next = findSubkey(*key, part);
        if (next == nullptr) {
            key->subkeys.push_back(RegKey{part, false, {}, {}});
            next = &key->subkeys.back();
        }
        key = next;
    }
    return *key;
}

const RegValue* findValue(const RegKey& key, std::u16string_view name) {
    auto it = std::find_if(key.values.begin(), key.values.end(),
                           [&](const RegValue& v) { return EqualsIgnoringCase(v.name, name); });
    return it == key.values.end() ? nullptr : &*it;
}

void setValue(RegKey& key, RegValue value) {
    auto* existing = const_cast<RegValue*>(findValue(key, value.name));
    if (existing != nullptr) {
        // The value keeps the letter case it was created with.
        existing->type = value.type;
        existing->data = std::move(value.data);
    } else {
        key.values.push_back(std::move(value));
    }
}

bool deleteValue(RegKey& key, std::u16string_view name) {
    auto it = std::find_if(key.values.begin(), key.values.end(),
                           [&](const RegValue& v) { return EqualsIgnoringCase(v.name, name); });
    if (it == key.values.end())
        return false;
    key.values.erase(it);
    return true;
}

std::vector<std::uint8_t> dwordBytes(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

namespace {

void appendUnits(std::vector<std::uint8_t>& bytes, std::u16string_view text) {
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
}

} // namespace

std::vector<std::uint8_t> textBytes(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    appendUnits(bytes, text);
    appendUnits(bytes, std::u16string_view(u"\0", 1));
    return bytes;
}

std::vector<std::uint8_t> textsBytes(const std::vector<std::u16string>& texts) {
    std::vector<std::uint8_t> bytes;
    for (const auto& text : texts) {
        appendUnits(bytes, text);
        appendUnits(bytes, std::u16string_view(u"\0", 1));
    }
    appendUnits(bytes, std::u16string_view(u"\0", 1));
    if (texts.empty())
        appendUnits(bytes, std::u16string_view(u"\0", 1));
    return bytes;
}

} // namespace tw::sim
