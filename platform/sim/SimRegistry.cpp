// The registry functions: handles with their rights, the 32-bit and 64-bit
// views, administrator rights under HKLM and keys denied for writing.
#include "SimRegistry.h"

#include "FailureKeys.h"

#include "platform/TextConvert.h"

#include <cstdio>
#include <cstring>

namespace tw::sim {

using namespace win;

namespace {

constexpr DWORD ERROR_KEY_DELETED = 1018;
constexpr DWORD ERROR_NOACCESS = 998;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr REGSAM MAXIMUM_ALLOWED = 0x02000000;
constexpr REGSAM GENERIC_ALL = 0x10000000;
constexpr REGSAM GENERIC_EXECUTE = 0x20000000;
constexpr REGSAM GENERIC_WRITE = 0x40000000;
constexpr REGSAM GENERIC_READ = 0x80000000;
constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

std::string hex(std::uintptr_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string valueText(LPCWSTR name) {
    return name == nullptr || *name == 0 ? std::string("(default)") : ToUtf8(name);
}

// The specific rights a requested mask grants.
REGSAM grantedRights(REGSAM sam, bool writeAllowed) {
    REGSAM rights = sam & 0x00FFFFFF & ~(KEY_WOW64_64KEY | KEY_WOW64_32KEY | MAXIMUM_ALLOWED);
    if (sam & (GENERIC_READ | GENERIC_EXECUTE))
        rights |= KEY_READ;
    if (sam & GENERIC_WRITE)
        rights |= KEY_WRITE;
    if (sam & GENERIC_ALL)
        rights |= KEY_ALL_ACCESS;
    if (sam & MAXIMUM_ALLOWED)
        rights |= writeAllowed ? KEY_ALL_ACCESS : KEY_READ;
    return rights;
}

KeyPath joined(KeyPath path, const KeyPath& more) {
    path.insert(path.end(), more.begin(), more.end());
    return path;
}

} // namespace

bool SimRegistry::resolveKey(HKEY hKey, KeyHandle& handle) const {
    auto id = reinterpret_cast<std::uintptr_t>(hKey);
    if (hKey == HKEY_LOCAL_MACHINE_() || hKey == HKEY_CURRENT_USER_()) {
        handle = KeyHandle{hKey == HKEY_LOCAL_MACHINE_(), {}, {}, KEY_READ | KEY_WRITE, true};
        return true;
    }
    auto it = keys_.find(id);
    if (it == keys_.end())
        return false;
    handle = it->second;
    return true;
}

RegKey* SimRegistry::keyOf(const KeyHandle& handle) {
    return findKey(handle.hklm ? state_.machine.registry.hklm : state_.machine.registry.hkcu,
                   handle.physical);
}

bool SimRegistry::mayWrite(const KeyHandle& handle, const RegKey& key) const {
    if ((handle.access & KEY_SET_VALUE) == 0)
        return false;
    // An opened handle was checked when it was opened; a root is checked now.
    return !handle.predefined ||
           ((!handle.hklm || state_.machine.system.isAdmin) && !key.denyWrite);
}

std::string SimRegistry::keyText(HKEY hKey) const {
    KeyHandle handle;
    if (!resolveKey(hKey, handle))
        return hex(reinterpret_cast<std::uintptr_t>(hKey));
    return ToUtf8(joinKeyPath(handle.hklm ? u"HKLM" : u"HKCU", handle.logical));
}

bool SimRegistry::injectFailure(const char* function, LSTATUS& status) {
    std::uint32_t call = ++callCounts_[function];
    auto injected = findFailure(state_.machine.registryFail, function, std::nullopt, call, call);
    if (!injected || *injected == 0)
        return false;
    status = static_cast<LSTATUS>(*injected);
    return true;
}

LSTATUS SimRegistry::openKey(const char* function, HKEY hKey, LPCWSTR lpSubKey, REGSAM samDesired,
                             bool create, HKEY* phkResult, LPDWORD lpdwDisposition) {
    std::string shown = keyText(hKey);
    if (lpSubKey != nullptr && *lpSubKey != 0)
        shown += "\\" + ToUtf8(lpSubKey);
    calls_.push_back(std::string(function) + " " + shown + " " + hex(samDesired));
    if (phkResult != nullptr)
        *phkResult = nullptr;
    LSTATUS status = 0;
    if (injectFailure(function, status))
        return status;
    KeyHandle parent;
    if (!resolveKey(hKey, parent))
        return ERROR_INVALID_HANDLE;
    if (phkResult == nullptr || ((samDesired & KEY_WOW64_64KEY) && (samDesired & KEY_WOW64_32KEY)))
        return ERROR_INVALID_PARAMETER;

    const SystemInfo& system = state_.machine.system;
    KeyPath sub = splitKeyPath(lpSubKey != nullptr ? lpSubKey : u"");
    KeyHandle handle;
    handle.hklm = parent.hklm;
    handle.logical = joined(parent.logical, sub);
    if (parent.predefined) {
        // A 32-bit process on 64-bit Windows sees the 32-bit view unless it asks
        // for the native one; a native process the other way round. A system
        // without WOW64 has one registry and ignores both flags.
        bool view32 = system.wow64 == Wow64Mode::Yes  ? (samDesired & KEY_WOW64_64KEY) == 0
                      : system.wow64 == Wow64Mode::No ? (samDesired & KEY_WOW64_32KEY) != 0
                                                      : false;
        handle.physical = handle.hklm && view32 ? toView32(handle.logical) : handle.logical;
    } else {
        if (keyOf(parent) == nullptr)
            return ERROR_KEY_DELETED;
        handle.physical = joined(parent.physical, sub);
    }

    RegKey& root = handle.hklm ? state_.machine.registry.hklm : state_.machine.registry.hkcu;
    bool adminOk = !handle.hklm || system.isAdmin;
    RegKey* key = findKey(root, handle.physical);
    DWORD disposition = REG_OPENED_EXISTING_KEY;
    if (key == nullptr) {
        if (!create)
            return ERROR_FILE_NOT_FOUND;
        std::size_t depth = 0;
        const RegKey& existing = deepestKey(root, handle.physical, depth);
        bool parentMayCreate = parent.predefined || (parent.access & KEY_CREATE_SUB_KEY) != 0;
        if (!adminOk || !parentMayCreate || existing.denyWrite)
            return ERROR_ACCESS_DENIED;
        key = &createKey(root, handle.physical);
        disposition = REG_CREATED_NEW_KEY;
    }
    bool writeAllowed = adminOk && !key->denyWrite;
    handle.access = grantedRights(samDesired, writeAllowed);
    if ((handle.access & kWriteRights) != 0 && !writeAllowed)
        return ERROR_ACCESS_DENIED;

    std::uintptr_t id = nextKey_;
    nextKey_ += 4;
    keys_[id] = std::move(handle);
    *phkResult = reinterpret_cast<HKEY>(id);
    if (lpdwDisposition != nullptr)
        *lpdwDisposition = disposition;
    return ERROR_SUCCESS;
}

LSTATUS SimRegistry::RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD /*ulOptions*/,
                                   REGSAM samDesired, HKEY* phkResult) {
    return openKey("RegOpenKeyExW", hKey, lpSubKey, samDesired, false, phkResult, nullptr);
}

LSTATUS SimRegistry::RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD /*Reserved*/,
                                     LPWSTR /*lpClass*/, DWORD /*dwOptions*/, REGSAM samDesired,
                                     void* /*lpSecurityAttributes*/, HKEY* phkResult,
                                     LPDWORD lpdwDisposition) {
    return openKey("RegCreateKeyExW", hKey, lpSubKey, samDesired, true, phkResult, lpdwDisposition);
}

