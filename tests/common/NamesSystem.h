// A system that answers only the names of the user and of the computer, as
// a test sets them: a call that fails, or one that reports a size of its own
// on success. The sizes the caller offered are recorded.
#pragma once

#include "platform/ISystem.h"

#include <algorithm>
#include <optional>
#include <string>

namespace tw::test {

class NamesSystem : public win::ISystem {
public:
    // None: the call fails.
    std::optional<std::u16string> userName = u"alice";
    std::optional<std::u16string> computerName = u"WORKSTATION";
    // Replaces the size a successful call hands back.
    std::optional<win::DWORD> userNameSizeReported;
    std::optional<win::DWORD> computerNameSizeReported;
    win::DWORD userNameSizeOffered = 0;
    win::DWORD computerNameSizeOffered = 0;

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

    win::DWORD GetLastError() override { return lastError_; }
    // Nothing else of the system is asked by the code under test.
    win::BOOL GetVersionExA(win::OSVERSIONINFOA*) override { return 0; }
    win::HANDLE GetCurrentProcess() override { return nullptr; }
    bool HasIsWow64Process() override { return false; }
    win::BOOL IsWow64Process(win::HANDLE, win::BOOL*) override { return 0; }
    win::DWORD FormatMessageW(win::DWORD, const void*, win::DWORD, win::DWORD, win::LPWSTR,
                              win::DWORD, void*) override {
        return 0;
    }
    win::LANGID GetUserDefaultUILanguage() override { return 1033; }
    win::LCID GetThreadLocale() override { return 1033; }
    win::UINT GetACP() override { return 1252; }
    win::BOOL TranslateCharsetInfo(win::DWORD*, win::CHARSETINFO*, win::DWORD) override {
        return 0;
    }
    int GetLocaleInfoW(win::LCID, win::DWORD, win::LPWSTR, int) override { return 0; }
    win::DWORD ExpandEnvironmentStringsW(win::LPCWSTR, win::LPWSTR, win::DWORD) override {
        return 0;
    }

private:
    win::BOOL copyName(const std::optional<std::u16string>& name, win::LPWSTR buffer,
                       win::LPDWORD size, bool sizeCountsNul,
                       const std::optional<win::DWORD>& reported) {
        if (!name) {
            lastError_ = win::ERROR_ACCESS_DENIED;
            return 0;
        }
        const auto needed = static_cast<win::DWORD>(name->size() + 1);
        if (needed > *size) {
            *size = needed;
            lastError_ = win::ERROR_INSUFFICIENT_BUFFER;
            return 0;
        }
        std::copy(name->begin(), name->end(), buffer);
        buffer[name->size()] = 0;
        *size = reported ? *reported : (sizeCountsNul ? needed : needed - 1);
        return 1;
    }

    win::DWORD lastError_ = 0;
};

} // namespace tw::test
