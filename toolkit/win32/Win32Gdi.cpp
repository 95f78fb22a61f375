#include "Win32Gdi.h"

#include "Win32Convert.h"

#include <cmath>

namespace tw::toolkit {

namespace {

// 0x80000000 + n names system colour n; anything past the last index is black.
int SystemIndex(Color color) {
    return static_cast<int>(color & 0xFFu);
}

} // namespace

COLORREF ResolveColor(Color color) {
    if (IsSystemColor(color))
        return ::GetSysColor(SystemIndex(color));
    return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

GdiCache::~GdiCache() {
    ForgetBrushes();
    for (auto& entry : fonts_)
        ::DeleteObject(entry.handle);
}

HBRUSH GdiCache::Brush(Color color) {
    if (IsSystemColor(color)) {
        if (HBRUSH system = ::GetSysColorBrush(SystemIndex(color)))
            return system;
    }
    const COLORREF rgb = ResolveColor(color);
    auto it = brushes_.find(rgb);
    if (it == brushes_.end())
        it = brushes_.emplace(rgb, ::CreateSolidBrush(rgb)).first;
    return it->second;
}

HFONT GdiCache::FontFor(const Font& font, int dpi) {
    for (const auto& entry : fonts_) {
        if (entry.dpi == dpi && entry.font == font)
            return entry.handle;
    }
    const int height = -static_cast<int>(std::lround(font.Size * dpi / 72.0));
    HFONT made =
        ::CreateFontW(height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                      static_cast<DWORD>(font.Charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, win32text::Wide(font.Name));
    fonts_.push_back({font, dpi, made});
    return made;
}

void GdiCache::ForgetBrushes() {
    for (auto& entry : brushes_)
        ::DeleteObject(entry.second);
    brushes_.clear();
}

} // namespace tw::toolkit
