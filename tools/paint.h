// tools/paint: what the material painters share: colours, bevels, the
// material record and its writer. Depends on assetgen.h (image helpers, TGA writer).
#pragma once

#include "tools/assetgen.h"

#include <algorithm>
#include <cmath>
#include <string>

struct Rgb {
    float r, g, b;
};

inline Rgb mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

inline Rgb scale(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }

inline float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

inline float smoothstep(float e0, float e1, float x)
{
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// 0..1 unit hash of integers, for per-tile and per-plank variation.
inline float hashUnit(int a, int b, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(a) * 374761393u + static_cast<uint32_t>(b) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffff) / 65535.0f;
}

inline void put(Image& img, int x, int y, Rgb c, float a = 1.0f)
{
    setPixel(img, x, y, clamp01(c.r), clamp01(c.g), clamp01(c.b), a);
}

// Rounded rise from 0 at a rectangle's rim to 1 at `bx`, `by` pixels inside it.
inline float bevel(float x, float y, float w, float h, float bx, float by)
{
    float d = std::min(std::min(x / bx, (w - 1 - x) / bx), std::min(y / by, (h - 1 - y) / by));
    d = clamp01(d);
    return 1 - (1 - d) * (1 - d);
}

// Baked light on a bevel: the upper and left slopes catch it, the others not.
inline float bevelLight(float x, float y, float w, float h, float bx, float by)
{
    float l = x / bx, r = (w - 1 - x) / bx, t = y / by, b = (h - 1 - y) / by;
    float m = std::min(std::min(l, r), std::min(t, b));
    if (m >= 1) return 0;
    float k = 1 - m;
    return (m == l || m == t) ? 0.22f * k : -0.28f * k;
}

// Rivet dome of radii rx, ry at (cx, cy): 0 outside, up to 1 on top.
inline float dome(float x, float y, float cx, float cy, float rx, float ry)
{
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

inline Material makeMaterial(int w, int h)
{
    Material m;
    m.diffuse = makeImage(w, h);
    m.height = makeField(w, h);
    m.specular = makeField(w, h);
    return m;
}

inline const TgaForm PLAIN24{24, false};
inline const TgaForm PLAIN32{32, false};
inline const TgaForm RLE24{24, true};
inline const TgaForm RLE32{32, true};

inline bool saveMaterial(const std::string& dir, const std::string& name, const Material& m)
{
    std::string base = dir + "/Textures/" + name;
    return writeTga(base + "D.tga", m.diffuse, m.forms[0]) &&
           writeTga(base + "N.tga", normalsFromHeights(m.height, m.depth), m.forms[1]) &&
           writeTga(base + "S.tga", greyImage(m.specular), m.forms[2]) &&
           writeTga(base + "H.tga", greyImage(m.height), m.forms[3]);
}

// The capsules' letters and body colours, by capsule type 1..7 (index 0 is type 1).
inline const char CAPSULE_LETTERS[7] = {'E', 'C', 'S', 'P', 'L', 'D', 'B'};
inline const Rgb CAPSULE_COLOURS[7] = {
    {0.15f, 0.35f, 0.95f}, {0.1f, 0.75f, 0.2f}, {0.98f, 0.55f, 0.1f},  {0.6f, 0.62f, 0.75f},
    {0.9f, 0.1f, 0.1f},    {0.1f, 0.8f, 0.9f},  {0.95f, 0.35f, 0.75f},
};

// scenery.cpp: the rooms and the titles.
Material paintSlate();
Material paintPlanks();
Material paintPanels();
Material paintMasonry();
Material paintMenu();
Material paintMorvi();
