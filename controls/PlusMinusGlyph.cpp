#include "PlusMinusGlyph.h"

#include <algorithm>
#include <cmath>

namespace tw::controls {

namespace {

constexpr std::uint32_t kSilver = 0xC0C0C0u;
constexpr std::uint32_t kWhite = 0xFFFFFFu;
constexpr std::uint32_t kRed = 0xFF0000u;
constexpr std::uint32_t kBlue = 0x0000FFu;

double ScaleOf(int width, int height) {
    return std::min(width, height) / static_cast<double>(kPlusMinusDesignSize);
}

} // namespace

int GlyphFrameThickness(int width, int height) {
    return std::max(1, static_cast<int>(std::lround(ScaleOf(width, height))));
}

int GlyphBarThickness(int side, int width, int height) {
    const double wanted = 2.0 * ScaleOf(width, height);
    // The nearest thickness of the side's parity (the thicker one on a tie).
    int below = static_cast<int>(std::floor(wanted));
    if ((below - side) % 2 != 0)
        --below;
    const int above = below + 2;
    int thickness = (wanted - below < above - wanted) ? below : above;
    if (thickness < 1)
        thickness = above;
    // Never wider than the inside of the frame.
    const int inside = side - 2 * GlyphFrameThickness(width, height);
    while (thickness > inside && thickness > 2)
        thickness -= 2;
    return thickness;
}

toolkit::Picture DrawPlusMinusGlyph(PlusMinusGlyph glyph, int width, int height) {
    toolkit::Picture picture;
    if (width <= 0 || height <= 0)
        return picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));

    const int frame = GlyphFrameThickness(width, height);
    const int across = GlyphBarThickness(height, width, height); // the horizontal bar
    const int down = GlyphBarThickness(width, width, height);    // the plus's vertical bar
    const int acrossTop = (height - across) / 2;
    const int downLeft = (width - down) / 2;
    const std::uint32_t ink = glyph == PlusMinusGlyph::Plus ? kRed : kBlue;

    for (int y = 0; y < height; ++y) {
        const bool frameRow = y < frame || y >= height - frame;
        for (int x = 0; x < width; ++x) {
            const bool frameColumn = x < frame || x >= width - frame;
            std::uint32_t pixel = kWhite;
            if (frameRow && frameColumn)
                pixel = toolkit::Picture::Transparent; // the rounded-off corners
            else if (frameRow || frameColumn)
                pixel = kSilver;
            else if (y >= acrossTop && y < acrossTop + across)
                pixel = ink;
            else if (glyph == PlusMinusGlyph::Plus && x >= downLeft && x < downLeft + down)
                pixel = ink;
            picture.pixels.push_back(pixel);
        }
    }
    return picture;
}

} // namespace tw::controls
