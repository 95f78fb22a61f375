// The system functions of a simulated computer: its version and WOW64, the
// system message table (with the machine's own messages), the user's and
// the computer's names, language, code page, locale settings and
// environment; GetLastError as the functions of every part set it.
#pragma once

#include "SimState.h"

#include "platform/ISystem.h"

namespace tw::sim {

class SimSystem final : public win::ISystem {
public:
    explicit SimSystem(SimState& state) : state_(state) {}

    win::BOOL GetVersionExA(win::OSVERSIONINFOA* lpVersionInformation) override;
    win::HANDLE GetCurrentProcess() override;
    bool HasIsWow64Process() override;
    win::BOOL IsWow64Process(win::HANDLE hProcess, win::BOOL* Wow64Process) override;
    win::DWORD GetLastError() override { return state_.lastError; }
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

private:
    SimState& state_;
};

} // namespace tw::sim
