#include "TestSupport.h"

#include "platform/win32/WinHeaders.h"

namespace tw::winetests {

namespace {

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

} // namespace

std::u16string TempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, folder);
    return std::u16string(reinterpret_cast<const char16_t*>(folder), n);
}

unsigned long ProcessId() {
    return ::GetCurrentProcessId();
}

bool WriteBytes(const std::u16string& path, const std::string& bytes) {
    const HANDLE file = ::CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

void RemoveFile(const std::u16string& path) {
    ::DeleteFileW(Wide(path));
}

void RemoveUserKey(const std::u16string& path) {
    ::RegDeleteKeyW(HKEY_CURRENT_USER, Wide(path));
}

void SetEnvironmentVariableForTest(const std::u16string& name, const std::u16string& value) {
    ::SetEnvironmentVariableW(Wide(name), Wide(value));
}

bool SameTextIgnoringCase(const std::u16string& a, const std::u16string& b) {
    return ::lstrcmpiW(Wide(a), Wide(b)) == 0;
}

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

HWND__* CreateStaticWindow(const std::u16string& text) {
    return ::CreateWindowExW(0, L"STATIC", Wide(text), WS_POPUP, 0, 0, 80, 20, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

void DestroyTestWindow(HWND__* hwnd) {
    ::DestroyWindow(hwnd);
}

} // namespace tw::winetests
