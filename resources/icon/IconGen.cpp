// Draws the program's icon from its shape description and writes the .ico:
// ten images, 32, 24 and 16 pixels with 16 colours; the same with 256 colours;
// 48, 32, 24 and 16 pixels with 32-bit colour and alpha. Or one PNG image of
// any size, drawn as the 32-bit images are (the Linux desktop's icons).
//
//   tarnwick-icongen <description> <output.ico>
//   tarnwick-icongen <description> <output.png> <size>
//
// The description is drawn on a 48 x 48 square; see Tarnwick.icon. Built and
// run on the build machine, so a cross build gets the same icon.
#include "PngFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kDesignSize = 48.0;

struct Rgb {
    double r = 0, g = 0, b = 0;
};

enum class Kind { Circle, Ellipse, Ring, Rect, RoundRect, Polygon };

struct Shape {
    Kind kind;
    Rgb color;    // 32-bit images
    Rgb lowColor; // 16-colour images
    std::vector<double> v;
    int line = 0;
};

Rgb ParseColor(const std::string& text, bool& ok) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value, 16);
    ok = text.size() == 6 && parsed.ec == std::errc() && parsed.ptr == end;
    return {static_cast<double>((value >> 16) & 0xFF), static_cast<double>((value >> 8) & 0xFF),
            static_cast<double>(value & 0xFF)};
}

bool Inside(const Shape& s, double x, double y) {
    const auto& v = s.v;
    switch (s.kind) {
    case Kind::Circle:
        return (x - v[0]) * (x - v[0]) + (y - v[1]) * (y - v[1]) <= v[2] * v[2];
    case Kind::Ellipse: {
        const double dx = (x - v[0]) / v[2], dy = (y - v[1]) / v[3];
        return dx * dx + dy * dy <= 1.0;
    }
    case Kind::Ring: {
        const double d2 = (x - v[0]) * (x - v[0]) + (y - v[1]) * (y - v[1]);
        return d2 >= v[2] * v[2] && d2 <= v[3] * v[3];
    }
    case Kind::Rect:
        return x >= v[0] && x <= v[2] && y >= v[1] && y <= v[3];
    case Kind::RoundRect: {
        if (x < v[0] || x > v[2] || y < v[1] || y > v[3])
            return false;
        const double r = v[4];
        const double cx = std::clamp(x, v[0] + r, v[2] - r);
        const double cy = std::clamp(y, v[1] + r, v[3] - r);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    }
    case Kind::Polygon: {
        bool in = false;
        const std::size_t n = v.size() / 2;
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            const double xi = v[2 * i], yi = v[2 * i + 1], xj = v[2 * j], yj = v[2 * j + 1];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                in = !in;
        }
        return in;
    }
    }
    return false;
}

bool ReadDescription(const char* path, std::vector<Shape>& shapes) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << path << ": cannot open\n";
        return false;
    }
    struct Form {
        const char* name;
        Kind kind;
        std::size_t count; // 0: an even number of at least six
    };
    const Form forms[] = {{"circle", Kind::Circle, 3},       {"ellipse", Kind::Ellipse, 4},
                          {"ring", Kind::Ring, 4},           {"rect", Kind::Rect, 4},
                          {"roundrect", Kind::RoundRect, 5}, {"polygon", Kind::Polygon, 0}};
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        text = text.substr(0, text.find('#'));
        std::istringstream line(text);
        std::string word, color;
        if (!(line >> word))
            continue;
        const Form* form = nullptr;
        for (const Form& f : forms) {
            if (word == f.name)
                form = &f;
        }
        Shape shape{};
        shape.line = number;
        bool ok = form != nullptr && static_cast<bool>(line >> color);
        if (ok) {
            shape.kind = form->kind;
            const auto slash = color.find('/');
            shape.color = ParseColor(color.substr(0, slash), ok);
            shape.lowColor = shape.color;
            if (ok && slash != std::string::npos)
                shape.lowColor = ParseColor(color.substr(slash + 1), ok);
        }
        for (double value = 0; ok && line >> value;)
            shape.v.push_back(value);
        if (ok && form != nullptr) {
            ok = form->count != 0 ? shape.v.size() == form->count
                                  : shape.v.size() >= 6 && shape.v.size() % 2 == 0;
        }
        if (!ok) {
            std::cerr << path << ":" << number << ": not a shape: " << text << "\n";
            return false;
        }
        shapes.push_back(std::move(shape));
    }
    if (shapes.empty()) {
        std::cerr << path << ": no shapes\n";
        return false;
    }
    return true;
}

