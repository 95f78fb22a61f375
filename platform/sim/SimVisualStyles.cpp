// The visual styles of uxtheme: the theme state of the desktop and of the
// program, theme handles for the class "WINDOW" and their colours. Every
// function fails when the library is missing, and the call is counted.
#include "SimVisualStyles.h"

#include "platform/TextCompare.h"

namespace tw::sim {

using namespace win;

namespace {

// Whether a theme class list ("Button;WINDOW") names the class "WINDOW".
bool namesWindowClass(std::u16string_view classes) {
    std::size_t start = 0;
    while (start <= classes.size()) {
        std::size_t end = classes.find(u';', start);
        if (end == std::u16string_view::npos)
            end = classes.size();
        std::u16string_view name = classes.substr(start, end - start);
        while (!name.empty() && name.front() == u' ')
            name.remove_prefix(1);
        while (!name.empty() && name.back() == u' ')
            name.remove_suffix(1);
        if (EqualsIgnoringCase(name, u"WINDOW"))
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

bool SimVisualStyles::uxThemeCall() {
    if (state_.machine.system.themes.library)
        return true;
    ++missingLibraryCalls_;
    state_.lastError = ERROR_PROC_NOT_FOUND;
    return false;
}

BOOL SimVisualStyles::IsAppThemed() {
    if (!uxThemeCall())
        return 0;
    const ThemeState& themes = state_.machine.system.themes;
    // Without a theme on the desktop nothing is themed, and a program that
    // turned off all its themed parts is not themed any more.
    const DWORD parts = STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS;
    return themes.appThemed && themes.themeActive && (themes.appProperties & parts) != 0 ? 1 : 0;
}

BOOL SimVisualStyles::IsThemeActive() {
    if (!uxThemeCall())
        return 0;
    return state_.machine.system.themes.themeActive ? 1 : 0;
}

DWORD SimVisualStyles::GetThemeAppProperties() {
    if (!uxThemeCall())
        return 0;
    return state_.machine.system.themes.appProperties;
}

void SimVisualStyles::SetThemeAppProperties(DWORD dwFlags) {
    if (!uxThemeCall())
        return;
    state_.machine.system.themes.appProperties = dwFlags;
}

HTHEME SimVisualStyles::OpenThemeData(HWND /*hwnd*/, LPCWSTR pszClassList) {
    if (!uxThemeCall() || state_.windowCallFails("OpenThemeData"))
        return nullptr;
    // No theme data while the desktop or the program is not themed.
    if (IsAppThemed() == 0 || pszClassList == nullptr || !namesWindowClass(pszClassList))
        return nullptr;
    const std::uintptr_t handle = nextTheme_;
    nextTheme_ += 4;
    themes_.insert(handle);
    return reinterpret_cast<HTHEME>(handle);
}

COLORREF SimVisualStyles::GetThemeSysColor(HTHEME hTheme, int iColorId) {
    if (!uxThemeCall())
        return 0;
    // Without theme data the system colour answers.
    if (themes_.count(reinterpret_cast<std::uintptr_t>(hTheme)) == 0 || iColorId < 0)
        return windowSystem_.GetSysColor(iColorId);
    const auto& colors = state_.machine.system.themes.colors;
    auto it = colors.find(static_cast<std::uint32_t>(iColorId));
    return it != colors.end() ? it->second : windowSystem_.GetSysColor(iColorId);
}

HRESULT SimVisualStyles::CloseThemeData(HTHEME hTheme) {
    if (!uxThemeCall())
        return E_HANDLE;
    return themes_.erase(reinterpret_cast<std::uintptr_t>(hTheme)) == 1 ? S_OK : E_HANDLE;
}

} // namespace tw::sim
