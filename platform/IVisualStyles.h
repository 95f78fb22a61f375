// The visual-styles functions of uxtheme. The library does not exist before
// Windows XP: the real backend loads it at run time, and a program that calls
// one of its functions where it is missing gets an error instead of a result.
#pragma once

#include "WinTypes.h"

namespace tw::win {

class IVisualStyles {
public:
    virtual ~IVisualStyles() = default;

    // Whether uxtheme and its functions were found. When false, each function
    // below fails (returns 0, a null handle or E_HANDLE and does nothing) and
    // a program must treat the call as one that raised an error.
    virtual bool HasUxTheme() = 0;

    virtual BOOL IsAppThemed() = 0;
    virtual BOOL IsThemeActive() = 0;
    virtual DWORD GetThemeAppProperties() = 0;
    virtual void SetThemeAppProperties(DWORD dwFlags) = 0;
    virtual HTHEME OpenThemeData(HWND hwnd, LPCWSTR pszClassList) = 0;
    virtual COLORREF GetThemeSysColor(HTHEME hTheme, int iColorId) = 0;
    virtual HRESULT CloseThemeData(HTHEME hTheme) = 0;
};

} // namespace tw::win
