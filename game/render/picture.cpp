// game/render/picture: the picture's size and place in a window, the view
// direction of the camera angles and the test that a view keeps the field and
// the spare lives in sight.
#include "game/render/picture.h"

#include "game/render/matrix.h"

#include <algorithm>
#include <cmath>

namespace {

// The spare lives stand at x 68, 72 and 76, y 33 and 35, as boxes 3.4 x 2 x 1
// on the play plane (play_scene.cpp); the field between its walls from the
// paddle's row up to two thirds of its height.
constexpr double SIGHT_POINTS[][3] = {
    {66.3, 32, 15.5}, {77.7, 32, 15.5}, {66.3, 36, 15.5}, {77.7, 36, 15.5},
    {21.5, -10, 15}, {58.5, -10, 15}, {21.5, 30, 15}, {58.5, 30, 15},
};
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

bool viewKeepsSight(const double eye[3], double yaw, double pitch, double aspect)
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
    const double centre[3] = {eye[0] + direction[0], eye[1] + direction[1], eye[2] + direction[2]};
    const double up[3] = {0, 1, 0};
    const Matrix4 toClip =
        multiply(perspectiveMatrix(VIEW_FIELD_OF_VIEW, aspect, 0.5, 40000), lookAtMatrix(eye, centre, up));
    for (const auto& point : SIGHT_POINTS) {
        double clip[4];
        transformPoint(toClip, point, clip);
        if (clip[3] <= 0 || std::abs(clip[0]) > clip[3] || std::abs(clip[1]) > clip[3]) {
            return false;
        }
    }
    return true;
}
