// game/render/spot_bounds: the cone of a spot light as a pyramid of
// CONE_SIDES sides, clipped against the scene's box and projected into the
// window; and the other proofs about a light that need only its numbers.
#include "game/render/spot_bounds.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double CONE_MARGIN_DEGREES = 1;   // spot cones are widened by this when bounded, for rounding
constexpr int SCISSOR_MARGIN = 2;           // pixels added around a bound
constexpr double COSINE_MARGIN = 1e-4;      // a cosine this far outside the cut-off stays outside in floats
constexpr double BEHIND_MARGIN = 1e-3;      // distance behind a light camera that float rounding keeps behind

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

constexpr int CONE_SIDES = 16;    // sides of the pyramid standing in for the cone
constexpr int MAX_POLYGON = 64;   // corners a clipped face can have

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

Vec3 boxCorner(const SceneBox& box, int i)
{
    return {(i & 1) ? box.high[0] : box.low[0], (i & 2) ? box.high[1] : box.low[1], (i & 4) ? box.high[2] : box.low[2]};
}

// The window bound of the polygons under the view camera; behindEye when one
// reaches behind the eye.
struct WindowBound {
    double minX = 1e30, minY = 1e30, maxX = -1e30, maxY = -1e30;
    int corners = 0;
    bool behindEye = false;
};

void takePolygon(WindowBound& bound, const Polygon& polygon, const ViewTransform& view)
{
    const double width = view.width, height = view.height;
    const Matrix4 clipFromWorld = multiply(view.projection, view.camera);
    for (int i = 0; i < polygon.count && !bound.behindEye; ++i) {
        const double p[3] = {polygon.corners[i].x, polygon.corners[i].y, polygon.corners[i].z};
        double clip[4];
        transformPoint(clipFromWorld, p, clip);
        if (clip[3] < view.nearPlane * 0.5) {
            bound.behindEye = true;
            return;
        }
        const double x = (clip[0] / clip[3] + 1) * 0.5 * width;
        const double y = (clip[1] / clip[3] + 1) * 0.5 * height;
        bound.minX = std::min(bound.minX, x);
        bound.maxX = std::max(bound.maxX, x);
        bound.minY = std::min(bound.minY, y);
        bound.maxY = std::max(bound.maxY, y);
        ++bound.corners;
    }
}

// Eye-space vectors of a light as GL keeps them: the position by the whole
// view matrix, the spot direction by its rotation.
Vec3 eyeDirection(const Matrix4& viewCamera, const float v[3])
{
    const double* m = viewCamera.m;
    return {m[0] * v[0] + m[4] * v[1] + m[8] * v[2], m[1] * v[0] + m[5] * v[1] + m[9] * v[2],
            m[2] * v[0] + m[6] * v[1] + m[10] * v[2]};
}

// The light camera of the shadow pass, as setCamera builds it.
Matrix4 lightCamera(const Light& light)
{
    const double eye[3] = {light.position[0], light.position[1], light.position[2]};
    const double centre[3] = {eye[0] + light.direction[0], eye[1] + light.direction[1], eye[2] + light.direction[2]};
    static const double up[3] = {0, 1, 0};
    return lookAtMatrix(eye, centre, up);
}

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
WindowBound boundOfPyramidInBox(const Pyramid& pyramid, const SceneBox& box, const ViewTransform& view)
{
    const Plane boxPlanes[6] = {{{-1, 0, 0}, -box.low[0]}, {{1, 0, 0}, box.high[0]},  {{0, -1, 0}, -box.low[1]},
                                {{0, 1, 0}, box.high[1]},  {{0, 0, -1}, -box.low[2]}, {{0, 0, 1}, box.high[2]}};
    static const int BOX_FACES[6][4] = {{0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 5, 4},
                                        {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 5, 7, 6}};
    WindowBound bound;
    for (const Polygon& face : pyramid.faces) {
        Polygon clipped = face;
        for (const Plane& plane : boxPlanes) {
            clipped = clipPolygon(clipped, plane);
        }
        takePolygon(bound, clipped, view);
    }
    for (const auto& indices : BOX_FACES) {
        Polygon clipped;
        for (int index : indices) {
            clipped.corners[clipped.count++] = boxCorner(box, index);
        }
        for (const Plane& plane : pyramid.planes) {
            clipped = clipPolygon(clipped, plane);
        }
        takePolygon(bound, clipped, view);
    }
    return bound;
}

}   // namespace