// Straight (not premultiplied) colour with coverage.
struct Pixel {
    Rgb c;
    double a = 0;
};

// Paints the shapes over each other; `samples` per pixel side, 1 = no smoothing.
std::vector<Pixel> Render(const std::vector<Shape>& shapes, int size, int samples, bool low) {
    std::vector<Pixel> out(static_cast<std::size_t>(size * size));
    const double scale = kDesignSize / size;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            // Premultiplied accumulation.
            double r = 0, g = 0, b = 0, a = 0;
            for (const Shape& shape : shapes) {
                int hits = 0;
                for (int sy = 0; sy < samples; ++sy) {
                    for (int sx = 0; sx < samples; ++sx) {
                        const double x = (px + (sx + 0.5) / samples) * scale;
                        const double y = (py + (sy + 0.5) / samples) * scale;
                        hits += Inside(shape, x, y) ? 1 : 0;
                    }
                }
                const double cover = static_cast<double>(hits) / (samples * samples);
                const Rgb& c = low ? shape.lowColor : shape.color;
                r = c.r * cover + r * (1 - cover);
                g = c.g * cover + g * (1 - cover);
                b = c.b * cover + b * (1 - cover);
                a = cover + a * (1 - cover);
            }
            Pixel& p = out[static_cast<std::size_t>(py * size + px)];
            p.a = a;
            if (a > 0)
                p.c = {r / a, g / a, b / a};
        }
    }
    return out;
}

using Palette = std::vector<std::array<std::uint8_t, 3>>;

