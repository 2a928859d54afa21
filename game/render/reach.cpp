// game/render/reach: what each light's passes can change, so that work which
// changes no pixel is left out. Outside its cone a spot light adds exactly
// nothing (the shader's cone factor is 0), yet a lit pass shades every pixel
// of the scene; the scenes lie in known boxes, so the part of the cone inside
// a box bounds, in window pixels, everything the pass can change. The other
// proofs here are of the same kind: each names the shader's arithmetic that
// makes a pass or a block contribute exactly 0, or a lookup exactly 1.
#include "game/playfield/playfield.h"
#include "game/render/engine.h"
#include "game/render/render.h"
#include "game/shell/config.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double CONE_MARGIN_DEGREES = 1; // spot cones are widened by this when bounded, for rounding
constexpr int SCISSOR_MARGIN = 2;         // pixels added around a bound
constexpr double COSINE_MARGIN = 1e-4;    // a cosine this far outside the cut-off stays outside in floats
constexpr double BEHIND_MARGIN = 1e-3;    // distance behind a light camera that float rounding keeps behind

struct Vec3 {
    double x, y, z;
};
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// A half-space: dot(normal, p) <= offset.
struct Plane {
    Vec3 normal;
    double offset;
};

constexpr int CONE_SIDES = 16;            // sides of the pyramid standing in for the cone
constexpr int MAX_POLYGON = 64;           // corners a clipped face can have

struct Polygon {
    Vec3 corners[MAX_POLYGON];
    int count = 0;
};

// Sutherland-Hodgman: the part of polygon inside the half-space.
Polygon clipPolygon(const Polygon& polygon, const Plane& plane)
{
    Polygon out;
    for (int i = 0; i < polygon.count; ++i) {
        const Vec3 a = polygon.corners[i];
        const Vec3 b = polygon.corners[(i + 1) % polygon.count];
        const double da = dot(plane.normal, a) - plane.offset;
        const double db = dot(plane.normal, b) - plane.offset;
        if (da <= 0 && out.count < MAX_POLYGON) {
            out.corners[out.count++] = a;
        }
        if (((da < 0 && db > 0) || (da > 0 && db < 0)) && out.count < MAX_POLYGON) {
            out.corners[out.count++] = a + (b - a) * (da / (da - db));
        }
    }
    return out;
}

// The box every object of a scene lies in. Every lookup into a shadow map
// lies in it too: shadow coordinates come from the eye position of the very
// fragment.
void sceneBox(SceneKind scene, Vec3& low, Vec3& high)
{
    if (scene == SceneKind::Menu) {
        low = {-2000, 15, -2000};   // the floor; the brick and the title stand above it
        high = {2000, 55, 2000};
        return;
    }
    if (scene == SceneKind::Splash) {
        low = {20, -2, -10};        // the logo quad, at its widest
        high = {60, 48, -10};
        return;
    }
    low = {20, -15, 13};     // the room, as drawRoom places it
    high = {60, 55, 83};
    auto grow = [&](double x, double y, double reach) {
        low = {std::min(low.x, x - reach), std::min(low.y, y - reach), std::min(low.z, PLAY_PLANE_Z - reach)};
        high = {std::max(high.x, x + reach), std::max(high.y, y + reach), std::max(high.z, PLAY_PLANE_Z + reach)};
    };
    grow(field.paddle.x, field.paddle.y, std::abs(field.paddle.halfWidth) + 3);
    for (int i = 0; i < 6; ++i) {
        grow(68 + 4 * (i % 3), 33, 4);   // the spare paddles
        grow(68 + 4 * (i % 3), 35, 4);
    }
    for (const Brick& brick : field.bricks) {
        if (brick.present) {
            grow(brick.x, brick.y, 3);
        }
        if (brick.capsuleFalling) {
            grow(brick.x, brick.capsuleY, 3);
        } else if (brick.brickFalling) {
            grow(brick.x, brick.fallY, 3);
        }
    }
}

