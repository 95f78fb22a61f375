#include "Picture.h"

namespace tw::toolkit {

Picture ScalePicture(const Picture& picture, int width, int height) {
    Picture scaled;
    if (picture.width <= 0 || picture.height <= 0 || width <= 0 || height <= 0)
        return scaled;
    scaled.width = width;
    scaled.height = height;
    scaled.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        // The source pixel under the centre of the target pixel.
        const int sy = static_cast<int>((2LL * y + 1) * picture.height / (2LL * height));
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>((2LL * x + 1) * picture.width / (2LL * width));
            scaled.pixels.push_back(picture.At(sx, sy));
        }
    }
    return scaled;
}

} // namespace tw::toolkit
