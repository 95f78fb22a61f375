// The real window system: each call goes to the user32 (or kernel32) function
// of the same name. Window and hook procedures pass through unchanged: the
// program's procedures have the Windows calling convention (TW_CALLBACK).
#pragma once

#include "platform/IWindowSystem.h"

namespace tw::win32 {

class WinWindowSystem final : public win::IWindowSystem {
public:
    win::DWORD GetSysColor(int nIndex) override;
    int GetSystemMetrics(int nIndex) override;
    win::BOOL SystemParametersInfoW(win::UINT uiAction, win::UINT uiParam, win::PVOID pvParam,
                                    win::UINT fWinIni) override;

    win::HANDLE LoadImageW(win::HINSTANCE hInst, win::LPCWSTR name, win::UINT type, int cx, int cy,
                           win::UINT fuLoad) override;
    win::BOOL DestroyIcon(win::HICON hIcon) override;

    win::LRESULT SendMessageW(win::HWND hWnd, win::UINT Msg, win::WPARAM wParam,
                              win::LPARAM lParam) override;
    // SetWindowLongPtrW: a window procedure does not fit 32 bits in a 64-bit program.
    win::LONG_PTR SetWindowLongW(win::HWND hWnd, int nIndex, win::LONG_PTR dwNewLong) override;
    win::LRESULT CallWindowProcW(win::WNDPROC lpPrevWndFunc, win::HWND hWnd, win::UINT Msg,
                                 win::WPARAM wParam, win::LPARAM lParam) override;

    win::HHOOK SetWindowsHookExW(int idHook, win::HOOKPROC lpfn, win::HINSTANCE hmod,
                                 win::DWORD dwThreadId) override;
    win::BOOL UnhookWindowsHookEx(win::HHOOK hhk) override;
    win::LRESULT CallNextHookEx(win::HHOOK hhk, int nCode, win::WPARAM wParam,
                                win::LPARAM lParam) override;
    win::BOOL GetKeyboardState(win::PBYTE lpKeyState) override;

    win::DWORD GetCurrentThreadId() override;
    win::HMODULE GetModuleHandleW(win::LPCWSTR lpModuleName) override;
};

} // namespace tw::win32