LSTATUS SimRegistry::RegCloseKey(HKEY hKey) {
    calls_.push_back("RegCloseKey " + keyText(hKey));
    LSTATUS status = 0;
    if (injectFailure("RegCloseKey", status))
        return status;
    if (hKey == HKEY_LOCAL_MACHINE_() || hKey == HKEY_CURRENT_USER_())
        return ERROR_SUCCESS;
    return keys_.erase(reinterpret_cast<std::uintptr_t>(hKey)) == 1 ? ERROR_SUCCESS
                                                                    : ERROR_INVALID_HANDLE;
}

LSTATUS SimRegistry::RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved,
                                      LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    calls_.push_back("RegQueryValueExW " + keyText(hKey) + " " + valueText(lpValueName));
    LSTATUS status = 0;
    if (injectFailure("RegQueryValueExW", status))
        return status;
    KeyHandle handle;
    if (!resolveKey(hKey, handle))
        return ERROR_INVALID_HANDLE;
    if ((handle.access & KEY_QUERY_VALUE) == 0)
        return ERROR_ACCESS_DENIED;
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr))
        return ERROR_INVALID_PARAMETER;
    RegKey* key = keyOf(handle);
    if (key == nullptr)
        return ERROR_KEY_DELETED;
    const RegValue* value = findValue(*key, lpValueName != nullptr ? lpValueName : u"");
    if (value == nullptr)
        return ERROR_FILE_NOT_FOUND;
    if (lpType != nullptr)
        *lpType = value->type;
    auto size = static_cast<DWORD>(value->data.size());
    if (lpData != nullptr) {
        if (*lpcbData < size) {
            *lpcbData = size;
            return ERROR_MORE_DATA;
        }
        if (size > 0)
            std::memcpy(lpData, value->data.data(), size);
    }
    if (lpcbData != nullptr)
        *lpcbData = size;
    return ERROR_SUCCESS;
}

