// A hand-written ISystem for unit tests: every answer is a public field a
// test sets, and the arguments of the calls that matter are recorded.
#pragma once

#include "platform/ISystem.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tw::test {

class FakeSystem : public win::ISystem {
public:
    // GetVersionExA: copied into the caller's record when versionSucceeds.
    win::OSVERSIONINFOA version = nt(6, 1);
    bool versionSucceeds = true;

    // IsWow64Process.
    bool hasIsWow64Process = true;
    win::BOOL isWow64Result = 1;
    win::BOOL wow64Flag = 0;

    // FormatMessageW: the system's message table.
    std::map<win::DWORD, std::u16string> messages;
    win::DWORD lastError = 0;

    // Names: none means the call fails. A reported size, when set, replaces
    // the size the call would hand back on success.
    std::optional<std::u16string> userName = u"alice";
    std::optional<std::u16string> computerName = u"WORKSTATION";
    std::optional<win::DWORD> userNameSizeReported;
    std::optional<win::DWORD> computerNameSizeReported;
    win::DWORD userNameSizeOffered = 0;
    win::DWORD computerNameSizeOffered = 0;

    // Language and code page.
    win::LANGID uiLanguage = 1033;
    win::LCID threadLocale = 1033;
    win::UINT acp = 1252;
    std::map<win::UINT, win::UINT> charsetByCodePage{{1252, 0}, {1250, 238}, {1251, 204}};

    static win::OSVERSIONINFOA nt(win::DWORD majorVersion, win::DWORD minorVersion,
                                  win::DWORD platform = win::VER_PLATFORM_WIN32_NT) {
        win::OSVERSIONINFOA v{};
        v.dwOSVersionInfoSize = sizeof(v);
        v.dwMajorVersion = majorVersion;
        v.dwMinorVersion = minorVersion;
        v.dwPlatformId = platform;
        return v;
    }

    win::BOOL GetVersionExA(win::OSVERSIONINFOA* info) override {
        if (!versionSucceeds)
            return 0;
        *info = version;
        return 1;
    }
    win::HANDLE GetCurrentProcess() override { return kProcess; }
    bool HasIsWow64Process() override { return hasIsWow64Process; }
    win::BOOL IsWow64Process(win::HANDLE, win::BOOL* flag) override {
        if (isWow64Result != 0)
            *flag = wow64Flag;
        return isWow64Result;
    }
    win::DWORD GetLastError() override { return lastError; }

    // Like the system: the message with its NUL must fit in the buffer.
    win::DWORD FormatMessageW(win::DWORD, const void*, win::DWORD id, win::DWORD,
                              win::LPWSTR buffer, win::DWORD size, void*) override {
        const auto it = messages.find(id);
        if (it == messages.end()) {
            lastError = win::ERROR_MR_MID_NOT_FOUND;
            return 0;
        }
        if (it->second.size() + 1 > size) {
            lastError = win::ERROR_INSUFFICIENT_BUFFER;
            return 0;
        }
        std::copy(it->second.begin(), it->second.end(), buffer);
        buffer[it->second.size()] = 0;
        return static_cast<win::DWORD>(it->second.size());
    }

    // The size handed back counts the NUL.
    win::BOOL GetUserNameW(win::LPWSTR buffer, win::LPDWORD size) override {
        userNameSizeOffered = *size;
        return copyName(userName, buffer, size, true, userNameSizeReported);
    }
    // The size handed back does not count the NUL.
    win::BOOL GetComputerNameW(win::LPWSTR buffer, win::LPDWORD size) override {
        computerNameSizeOffered = *size;
        return copyName(computerName, buffer, size, false, computerNameSizeReported);
    }

    win::LANGID GetUserDefaultUILanguage() override { return uiLanguage; }
    win::LCID GetThreadLocale() override { return threadLocale; }
    win::UINT GetACP() override { return acp; }
    // With TCI_SRCCODEPAGE the source "pointer" carries the code page itself.
    win::BOOL TranslateCharsetInfo(win::DWORD* source, win::CHARSETINFO* info,
                                   win::DWORD) override {
        const auto it = charsetByCodePage.find(
            static_cast<win::UINT>(reinterpret_cast<win::ULONG_PTR>(source)));
        if (it == charsetByCodePage.end())
            return 0;
        info->ciCharset = it->second;
        info->ciACP = it->first;
        return 1;
    }
    int GetLocaleInfoW(win::LCID, win::DWORD, win::LPWSTR, int) override { return 0; }
    win::DWORD ExpandEnvironmentStringsW(win::LPCWSTR, win::LPWSTR, win::DWORD) override {
        return 0;
    }

    static inline win::HANDLE const kProcess = reinterpret_cast<win::HANDLE>(-1);

private:
    win::BOOL copyName(const std::optional<std::u16string>& name, win::LPWSTR buffer,
                       win::LPDWORD size, bool sizeCountsNul,
                       const std::optional<win::DWORD>& reported) {
        if (!name) {
            lastError = win::ERROR_ACCESS_DENIED;
            return 0;
        }
        const auto needed = static_cast<win::DWORD>(name->size() + 1);
        if (needed > *size) {
            *size = needed;
            lastError = win::ERROR_INSUFFICIENT_BUFFER;
            return 0;
        }
        std::copy(name->begin(), name->end(), buffer);
        buffer[name->size()] = 0;
        *size = reported ? *reported : (sizeCountsNul ? needed : needed - 1);
        return 1;
    }
};

} // namespace tw::test
