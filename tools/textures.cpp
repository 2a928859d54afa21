// tools/textures: paints the 24 materials (diffuse, normal, specular, height)
// in the game's load order. Depends on assetgen.h (image helpers, TGA writer).
//
// [SECTION] helpers        colours, bevels, the material writer
// [SECTION] bricks         the seven coloured bricks, grey stone, iron
// [SECTION] paddle         "player" and "playerlaser"
// [SECTION] capsules       "prizes/E" .. "prizes/B"
// [SECTION] rooms          the four tileable backgrounds
// [SECTION] titles         "menu" and "morvi"
// [SECTION] entry          writeTextures
#include "tools/assetgen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// ---- [SECTION] helpers ---------------------------------------------------------

struct Rgb {
    float r, g, b;
};

Rgb mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }

float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// 0..1 unit hash of integers, for per-tile and per-plank variation.
float hashUnit(int a, int b, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(a) * 374761393u + static_cast<uint32_t>(b) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffff) / 65535.0f;
}

void put(Image& img, int x, int y, Rgb c, float a = 1.0f) { setPixel(img, x, y, clamp01(c.r), clamp01(c.g), clamp01(c.b), a); }

// Rounded rise from 0 at a rectangle's rim to 1 at `bx`, `by` pixels inside it.
float bevel(float x, float y, float w, float h, float bx, float by) {
    float d = std::min(std::min(x / bx, (w - 1 - x) / bx), std::min(y / by, (h - 1 - y) / by));
    d = clamp01(d);
    return 1 - (1 - d) * (1 - d);
}

// Baked light on a bevel: the upper and left slopes catch it, the others not.
float bevelLight(float x, float y, float w, float h, float bx, float by) {
    float l = x / bx, r = (w - 1 - x) / bx, t = y / by, b = (h - 1 - y) / by;
    float m = std::min(std::min(l, r), std::min(t, b));
    if (m >= 1) return 0;
    float k = 1 - m;
    return (m == l || m == t) ? 0.22f * k : -0.28f * k;
}

// Rivet dome of radii rx, ry at (cx, cy): 0 outside, up to 1 on top.
float dome(float x, float y, float cx, float cy, float rx, float ry) {
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    float d2 = dx * dx + dy * dy;
    return d2 >= 1 ? 0.0f : std::sqrt(1 - d2);
}

struct Material {
    Image diffuse;
    Field height;
    Field specular;
    float depth = 4.0f;   // pixels of relief a height step of 1 stands for
    TgaForm forms[4];     // D, N, S, H
};

Material makeMaterial(int w, int h) {
    Material m;
    m.diffuse = makeImage(w, h);
    m.height = makeField(w, h);
    m.specular = makeField(w, h);
    return m;
}

const TgaForm PLAIN24{24, false};
const TgaForm PLAIN32{32, false};
const TgaForm RLE24{24, true};
const TgaForm RLE32{32, true};

bool saveMaterial(const std::string& dir, const std::string& name, const Material& m) {
    std::string base = dir + "/Textures/" + name;
    return writeTga(base + "D.tga", m.diffuse, m.forms[0]) &&
           writeTga(base + "N.tga", normalsFromHeights(m.height, m.depth), m.forms[1]) &&
           writeTga(base + "S.tga", greyImage(m.specular), m.forms[2]) &&
           writeTga(base + "H.tga", greyImage(m.height), m.forms[3]);
}

// ---- [SECTION] bricks ------------------------------------------------------------

// The brick face is 3.4 wide and 2 high, so the bevel is narrower across the
// texture than down it to look even once stretched.
constexpr float BRICK_BX = 14, BRICK_BY = 24;

Material paintBrick(Rgb base, uint32_t seed) {
    const int N = 256;
    Material m = makeMaterial(N, N);
    m.forms[0] = PLAIN24;
    m.forms[1] = PLAIN24;
    m.forms[2] = RLE24;
    m.forms[3] = RLE24;
    m.depth = 6.0f;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            float u = x / float(N), v = y / float(N);
            float bev = bevel(x, y, N, N, BRICK_BX, BRICK_BY);
            float grain = fbm(u, v, 6, 4, 4, seed);
            float fine = valueNoise(u, v, 96, 64, seed + 11);
            float shade = 0.8f + 0.35f * grain + 0.08f * (fine - 0.5f);
            Rgb c = scale(base, shade);
            float light = bevelLight(x, y, N, N, BRICK_BX, BRICK_BY);
            c = light > 0 ? mix(c, {1, 1, 1}, light) : scale(c, 1 + light);
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = 0.1f + 0.8f * bev + 0.08f * bev * (grain - 0.5f) + 0.02f * (fine - 0.5f);
            at(m.specular, x, y) = clamp01(0.3f + 0.45f * bev - 0.25f * grain);
        }
    return m;
}

