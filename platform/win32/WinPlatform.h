// The real Windows platform: every call goes to the function of the same name
// in netapi32, advapi32, kernel32 or gdi32; the window system (user32) and the
// visual styles (uxtheme, loaded at run time) are parts of their own. The
// records of platform/WinTypes.h are checked at compile time against the
// SDK's, so buffers handed out by Windows are read through them as they stand.
#pragma once

#include "platform/Platform.h"

#include "WinVisualStyles.h"
#include "WinWindowSystem.h"

namespace tw::win32 {

class WinPlatform final : public win::INetApi,
                          public win::ISystem,
                          public win::IRegistry,
                          public win::IFileSystem {
public:
    WinPlatform();
    WinPlatform(const WinPlatform&) = delete;
    WinPlatform& operator=(const WinPlatform&) = delete;

    // The platform as the program's objects take it.
    win::Platform& platform() { return platform_; }

    // INetApi
    win::NET_API_STATUS NetUserEnum(win::LPCWSTR servername, win::DWORD level, win::DWORD filter,
                                    win::LPBYTE* bufptr, win::DWORD prefmaxlen,
                                    win::LPDWORD entriesread, win::LPDWORD totalentries,
                                    win::PDWORD resume_handle) override;
    win::NET_API_STATUS NetUserGetInfo(win::LPCWSTR servername, win::LPCWSTR username,
                                       win::DWORD level, win::LPBYTE* bufptr) override;
    win::NET_API_STATUS NetUserSetInfo(win::LPCWSTR servername, win::LPCWSTR username,
                                       win::DWORD level, win::LPBYTE buf,
                                       win::LPDWORD parm_err) override;
    win::NET_API_STATUS NetUserModalsGet(win::LPCWSTR servername, win::DWORD level,
                                         win::LPBYTE* bufptr) override;
    win::NET_API_STATUS NetUserModalsSet(win::LPCWSTR servername, win::DWORD level, win::LPBYTE buf,
                                         win::LPDWORD parm_err) override;
    win::NET_API_STATUS NetApiBufferFree(win::LPVOID Buffer) override;

    // ISystem
    win::BOOL GetVersionExA(win::OSVERSIONINFOA* lpVersionInformation) override;
    win::HANDLE GetCurrentProcess() override;
    bool HasIsWow64Process() override;
    win::BOOL IsWow64Process(win::HANDLE hProcess, win::BOOL* Wow64Process) override;
    win::DWORD GetLastError() override;
    win::DWORD FormatMessageW(win::DWORD dwFlags, const void* lpSource, win::DWORD dwMessageId,
                              win::DWORD dwLanguageId, win::LPWSTR lpBuffer, win::DWORD nSize,
                              void* Arguments) override;
    win::BOOL GetUserNameW(win::LPWSTR lpBuffer, win::LPDWORD pcbBuffer) override;
    win::BOOL GetComputerNameW(win::LPWSTR lpBuffer, win::LPDWORD nSize) override;
    win::LANGID GetUserDefaultUILanguage() override;
    win::LCID GetThreadLocale() override;
    win::UINT GetACP() override;
    win::BOOL TranslateCharsetInfo(win::DWORD* lpSrc, win::CHARSETINFO* lpCs,
                                   win::DWORD dwFlags) override;
    int GetLocaleInfoW(win::LCID Locale, win::DWORD LCType, win::LPWSTR lpLCData,
                       int cchData) override;
    win::DWORD ExpandEnvironmentStringsW(win::LPCWSTR lpSrc, win::LPWSTR lpDst,
                                         win::DWORD nSize) override;

    // IRegistry
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

    // IFileSystem
    win::DWORD GetFileAttributesW(win::LPCWSTR lpFileName) override;
    bool ReadWholeFile(win::LPCWSTR lpFileName, std::vector<win::BYTE>& bytes) override;

private:
    // IsWow64Process, looked up at run time: older systems do not have it.
    void (*isWow64Process_)() = nullptr;
    WinWindowSystem windowSystem_;
    WinVisualStyles visualStyles_;
    win::Platform platform_;
};

} // namespace tw::win32