bool spotConeBoundable(const Light& light)
{
    const double cutoff = light.spotCutoff + CONE_MARGIN_DEGREES;
    const double length = std::sqrt(dot({light.direction[0], light.direction[1], light.direction[2]},
                                        {light.direction[0], light.direction[1], light.direction[2]}));
    return light.spot && light.position[3] != 0 && cutoff < 59 && light.spotCutoff > 0 && length >= 1e-6;
}

bool spotConeRectangle(const Light& light, const SceneBox& box, const ViewTransform& view, int rect[4])
{
    const Vec3 apex = {light.position[0], light.position[1], light.position[2]};
    Vec3 axis = {light.direction[0], light.direction[1], light.direction[2]};
    const double axisLength = std::sqrt(dot(axis, axis));
    if (!spotConeBoundable(light) || axisLength < 1e-6) {
        return false;
    }
    axis = axis * (1 / axisLength);
    double reach = 0;   // the pyramid reaches past the farthest corner of the box
    for (int i = 0; i < 8; ++i) {
        const Vec3 d = boxCorner(box, i) - apex;
        reach = std::max(reach, std::sqrt(dot(d, d)));
    }
    const WindowBound bound =
        boundOfPyramidInBox(conePyramid(apex, axis, light.spotCutoff + CONE_MARGIN_DEGREES, reach), box, view);
    if (bound.behindEye) {
        return false;
    }
    if (bound.corners == 0) {   // the cone misses the scene
        rect[0] = rect[1] = rect[2] = rect[3] = 0;
        return true;
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(bound.minX)) - SCISSOR_MARGIN);
    const int y0 = std::max(0, static_cast<int>(std::floor(bound.minY)) - SCISSOR_MARGIN);
    const int x1 = std::min(view.width, static_cast<int>(std::ceil(bound.maxX)) + SCISSOR_MARGIN);
    const int y1 = std::min(view.height, static_cast<int>(std::ceil(bound.maxY)) + SCISSOR_MARGIN);
    rect[0] = x0;
    rect[1] = y0;
    rect[2] = std::max(0, x1 - x0);
    rect[3] = std::max(0, y1 - y0);
    return true;
}

// Texels outside the window are read only by fragments outside the cone,
// where the light adds exactly 0 whatever they read (and they hold
// "unshadowed": the shadow pass clears the whole map).
bool spotShadowWindow(const Light& light, int windowWidth, int windowHeight, int window[4])
{
    if (!spotConeBoundable(light)) {
        return false;
    }
    const int mapWidth = 2 * windowWidth, mapHeight = 2 * windowHeight;
    // The shadow camera's projection has the picture's ratio (setCamera).
    const double aspect = windowHeight > 0 && windowWidth > 0 ? static_cast<double>(windowWidth) / windowHeight : 1.0;
    const double reach =
        std::tan((light.spotCutoff + CONE_MARGIN_DEGREES) * PI / 180) / std::tan(1.5 * light.spotCutoff * PI / 180);
    const int halfWidth = static_cast<int>(std::ceil(reach / aspect * mapWidth / 2)) + SCISSOR_MARGIN;
    const int halfHeight = static_cast<int>(std::ceil(reach * mapHeight / 2)) + SCISSOR_MARGIN;
    window[0] = mapWidth / 2 - halfWidth;
    window[1] = mapHeight / 2 - halfHeight;
    window[2] = 2 * halfWidth;
    window[3] = 2 * halfHeight;
    return true;
}

bool directionalConeIsDark(const Light& light, const Matrix4& viewCamera)
{
    Vec3 toLight = eyeDirection(viewCamera, light.position);
    Vec3 axis = eyeDirection(viewCamera, light.direction);
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

bool shadowCannotFall(const Light& light, const SceneBox& box)
{
    const Matrix4 camera = lightCamera(light);
    bool flat = true;
    for (int i = 0; i < 3; ++i) {
        flat = flat && camera.m[i * 4] == 0 && camera.m[i * 4 + 1] == 0;
    }
    if (flat) {
        return true;
    }
    for (int i = 0; i < 8; ++i) {
        const Vec3 c = boxCorner(box, i);
        const double p[3] = {c.x, c.y, c.z};
        double eye[4];
        transformPoint(camera, p, eye);
        if (-eye[2] > -BEHIND_MARGIN) {   // the perspective's w is -z in the light's eye space
            return false;
        }
    }
    return true;
}