Material paintGrey() {
    const int N = 256;
    Material m = makeMaterial(N, N);
    m.forms[0] = RLE24;  // noisy, so RLE mostly falls back to raw packets
    m.forms[1] = PLAIN24;
    m.forms[2] = RLE24;
    m.forms[3] = RLE32;
    m.depth = 8.0f;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            float u = x / float(N), v = y / float(N);
            float bev = bevel(x, y, N, N, BRICK_BX * 1.2f, BRICK_BY * 1.2f);
            float rock = fbm(u, v, 5, 3, 5, 301);
            float crack = 1 - smoothstep(0.0f, 0.035f, std::fabs(fbm(u, v, 3, 2, 4, 377) - 0.5f));
            float speck = smoothstep(0.78f, 0.86f, valueNoise(u, v, 80, 48, 313));
            float g = 0.38f + 0.3f * rock - 0.12f * speck - 0.18f * crack * bev;
            Rgb c{g, g * 1.01f, g * 1.04f};
            float light = bevelLight(x, y, N, N, BRICK_BX * 1.2f, BRICK_BY * 1.2f);
            c = light > 0 ? mix(c, {0.9f, 0.9f, 0.9f}, light) : scale(c, 1 + light);
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = clamp01(bev * (0.65f + 0.3f * rock) - 0.25f * crack * bev + 0.05f);
            at(m.specular, x, y) = 0.08f + 0.12f * rock * (1 - crack);
        }
    return m;
}

Material paintIron() {
    const int N = 256;
    Material m = makeMaterial(N, N);
    m.forms[0] = PLAIN32;
    m.forms[1] = PLAIN24;
    m.forms[2] = RLE24;
    m.forms[3] = RLE24;
    m.depth = 7.0f;
    const float rx[3] = {24, 128, 231}, ry[2] = {36, 219};
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            float u = x / float(N), v = y / float(N);
            float bev = bevel(x, y, N, N, BRICK_BX, BRICK_BY);
            float brushed = valueNoise(u, v, 3, 160, 401) * 0.6f + valueNoise(u, v, 7, 90, 409) * 0.4f;
            float blotch = fbm(u, v, 4, 4, 3, 419);
            // A recessed seam inset from the rim frames the plate.
            float inset = bevel(x, y, N, N, BRICK_BX * 2.6f, BRICK_BY * 2.6f);
            float seam = (inset > 0.93f && inset < 0.985f) ? 1.0f : 0.0f;
            float rivet = 0;
            for (float cx : rx)
                for (float cy : ry) rivet = std::max(rivet, dome(x, y, cx, cy, 9, 15));
            rivet = std::max(rivet, std::max(dome(x, y, rx[0], 128, 9, 15), dome(x, y, rx[2], 128, 9, 15)));
            Rgb steel = scale(Rgb{0.46f, 0.48f, 0.53f}, 0.8f + 0.25f * brushed + 0.2f * (blotch - 0.5f));
            Rgb c = steel;
            if (rivet > 0) {
                Rgb brass = scale(Rgb{0.78f, 0.62f, 0.28f}, 0.6f + 0.5f * rivet);
                c = mix(c, brass, smoothstep(0.0f, 0.25f, rivet));
            }
            if (seam > 0) c = scale(c, 0.55f);
            float light = bevelLight(x, y, N, N, BRICK_BX, BRICK_BY);
            c = light > 0 ? mix(c, {1, 1, 1}, light) : scale(c, 1 + light);
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = clamp01(0.1f + 0.7f * bev - 0.12f * seam + 0.25f * rivet + 0.015f * brushed);
            at(m.specular, x, y) = clamp01(0.55f + 0.3f * brushed - 0.3f * seam + 0.35f * rivet - 0.2f * blotch);
        }
    return m;
}

// ---- [SECTION] paddle --------------------------------------------------------------

