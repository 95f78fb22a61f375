// The visual styles (uxtheme) of a simulated computer, which may be missing:
// the theme state of the desktop and of the program, theme handles for the
// class "WINDOW" and their colours, the window system's colours where the
// theme has none.
#pragma once

#include "SimState.h"

#include "platform/IVisualStyles.h"
#include "platform/IWindowSystem.h"

#include <cstdint>
#include <set>

namespace tw::sim {

class SimVisualStyles final : public win::IVisualStyles {
public:
    SimVisualStyles(SimState& state, win::IWindowSystem& windowSystem)
        : state_(state), windowSystem_(windowSystem) {}

    bool HasUxTheme() override { return state_.machine.system.themes.library; }
    win::BOOL IsAppThemed() override;
    win::BOOL IsThemeActive() override;
    win::DWORD GetThemeAppProperties() override;
    void SetThemeAppProperties(win::DWORD dwFlags) override;
    win::HTHEME OpenThemeData(win::HWND hwnd, win::LPCWSTR pszClassList) override;
    win::COLORREF GetThemeSysColor(win::HTHEME hTheme, int iColorId) override;
    win::HRESULT CloseThemeData(win::HTHEME hTheme) override;

    // Theme handles opened and not yet closed.
    std::size_t openThemes() const { return themes_.size(); }
    // Calls of uxtheme functions made while the library is missing.
    std::size_t missingLibraryCalls() const { return missingLibraryCalls_; }

private:
    bool uxThemeCall();

    SimState& state_;
    win::IWindowSystem& windowSystem_;
    std::set<std::uintptr_t> themes_; // open theme handles
    std::uintptr_t nextTheme_ = 0x30000;
    std::size_t missingLibraryCalls_ = 0;
};

} // namespace tw::sim
