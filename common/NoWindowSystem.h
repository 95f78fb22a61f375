// A computer without a window system: every window function fails and the
// visual-styles library is missing. It carries no state.
#pragma once

#include "platform/IVisualStyles.h"
#include "platform/IWindowSystem.h"

namespace tw {

class NoWindowSystem final : public win::IWindowSystem, public win::IVisualStyles {
public:
    win::DWORD GetSysColor(int) override { return 0; }
    int GetSystemMetrics(int) override { return 0; }
    win::BOOL SystemParametersInfoW(win::UINT, win::UINT, win::PVOID, win::UINT) override {
        return 0;
    }
    win::HANDLE LoadImageW(win::HINSTANCE, win::LPCWSTR, win::UINT, int, int, win::UINT) override {
        return nullptr;
    }
    win::BOOL DestroyIcon(win::HICON) override { return 0; }
    win::LRESULT SendMessageW(win::HWND, win::UINT, win::WPARAM, win::LPARAM) override { return 0; }
    win::LONG_PTR SetWindowLongW(win::HWND, int, win::LONG_PTR) override { return 0; }
    win::LRESULT CallWindowProcW(win::WNDPROC, win::HWND, win::UINT, win::WPARAM,
                                 win::LPARAM) override {
        return 0;
    }
    win::HHOOK SetWindowsHookExW(int, win::HOOKPROC, win::HINSTANCE, win::DWORD) override {
        return nullptr;
    }
    win::BOOL UnhookWindowsHookEx(win::HHOOK) override { return 0; }
    win::LRESULT CallNextHookEx(win::HHOOK, int, win::WPARAM, win::LPARAM) override { return 0; }
    win::BOOL GetKeyboardState(win::PBYTE) override { return 0; }
    win::DWORD GetCurrentThreadId() override { return 0; }
    win::HMODULE GetModuleHandleW(win::LPCWSTR) override { return nullptr; }

    bool HasUxTheme() override { return false; }
    win::BOOL IsAppThemed() override { return 0; }
    win::BOOL IsThemeActive() override { return 0; }
    win::DWORD GetThemeAppProperties() override { return 0; }
    void SetThemeAppProperties(win::DWORD) override {}
    win::HTHEME OpenThemeData(win::HWND, win::LPCWSTR) override { return nullptr; }
    win::COLORREF GetThemeSysColor(win::HTHEME, int) override { return 0; }
    win::HRESULT CloseThemeData(win::HTHEME) override { return win::E_HANDLE; }
};

} // namespace tw
