#include "TestSupport.h"

#include "platform/win32/WinHeaders.h"
#include "toolkit/win32/Win32Convert.h"

namespace tw::winetests {

using toolkit::win32text::Wide;

void RemoveUserKey(const std::u16string& path) {
    ::RegDeleteKeyW(HKEY_CURRENT_USER, Wide(path));
}

void SetEnvironmentVariableForTest(const std::u16string& name, const std::u16string& value) {
    ::SetEnvironmentVariableW(Wide(name), Wide(value));
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
