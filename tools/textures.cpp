// tools/textures: paints the materials of play (bricks, paddle, capsules) and
// writes every material of the catalogue (diffuse, normal, specular, height);
// the rooms and the titles are painted in scenery.cpp.
//
// [SECTION] bricks         the seven coloured bricks, grey stone, iron
// [SECTION] paddle         "player" and "playerlaser"
// [SECTION] capsules       "prizes/E" .. "prizes/B"
// [SECTION] entry          writeTextures
#include "tools/paint.h"

#include "levelpack/catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// ---- [SECTION] bricks ------------------------------------------------------------

// The brick face is 3.4 wide and 2 high, so the bevel is narrower across the
// texture than down it to look even once stretched.
constexpr float BRICK_BX = 14, BRICK_BY = 24;

Material paintBrick(Rgb base, uint32_t seed)
{
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

Material paintGrey()
{
    const int N = 256;
    Material m = makeMaterial(N, N);
    m.forms[0] = RLE24;   // noisy, so RLE mostly falls back to raw packets
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

Material paintIron()
{
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
                for (float cy : ry)
                    rivet = std::max(rivet, dome(x, y, cx, cy, 9, 15));
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

Material paintPaddle(bool laser)
{
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
Material paintCapsule(char letter, Rgb body)
{
    const int N = 256;
    Material m = makeMaterial(N, N);
    m.forms[0] = RLE32;
    m.forms[1] = PLAIN24;
    m.forms[2] = RLE24;
    m.forms[3] = RLE24;
    m.depth = 5.0f;
    Field ink = makeField(N, N);
    const double centres[2] = {0.25, 0.75};
    const double tHalf = 0.2, sHalf = 0.095;   // letter extent around t 0.5 and each centre
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
            float edge = std::min(t, 1 - t);   // 0 at the poles
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

}   // namespace

// ---- [SECTION] entry -------------------------------------------------------------

namespace {

const Rgb RED{0.85f, 0.1f, 0.08f}, BLUE{0.1f, 0.2f, 0.85f}, ORANGE{0.95f, 0.5f, 0.08f}, PINK{0.8f, 0.25f, 0.75f},
    GREEN{0.12f, 0.75f, 0.2f}, LIGHTBLUE{0.4f, 0.55f, 1.0f}, WHITE{0.9f, 0.9f, 0.88f};

Material paintMaterial(int index)
{
    if (index >= MAT_PRIZE_E && index <= MAT_PRIZE_B) {
        const int k = index - MAT_PRIZE_E;
        return paintCapsule(CAPSULE_LETTERS[k], CAPSULE_COLOURS[k]);
    }
    switch (index) {
        case MAT_BACKGROUND1: return paintSlate();
        case MAT_PLAYER: return paintPaddle(false);
        case MAT_RED: return paintBrick(RED, 101);
        case MAT_BLUE: return paintBrick(BLUE, 102);
        case MAT_ORANGE: return paintBrick(ORANGE, 103);
        case MAT_PINK: return paintBrick(PINK, 104);
        case MAT_GREEN: return paintBrick(GREEN, 105);
        case MAT_GREY: return paintGrey();
        case MAT_IRON: return paintIron();
        case MAT_PLAYERLASER: return paintPaddle(true);
        case MAT_LIGHTBLUE: return paintBrick(LIGHTBLUE, 106);
        case MAT_WHITE: return paintBrick(WHITE, 107);
        case MAT_BACKGROUND2: return paintPlanks();
        case MAT_BACKGROUND3: return paintPanels();
        case MAT_BACKGROUND4: return paintMasonry();
        case MAT_MENU: return paintMenu();
        default: return paintMorvi();
    }
}

}   // namespace

bool writeTextures(const std::string& dir)
{
    if (!makeDirectories(dir + "/Textures/prizes")) return false;
    for (int index = 0; index < MATERIAL_COUNT; ++index) {
        if (!saveMaterial(dir, MATERIAL_NAMES[index], paintMaterial(index))) return false;
    }
    return true;
}