// The key behind a handle that may change its values, or null with the status
// Windows gives: a bad handle, a key a machine step removed, no right to write.
RegKey* SimRegistry::writableKey(HKEY hKey, LSTATUS& status) {
    KeyHandle handle;
    if (!resolveKey(hKey, handle)) {
        status = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    RegKey* key = keyOf(handle);
    if (key == nullptr) {
        status = (handle.access & KEY_SET_VALUE) ? ERROR_KEY_DELETED : ERROR_ACCESS_DENIED;
        return nullptr;
    }
    if (!mayWrite(handle, *key)) {
        status = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    return key;
}

LSTATUS SimRegistry::RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD /*Reserved*/,
                                    DWORD dwType, const BYTE* lpData, DWORD cbData) {
    calls_.push_back("RegSetValueExW " + keyText(hKey) + " " + valueText(lpValueName) + " type " +
                     std::to_string(dwType) + ", " + std::to_string(cbData) + " bytes");
    LSTATUS status = 0;
    if (injectFailure("RegSetValueExW", status))
        return status;
    RegKey* key = writableKey(hKey, status);
    if (key == nullptr)
        return status;
    if (lpData == nullptr && cbData > 0)
        return ERROR_NOACCESS;
    RegValue value{lpValueName != nullptr ? lpValueName : u"", dwType, {}};
    if (cbData > 0)
        value.data.assign(lpData, lpData + cbData);
    setValue(*key, std::move(value));
    return ERROR_SUCCESS;
}

LSTATUS SimRegistry::RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
    calls_.push_back("RegDeleteValueW " + keyText(hKey) + " " + valueText(lpValueName));
    LSTATUS status = 0;
    if (injectFailure("RegDeleteValueW", status))
        return status;
    RegKey* key = writableKey(hKey, status);
    if (key == nullptr)
        return status;
    return deleteValue(*key, lpValueName != nullptr ? lpValueName : u"") ? ERROR_SUCCESS
                                                                         : ERROR_FILE_NOT_FOUND;
}

} // namespace tw::sim
