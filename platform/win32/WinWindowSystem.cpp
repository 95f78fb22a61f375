#include "WinWindowSystem.h"

#include "WinHeaders.h"

namespace tw::win32 {

namespace w = tw::win;

namespace {

// The program's handle types are its own incomplete structs; the SDK's are
// others of the same size. Handles and procedures pass as they are.
template <typename To, typename From> To Sdk(From value) {
    static_assert(sizeof(To) == sizeof(From));
    return reinterpret_cast<To>(value);
}

// The same sizes under other names (int where the SDK says long, in 32 bits).
static_assert(sizeof(w::LRESULT) == sizeof(::LRESULT) && sizeof(w::WPARAM) == sizeof(::WPARAM) &&
                  sizeof(w::LPARAM) == sizeof(::LPARAM) &&
                  sizeof(w::LONG_PTR) == sizeof(::LONG_PTR),
              "message parameters and results are pointer-sized as the SDK's");

} // namespace

w::DWORD WinWindowSystem::GetSysColor(int nIndex) {
    return ::GetSysColor(nIndex);
}

int WinWindowSystem::GetSystemMetrics(int nIndex) {
    return ::GetSystemMetrics(nIndex);
}

w::BOOL WinWindowSystem::SystemParametersInfoW(w::UINT uiAction, w::UINT uiParam, w::PVOID pvParam,
                                               w::UINT fWinIni) {
    return ::SystemParametersInfoW(uiAction, uiParam, pvParam, fWinIni);
}

w::HANDLE WinWindowSystem::LoadImageW(w::HINSTANCE hInst, w::LPCWSTR name, w::UINT type, int cx,
                                      int cy, w::UINT fuLoad) {
    return ::LoadImageW(Sdk<::HINSTANCE>(hInst), Sdk<::LPCWSTR>(name), type, cx, cy, fuLoad);
}

w::BOOL WinWindowSystem::DestroyIcon(w::HICON hIcon) {
    return ::DestroyIcon(Sdk<::HICON>(hIcon));
}

w::LRESULT WinWindowSystem::SendMessageW(w::HWND hWnd, w::UINT Msg, w::WPARAM wParam,
                                         w::LPARAM lParam) {
    return ::SendMessageW(Sdk<::HWND>(hWnd), Msg, static_cast<::WPARAM>(wParam),
                          static_cast<::LPARAM>(lParam));
}

w::LONG_PTR WinWindowSystem::SetWindowLongW(w::HWND hWnd, int nIndex, w::LONG_PTR dwNewLong) {
    return ::SetWindowLongPtrW(Sdk<::HWND>(hWnd), nIndex, static_cast<::LONG_PTR>(dwNewLong));
}

w::LRESULT WinWindowSystem::CallWindowProcW(w::WNDPROC lpPrevWndFunc, w::HWND hWnd, w::UINT Msg,
                                            w::WPARAM wParam, w::LPARAM lParam) {
    return ::CallWindowProcW(Sdk<::WNDPROC>(lpPrevWndFunc), Sdk<::HWND>(hWnd), Msg,
                             static_cast<::WPARAM>(wParam), static_cast<::LPARAM>(lParam));
}

w::HHOOK WinWindowSystem::SetWindowsHookExW(int idHook, w::HOOKPROC lpfn, w::HINSTANCE hmod,
                                            w::DWORD dwThreadId) {
    return Sdk<w::HHOOK>(
        ::SetWindowsHookExW(idHook, Sdk<::HOOKPROC>(lpfn), Sdk<::HINSTANCE>(hmod), dwThreadId));
}

w::BOOL WinWindowSystem::UnhookWindowsHookEx(w::HHOOK hhk) {
    return ::UnhookWindowsHookEx(Sdk<::HHOOK>(hhk));
}

w::LRESULT WinWindowSystem::CallNextHookEx(w::HHOOK hhk, int nCode, w::WPARAM wParam,
                                           w::LPARAM lParam) {
    return ::CallNextHookEx(Sdk<::HHOOK>(hhk), nCode, static_cast<::WPARAM>(wParam),
                            static_cast<::LPARAM>(lParam));
}

w::BOOL WinWindowSystem::GetKeyboardState(w::PBYTE lpKeyState) {
    return ::GetKeyboardState(lpKeyState);
}

w::DWORD WinWindowSystem::GetCurrentThreadId() {
    return ::GetCurrentThreadId();
}

w::HMODULE WinWindowSystem::GetModuleHandleW(w::LPCWSTR lpModuleName) {
    return Sdk<w::HMODULE>(::GetModuleHandleW(Sdk<::LPCWSTR>(lpModuleName)));
}

} // namespace tw::win32
