// tools/icon: the application icon, a brick wall with one brick knocked out, the ball that did it and the
// paddle, on a dark rounded tile. One list of shapes is both rasterised (the PNG sizes) and written as
// SVG, so every size shows the same picture. Depends on assetgen.h and zlib for the PNG.
#include "levelpack/catalogue.h"   // the window icon's sizes and files
#include "tools/assetgen.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct Rgba {
    double r, g, b, a;   // 0..1, straight alpha
};

enum ShapeKind { SHAPE_ROUND_RECT, SHAPE_CIRCLE };
enum PaintKind { PAINT_VERTICAL, PAINT_RADIAL };

// One shape of the icon, in icon units (0..1 across, y down). Vertical paint runs from `from` at the top
// of the shape to `to` at its bottom; radial paint from `from` at (fx, fy) to `to` at distance fr.
struct Shape {
    ShapeKind kind;
    double x0, y0, x1, y1;   // bounds; a circle's centre is their middle, its radius half the width
    double radius;           // corner radius of a rounded rectangle
    PaintKind paint;
    Rgba from, to;
    double fx = 0, fy = 0, fr = 1;
};

Rgba hex(unsigned rgb, double alpha = 1.0)
{
    return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, alpha};
}

Rgba lighter(Rgba c, double amount)
{
    return {c.r + (1 - c.r) * amount, c.g + (1 - c.g) * amount, c.b + (1 - c.b) * amount, c.a};
}

Rgba darker(Rgba c, double amount) { return {c.r * (1 - amount), c.g * (1 - amount), c.b * (1 - amount), c.a}; }

std::vector<Shape> iconShapes()
{
    std::vector<Shape> shapes;
    auto box = [&](double x0, double y0, double x1, double y1, double radius, Rgba top, Rgba bottom) {
        shapes.push_back({SHAPE_ROUND_RECT, x0, y0, x1, y1, radius, PAINT_VERTICAL, top, bottom});
    };
    auto disc = [&](double cx, double cy, double r, Rgba centre, Rgba edge, double fx, double fy, double fr) {
        shapes.push_back({SHAPE_CIRCLE, cx - r, cy - r, cx + r, cy + r, 0, PAINT_RADIAL, centre, edge, fx, fy, fr});
    };
    // The tile with a lighter rim.
    box(0.04, 0.04, 0.96, 0.96, 0.18, hex(0x5a74c2), hex(0x26305c));
    box(0.06, 0.06, 0.94, 0.94, 0.16, hex(0x1f2d5c), hex(0x090d22));

    // Three courses of bricks in the game's colours, the middle one half a brick over; the gap in the
    // bottom course is where the ball broke through.
    const Rgba colours[] = {hex(0xe5453c), hex(0xf39b2c), hex(0x45c168), hex(0x3d86e8),
                            hex(0xe66bb2), hex(0x5fd0e8), hex(0xf2f2f2), hex(0xe8c440)};
    const double left = 0.14, right = 0.86, gap = 0.022, height = 0.095, top = 0.17;
    const double width = (right - left - 2 * gap) / 3;
    int colour = 0;
    for (int course = 0; course < 3; ++course) {
        const double y0 = top + course * (height + gap);
        const double shift = course == 1 ? -(width + gap) / 2 : 0;
        for (int n = 0; n < 4; ++n) {
            double x0 = left + shift + n * (width + gap);
            double x1 = x0 + width;
            x0 = std::max(x0, left);
            x1 = std::min(x1, right);
            if (x1 - x0 < 0.05 || (course == 2 && n == 1)) {
                continue;
            }
            const Rgba c = colours[colour++ % 8];
            box(x0, y0, x1, y0 + height, 0.018, lighter(c, 0.35), darker(c, 0.25));
        }
    }

    // The ball's glow, the ball lit from the upper left, the paddle.
    disc(0.585, 0.60, 0.15, hex(0x9fc4ff, 0.45), hex(0x9fc4ff, 0.0), 0.585, 0.60, 0.15);
    disc(0.585, 0.60, 0.072, hex(0xffffff), hex(0x8d9cc4), 0.56, 0.575, 0.085);
    box(0.29, 0.80, 0.71, 0.865, 0.032, hex(0xf4f6fb), hex(0x7d8bb0));
    return shapes;
}

double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

bool inside(const Shape& s, double x, double y)
{
    if (s.kind == SHAPE_CIRCLE) {
        const double r = (s.x1 - s.x0) / 2;
        const double dx = x - (s.x0 + r), dy = y - (s.y0 + r);
        return dx * dx + dy * dy <= r * r;
    }
    if (x < s.x0 || x > s.x1 || y < s.y0 || y > s.y1) {
        return false;
    }
    const double dx = std::max({s.x0 + s.radius - x, 0.0, x - (s.x1 - s.radius)});
    const double dy = std::max({s.y0 + s.radius - y, 0.0, y - (s.y1 - s.radius)});
    return dx * dx + dy * dy <= s.radius * s.radius;
}

Rgba paintAt(const Shape& s, double x, double y)
{
    const double t = s.paint == PAINT_VERTICAL ? clamp01((y - s.y0) / (s.y1 - s.y0))
                                               : clamp01(std::hypot(x - s.fx, y - s.fy) / s.fr);
    return {s.from.r + (s.to.r - s.from.r) * t, s.from.g + (s.to.g - s.from.g) * t, s.from.b + (s.to.b - s.from.b) * t,
            s.from.a + (s.to.a - s.from.a) * t};
}

void putU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(v >> shift));
    }
}

void putChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data)
{
    putU32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putU32(out, static_cast<uint32_t>(crc32(0, &out[start], static_cast<uInt>(out.size() - start))));
}

std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string colourText(Rgba c)
{
    char text[64];
    std::snprintf(text, sizeof text, "stop-color=\"#%02x%02x%02x\" stop-opacity=\"%.2f\"",
                  static_cast<int>(std::lround(clamp01(c.r) * 255)), static_cast<int>(std::lround(clamp01(c.g) * 255)),
                  static_cast<int>(std::lround(clamp01(c.b) * 255)), c.a);
    return text;
}

}   // namespace

Image renderIcon(int size)
{
    const std::vector<Shape> shapes = iconShapes();
    Image img = makeImage(size, size);
    constexpr int SUB = 4;   // 4 x 4 samples a pixel
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double sum[4] = {0, 0, 0, 0};   // premultiplied
            for (int sy = 0; sy < SUB; ++sy) {
                for (int sx = 0; sx < SUB; ++sx) {
                    const double x = (px + (sx + 0.5) / SUB) / size;
                    const double y = (py + (sy + 0.5) / SUB) / size;
                    double r = 0, g = 0, b = 0, a = 0;
                    for (const Shape& s : shapes) {
                        if (!inside(s, x, y)) continue;
                        const Rgba c = paintAt(s, x, y);
                        r = c.r * c.a + r * (1 - c.a);
                        g = c.g * c.a + g * (1 - c.a);
                        b = c.b * c.a + b * (1 - c.a);
                        a = c.a + a * (1 - c.a);
                    }
                    sum[0] += r;
                    sum[1] += g;
                    sum[2] += b;
                    sum[3] += a;
                }
            }
            const double alpha = sum[3] / (SUB * SUB);
            const double unpremultiply = sum[3] > 0 ? 1.0 / sum[3] : 0.0;
            setPixel(img, px, py, static_cast<float>(sum[0] * unpremultiply),
                     static_cast<float>(sum[1] * unpremultiply), static_cast<float>(sum[2] * unpremultiply),
                     static_cast<float>(alpha));
        }
    }
    return img;
}

std::string iconSvg()
{
    const double S = 256;   // the view box; the shapes are in 0..1
    std::string defs, body;
    int id = 0;
    for (const Shape& s : iconShapes()) {
        const std::string name = "p" + std::to_string(id++);
        if (s.paint == PAINT_VERTICAL) {
            defs += "    <linearGradient id=\"" + name + "\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n";
        } else {
            defs += "    <radialGradient id=\"" + name + "\" gradientUnits=\"userSpaceOnUse\" cx=\"" +
                    number(s.fx * S) + "\" cy=\"" + number(s.fy * S) + "\" r=\"" + number(s.fr * S) + "\">\n";
        }
        defs += "      <stop offset=\"0\" " + colourText(s.from) + "/>\n";
        defs += "      <stop offset=\"1\" " + colourText(s.to) + "/>\n";
        defs += s.paint == PAINT_VERTICAL ? "    </linearGradient>\n" : "    </radialGradient>\n";
        if (s.kind == SHAPE_CIRCLE) {
            const double r = (s.x1 - s.x0) / 2;
            body += "  <circle cx=\"" + number((s.x0 + r) * S) + "\" cy=\"" + number((s.y0 + r) * S) + "\" r=\"" +
                    number(r * S) + "\" fill=\"url(#" + name + ")\"/>\n";
        } else {
            body += "  <rect x=\"" + number(s.x0 * S) + "\" y=\"" + number(s.y0 * S) + "\" width=\"" +
                    number((s.x1 - s.x0) * S) + "\" height=\"" + number((s.y1 - s.y0) * S) + "\" rx=\"" +
                    number(s.radius * S) + "\" fill=\"url(#" + name + ")\"/>\n";
        }
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
           "  <title>Tessivar</title>\n  <defs>\n" +
           defs + "  </defs>\n" + body + "</svg>\n";
}

bool writePng(const std::string& path, const Image& img)
{
    std::vector<uint8_t> raw;   // each row: filter type 0, then RGBA bytes
    raw.reserve(static_cast<size_t>(img.width * 4 + 1) * img.height);
    for (int y = 0; y < img.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < img.width * 4; ++x) {
            const float v = img.px[static_cast<size_t>(y) * img.width * 4 + x];
            raw.push_back(static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) {
        std::fprintf(stderr, "assetgen: cannot compress %s\n", path.c_str());
        return false;
    }
    packed.resize(packedSize);

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    putU32(header, static_cast<uint32_t>(img.width));
    putU32(header, static_cast<uint32_t>(img.height));
    header.insert(header.end(), {8, 6, 0, 0, 0});   // 8 bits, RGBA, deflate, adaptive filters, no interlace
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", packed);
    putChunk(file, "IEND", {});

    return writeFile(path, file.data(), file.size());
}

bool writeWindowIcons(const std::string& dir)
{
    if (!makeDirectories(dir + "/Textures")) return false;
    for (int size : WINDOW_ICON_SIZES) {
        char path[64];
        std::snprintf(path, sizeof path, WINDOW_ICON_FORMAT, size);
        if (!writeTga(dir + "/" + path, renderIcon(size), TgaForm{32, false})) return false;
    }
    return true;
}

bool writeIcons(const std::string& dir)
{
    if (!makeDirectories(dir)) return false;
    for (int size : ICON_SIZES) {
        if (!writePng(dir + "/" + std::to_string(size) + ".png", renderIcon(size))) return false;
    }
    const std::string svg = iconSvg();
    return writeFile(dir + "/scalable.svg", svg.data(), svg.size());
}
