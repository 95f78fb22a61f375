// The registry of a simulated computer: HKLM with its 32-bit and 64-bit
// views and HKCU, handles with their access rights, administrator rights for
// HKLM, keys denied for writing, failures injected per function and call.
#pragma once

#include "RegistryTree.h"
#include "SimState.h"

#include "platform/IRegistry.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tw::sim {

class SimRegistry final : public win::IRegistry {
public:
    explicit SimRegistry(SimState& state) : state_(state) {}

    win::LSTATUS RegOpenKeyExW(win::HKEY hKey, win::LPCWSTR lpSubKey, win::DWORD ulOptions,
                               win::REGSAM samDesired, win::HKEY* phkResult) override;
    win::LSTATUS RegCreateKeyExW(win::HKEY hKey, win::LPCWSTR lpSubKey, win::DWORD Reserved,
                                 win::LPWSTR lpClass, win::DWORD dwOptions, win::REGSAM samDesired,
                                 void* lpSecurityAttributes, win::HKEY* phkResult,
                                 win::LPDWORD lpdwDisposition) override;
    win::LSTATUS RegCloseKey(win::HKEY hKey) override;
    win::LSTATUS RegQueryValueExW(win::HKEY hKey, win::LPCWSTR lpValueName, win::LPDWORD lpReserved,
                                  win::LPDWORD lpType, win::LPBYTE lpData,
                                  win::LPDWORD lpcbData) override;
    win::LSTATUS RegSetValueExW(win::HKEY hKey, win::LPCWSTR lpValueName, win::DWORD Reserved,
                                win::DWORD dwType, const win::BYTE* lpData,
                                win::DWORD cbData) override;
    win::LSTATUS RegDeleteValueW(win::HKEY hKey, win::LPCWSTR lpValueName) override;

    // The calls, in order, the key shown by the path it was opened by
    // (before any redirection), access masks in hexadecimal:
    //   "RegOpenKeyExW HKLM\SOFTWARE\...\Winlogon 0x20019"
    //   "RegCreateKeyExW HKCU\Software\Tarnwick 0x20006"
    //   "RegQueryValueExW HKLM\...\Winlogon PasswordExpiryWarning"
    //   "RegSetValueExW HKLM\...\Winlogon PasswordExpiryWarning type 4, 4 bytes"
    //   "RegDeleteValueW HKLM\...\Winlogon PasswordExpiryWarning"
    //   "RegCloseKey HKLM\...\Winlogon"
    // An empty value name shows as "(default)", an unknown handle as its
    // number ("0x1234").
    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // Key handles opened and not yet closed.
    std::size_t openKeyCount() const { return keys_.size(); }

private:
    struct KeyHandle {
        bool hklm = true;
        KeyPath logical;  // as opened, for the log
        KeyPath physical; // where it lies, after the view's redirection
        win::REGSAM access = 0;
        bool predefined = false;
    };
    bool resolveKey(win::HKEY hKey, KeyHandle& handle) const;
    RegKey* keyOf(const KeyHandle& handle);
    bool mayWrite(const KeyHandle& handle, const RegKey& key) const;
    RegKey* writableKey(win::HKEY hKey, win::LSTATUS& status);
    std::string keyText(win::HKEY hKey) const;
    bool injectFailure(const char* function, win::LSTATUS& status);
    win::LSTATUS openKey(const char* function, win::HKEY hKey, win::LPCWSTR lpSubKey,
                         win::REGSAM samDesired, bool create, win::HKEY* phkResult,
                         win::LPDWORD lpdwDisposition);

    SimState& state_;
    std::vector<std::string> calls_;
    // Calls counted for failure injection, by function.
    std::map<std::string, std::uint32_t> callCounts_;
    std::map<std::uintptr_t, KeyHandle> keys_;
    std::uintptr_t nextKey_ = 0x100;
};

} // namespace tw::sim
