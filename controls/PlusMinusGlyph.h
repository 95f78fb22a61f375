// The spinner's two buttons drawn at any pixel size: a white square with a
// silver frame and transparent corners, and a red plus or a blue minus bar.
// At 8 x 8 pixels this is the design icon pixel for pixel; larger sizes
// scale the frame and the bars whole pixels at a time, centred, so that the
// glyph stays sharp and symmetric.
#pragma once

#include "toolkit/Picture.h"

namespace tw::controls {

enum class PlusMinusGlyph { Minus, Plus };

// The glyph's design size in pixels (96 dots per inch).
constexpr int kPlusMinusDesignSize = 8;

// The frame's thickness at a size: one design pixel, scaled, at least one.
int GlyphFrameThickness(int width, int height);
// A bar's thickness across a side of `side` pixels: two design pixels,
// scaled, with the parity of the side so that the bar lies exactly in the
// middle.
int GlyphBarThickness(int side, int width, int height);

toolkit::Picture DrawPlusMinusGlyph(PlusMinusGlyph glyph, int width, int height);

} // namespace tw::controls