// The 16 colours every Windows display has.
Palette VgaPalette() {
    return {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
            {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
            {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
}

// The 16 colours, a 6 x 6 x 6 colour cube and 24 greys.
Palette Palette256() {
    Palette p = VgaPalette();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back({static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                             static_cast<std::uint8_t>(b * 51)});
    for (int i = 0; i < 24; ++i)
        p.push_back({static_cast<std::uint8_t>(8 + 10 * i), static_cast<std::uint8_t>(8 + 10 * i),
                     static_cast<std::uint8_t>(8 + 10 * i)});
    return p;
}

std::uint8_t Nearest(const Palette& palette, const Rgb& c) {
    std::size_t best = 0;
    double bestDistance = 1e30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const double dr = palette[i][0] - c.r, dg = palette[i][1] - c.g, db = palette[i][2] - c.b;
        const double d = 0.30 * dr * dr + 0.59 * dg * dg + 0.11 * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

std::uint8_t Channel(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::size_t RowBytes(int size, int bits) {
    return ((static_cast<std::size_t>(size) * bits + 31) / 32) * 4;
}

// One icon image: BITMAPINFOHEADER, palette, colour rows and mask rows, bottom-up.
std::vector<std::uint8_t> EncodeImage(const std::vector<Shape>& shapes, int size, int bits) {
    // 16 colours: the second colours, unsmoothed, so every pixel is one of
    // the display's own colours. 256 colours: smoothed, then the nearest entry.
    const bool low = bits == 4;
    const std::vector<Pixel> pixels = Render(shapes, size, low ? 1 : 8, low);
    const Palette palette = bits == 4 ? VgaPalette() : bits == 8 ? Palette256() : Palette{};
    const std::size_t colorRow = RowBytes(size, bits), maskRow = RowBytes(size, 1);

    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(size * 2)); // colour and mask
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bits));
    Put32(out, 0); // BI_RGB
    Put32(out, static_cast<std::uint32_t>((colorRow + maskRow) * size));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (const auto& entry : palette) {
        out.push_back(entry[2]);
        out.push_back(entry[1]);
        out.push_back(entry[0]);
        out.push_back(0);
    }
    std::vector<std::uint8_t> mask(maskRow * static_cast<std::size_t>(size), 0);
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colorRow, 0);
        for (int x = 0; x < size; ++x) {
            const Pixel& p = pixels[static_cast<std::size_t>(y * size + x)];
            const bool transparent = p.a < 0.5;
            if (transparent)
                mask[static_cast<std::size_t>(size - 1 - y) * maskRow + x / 8] |=
                    static_cast<std::uint8_t>(0x80 >> (x % 8));
            if (bits == 32) {
                const double a = p.a < 1.0 / 255 ? 0 : p.a;
                row[x * 4 + 0] = Channel(p.c.b);
                row[x * 4 + 1] = Channel(p.c.g);
                row[x * 4 + 2] = Channel(p.c.r);
                row[x * 4 + 3] = Channel(a * 255);
                continue;
            }
            // Masked pixels carry colour 0, black, so the screen shows through unchanged.
            const std::uint8_t index = transparent ? 0 : Nearest(palette, p.c);
            if (bits == 8)
                row[x] = index;
            else
                row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

// One image of 32-bit colour and alpha, top-down, four bytes a pixel (RGBA).
std::vector<std::uint8_t> RgbaImage(const std::vector<Shape>& shapes, int size) {
    const std::vector<Pixel> pixels = Render(shapes, size, 8, false);
    std::vector<std::uint8_t> out;
    out.reserve(pixels.size() * 4);
    for (const Pixel& p : pixels) {
        const double a = p.a < 1.0 / 255 ? 0 : p.a;
        out.insert(out.end(), {Channel(p.c.r), Channel(p.c.g), Channel(p.c.b), Channel(a * 255)});
    }
    return out;
}

int WritePngImage(const std::vector<Shape>& shapes, const char* path, const char* sizeText) {
    int size = 0;
    const char* end = sizeText + std::char_traits<char>::length(sizeText);
    const auto parsed = std::from_chars(sizeText, end, size);
    if (parsed.ec != std::errc() || parsed.ptr != end || size < 1 || size > 1024) {
        std::cerr << "not a size from 1 to 1024: " << sizeText << "\n";
        return 2;
    }
    if (!icongen::WritePng(path, size, size, RgbaImage(shapes, size))) {
        std::cerr << path << ": cannot write\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: tarnwick-icongen <description> <output.ico>\n"
                     "       tarnwick-icongen <description> <output.png> <size>\n";
        return 2;
    }
    std::vector<Shape> shapes;
    if (!ReadDescription(argv[1], shapes))
        return 1;
    if (argc == 4)
        return WritePngImage(shapes, argv[2], argv[3]);

    struct Entry {
        int size;
        int bits;
    };
    const Entry entries[] = {{32, 4}, {24, 4},  {16, 4},  {32, 8},  {24, 8},
                             {16, 8}, {48, 32}, {32, 32}, {24, 32}, {16, 32}};
    constexpr std::uint32_t count = sizeof(entries) / sizeof(entries[0]);

    std::vector<std::vector<std::uint8_t>> images;
    for (const Entry& e : entries)
        images.push_back(EncodeImage(shapes, e.size, e.bits));

    std::vector<std::uint8_t> file;
    Put16(file, 0);
    Put16(file, 1); // icon
    Put16(file, count);
    std::uint32_t offset = 6 + 16 * count;
    for (std::uint32_t i = 0; i < count; ++i) {
        const Entry& e = entries[i];
        file.push_back(static_cast<std::uint8_t>(e.size));
        file.push_back(static_cast<std::uint8_t>(e.size));
        file.push_back(static_cast<std::uint8_t>(e.bits == 4 ? 16 : 0));
        file.push_back(0);
        Put16(file, 1);
        Put16(file, static_cast<unsigned>(e.bits));
        Put32(file, static_cast<std::uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());

    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    if (!out) {
        std::cerr << argv[2] << ": cannot write\n";
        return 1;
    }
    return 0;
}
