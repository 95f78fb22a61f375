#include "mRegistry.h"

#include "RuntimeError.h"
#include "UnsignedNumbers.h"
#include "mCommon.h"
#include "platform/TextConvert.h"

#include <cmath>
#include <limits>

namespace tw {

namespace {

constexpr char16_t kWriteSource[] = u"RegistryKeyValue (Let)";
// The environment expansion buffer; a longer expansion gets a second, larger one.
constexpr win::DWORD kExpandUnits = 260;

std::int32_t ToLong(double value) {
    const double rounded = std::nearbyint(value); // halves to the even neighbour
    if (!(rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::max())))
        throw OverflowError();
    return static_cast<std::int32_t>(rounded);
}

std::vector<std::u16string> SplitAtNul(const std::u16string& text) {
    std::vector<std::u16string> parts;
    if (text.empty())
        return parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t nul = text.find(u'\0', start);
        parts.push_back(text.substr(start, nul == std::u16string::npos ? nul : nul - start));
        if (nul == std::u16string::npos)
            return parts;
        start = nul + 1;
    }
}

} // namespace

std::u16string TrimAtNul(const std::u16string& text) {
    const std::size_t nul = text.find(u'\0');
    return nul == std::u16string::npos ? text : text.substr(0, nul);
}

win::HKEY mRegistry::OpenRegistryKey(win::HKEY root, const std::u16string& path, win::REGSAM access,
                                     bool create, win::DWORD* disposition, bool nativeView) {
    if (common_.IsWow64())
        access |= nativeView ? win::KEY_WOW64_64KEY : win::KEY_WOW64_32KEY;
    win::HKEY key = nullptr;
    win::LSTATUS status = 0;
    if (create) {
        win::DWORD created = 0;
        status = platform_.registry.RegCreateKeyExW(root, path.c_str(), 0, nullptr,
                                                    win::REG_OPTION_NON_VOLATILE, access, nullptr,
                                                    &key, &created);
        if (status == 0 && disposition != nullptr)
            *disposition = created;
    } else {
        status = platform_.registry.RegOpenKeyExW(root, path.c_str(), 0, access, &key);
    }
    lastError_ = static_cast<win::DWORD>(status);
    return status == 0 ? key : nullptr;
}

win::LSTATUS mRegistry::CloseRegistryKey(win::HKEY key) {
    return key == nullptr ? 0 : platform_.registry.RegCloseKey(key);
}

// The first query's status is not looked at (a missing value leaves the size
// 0); a read of the data that fails (the value changed or went away between
// the two calls, access was refused) gives Empty as well, never a value made
// of the zeroed buffer.
RegistryValue mRegistry::RegistryKeyValue(win::HKEY key, const std::u16string& name) {
    win::DWORD type = 0;
    win::DWORD size = 0;
    platform_.registry.RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (size == 0 || type < win::REG_SZ || type > win::REG_MULTI_SZ)
        return RegistryValue::Empty();
    switch (type) {
    case win::REG_DWORD: {
        // A value longer than four bytes must not overrun the integer.
        std::vector<win::BYTE> data(std::max<win::DWORD>(size, 4), 0);
        win::DWORD got = size;
        if (platform_.registry.RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(),
                                                &got) != 0)
            return RegistryValue::Empty(); // read nothing: no number to make up
        const auto number = static_cast<std::uint32_t>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                                       (data[3] << 24));
        return RegistryValue::Long(static_cast<std::int32_t>(number));
    }
    case win::REG_BINARY: {
        std::vector<std::uint8_t> data(size);
        win::DWORD got = size;
        if (platform_.registry.RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(),
                                                &got) != 0)
            return RegistryValue::Empty();
        return RegistryValue::ByteArray(std::move(data));
    }
    case win::REG_SZ:
    case win::REG_EXPAND_SZ:
    case win::REG_MULTI_SZ:
        return ReadText(key, name, size);
    default:
        return RegistryValue::Empty(); // big-endian double words and links
    }
}

