// game/render/spot_bounds: where a spot light can change pixels, worked out
// on the CPU from the light, the box its scene lies in and the cameras, all
// passed in. Outside its cone a spot light adds exactly nothing (the shader's
// cone factor is 0), so the part of the cone inside the scene's box bounds,
// in window pixels, everything its lit pass can change. No GL, no globals.
#pragma once

#include "game/render/engine.h"   // Light
#include "game/render/matrix.h"

// The box every object of a scene lies in, world units. Every lookup into a
// shadow map lies in it too: shadow coordinates come from the eye position of
// the very fragment.
struct SceneBox {
    double low[3];
    double high[3];
};

// The view camera of a frame and the window it draws into.
struct ViewTransform {
    Matrix4 camera;       // world to eye
    Matrix4 projection;   // eye to clip
    int width;            // window pixels
    int height;
    double nearPlane;   // of the projection, world units
};

// A spot light at a point with a cone narrow enough to bound (its shadow
// camera's field of view, three times the cut-off, stays below 180 degrees).
bool spotConeBoundable(const Light& light);

// The window rectangle (x, y, width, height) outside which the spot light
// cannot change a pixel of the box; an empty one when the cone misses the
// box; false when no useful bound exists (the light is not boundable, or the
// cone reaches behind the eye).
bool spotConeRectangle(const Light& light, const SceneBox& box, const ViewTransform& view, int rect[4]);

// The texels of the light's shadow map (twice the window's size) that
// fragments inside its cone can read: the shadow camera looks down the axis
// with three times the cut-off as field of view, so the cone fills only the
// middle of the map. False when the light is not boundable.
bool spotShadowWindow(const Light& light, int windowWidth, int windowHeight, int window[4]);

// A directional spot light's cone factor is one number for every pixel (the
// direction to the light does not vary); true when that number is 0 for sure.
// viewCamera is the model-view GL kept the light's vectors in.
bool directionalConeIsDark(const Light& light, const Matrix4& viewCamera);

// No lookup of the light's lit pass can find a shadow: its shadow camera sees
// the whole box from in front (every shadow coordinate has w <= 0 and the
// shader returns 1 before sampling), or is degenerate (its view runs along
// the up vector, so every triangle of the shadow pass has no area, the map
// stays cleared to 1 and every comparison passes).
bool shadowCannotFall(const Light& light, const SceneBox& box);
