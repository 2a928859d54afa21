// game/render/picture: the picture's size and place in a window, the view
// direction of the camera angles and the test that a view keeps the field and
// the spare lives in sight.
#include "game/render/picture.h"

#include "game/render/matrix.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// The spare lives stand at x 68, 72 and 76, y 33 and 35, as boxes 3.4 x 2 x 1
// on the play plane (play_scene.cpp); the field between its walls from under
// the paddle up to its top row of bricks. (The field's height leaves the view
// about 5 degrees of tilt, about as far as the HUD's texts can follow it before
// the spare lives would slide into the score.)
constexpr double SIGHT_POINTS[][3] = {
    {66.3, 32, 15.5}, {77.7, 32, 15.5}, {66.3, 36, 15.5}, {77.7, 36, 15.5},
    {21.5, -12, 15},  {58.5, -12, 15},  {21.5, 50, 15},   {58.5, 50, 15},
};
// The HUD's texts at z 20: GAME OVER and READY from x 32, HIGH and SCORE,
// the score (seven digits) to x 81; ROUND's number down to y -13.5, HIGH up to 52.5.
constexpr double HUD_POINTS[][3] = {{32, -13.5, 20}, {81, -13.5, 20}, {32, 52.5, 20}, {81, 52.5, 20}};
constexpr int HUD_HALVINGS = 12;

// Every point inside the picture of the camera, between the edges asked for.
template <size_t N>
bool allInside(const double (&points)[N][3], const double eye[3], const double direction[3], double aspect,
               int edges = SIGHT_WHOLE)
{
    const double centre[3] = {eye[0] + direction[0], eye[1] + direction[1], eye[2] + direction[2]};
    const double up[3] = {0, 1, 0};
    const Matrix4 toClip =
        multiply(perspectiveMatrix(VIEW_FIELD_OF_VIEW, aspect, 0.5, 40000), lookAtMatrix(eye, centre, up));
    for (const auto& point : points) {
        double clip[4];
        transformPoint(toClip, point, clip);
        if (clip[3] <= 0 || ((edges & SIGHT_ACROSS) && std::abs(clip[0]) > clip[3]) ||
            ((edges & SIGHT_UP_DOWN) && std::abs(clip[1]) > clip[3])) {
            return false;
        }
    }
    return true;
}

// The camera a share t of the way from rest to the view.
void cameraBetween(const double eye[3], const double direction[3], double t, double outEye[3], double outDirection[3])
{
    const double restDirection[3] = {0, 0, -1};
    double length = 0;
    for (int i = 0; i < 3; ++i) {
        outEye[i] = REST_EYE[i] + t * (eye[i] - REST_EYE[i]);
        outDirection[i] = restDirection[i] + t * (direction[i] - restDirection[i]);
        length += outDirection[i] * outDirection[i];
    }
    length = std::sqrt(length);
    for (int i = 0; i < 3; ++i) {
        outDirection[i] = length > 0 ? outDirection[i] / length : restDirection[i];
    }
}

// How far the eye may leave its place at rest (moved in and out in keyboard control).
constexpr double EYE_REACH_X = 30;
constexpr double EYE_REACH_Y = 30;
constexpr double EYE_NEAREST_Z = 40;
constexpr double EYE_FARTHEST_Z = 200;

}   // namespace

void boundPictureSize(int width, int height, int& outWidth, int& outHeight)
{
    height = std::max(height, 1);
    width = std::max(width, 1);
    const double aspect = static_cast<double>(width) / height;
    // Half a percent of slack keeps 1366x768 (1.7786) as it is.
    if (aspect > PICTURE_MAX_ASPECT * 1.005) {
        width = static_cast<int>(std::lround(height * PICTURE_MAX_ASPECT));
    } else if (aspect < PICTURE_MIN_ASPECT / 1.005) {
        height = static_cast<int>(std::lround(width / PICTURE_MIN_ASPECT));
    }
    outWidth = std::max(width, 1);
    outHeight = std::max(height, 1);
}

PictureRect fitPicture(int width, int height, int windowWidth, int windowHeight)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    windowWidth = std::max(windowWidth, 1);
    windowHeight = std::max(windowHeight, 1);
    PictureRect rect;
    // Compare width / height with windowWidth / windowHeight in integers (no rounding at equal shapes).
    if (static_cast<long long>(width) * windowHeight >= static_cast<long long>(windowWidth) * height) {
        rect.width = windowWidth;
        rect.height = static_cast<int>(std::lround(static_cast<double>(windowWidth) * height / width));
    } else {
        rect.height = windowHeight;
        rect.width = static_cast<int>(std::lround(static_cast<double>(windowHeight) * width / height));
    }
    rect.width = std::clamp(rect.width, 1, windowWidth);
    rect.height = std::clamp(rect.height, 1, windowHeight);
    rect.x = (windowWidth - rect.width) / 2;
    rect.y = (windowHeight - rect.height) / 2;
    return rect;
}

void viewDirection(double yaw, double pitch, double out[3])
{
    const double s = std::sin(yaw);
    const double t = -std::tan(pitch);
    const double c = -std::cos(yaw);
    const float n = static_cast<float>(std::sqrt(s * s + t * t + c * c));
    out[0] = s / n;
    out[1] = t / n;
    out[2] = c / n;
}

bool viewKeepsSight(const double eye[3], double yaw, double pitch, double aspect, int edges)
{
    if (std::abs(eye[0] - REST_EYE[0]) > EYE_REACH_X || std::abs(eye[1] - REST_EYE[1]) > EYE_REACH_Y ||
        eye[2] < EYE_NEAREST_Z || eye[2] > EYE_FARTHEST_Z) {
        return false;
    }
    // A pitch at a right angle has no direction; nothing near it keeps the field in sight.
    if (!(std::abs(pitch) < 1.5)) {
        return false;
    }
    double direction[3];
    viewDirection(yaw, pitch, direction);
    return allInside(SIGHT_POINTS, eye, direction, aspect, edges);
}

void hudCamera(const double eye[3], const double direction[3], double aspect, double hudEye[3], double hudDirection[3])
{
    double low = 0;   // keeps the texts whole (rest does, at every ratio the picture has)
    double high = 1;
    cameraBetween(eye, direction, 1, hudEye, hudDirection);
    if (allInside(HUD_POINTS, hudEye, hudDirection, aspect)) {
        return;
    }
    for (int i = 0; i < HUD_HALVINGS; ++i) {
        const double middle = (low + high) / 2;
        cameraBetween(eye, direction, middle, hudEye, hudDirection);
        if (allInside(HUD_POINTS, hudEye, hudDirection, aspect)) {
            low = middle;
        } else {
            high = middle;
        }
    }
    cameraBetween(eye, direction, low, hudEye, hudDirection);
}