Material paintPaddle(bool laser) {
    const int N = 256;
    Material m = makeMaterial(N, N);
    m.forms[0] = PLAIN32;
    m.forms[1] = PLAIN24;
    m.forms[2] = laser ? RLE32 : RLE24;
    m.forms[3] = RLE24;
    m.depth = 6.0f;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            float u = x / float(N), v = y / float(N);
            float bev = bevel(x, y, N, N, 12, 22);
            float brushed = valueNoise(u, v, 2, 200, 501);
            // Chrome: bright sky above a dark horizon band, lighter ground below.
            float sky = v < 0.5f ? 0.92f - 0.9f * v : 0.25f + 0.8f * (v - 0.5f);
            Rgb c = scale(Rgb{0.78f, 0.82f, 0.9f}, sky + 0.12f * (brushed - 0.5f));
            float h = 0.1f + 0.75f * bev;
            float shine = 0.85f + 0.1f * brushed;
            // End pads with grip ridges.
            bool pad = x < 40 || x >= N - 40;
            if (pad) {
                float ridge = 0.5f + 0.5f * std::sin(y * 2 * float(PI) / 16);
                c = scale(Rgb{0.25f, 0.27f, 0.33f}, 0.7f + 0.6f * ridge);
                h -= 0.12f * (1 - ridge) * bev;
                shine = 0.35f + 0.2f * ridge;
            }
            if (laser) {
                // Red warning chevrons on the pads and a red strip down the middle.
                if (pad && int((x + (y < N / 2 ? y : N - y)) / 20) % 2 == 0) {
                    c = scale(Rgb{0.95f, 0.12f, 0.08f}, 0.75f + 0.3f * sky);
                    shine = 0.6f;
                }
                float strip = 1 - smoothstep(10, 16, std::fabs(y - N * 0.5f));
                if (!pad && strip > 0) {
                    c = mix(c, Rgb{1.0f, 0.15f, 0.1f}, strip);
                    h -= 0.1f * strip;
                    shine = shine * (1 - strip) + 0.95f * strip;
                }
            } else {
                // A blue inlay line says "paddle" rather than plain metal.
                float line = 1 - smoothstep(3, 5, std::fabs(y - N * 0.5f));
                if (!pad) c = mix(c, Rgb{0.2f, 0.45f, 0.95f}, line * 0.8f);
                h -= 0.05f * line;
            }
            float light = bevelLight(x, y, N, N, 12, 22);
            c = light > 0 ? mix(c, {1, 1, 1}, light) : scale(c, 1 + light);
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = clamp01(h);
            at(m.specular, x, y) = clamp01(shine * (0.5f + 0.5f * bev));
        }
    return m;
}

// ---- [SECTION] capsules ------------------------------------------------------------

// The capsule is a textured sphere whose axis lies along the screen's x: the
// texture's t runs left to right and s around it, upwards at the front (s 0.75)
// and again half a turn later (s 0.25). The letter is drawn transposed at both.
Material paintCapsule(char letter, Rgb body) {
    const int N = 256;
    Material m = makeMaterial(N, N);
    m.forms[0] = RLE32;
    m.forms[1] = PLAIN24;
    m.forms[2] = RLE24;
    m.forms[3] = RLE24;
    m.depth = 5.0f;
    Field ink = makeField(N, N);
    const double centres[2] = {0.25, 0.75};
    const double tHalf = 0.2, sHalf = 0.095;  // letter extent around t 0.5 and each centre
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    double s = (x + (sx + 0.5) / 4) / N;
                    double t = 1 - (y + (sy + 0.5) / 4) / N;
                    for (double sc : centres) {
                        double cx = (t - (0.5 - tHalf)) / (2 * tHalf) * 5;
                        double cy = (sc + sHalf - s) / (2 * sHalf) * 7;
                        if (glyphCell(letter, cx, cy)) ++hits;
                    }
                }
            at(ink, x, y) = hits / 16.0f;
        }
    Field halo = blur(ink, 3);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            float t = 1 - (y + 0.5f) / N;
            float edge = std::min(t, 1 - t);  // 0 at the poles
            bool cap = edge < 0.14f;
            float groove = 1 - smoothstep(0.004f, 0.012f, std::fabs(edge - 0.14f));
            float gloss = valueNoise(x / float(N), t, 8, 8, 601);
            Rgb c = cap ? scale(Rgb{0.78f, 0.8f, 0.84f}, 0.7f + 2.0f * edge) : scale(body, 0.85f + 0.2f * gloss);
            c = scale(c, 1 - 0.7f * groove);
            float in = at(ink, x, y), outline = clamp01(at(halo, x, y) * 2.5f) * (1 - in);
            c = scale(c, 1 - 0.6f * outline);
            c = mix(c, Rgb{1, 1, 0.95f}, in);
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = clamp01(0.5f - 0.3f * groove + 0.3f * at(halo, x, y) + 0.15f * in);
            at(m.specular, x, y) = cap ? 0.9f : 0.7f - 0.2f * in;
        }
    return m;
}

