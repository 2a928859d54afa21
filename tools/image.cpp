// tools/image: picture and scalar-map helpers, tileable noise, a block font and
// the TGA writer, folder creation. Depends on assetgen.h, the C library, POSIX mkdir and the safe replace.
#include "tools/assetgen.h"
#include "levelpack/safefile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

// ---- maps ------------------------------------------------------------------

Image makeImage(int width, int height)
{
    Image img;
    img.width = width;
    img.height = height;
    img.px.assign(static_cast<size_t>(width) * height * 4, 1.0f);
    return img;
}

Field makeField(int width, int height, float value)
{
    Field f;
    f.width = width;
    f.height = height;
    f.v.assign(static_cast<size_t>(width) * height, value);
    return f;
}

void setPixel(Image& img, int x, int y, float r, float g, float b, float a)
{
    float* p = &img.px[(static_cast<size_t>(y) * img.width + x) * 4];
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

static int wrap(int i, int n)
{
    int m = i % n;
    return m < 0 ? m + n : m;
}

float& at(Field& f, int x, int y) { return f.v[static_cast<size_t>(wrap(y, f.height)) * f.width + wrap(x, f.width)]; }

float at(const Field& f, int x, int y)
{
    return f.v[static_cast<size_t>(wrap(y, f.height)) * f.width + wrap(x, f.width)];
}

// ---- noise -----------------------------------------------------------------

static uint32_t hash3(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

static float lattice(int x, int y, int px, int py, uint32_t seed)
{
    return (hash3(static_cast<uint32_t>(wrap(x, px)), static_cast<uint32_t>(wrap(y, py)), seed) & 0xffffff) /
           16777215.0f;
}

float valueNoise(double u, double v, int periodX, int periodY, uint32_t seed)
{
    double fx = u * periodX, fy = v * periodY;
    int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    double tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    double a = lattice(ix, iy, periodX, periodY, seed), b = lattice(ix + 1, iy, periodX, periodY, seed);
    double c = lattice(ix, iy + 1, periodX, periodY, seed), d = lattice(ix + 1, iy + 1, periodX, periodY, seed);
    double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return static_cast<float>(top + (bottom - top) * ty);
}

float fbm(double u, double v, int periodX, int periodY, int octaves, uint32_t seed)
{
    double sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoise(u, v, periodX, periodY, seed + 977u * o);
        norm += amp;
        amp *= 0.5;
        periodX *= 2;
        periodY *= 2;
    }
    return static_cast<float>(sum / norm);
}

Field blur(const Field& f, int radius)
{
    // Two passes of a running box sum; wraps so tileable maps stay tileable.
    Field tmp = makeField(f.width, f.height), out = makeField(f.width, f.height);
    float n = 2.0f * radius + 1.0f;
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            float s = 0;
            for (int k = -radius; k <= radius; ++k)
                s += at(f, x + k, y);
            at(tmp, x, y) = s / n;
        }
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            float s = 0;
            for (int k = -radius; k <= radius; ++k)
                s += at(tmp, x, y + k);
            at(out, x, y) = s / n;
        }
    return out;
}

Image normalsFromHeights(const Field& h, float depth)
{
    // Tangent space: +x along s (right), +y along t (up the picture, which is
    // down our rows), +z out of the surface.
    Image img = makeImage(h.width, h.height);
    for (int y = 0; y < h.height; ++y)
        for (int x = 0; x < h.width; ++x) {
            float dx = (at(h, x + 1, y) - at(h, x - 1, y)) * 0.5f * depth;
            float dy = (at(h, x, y - 1) - at(h, x, y + 1)) * 0.5f * depth;
            float nx = -dx, ny = -dy, nz = 1.0f;
            float len = std::sqrt(nx * nx + ny * ny + nz * nz);
            setPixel(img, x, y, nx / len * 0.5f + 0.5f, ny / len * 0.5f + 0.5f, nz / len * 0.5f + 0.5f);
        }
    return img;
}

Image greyImage(const Field& f)
{
    Image img = makeImage(f.width, f.height);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            float g = at(f, x, y);
            setPixel(img, x, y, g, g, g);
        }
    return img;
}

// ---- block font -------------------------------------------------------------

namespace {
struct Glyph {
    char c;
    const char* rows[7];
};

// 5 x 7 cells; only the letters our titles use.
const Glyph GLYPHS[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
};

const Glyph* findGlyph(char c)
{
    for (const Glyph& g : GLYPHS)
        if (g.c == c) return &g;
    return nullptr;
}

constexpr int ADVANCE = 6;   // cells from one letter to the next
}   // namespace

bool glyphCell(char c, double cx, double cy)
{
    const Glyph* g = findGlyph(c);
    if (!g || cx < 0 || cy < 0 || cx >= 5 || cy >= 7) return false;
    return g->rows[static_cast<int>(cy)][static_cast<int>(cx)] == '#';
}

