// Colours, brushes and fonts of the model as GDI objects, made once and kept
// until the system colours change or the window goes.
#pragma once

#include "toolkit/Types.h"

#include "Win32Windows.h"

#include <map>
#include <vector>

namespace tw::toolkit {

// A model colour as GDI paints it: system colour constants resolve to the
// system's current colour.
COLORREF ResolveColor(Color color);

class GdiCache {
public:
    GdiCache() = default;
    GdiCache(const GdiCache&) = delete;
    GdiCache& operator=(const GdiCache&) = delete;
    ~GdiCache();

    // A solid brush of the colour; system colours use the system's own brushes.
    HBRUSH Brush(Color color);
    // The model font at the given resolution (dots per inch), made once per
    // font and resolution.
    HFONT FontFor(const Font& font, int dpi);
    // After a change of the system colours: concrete brushes are made again.
    void ForgetBrushes();

private:
    std::map<COLORREF, HBRUSH> brushes_;
    struct MadeFont {
        Font font;
        int dpi;
        HFONT handle;
    };
    std::vector<MadeFont> fonts_;
};

} // namespace tw::toolkit