Vec3 boxCorner(const Vec3& low, const Vec3& high, int i)
{
    return {(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y, (i & 4) ? high.z : low.z};
}

// The window bound of the polygons under the view camera; false when one
// reaches behind the eye.
struct WindowBound {
    double minX = 1e30, minY = 1e30, maxX = -1e30, maxY = -1e30;
    int corners = 0;
    bool behindEye = false;

    void take(const Polygon& polygon)
    {
        const double width = config.screenWidth, height = config.screenHeight;
        const Matrix4 clipFromWorld = multiply(renderer.viewProjection, renderer.viewCamera);
        for (int i = 0; i < polygon.count && !behindEye; ++i) {
            const double p[3] = {polygon.corners[i].x, polygon.corners[i].y, polygon.corners[i].z};
            double clip[4];
            transformPoint(clipFromWorld, p, clip);
            if (clip[3] < VIEW_NEAR * 0.5) {
                behindEye = true;
                return;
            }
            const double x = (clip[0] / clip[3] + 1) * 0.5 * width;
            const double y = (clip[1] / clip[3] + 1) * 0.5 * height;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
            ++corners;
        }
    }
};

// Eye-space vectors of a light as GL keeps them: the position by the whole
// view matrix, the spot direction by its rotation.
Vec3 eyeDirection(const float v[3])
{
    const double* m = renderer.viewCamera.m;
    return {m[0] * v[0] + m[4] * v[1] + m[8] * v[2], m[1] * v[0] + m[5] * v[1] + m[9] * v[2],
            m[2] * v[0] + m[6] * v[1] + m[10] * v[2]};
}

// A directional spot light's cone factor is one number for every pixel: the
// direction to the light does not vary. True when that number is 0 for sure.
bool directionalConeIsDark(const Light& light)
{
    Vec3 toLight = eyeDirection(light.position);
    Vec3 axis = eyeDirection(light.direction);
    const double distance = std::sqrt(dot(toLight, toLight));
    const double axisLength = std::sqrt(dot(axis, axis));
    if (distance < 1e-4 || axisLength < 1e-6 || light.spotCutoff >= 90 || light.spotCutoff < 0) {
        return false;   // the shader then lights along each normal, or GL rejects the cut-off
    }
    const double cosine = -dot(toLight, axis) / (distance * axisLength);
    // smoothstep(edge, edge + 0.05, cosine) is 0 below the edge; pow(0, 0)
    // could be NaN, so a cosine at or below 0 needs a positive exponent.
    return cosine < std::cos(light.spotCutoff * PI / 180) - COSINE_MARGIN &&
           (cosine > COSINE_MARGIN || light.spotExponent > 0);
}

// The light camera of the shadow pass, as setCamera builds it.
Matrix4 lightCamera(const Light& light)
{
    const double eye[3] = {light.position[0], light.position[1], light.position[2]};
    const double centre[3] = {eye[0] + light.direction[0], eye[1] + light.direction[1], eye[2] + light.direction[2]};
    static const double up[3] = {0, 1, 0};
    return lookAtMatrix(eye, centre, up);
}

// No lookup of the lit pass can find a shadow: the shadow camera either sees
// the whole scene box from in front (every shadow coordinate has w <= 0 and
// the shader returns 1 before sampling), or is degenerate (its view runs
// along the up vector, so every triangle of the shadow pass has no area, the
// map stays cleared to 1 and every comparison passes).
bool shadowCannotFall(const Light& light, SceneKind scene)
{
    const Matrix4 camera = lightCamera(light);
    bool flat = true;
    for (int i = 0; i < 3; ++i) {
        flat = flat && camera.m[i * 4] == 0 && camera.m[i * 4 + 1] == 0;
    }
    if (flat) {
        return true;
    }
    Vec3 low, high;
    sceneBox(scene, low, high);
    for (int i = 0; i < 8; ++i) {
        const Vec3 c = boxCorner(low, high, i);
        const double p[3] = {c.x, c.y, c.z};
        double eye[4];
        transformPoint(camera, p, eye);
        if (-eye[2] > -BEHIND_MARGIN) {   // the perspective's w is -z in the light's eye space
            return false;
        }
    }
    return true;
}

}   // namespace

