// game/render/light_regions: a greedy guillotine split of the view. Each
// rectangle is either drawn whole with the lights that overlap it, or cut in
// two at the light edge that saves the most; then both halves are weighed in
// turn. Cuts lie on REGION_ALIGN pixels, lights' rectangles grown out to them
// (a light adds exactly 0 in the pixels it gains).
#include "game/render/light_regions.h"

#include <algorithm>

namespace {

struct Rect {
    int x0, y0, x1, y1;   // half-open
};

struct Planner {
    Rect lights[32];
    double costs[32];
    int count;
    double drawCost;
    LightRegion* regions;
    int max;
    int used;
};

bool overlaps(const Rect& a, const Rect& b) { return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1; }

unsigned int maskOf(const Planner& p, const Rect& r)
{
    unsigned int mask = 0;
    for (int i = 0; i < p.count; ++i) {
        if (overlaps(p.lights[i], r)) {
            mask |= 1u << i;
        }
    }
    return mask;
}

// What drawing r whole costs: one draw and each overlapping light over its pixels.
double wholeCost(const Planner& p, const Rect& r, unsigned int mask)
{
    if (mask == 0) {
        return 0;   // nothing to add: not drawn
    }
    const double area = static_cast<double>(r.x1 - r.x0) * (r.y1 - r.y0);
    double cost = p.drawCost;
    for (int i = 0; i < p.count; ++i) {
        if (mask & (1u << i)) {
            cost += area * p.costs[i];
        }
    }
    return cost;
}

void emit(Planner& p, const Rect& r, unsigned int mask)
{
    if (mask == 0 || p.used >= p.max) {
        return;
    }
    LightRegion& region = p.regions[p.used++];
    region.rect[0] = r.x0;
    region.rect[1] = r.y0;
    region.rect[2] = r.x1 - r.x0;
    region.rect[3] = r.y1 - r.y0;
    region.mask = mask;
}

// The two halves of r cut at position at along axis (0: x, 1: y).
void cut(const Rect& r, int axis, int at, Rect& low, Rect& high)
{
    low = high = r;
    if (axis == 0) {
        low.x1 = high.x0 = at;
    } else {
        low.y1 = high.y0 = at;
    }
}

void split(Planner& p, const Rect& r, int depth)
{
    const unsigned int mask = maskOf(p, r);
    const double whole = wholeCost(p, r, mask);
    double best = whole;
    int bestAxis = -1, bestAt = 0;
    // Every cut at a light's edge; one free draw per pending rectangle keeps
    // the regions within max whatever the cuts.
    if (p.used + depth + 2 <= p.max) {
        for (int i = 0; i < p.count; ++i) {
            if (!(mask & (1u << i))) {
                continue;
            }
            const int edges[2][2] = {{p.lights[i].x0, p.lights[i].x1}, {p.lights[i].y0, p.lights[i].y1}};
            for (int axis = 0; axis < 2; ++axis) {
                const int low = axis == 0 ? r.x0 : r.y0, high = axis == 0 ? r.x1 : r.y1;
                for (int at : edges[axis]) {
                    if (at <= low || at >= high) {
                        continue;
                    }
                    Rect a, b;
                    cut(r, axis, at, a, b);
                    const double cost = wholeCost(p, a, maskOf(p, a)) + wholeCost(p, b, maskOf(p, b));
                    if (cost < best) {
                        best = cost;
                        bestAxis = axis;
                        bestAt = at;
                    }
                }
            }
        }
    }
    if (bestAxis < 0) {
        emit(p, r, mask);
        return;
    }
    Rect a, b;
    cut(r, bestAxis, bestAt, a, b);
    split(p, a, depth + 1);
    split(p, b, depth);
}

int alignDown(int v) { return v / REGION_ALIGN * REGION_ALIGN; }
int alignUp(int v) { return (v + REGION_ALIGN - 1) / REGION_ALIGN * REGION_ALIGN; }

}   // namespace

int planLightRegions(int width, int height, const RegionLight lights[], int count, double drawCost,
                     LightRegion regions[], int max)
{
    if (width <= 0 || height <= 0 || max <= 0) {
        return 0;
    }
    Planner p{};
    p.count = std::min(count, 32);
    p.drawCost = drawCost;
    p.regions = regions;
    p.max = max;
    for (int i = 0; i < p.count; ++i) {
        const int* r = lights[i].rect;
        Rect& to = p.lights[i];
        to.x0 = std::clamp(alignDown(std::max(r[0], 0)), 0, width);
        to.y0 = std::clamp(alignDown(std::max(r[1], 0)), 0, height);
        to.x1 = std::clamp(alignUp(std::max(r[0], 0) + std::max(r[2], 0)), 0, width);
        to.y1 = std::clamp(alignUp(std::max(r[1], 0) + std::max(r[3], 0)), 0, height);
        if (r[2] <= 0 || r[3] <= 0) {
            to.x1 = to.x0;   // an empty rectangle overlaps nothing
        }
        p.costs[i] = lights[i].pixelCost;
    }
    split(p, {0, 0, width, height}, 0);
    return p.used;
}