// ---- [SECTION] rooms --------------------------------------------------------------

// Rooms repeat eight times across the side walls, so every map tiles.
constexpr int ROOM = 512;

Material roomMaterial() {
    Material m = makeMaterial(ROOM, ROOM);
    m.forms[0] = PLAIN24;
    m.forms[1] = PLAIN24;
    m.forms[2] = RLE24;
    m.forms[3] = RLE32;
    m.depth = 10.0f;
    return m;
}

// Slate tiles in blue-grey with dark grout.
Material paintSlate() {
    Material m = roomMaterial();
    const int tile = 128, grout = 4;
    for (int y = 0; y < ROOM; ++y)
        for (int x = 0; x < ROOM; ++x) {
            float u = x / float(ROOM), v = y / float(ROOM);
            int tx = x / tile, ty = y / tile;
            float lx = x % tile, ly = y % tile;
            float bev = bevel(lx - grout / 2.0f, ly - grout / 2.0f, tile - grout, tile - grout, 7, 7);
            bool inGrout = lx < grout / 2.0f || ly < grout / 2.0f || lx >= tile - grout / 2.0f || ly >= tile - grout / 2.0f;
            if (inGrout) bev = 0;
            float tint = hashUnit(tx, ty, 11);
            float layers = fbm(u, v, 4, 16, 5, 701);
            float speck = valueNoise(u, v, 128, 128, 709);
            Rgb slate = mix(Rgb{0.27f, 0.32f, 0.42f}, Rgb{0.36f, 0.4f, 0.47f}, tint);
            Rgb c = inGrout ? Rgb{0.1f, 0.1f, 0.12f} : scale(slate, 0.75f + 0.45f * layers + 0.1f * (speck - 0.5f));
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = inGrout ? 0.05f : 0.15f + 0.65f * bev + 0.15f * layers;
            at(m.specular, x, y) = inGrout ? 0.02f : 0.25f + 0.3f * layers;
        }
    return m;
}

// Warm wooden planks, staggered seams and grain.
Material paintPlanks() {
    Material m = roomMaterial();
    m.forms[3] = RLE24;
    const int plank = 64, length = 256;
    for (int y = 0; y < ROOM; ++y)
        for (int x = 0; x < ROOM; ++x) {
            float u = x / float(ROOM), v = y / float(ROOM);
            int row = y / plank;
            int offset = static_cast<int>(hashUnit(row, 0, 21) * 4) * (length / 4);
            int px = (x + offset) % ROOM;
            int piece = px / length;
            float ly = y % plank, lx = px % length;
            float bev = bevel(lx, ly, length, plank, 5, 4);
            float warp = fbm(u, v, 2, 8, 3, 801 + row);
            float ring = 0.5f + 0.5f * std::sin((v * 48 + warp * 6 + hashUnit(row, piece, 23) * 8) * 2 * float(PI));
            float streak = valueNoise(u, v, 4, 256, 809 + piece);
            Rgb wood = mix(Rgb{0.42f, 0.25f, 0.12f}, Rgb{0.62f, 0.42f, 0.22f}, 0.55f * ring + 0.45f * streak);
            wood = scale(wood, 0.85f + 0.3f * hashUnit(row, piece, 29));
            wood = scale(wood, 0.55f + 0.45f * bev);
            put(m.diffuse, x, y, wood);
            at(m.height, x, y) = 0.1f + 0.75f * bev + 0.06f * ring * bev;
            at(m.specular, x, y) = (0.12f + 0.15f * ring) * bev;
        }
    return m;
}