// A spot light at a point with a cone narrow enough to bound (its shadow
// camera's field of view, three times the cut-off, stays below 180 degrees).
bool spotLightInScene(const Light& light)
{
    const double cutoff = light.spotCutoff + CONE_MARGIN_DEGREES;
    const double length = std::sqrt(dot({light.direction[0], light.direction[1], light.direction[2]},
                                        {light.direction[0], light.direction[1], light.direction[2]}));
    return renderer.spotScissor && light.spot && light.position[3] != 0 && cutoff < 59 && light.spotCutoff > 0 &&
           length >= 1e-6;
}

// The shadow camera looks down the spot's axis with three times its cut-off
// as field of view, so the cone fills only the middle of the map; texels
// outside it are read only by fragments outside the cone, where the light
// adds exactly 0 whatever they read (and they hold "unshadowed": the pass
// clears the whole map).
bool shadowWindow(const Light& light, int window[4])
{
    if (!spotLightInScene(light)) {
        return false;
    }
    const int mapWidth = 2 * config.screenWidth, mapHeight = 2 * config.screenHeight;
    const int height = config.screenHeight != 0 ? config.screenHeight : 1;
    const double aspect = std::max(1, config.screenWidth / height);
    const double reach = std::tan((light.spotCutoff + CONE_MARGIN_DEGREES) * PI / 180) /
                         std::tan(1.5 * light.spotCutoff * PI / 180);
    const int halfWidth = static_cast<int>(std::ceil(reach / aspect * mapWidth / 2)) + SCISSOR_MARGIN;
    const int halfHeight = static_cast<int>(std::ceil(reach * mapHeight / 2)) + SCISSOR_MARGIN;
    window[0] = mapWidth / 2 - halfWidth;
    window[1] = mapHeight / 2 - halfHeight;
    window[2] = 2 * halfWidth;
    window[3] = 2 * halfHeight;
    return true;
}

