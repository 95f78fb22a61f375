// The window-system functions of user32 that the program calls (colours,
// metrics, icons, messages, window procedures, the keyboard-cue setting and
// thread hooks), with the two kernel32 functions the hooks and the icon need.
#pragma once

#include "WinTypes.h"

namespace tw::win {

class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;

    // Colours, metrics and settings.
    virtual DWORD GetSysColor(int nIndex) = 0;
    virtual int GetSystemMetrics(int nIndex) = 0;
    virtual BOOL SystemParametersInfoW(UINT uiAction, UINT uiParam, PVOID pvParam,
                                       UINT fWinIni) = 0;

    // Icons.
    virtual HANDLE LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy,
                              UINT fuLoad) = 0;
    virtual BOOL DestroyIcon(HICON hIcon) = 0;

    // Messages and window procedures. SetWindowLongW is pointer-sized here, as
    // a window procedure is: the real backend calls SetWindowLongPtrW, which
    // is SetWindowLongW itself in a 32-bit program.
    virtual LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual LONG_PTR SetWindowLongW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) = 0;
    virtual LRESULT CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                                    LPARAM lParam) = 0;

    // Hooks and the keyboard state (256 bytes, one per virtual key).
    virtual HHOOK SetWindowsHookExW(int idHook, HOOKPROC lpfn, HINSTANCE hmod,
                                    DWORD dwThreadId) = 0;
    virtual BOOL UnhookWindowsHookEx(HHOOK hhk) = 0;
    virtual LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL GetKeyboardState(PBYTE lpKeyState) = 0;

    // kernel32: the thread the hooks belong to, the module the icon is in.
    virtual DWORD GetCurrentThreadId() = 0;
    virtual HMODULE GetModuleHandleW(LPCWSTR lpModuleName) = 0;
};

} // namespace tw::win
