// Visual styles, the window's colour roles and icons, and the message thunk
// of the subclassed window.
#include "mCommon.h"

#include <algorithm>
#include <string>

namespace tw {

namespace {

constexpr std::uint32_t kSystemColorBit = 0x80000000u;
constexpr std::u16string_view kWindowClass = u"WINDOW";

constexpr std::uint32_t SystemColor(int index) {
    return kSystemColorBit + static_cast<std::uint32_t>(index);
}

} // namespace

void mCommon::DetectVisualStyles() {
    if (!isXPOrLater_) {
        themesActive_ = false;
        themeLibraryPresent_ = false;
        return;
    }
    // The library may be missing. A call into it then raises an error, which is
    // suppressed: the flag that call would have set keeps its value.
    themeLibraryPresent_ = visualStyles_.HasUxTheme();
    if (!themeLibraryPresent_)
        return;
    themesActive_ = visualStyles_.IsAppThemed() != 0;
    if (themesActive_)
        themesActive_ = visualStyles_.IsThemeActive() != 0;
    if (themesActive_)
        themesActive_ = (visualStyles_.GetThemeAppProperties() & win::STAP_ALLOW_NONCLIENT) != 0;
}

void mCommon::EnsureThemeData(win::HTHEME& theme, win::HWND window, bool force,
                              std::u16string_view classes) {
    if (!themeLibraryPresent_)
        return;
    if (theme != nullptr && (force || !themesActive_)) {
        visualStyles_.CloseThemeData(theme);
        theme = nullptr;
    }
    if (theme == nullptr && themesActive_)
        theme = visualStyles_.OpenThemeData(window, std::u16string(classes).c_str());
}

std::uint32_t mCommon::ResolveThemeColor(std::uint32_t color, win::HWND window, win::HTHEME& theme,
                                         bool force, std::u16string_view classes, bool closeAfter,
                                         bool fallback) {
    if ((color & kSystemColorBit) == 0)
        return color;
    EnsureThemeData(theme, window, force, classes);
    const int index = static_cast<int>(color & 0xFFFFFF);
    if (theme != nullptr) {
        const std::uint32_t themed = visualStyles_.GetThemeSysColor(theme, index);
        if (closeAfter) {
            visualStyles_.CloseThemeData(theme);
            theme = nullptr;
        }
        return themed;
    }
    if (fallback)
        return windowSystem_.GetSysColor(index);
    // The constant stays: the toolkit resolves it when it paints, so it
    // follows later changes of the system colours by itself.
    return color;
}

std::uint32_t mCommon::SysColorToRgb(std::uint32_t color) {
    if ((color & kSystemColorBit) != 0)
        return windowSystem_.GetSysColor(static_cast<int>(color & 0x7FF));
    return color;
}

std::uint32_t mCommon::BlendColors(std::uint32_t a, std::uint32_t b) {
    const std::uint32_t x = SysColorToRgb(a);
    const std::uint32_t y = SysColorToRgb(b);
    std::uint32_t blended = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t sum = ((x >> shift) & 0xFF) + ((y >> shift) & 0xFF);
        blended |= (sum / 2) << shift;
    }
    return blended;
}

FormColors mCommon::ResolveFormColors(win::HWND window) {
    // One theme handle for the five lookups; the last one closes it.
    win::HTHEME theme = nullptr;
    auto resolve = [&](int index, bool closeAfter) {
        return ResolveThemeColor(SystemColor(index), window, theme, false, kWindowClass, closeAfter,
                                 false);
    };
    FormColors colors{};
    colors.face = resolve(win::COLOR_BTNFACE, false);
    colors.text = resolve(win::COLOR_BTNTEXT, false);
    colors.back = resolve(win::COLOR_WINDOW, false);
    colors.backText = resolve(win::COLOR_WINDOWTEXT, false);
    colors.dark = resolve(win::COLOR_3DDKSHADOW, true);
    return colors;
}

FieldColors mCommon::ResolveFieldColors(win::HWND window, bool active) {
    win::HTHEME theme = nullptr;
    FieldColors colors{};
    colors.back = ResolveThemeColor(SystemColor(win::COLOR_WINDOW), window, theme, false,
                                    kWindowClass, false, false);
    colors.text = ResolveThemeColor(SystemColor(win::COLOR_WINDOWTEXT), window, theme, false,
                                    kWindowClass, true, false);
    if (active)
        colors.back = BlendColors(colors.back, kFieldHighlight);
    return colors;
}

void mCommon::SetFormIcons(win::HWND window) {
    const win::HMODULE module = windowSystem_.GetModuleHandleW(nullptr);
    SetFormIcon(window, module, win::SM_CXSMICON, win::SM_CYSMICON, win::ICON_SMALL);
    SetFormIcon(window, module, win::SM_CXICON, win::SM_CYICON, win::ICON_BIG);
}

void mCommon::SetFormIcon(win::HWND window, win::HMODULE module, int widthMetric, int heightMetric,
                          win::WPARAM which) {
    // The system picks the best of the group's images for the size.
    const auto icon = static_cast<win::HICON>(windowSystem_.LoadImageW(
        module, win::MAKEINTRESOURCEW_(1), win::IMAGE_ICON,
        windowSystem_.GetSystemMetrics(widthMetric), windowSystem_.GetSystemMetrics(heightMetric),
        win::LR_DEFAULTCOLOR));
    if (icon == nullptr)
        return; // the window keeps the icon it has
    const auto replaced = reinterpret_cast<win::HICON>(windowSystem_.SendMessageW(
        window, win::WM_SETICON, which, reinterpret_cast<win::LPARAM>(icon)));
    iconsSet_.push_back(icon);
    // Only an icon of our own is ours to destroy; one the window had from
    // elsewhere (its class) is not.
    auto ours = std::find(iconsSet_.begin(), iconsSet_.end(), replaced);
    if (replaced != nullptr && replaced != icon && ours != iconsSet_.end()) {
        iconsSet_.erase(ours);
        windowSystem_.DestroyIcon(replaced);
    }
}

void mCommon::SetSubclassedForm(ISubclassedWindow* window) {
    subclassedForm_ = window;
    if (window != nullptr)
        subclassOwner_ = this;
    else if (subclassOwner_ == this)
        subclassOwner_ = nullptr;
}

win::LRESULT TW_CALLBACK mCommon::MessageThunk(win::HWND hWnd, win::UINT uMsg, win::WPARAM wParam,
                                               win::LPARAM lParam) {
    mCommon* self = subclassOwner_;
    if (self == nullptr || self->subclassedForm_ == nullptr)
        return 0; // the window outlived the program's object: nothing to hand it to
    return self->subclassedForm_->WindowProc(hWnd, uMsg, wParam, lParam);
}

} // namespace tw