RegistryValue mRegistry::ReadText(win::HKEY key, const std::u16string& name, win::DWORD size) {
    std::vector<char16_t> buffer(size / 2 + 1, u'\0');
    win::DWORD type = 0;
    win::DWORD got = size;
    if (platform_.registry.RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                            reinterpret_cast<win::BYTE*>(buffer.data()), &got) != 0)
        return RegistryValue::Empty();
    // The stored terminator is dropped; a single byte holds no text at all.
    const std::size_t units = size / 2 == 0 ? 0 : size / 2 - 1;
    std::u16string text(buffer.data(), units);
    if (type == win::REG_MULTI_SZ) {
        if (!text.empty())
            text.pop_back(); // the list's own terminator
        return RegistryValue::StringArray(SplitAtNul(text));
    }
    if (type == win::REG_EXPAND_SZ) {
        std::vector<char16_t> expanded(kExpandUnits, u'\0');
        win::DWORD needed =
            platform_.system.ExpandEnvironmentStringsW(text.c_str(), expanded.data(), kExpandUnits);
        if (needed > kExpandUnits) {
            // Too long for the usual buffer: expand it completely in one that fits.
            expanded.assign(needed, u'\0');
            needed = platform_.system.ExpandEnvironmentStringsW(text.c_str(), expanded.data(),
                                                                static_cast<win::DWORD>(needed));
            if (needed > expanded.size())
                expanded.assign(1, u'\0');
        }
        return RegistryValue::String(TrimAtNul(std::u16string(expanded.data(), expanded.size())));
    }
    return RegistryValue::String(std::move(text));
}

void mRegistry::RegistryKeyValue(win::HKEY key, const std::u16string& name,
                                 const RegistryValue& value) {
    win::IRegistry& registry = platform_.registry;
    switch (value.kind) {
    case ValueKind::Empty:
    case ValueKind::Null: {
        win::LSTATUS status = registry.RegDeleteValueW(key, name.c_str());
        if (status == static_cast<win::LSTATUS>(win::ERROR_FILE_NOT_FOUND))
            status = 0; // already gone
        Check(status);
        return;
    }
    case ValueKind::Integer:
    case ValueKind::Long:
    case ValueKind::Byte:
    case ValueKind::Single:
    case ValueKind::Double:
    case ValueKind::Currency:
    case ValueKind::Boolean: {
        std::int32_t number = 0;
        if (const auto* whole = std::get_if<std::int32_t>(&value.data))
            number = *whole;
        else if (const auto* real = std::get_if<double>(&value.data))
            number = ToLong(*real);
        else if (const auto* flag = std::get_if<bool>(&value.data))
            number = *flag ? -1 : 0;
        const auto bits = static_cast<std::uint32_t>(number);
        const win::BYTE data[4] = {static_cast<win::BYTE>(bits), static_cast<win::BYTE>(bits >> 8),
                                   static_cast<win::BYTE>(bits >> 16),
                                   static_cast<win::BYTE>(bits >> 24)};
        Check(registry.RegSetValueExW(key, name.c_str(), 0, win::REG_DWORD, data, 4));
        return;
    }
    case ValueKind::String: {
        const auto& text = std::get<std::u16string>(value.data);
        Check(registry.RegSetValueExW(key, name.c_str(), 0, win::REG_SZ,
                                      reinterpret_cast<const win::BYTE*>(text.c_str()),
                                      static_cast<win::DWORD>(2 * text.size() + 2)));
        return;
    }
    case ValueKind::StringArray: {
        std::u16string joined;
        const auto& items = std::get<std::vector<std::u16string>>(value.data);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (i > 0)
                joined += u'\0';
            joined += items[i];
        }
        const std::size_t length = joined.size();
        joined += u'\0';
        joined += u'\0';
        Check(registry.RegSetValueExW(key, name.c_str(), 0, win::REG_MULTI_SZ,
                                      reinterpret_cast<const win::BYTE*>(joined.data()),
                                      static_cast<win::DWORD>(2 * length + 4)));
        return;
    }
    case ValueKind::ByteArray: {
        const auto& bytes = std::get<std::vector<std::uint8_t>>(value.data);
        Check(registry.RegSetValueExW(key, name.c_str(), 0, win::REG_BINARY, bytes.data(),
                                      static_cast<win::DWORD>(bytes.size())));
        return;
    }
    default:
        throw RuntimeError(kRegistryUnsupportedType, kWriteSource,
                           u"Unsupported registry data type.");
    }
}

void mRegistry::Check(win::LSTATUS status) {
    if (status == 0)
        return;
    throw RuntimeError(kRegistryWriteFailed, kWriteSource,
                       u"Error " + FromUtf8(std::to_string(status)) + u" writing registry. " +
                           common_.ApiErrorText(status));
}

} // namespace tw
