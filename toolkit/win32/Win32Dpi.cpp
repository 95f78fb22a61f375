#include "Win32Dpi.h"

namespace tw::toolkit::win32dpi {

namespace {

template <class Function> Function User32Function(const char* name) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(user32, name)));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

int Scaled(int value, int to, int from) {
    return from > 0 ? ::MulDiv(value, to, from) : value;
}

} // namespace

int SystemDpi() {
    int dpi = 0;
    if (HDC screen = ::GetDC(nullptr)) {
        dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int WindowDpi(HWND hwnd) {
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && hwnd != nullptr) {
        if (const UINT dpi = getDpiForWindow(hwnd); dpi > 0)
            return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int SystemMetric(int index, int dpi) {
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi != nullptr)
        return forDpi(index, static_cast<UINT>(dpi));
    return Scaled(::GetSystemMetrics(index), dpi, SystemDpi());
}

void AdjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    static const auto forDpi =
        User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    if (forDpi != nullptr && forDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        return;
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

HFONT CreateToolTipFont(int dpi) {
    static const auto forDpi =
        User32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (forDpi != nullptr &&
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi)))
        return ::CreateFontIndirectW(&metrics.lfStatusFont);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return nullptr;
    // The system's answer is at the system's resolution.
    metrics.lfStatusFont.lfHeight = Scaled(metrics.lfStatusFont.lfHeight, dpi, SystemDpi());
    return ::CreateFontIndirectW(&metrics.lfStatusFont);
}

} // namespace tw::toolkit::win32dpi
