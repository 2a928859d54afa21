// game/render/picture: the picture's shape on any screen and how far the view
// may turn. The scene is drawn at a chosen size, kept between 5:4 and 16:9
// (the room fills no wider picture, the HUD no narrower one), and shown
// scaled into whatever window it gets, proportions kept, with black bars.
// No GL: the shell, the renderer and the tests share it.
#pragma once

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
constexpr double PICTURE_MIN_ASPECT = 5.0 / 4.0;    // narrower pictures are cut to it (bars above and below)
constexpr double PICTURE_MAX_ASPECT = 16.0 / 9.0;   // wider pictures are cut to it (bars at the sides)
constexpr double VIEW_FIELD_OF_VIEW = 45;           // degrees, vertical, of the view camera
constexpr double REST_EYE[3] = {40, 20, 110};       // the view camera's place at rest, world units
constexpr int SIGHT_ACROSS = 1;                     // viewKeepsSight: inside the picture's sides
constexpr int SIGHT_UP_DOWN = 2;                    // inside its top and bottom
constexpr int SIGHT_WHOLE = SIGHT_ACROSS | SIGHT_UP_DOWN;

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// A rectangle of pixels, origin at the bottom left as GL counts.
struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// ---------------------------------------------------------------------------
// Operations (picture.cpp)
// ---------------------------------------------------------------------------

// The size the scene is drawn at for a chosen width x height: the same, or
// cut to the nearest ratio between 5:4 and 16:9 (a wider one loses width, a
// narrower one height; a hair over 16:9, as 1366x768, stays). At least 1x1.
void boundPictureSize(int width, int height, int& outWidth, int& outHeight);

// The largest rectangle with width x height's proportions centred in a
// window; the rest of the window is bars. At least 1x1.
PictureRect fitPicture(int width, int height, int windowWidth, int windowHeight);

// The unit viewing direction of the camera angles (radians): yaw turns right,
// a positive pitch looks down.
void viewDirection(double yaw, double pitch, double out[3]);

// The camera the HUD's texts are drawn with: the view's own (eye, unit
// direction), or, where that would cut a text at the picture's edge, the
// nearest one on the way to the view at rest that keeps them all whole. So
// the texts move with the room as far as they can and then stay at the edge.
void hudCamera(const double eye[3], const double direction[3], double aspect, double hudEye[3], double hudDirection[3]);

// Whether a view from eye along yaw and pitch, in a picture of that aspect
// ratio, still shows the spare lives beside the field whole and the middle
// of the field (its full width, from under the paddle to the top row of bricks), and
// keeps the eye near the room; edges: which of the picture's edges count
// (a turn is held by the sides, a tilt by the top and bottom, so neither
// blocks the other at a corner). The view at rest passes at every ratio the
// picture can have.
bool viewKeepsSight(const double eye[3], double yaw, double pitch, double aspect, int edges = SIGHT_WHOLE);
