// System information, names, messages and language functions of kernel32,
// advapi32 and gdi32 that the program calls.
#pragma once

#include "WinTypes.h"

namespace tw::win {

class ISystem {
public:
    virtual ~ISystem() = default;

    // kernel32: version and process.
    virtual BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation) = 0;
    virtual HANDLE GetCurrentProcess() = 0;
    // IsWow64Process does not exist before Windows XP SP2; the real backend
    // looks it up at run time and reports whether it found it.
    virtual bool HasIsWow64Process() = 0;
    virtual BOOL IsWow64Process(HANDLE hProcess, BOOL* Wow64Process) = 0;
    virtual DWORD GetLastError() = 0;

    // kernel32: messages. lpSource and Arguments are always null here.
    virtual DWORD FormatMessageW(DWORD dwFlags, const void* lpSource, DWORD dwMessageId,
                                 DWORD dwLanguageId, LPWSTR lpBuffer, DWORD nSize,
                                 void* Arguments) = 0;

    // advapi32 / kernel32: names.
    virtual BOOL GetUserNameW(LPWSTR lpBuffer, LPDWORD pcbBuffer) = 0;
    virtual BOOL GetComputerNameW(LPWSTR lpBuffer, LPDWORD nSize) = 0;

    // Language and code page (kernel32, gdi32).
    virtual LANGID GetUserDefaultUILanguage() = 0;
    virtual LCID GetThreadLocale() = 0;
    virtual UINT GetACP() = 0;
    virtual BOOL TranslateCharsetInfo(DWORD* lpSrc, CHARSETINFO* lpCs, DWORD dwFlags) = 0;
    // The user's locale settings: LOCALE_SDECIMAL, LOCALE_SLONGDATE. Returns the
    // number of characters written with the NUL, 0 on failure.
    virtual int GetLocaleInfoW(LCID Locale, DWORD LCType, LPWSTR lpLCData, int cchData) = 0;

    // kernel32: environment.
    virtual DWORD ExpandEnvironmentStringsW(LPCWSTR lpSrc, LPWSTR lpDst, DWORD nSize) = 0;
};

} // namespace tw::win