// Teal metal panels with vents, rivets and a glowing trace.
Material paintPanels() {
    Material m = roomMaterial();
    m.forms[0] = PLAIN32;
    const int panel = 256;
    for (int y = 0; y < ROOM; ++y)
        for (int x = 0; x < ROOM; ++x) {
            float u = x / float(ROOM), v = y / float(ROOM);
            float lx = x % panel, ly = y % panel;
            float bev = bevel(lx, ly, panel, panel, 10, 10);
            float grime = fbm(u, v, 4, 4, 4, 901);
            Rgb c = scale(Rgb{0.2f, 0.33f, 0.35f}, 0.75f + 0.4f * grime);
            float h = 0.1f + 0.7f * bev;
            float shine = 0.55f + 0.25f * grime;
            // Five vent slots across the lower part of each panel.
            for (int k = 0; k < 5; ++k) {
                float sy = 150 + k * 18;
                if (lx > 40 && lx < 216 && ly > sy && ly < sy + 8) {
                    c = Rgb{0.05f, 0.07f, 0.08f};
                    h = 0.15f;
                    shine = 0.05f;
                }
            }
            // A glowing trace: along the top band, then down at the right.
            bool trace = (std::fabs(ly - 48) < 2.5f && lx > 30 && lx < 200) ||
                         (std::fabs(lx - 200) < 2.5f && ly > 46 && ly < 120);
            float node = dome(lx, ly, 200, 120, 7, 7) + dome(lx, ly, 30, 48, 6, 6);
            if (trace || node > 0) {
                c = Rgb{0.35f, 1.0f, 0.9f};
                h = 0.55f + 0.2f * node;
                shine = 1.0f;
            }
            float rivet = 0;
            for (float cx : {18.0f, panel - 19.0f})
                for (float cy : {18.0f, panel - 19.0f}) rivet = std::max(rivet, dome(lx, ly, cx, cy, 6, 6));
            if (rivet > 0) {
                c = scale(Rgb{0.6f, 0.65f, 0.66f}, 0.6f + 0.5f * rivet);
                h += 0.2f * rivet;
                shine = 0.9f;
            }
            float light = bevelLight(lx, ly, panel, panel, 10, 10);
            c = light > 0 ? mix(c, {0.8f, 0.9f, 0.9f}, light) : scale(c, 1 + light);
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = clamp01(h);
            at(m.specular, x, y) = clamp01(shine * (0.3f + 0.7f * bev));
        }
    return m;
}

// Red brick masonry in running bond.
Material paintMasonry() {
    Material m = roomMaterial();
    m.forms[1] = RLE24;  // the one RLE normal map: flat mortar gives it runs
    const int courseH = 32, brickW = 128, mortar = 5;
    for (int y = 0; y < ROOM; ++y)
        for (int x = 0; x < ROOM; ++x) {
            float u = x / float(ROOM), v = y / float(ROOM);
            int course = y / courseH;
            int sx = (x + (course % 2) * (brickW / 2)) % ROOM;
            int piece = sx / brickW;
            float lx = sx % brickW, ly = y % courseH;
            bool inMortar = lx < mortar || ly < mortar;
            float bev = inMortar ? 0 : bevel(lx - mortar, ly - mortar, brickW - mortar, courseH - mortar, 4, 4);
            float clay = fbm(u, v, 8, 8, 4, 1001);
            float tint = hashUnit(course, piece, 31);
            Rgb brick = mix(Rgb{0.5f, 0.16f, 0.1f}, Rgb{0.66f, 0.3f, 0.18f}, tint);
            brick = scale(brick, 0.75f + 0.45f * clay);
            Rgb c = inMortar ? scale(Rgb{0.62f, 0.6f, 0.55f}, 0.8f + 0.3f * clay) : brick;
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = inMortar ? 0.08f : 0.2f + 0.7f * bev + 0.08f * clay;
            at(m.specular, x, y) = inMortar ? 0.03f : 0.08f + 0.1f * clay;
        }
    return m;
}

// ---- [SECTION] titles --------------------------------------------------------------

const char CAPSULE_LETTERS[7] = {'E', 'C', 'S', 'P', 'L', 'D', 'B'};
const Rgb CAPSULE_COLOURS[7] = {
    {0.15f, 0.35f, 0.95f}, {0.1f, 0.75f, 0.2f}, {0.98f, 0.55f, 0.1f}, {0.6f, 0.62f, 0.75f},
    {0.9f, 0.1f, 0.1f},    {0.1f, 0.8f, 0.9f},  {0.95f, 0.35f, 0.75f},
};

