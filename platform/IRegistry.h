// The registry functions of advapi32.
#pragma once

#include "WinTypes.h"

namespace tw::win {

class IRegistry {
public:
    virtual ~IRegistry() = default;

    virtual LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                  HKEY* phkResult) = 0;
    virtual LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass,
                                    DWORD dwOptions, REGSAM samDesired,
                                    void* lpSecurityAttributes, HKEY* phkResult,
                                    LPDWORD lpdwDisposition) = 0;
    virtual LSTATUS RegCloseKey(HKEY hKey) = 0;
    virtual LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved,
                                     LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) = 0;
    virtual LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                                   const BYTE* lpData, DWORD cbData) = 0;
    virtual LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) = 0;
};

} // namespace tw::win
