// The spinner's glyphs at the pixel sizes of 100 % to 200 % screen scale:
// the design icon at 8 pixels, crisp and symmetric above.
#include "controls/PlusMinusGlyph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <utility>

using namespace tw::toolkit;
using tw::controls::DrawPlusMinusGlyph;
using tw::controls::PlusMinusGlyph;

namespace {

constexpr std::uint32_t kSilver = 0xC0C0C0u;
constexpr std::uint32_t kWhite = 0xFFFFFFu;

std::uint32_t InkOf(PlusMinusGlyph glyph) {
    return glyph == PlusMinusGlyph::Plus ? 0xFF0000u : 0x0000FFu;
}

using GlyphCase = std::tuple<PlusMinusGlyph, int>;

class GlyphAtSize : public ::testing::TestWithParam<GlyphCase> {
protected:
    PlusMinusGlyph glyph() const { return std::get<0>(GetParam()); }
    int size() const { return std::get<1>(GetParam()); }
    Picture draw() const { return DrawPlusMinusGlyph(glyph(), size(), size()); }
};

TEST_P(GlyphAtSize, IsSymmetricBothWays) {
    const Picture p = draw();
    ASSERT_EQ(p.width, size());
    ASSERT_EQ(p.height, size());
    for (int y = 0; y < size(); ++y) {
        for (int x = 0; x < size(); ++x) {
            EXPECT_EQ(p.At(x, y), p.At(size() - 1 - x, y)) << x << "," << y;
            EXPECT_EQ(p.At(x, y), p.At(x, size() - 1 - y)) << x << "," << y;
        }
    }
}

TEST_P(GlyphAtSize, FrameIsOneDesignPixelScaledWithTransparentCorners) {
    const Picture p = draw();
    const double scale = size() / 8.0;
    const int frame = std::max(1, static_cast<int>(std::lround(scale)));
    EXPECT_EQ(tw::controls::GlyphFrameThickness(size(), size()), frame);
    const int mid = size() / 2;
    for (int i = 0; i < frame; ++i) {
        EXPECT_EQ(p.At(i, i), Picture::Transparent) << i;
        EXPECT_EQ(p.At(i, mid), kSilver) << i; // the left side
        EXPECT_EQ(p.At(mid, i), kSilver) << i; // the top
    }
    EXPECT_EQ(p.At(frame, frame), kWhite) << "the inside's corner";
}

TEST_P(GlyphAtSize, BarsAreTwoDesignPixelsCentredAcrossTheInside) {
    const Picture p = draw();
    const int frame = tw::controls::GlyphFrameThickness(size(), size());
    const std::uint32_t ink = InkOf(glyph());
    // Down the middle of the left inside column: the horizontal bar.
    int first = -1, count = 0;
    for (int y = 0; y < size(); ++y) {
        if (p.At(frame, y) == ink) {
            if (first < 0)
                first = y;
            ++count;
        }
    }
    EXPECT_EQ(count % 2, size() % 2) << "a bar of the size's parity stays centred";
    EXPECT_LE(std::abs(count - 2.0 * size() / 8.0), 1.0);
    EXPECT_EQ(first, (size() - count) / 2);
    // The bar spans the whole inside.
    for (int x = frame; x < size() - frame; ++x)
        EXPECT_EQ(p.At(x, first), ink) << x;
    // The plus has the same bar downwards; the minus has none.
    const bool vertical = p.At(size() / 2, frame) == ink;
    EXPECT_EQ(vertical, glyph() == PlusMinusGlyph::Plus);
}

INSTANTIATE_TEST_SUITE_P(Sizes, GlyphAtSize,
                         ::testing::Combine(::testing::Values(PlusMinusGlyph::Minus,
                                                              PlusMinusGlyph::Plus),
                                            ::testing::Values(8, 9, 10, 12, 15, 16, 20, 24)));

TEST(GlyphThickness, FollowsTheScaleWithTheSidesParity) {
    // side, expected bar: 8 px (100 %) 2, 10 px (125 %) 2, 12 px (150 %) 4, 16 px (200 %) 4.
    // The frame's: GlyphAtSize.FrameIsOneDesignPixelScaled...
    for (const auto& [side, bar] : {std::pair{8, 2}, {10, 2}, {12, 4}, {16, 4}, {9, 3}})
        EXPECT_EQ(tw::controls::GlyphBarThickness(side, side, side), bar) << side;
}

} // namespace
