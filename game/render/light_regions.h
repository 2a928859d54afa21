// game/render/light_regions: where each light's term must be computed in the
// one lit pass. Software GL cannot skip a light's arithmetic per pixel, so
// the pass is drawn as a few scissored draws of the scene, each with a
// program that sums only the lights that can reach its rectangle; a draw
// costs a fixed amount (every vertex once more), so small rectangles are not
// worth their own. No GL, no globals.
#pragma once

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
constexpr int LIGHT_REGIONS_MAX = 32;   // draws of one lit pass at most
constexpr int REGION_ALIGN = 4;         // software GL shades 4x4 blocks: cuts on their edges shade none twice

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// One light as the planner weighs it; per frame.
struct RegionLight {
    int rect[4];        // x, y, width, height in the view's pixels, outside which it adds exactly 0
    double pixelCost;   // its arithmetic per pixel, in the units of drawCost
};

// One scissored draw of the pass: a rectangle and the lights it sums.
struct LightRegion {
    int rect[4];         // x, y, width, height in the view's pixels
    unsigned int mask;   // bit i: light i of the planner's list
};

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

// Splits the view (width x height) into rectangles, cutting only where it
// saves more arithmetic than the extra draw costs. Every pixel where a light
// can add something lies in exactly one rectangle whose mask holds that light;
// pixels no light reaches are in none. Returns the count (at most max).
int planLightRegions(int width, int height, const RegionLight lights[], int count, double drawCost,
                     LightRegion regions[], int max);