double textWidth(const std::string& text, double cell)
{
    return text.empty() ? 0.0 : (static_cast<double>(text.size()) * ADVANCE - 1) * cell;
}

void drawText(Field& cover, const std::string& text, double x, double y, double cell)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph* g = findGlyph(text[i]);
        if (!g) continue;
        double gx = x + static_cast<double>(i) * ADVANCE * cell;
        int x0 = std::max(0, static_cast<int>(std::floor(gx)));
        int x1 = std::min(cover.width - 1, static_cast<int>(std::ceil(gx + 5 * cell)));
        int y0 = std::max(0, static_cast<int>(std::floor(y)));
        int y1 = std::min(cover.height - 1, static_cast<int>(std::ceil(y + 7 * cell)));
        for (int py = y0; py <= y1; ++py)
            for (int px = x0; px <= x1; ++px) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx) {
                        double cx = (px + (sx + 0.5) / 4 - gx) / cell;
                        double cy = (py + (sy + 0.5) / 4 - y) / cell;
                        if (glyphCell(text[i], cx, cy)) ++hits;
                    }
                float& c = cover.v[static_cast<size_t>(py) * cover.width + px];
                c = std::max(c, hits / 16.0f);
            }
    }
}

// ---- TGA writer --------------------------------------------------------------

namespace {
uint8_t toByte(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

// One stored pixel in file order (B, G, R[, A]).
void packPixel(const Image& img, int x, int y, int bytes, uint8_t* out)
{
    const float* p = &img.px[(static_cast<size_t>(y) * img.width + x) * 4];
    out[0] = toByte(p[2]);
    out[1] = toByte(p[1]);
    out[2] = toByte(p[0]);
    if (bytes == 4) out[3] = toByte(p[3]);
}
}   // namespace

bool writeTga(const std::string& path, const Image& img, TgaForm form)
{
    const int bytes = form.bits / 8;
    std::vector<uint8_t> data;
    uint8_t header[18] = {};
    header[2] = form.rle ? 10 : 2;
    header[12] = static_cast<uint8_t>(img.width & 0xff);
    header[13] = static_cast<uint8_t>(img.width >> 8);
    header[14] = static_cast<uint8_t>(img.height & 0xff);
    header[15] = static_cast<uint8_t>(img.height >> 8);
    header[16] = static_cast<uint8_t>(form.bits);
    header[17] = form.bits == 32 ? 8 : 0;   // alpha bits; origin bottom-left
    data.insert(data.end(), header, header + 18);

    std::vector<uint8_t> row(static_cast<size_t>(img.width) * bytes);
    for (int fileRow = 0; fileRow < img.height; ++fileRow) {
        int y = img.height - 1 - fileRow;   // bottom row first
        for (int x = 0; x < img.width; ++x)
            packPixel(img, x, y, bytes, &row[static_cast<size_t>(x) * bytes]);
        if (!form.rle) {
            data.insert(data.end(), row.begin(), row.end());
            continue;
        }
        // Packets never cross a row, as the format recommends.
        auto same = [&](int a, int b) { return std::memcmp(&row[a * bytes], &row[b * bytes], bytes) == 0; };
        int x = 0;
        while (x < img.width) {
            int run = 1;
            while (x + run < img.width && run < 128 && same(x, x + run))
                ++run;
            if (run >= 2) {
                data.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
                data.insert(data.end(), &row[x * bytes], &row[x * bytes] + bytes);
                x += run;
                continue;
            }
            int raw = 1;
            while (x + raw < img.width && raw < 128 && !(x + raw + 1 < img.width && same(x + raw, x + raw + 1)))
                ++raw;
            data.push_back(static_cast<uint8_t>(raw - 1));
            data.insert(data.end(), &row[x * bytes], &row[(x + raw) * bytes]);
            x += raw;
        }
    }

    return writeFile(path, data.data(), data.size());
}

// ---- files and folders ---------------------------------------------------------

bool writeFile(const std::string& path, const void* data, size_t size)
{
    // Through the safe replace: an interrupted build never leaves half a file under the asset's name.
    std::string failure;
    const bool ok = replaceFile(
        path,
        [&](FILE* out, std::string& failed) {
            if (size > 0 && std::fwrite(data, 1, size, out) != size) {
                failed = fileFailure("write", path);
                return false;
            }
            return true;
        },
        failure);
    if (!ok) std::fprintf(stderr, "assetgen: %s\n", failure.c_str());
    return ok;
}

bool makeDirectories(const std::string& path)
{
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            std::fprintf(stderr, "assetgen: cannot create folder %s\n", part.c_str());
            return false;
        }
    }
    return true;
}
