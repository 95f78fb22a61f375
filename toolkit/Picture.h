// A small picture of the window model, and how a backend gets it at the
// pixel size it shows it at: an image may carry a drawing that paints the
// picture at any size; without one the design picture is scaled.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace tw::toolkit {

// Rows of 0x00RRGGBB pixels, top row first, with 0xFF000000 for transparent.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    static constexpr std::uint32_t Transparent = 0xFF000000u;

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    bool operator==(const Picture&) const = default;
};

// Paints a picture of exactly width x height pixels (both at least 1).
using PictureDrawing = std::function<Picture(int width, int height)>;

// The picture scaled to width x height by nearest neighbour; an empty
// picture or size gives an empty picture.
Picture ScalePicture(const Picture& picture, int width, int height);

} // namespace tw::toolkit
