// The real visual styles: uxtheme.dll from the system folder, loaded when
// the object is made. Systems before Windows XP have no such library; there
// each function fails with ERROR_PROC_NOT_FOUND, as IVisualStyles says.
#pragma once

#include "platform/IVisualStyles.h"

#include <memory>

namespace tw::win32 {

class WinVisualStyles final : public win::IVisualStyles {
public:
    WinVisualStyles();
    ~WinVisualStyles() override;
    WinVisualStyles(const WinVisualStyles&) = delete;
    WinVisualStyles& operator=(const WinVisualStyles&) = delete;

    // The library's functions, as GetProcAddress found them.
    struct Functions;

    bool HasUxTheme() override;
    win::BOOL IsAppThemed() override;
    win::BOOL IsThemeActive() override;
    win::DWORD GetThemeAppProperties() override;
    void SetThemeAppProperties(win::DWORD dwFlags) override;
    win::HTHEME OpenThemeData(win::HWND hwnd, win::LPCWSTR pszClassList) override;
    win::COLORREF GetThemeSysColor(win::HTHEME hTheme, int iColorId) override;
    win::HRESULT CloseThemeData(win::HTHEME hTheme) override;

private:
    // Whether the library and every function were found; sets the last
    // error when not.
    bool Available();

    void* library_ = nullptr;
    // Null unless every function was found.
    std::unique_ptr<Functions> functions_;
};

} // namespace tw::win32
