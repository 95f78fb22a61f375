// Conversions at the edge between the window model and Qt: text, twips,
// colours and fonts.
#pragma once

#include "toolkit/Types.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include <string>

namespace tw::toolkit {

inline QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}
inline std::u16string ToU16(const QString& text) {
    return text.toStdU16String();
}

// Twips to pixels at `dpi` dots per inch (1440 twips to the inch).
int TwipsToPixels(double twips, int dpi);

// The palette role that stands for a system colour index, as the window
// system paints it (button face, window background, window text...).
QPalette::ColorRole SystemColorRole(unsigned index);

// A model colour as Qt paints it: concrete 0x00BBGGRR colours as they are,
// system colours from `palette`.
QColor ResolveColor(Color color, const QPalette& palette);

// The Qt font for a model font. The classic Windows dialog faces are not on
// Linux, so they become a sans-serif family of similar metrics; the character
// set is not needed for Unicode text.
QFont ToQFont(const Font& font);

} // namespace tw::toolkit
