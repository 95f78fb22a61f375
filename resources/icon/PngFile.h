// Writes an image as a PNG file: 8-bit RGBA, rows top-down, no compression
// (stored deflate blocks), so the icon generator needs no library. Packages
// compress their files anyway.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace icongen {

// `rgba` holds width * height pixels of four bytes (red, green, blue, alpha).
bool WritePng(const std::string& path, int width, int height,
              const std::vector<std::uint8_t>& rgba);

} // namespace icongen