namespace {

// The pyramid around a cone, reaching past a given distance: its side and base
// planes (inside is dot <= offset) and faces.
struct Pyramid {
    Plane planes[CONE_SIDES + 1];
    Polygon faces[CONE_SIDES + 1];
};

Pyramid conePyramid(Vec3 apex, Vec3 axis, double cutoffDegrees, double reach)
{
    const Vec3 helper = std::abs(axis.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    Vec3 u = cross(axis, helper);
    u = u * (1 / std::sqrt(dot(u, u)));
    const Vec3 v = cross(axis, u);
    const double radius = reach * std::tan(cutoffDegrees * PI / 180) / std::cos(PI / CONE_SIDES);
    Vec3 base[CONE_SIDES];
    for (int i = 0; i < CONE_SIDES; ++i) {
        const double angle = 2 * PI * i / CONE_SIDES;
        base[i] = apex + axis * reach + u * (radius * std::cos(angle)) + v * (radius * std::sin(angle));
    }
    const Vec3 inside = apex + axis * (reach * 0.75);
    Pyramid pyramid;
    for (int i = 0; i < CONE_SIDES; ++i) {
        const Vec3 b0 = base[i], b1 = base[(i + 1) % CONE_SIDES];
        Vec3 normal = cross(b0 - apex, b1 - apex);
        if (dot(normal, inside - apex) > 0) {
            normal = normal * -1;
        }
        pyramid.planes[i] = {normal, dot(normal, apex)};
        Polygon& face = pyramid.faces[i];
        face.corners[0] = apex;
        face.corners[1] = b0;
        face.corners[2] = b1;
        face.count = 3;
    }
    pyramid.planes[CONE_SIDES] = {axis, dot(axis, apex + axis * reach)};
    for (int i = 0; i < CONE_SIDES; ++i) {
        pyramid.faces[CONE_SIDES].corners[i] = base[i];
    }
    pyramid.faces[CONE_SIDES].count = CONE_SIDES;
    return pyramid;
}

// The window bound of pyramid-and-box: the pyramid's faces inside the box and
// the box's faces inside the pyramid.
WindowBound boundOfPyramidInBox(const Pyramid& pyramid, const Vec3& low, const Vec3& high)
{
    const Plane boxPlanes[6] = {{{-1, 0, 0}, -low.x}, {{1, 0, 0}, high.x}, {{0, -1, 0}, -low.y},
                                {{0, 1, 0}, high.y},  {{0, 0, -1}, -low.z}, {{0, 0, 1}, high.z}};
    static const int BOX_FACES[6][4] = {{0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 5, 4},
                                        {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 5, 7, 6}};
    WindowBound bound;
    for (const Polygon& face : pyramid.faces) {
        Polygon clipped = face;
        for (const Plane& plane : boxPlanes) {
            clipped = clipPolygon(clipped, plane);
        }
        bound.take(clipped);
    }
    for (const auto& indices : BOX_FACES) {
        Polygon clipped;
        for (int index : indices) {
            clipped.corners[clipped.count++] = boxCorner(low, high, index);
        }
        for (const Plane& plane : pyramid.planes) {
            clipped = clipPolygon(clipped, plane);
        }
        bound.take(clipped);
    }
    return bound;
}

}   // namespace

// The window rectangle (x, y, width, height) outside which the spot light
// cannot change a pixel of the scene; false when no useful bound exists.
bool spotLightRectangle(const Light& light, SceneKind scene, int rect[4])
{
    const Vec3 apex = {light.position[0], light.position[1], light.position[2]};
    Vec3 axis = {light.direction[0], light.direction[1], light.direction[2]};
    const double axisLength = std::sqrt(dot(axis, axis));
    if (!spotLightInScene(light) || axisLength < 1e-6) {
        return false;
    }
    axis = axis * (1 / axisLength);
    Vec3 low, high;
    sceneBox(scene, low, high);
    double reach = 0;   // the pyramid reaches past the farthest corner of the box
    for (int i = 0; i < 8; ++i) {
        const Vec3 d = boxCorner(low, high, i) - apex;
        reach = std::max(reach, std::sqrt(dot(d, d)));
    }
    const WindowBound bound =
        boundOfPyramidInBox(conePyramid(apex, axis, light.spotCutoff + CONE_MARGIN_DEGREES, reach), low, high);
    if (bound.behindEye) {
        return false;
    }
    if (bound.corners == 0) {   // the cone misses the scene
        rect[0] = rect[1] = rect[2] = rect[3] = 0;
        return true;
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(bound.minX)) - SCISSOR_MARGIN);
    const int y0 = std::max(0, static_cast<int>(std::floor(bound.minY)) - SCISSOR_MARGIN);
    const int x1 = std::min(config.screenWidth, static_cast<int>(std::ceil(bound.maxX)) + SCISSOR_MARGIN);
    const int y1 = std::min(config.screenHeight, static_cast<int>(std::ceil(bound.maxY)) + SCISSOR_MARGIN);
    rect[0] = x0;
    rect[1] = y0;
    rect[2] = std::max(0, x1 - x0);
    rect[3] = std::max(0, y1 - y0);
    return true;
}

LightPlan planLight(const Light& light, SceneKind scene)
{
    LightPlan plan;
    plan.scissored = renderer.spotScissor && spotLightRectangle(light, scene, plan.rect);
    if (!renderer.skipDeadWork) {
        plan.variant = scene == SceneKind::Splash ? LIT_NO_SHADOW : LIT_FULL;
        return plan;
    }
    const bool directional = light.position[3] == 0;
    plan.variant = (directional ? LIT_DIRECTIONAL : 0) | (light.spot ? 0 : LIT_NO_CONE);
    // Black light: every term of the shader is a product with its colour
    // (attenuation is finite while its three factors are 0, as the game keeps them).
    const bool black = light.colour[0] == 0 && light.colour[1] == 0 && light.colour[2] == 0 &&
                       (directional || (light.constantAttenuation == 0 && light.linearAttenuation == 0 &&
                                        light.quadraticAttenuation == 0));
    const bool coneMisses = plan.scissored && (plan.rect[2] == 0 || plan.rect[3] == 0);
    plan.addsNothing = black || coneMisses || (directional && light.spot && directionalConeIsDark(light));
    // The splash draws no shadow pass: its lookups land outside the map (loadWorldShadowMatrix).
    plan.shadowUnread = scene == SceneKind::Splash || shadowCannotFall(light, scene);
    if (plan.shadowUnread) {
        plan.variant |= LIT_NO_SHADOW;
    }
    return plan;
}