// The title quad is 36 by 10 world units; 512 x 128 keeps its pixels square.
Material paintMenu() {
    const int W = 512, H = 128;
    Material m = makeMaterial(W, H);
    m.forms[0] = RLE32;
    m.forms[1] = PLAIN24;
    m.forms[2] = RLE24;
    m.forms[3] = RLE24;
    m.depth = 5.0f;
    Field title = makeField(W, H), letters = makeField(W, H), pills = makeField(W, H);
    const double cell = 9;
    drawText(title, "TESSIVAR", (W - textWidth("TESSIVAR", cell)) / 2, 8, cell);
    Field titleBevel = blur(title, 2), shadow = blur(title, 4);
    const int pillW = 56, pillH = 34, gap = 12, pillY = 86;
    const int pillX0 = (W - (7 * pillW + 6 * gap)) / 2;
    int pillOf[W] = {};
    for (int x = 0; x < W; ++x) pillOf[x] = -1;
    for (int k = 0; k < 7; ++k) {
        int x0 = pillX0 + k * (pillW + gap);
        for (int x = x0; x < x0 + pillW; ++x) pillOf[x] = k;
        std::string s(1, CAPSULE_LETTERS[k]);
        drawText(letters, s, x0 + (pillW - textWidth(s, 3.5)) / 2, pillY + (pillH - 7 * 3.5) / 2, 3.5);
        // Pill: a rectangle with round ends, domed across its height.
        for (int y = pillY; y < pillY + pillH; ++y)
            for (int x = x0; x < x0 + pillW; ++x) {
                float r = pillH / 2.0f, cy = pillY + r;
                float cx = std::clamp(x + 0.5f, x0 + r, x0 + pillW - r);
                float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / r;
                if (d < 1) at(pills, x, y) = std::sqrt(1 - d * d);
            }
    }
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float u = x / float(W), v = y / float(H);
            float brushed = valueNoise(u, v, 4, 96, 1101);
            Rgb c = scale(Rgb{0.07f, 0.09f, 0.18f}, 0.8f + 0.4f * brushed);
            c = scale(c, 1 - 0.6f * at(shadow, x - 3, y - 3));
            float h = 0.1f + 0.02f * brushed, shine = 0.2f;
            float t = at(title, x, y);
            if (t > 0) {
                float b = at(titleBevel, x, y);
                Rgb gold = mix(Rgb{0.55f, 0.35f, 0.08f}, Rgb{1.0f, 0.85f, 0.35f}, b);
                gold = mix(gold, Rgb{1, 0.97f, 0.85f}, clamp01(1 - v * 3.5f) * 0.5f);
                c = mix(c, gold, t);
                h += 0.8f * b * t;
                shine = 0.2f + 0.7f * t;
            }
            float p = at(pills, x, y);
            if (p > 0 && pillOf[x] >= 0) {
                Rgb body = scale(CAPSULE_COLOURS[pillOf[x]], 0.45f + 0.65f * p);
                float l = at(letters, x, y);
                c = mix(body, Rgb{1, 1, 0.95f}, l);
                h = 0.1f + 0.5f * p + 0.15f * l;
                shine = 0.8f;
            }
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = clamp01(h);
            at(m.specular, x, y) = clamp01(shine);
        }
    return m;
}

// Splash logo: an orb with a ring above the word MORVI and a row of bricks.
Material paintMorvi() {
    const int N = 512;
    Material m = makeMaterial(N, N);
    m.forms[0] = RLE32;
    m.forms[1] = PLAIN24;
    m.forms[2] = RLE24;
    m.forms[3] = RLE32;
    m.depth = 8.0f;
    Field word = makeField(N, N);
    const double cell = 14;
    drawText(word, "MORVI", (N - textWidth("MORVI", cell)) / 2, 318, cell);
    Field wordBevel = blur(word, 3), glow = blur(blur(word, 8), 8);
    const Rgb brickColours[7] = {{0.9f, 0.1f, 0.1f}, {0.1f, 0.2f, 0.9f}, {1, 0.5f, 0.05f}, {0.8f, 0.2f, 0.8f},
                                 {0.1f, 0.85f, 0.2f}, {0.4f, 0.5f, 1},   {0.95f, 0.95f, 0.95f}};
    const float orbX = 256, orbY = 170, orbR = 92;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            float dx = x + 0.5f - 256, dy = y + 0.5f - 240;
            float radial = std::sqrt(dx * dx + dy * dy) / 360;
            Rgb c = mix(Rgb{0.2f, 0.08f, 0.3f}, Rgb{0.01f, 0.0f, 0.03f}, clamp01(radial));
            float h = 0.05f, shine = 0.1f;
            c = mix(c, Rgb{0.9f, 0.5f, 1.0f}, 0.35f * at(glow, x, y));
            // Orb, lit from the upper left.
            float orb = dome(x + 0.5f, y + 0.5f, orbX, orbY, orbR, orbR);
            if (orb > 0) {
                float ox = (x + 0.5f - orbX) / orbR, oy = (y + 0.5f - orbY) / orbR;
                float lambert = clamp01(-0.45f * ox - 0.55f * oy + 0.7f * orb);
                float highlight = std::pow(clamp01(1 - std::hypot(ox + 0.35f, oy + 0.4f) * 2.2f), 2.0f);
                Rgb orbC = mix(Rgb{0.05f, 0.25f, 0.55f}, Rgb{0.35f, 0.75f, 1.0f}, lambert);
                c = mix(orbC, Rgb{1, 1, 1}, highlight);
                h = 0.2f + 0.6f * orb;
                shine = 0.9f;
            }
            // Tilted ring about the orb, passing behind it at the top.
            float rx = (x + 0.5f - orbX) / 150, ry = (y + 0.5f - orbY) / 42;
            float ring = 1 - smoothstep(0.03f, 0.07f, std::fabs(std::sqrt(rx * rx + ry * ry) - 1));
            if (ring > 0 && (orb == 0 || y > orbY)) {
                c = mix(c, Rgb{1.0f, 0.8f, 0.3f}, ring);
                h = std::max(h, 0.3f + 0.5f * ring);
                shine = 0.8f;
            }
            float w = at(word, x, y);
            if (w > 0) {
                float b = at(wordBevel, x, y);
                c = mix(c, mix(Rgb{0.75f, 0.75f, 0.85f}, Rgb{1, 1, 1}, b), w);
                h = 0.1f + 0.8f * b * w;
                shine = 0.9f;
            }
            // Seven bricks in the game's colours under the word.
            const float by0 = 446, bh = 22, bw = 50, gap = 8, bx0 = (N - (7 * bw + 6 * gap)) / 2;
            if (y >= by0 && y < by0 + bh && x >= bx0) {
                int k = static_cast<int>((x - bx0) / (bw + gap));
                float lx = x - bx0 - k * (bw + gap);
                if (k < 7 && lx < bw) {
                    float bev = bevel(lx, y - by0, bw, bh, 4, 4);
                    c = scale(brickColours[k], 0.55f + 0.45f * bev);
                    h = 0.1f + 0.6f * bev;
                    shine = 0.6f;
                }
            }
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = clamp01(h);
            at(m.specular, x, y) = clamp01(shine);
        }
    return m;
}

}  // namespace

// ---- [SECTION] entry -------------------------------------------------------------

bool writeTextures(const std::string& dir) {
    if (!makeDirectories(dir + "/Textures/prizes")) return false;
    const Rgb RED{0.85f, 0.1f, 0.08f}, BLUE{0.1f, 0.2f, 0.85f}, ORANGE{0.95f, 0.5f, 0.08f},
        PINK{0.8f, 0.25f, 0.75f}, GREEN{0.12f, 0.75f, 0.2f}, LIGHTBLUE{0.4f, 0.55f, 1.0f}, WHITE{0.9f, 0.9f, 0.88f};
    // In the game's load order; the index of a name is its material index.
    bool ok = true;
    auto save = [&](const char* name, const Material& m) {
        if (ok) ok = saveMaterial(dir, name, m);
    };
    save("background1", paintSlate());
    save("player", paintPaddle(false));
    save("red", paintBrick(RED, 101));
    save("blue", paintBrick(BLUE, 102));
    save("orange", paintBrick(ORANGE, 103));
    save("pink", paintBrick(PINK, 104));
    save("green", paintBrick(GREEN, 105));
    save("grey", paintGrey());
    save("iron", paintIron());
    for (int k = 0; k < 7; ++k) {
        std::string name = std::string("prizes/") + CAPSULE_LETTERS[k];
        save(name.c_str(), paintCapsule(CAPSULE_LETTERS[k], CAPSULE_COLOURS[k]));
    }
    save("playerlaser", paintPaddle(true));
    save("lightblue", paintBrick(LIGHTBLUE, 106));
    save("white", paintBrick(WHITE, 107));
    save("background2", paintPlanks());
    save("background3", paintPanels());
    save("background4", paintMasonry());
    save("menu", paintMenu());
    save("morvi", paintMorvi());
    return ok;
}
