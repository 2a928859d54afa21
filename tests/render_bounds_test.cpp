// The spot-light bounds, without a window: what a cone can reach in the
// window, and the proofs that a light's pass adds nothing or reads no shadow;
// the picture's shape in a window and the view's sight.
#include "game/render/light_regions.h"
#include "game/render/picture.h"
#include "game/render/spot_bounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The room of the play scene, seen as the game's view camera sees it.
const SceneBox ROOM = {{20, -15, 13}, {60, 55, 83}};

ViewTransform gameView()
{
    const double eye[3] = {40, 20, 110}, centre[3] = {40, 20, 109}, up[3] = {0, 1, 0};
    return {lookAtMatrix(eye, centre, up), perspectiveMatrix(45, 640.0 / 480, 0.5, 40000), 640, 480, 0.5};
}

Light spot(float x, float y, float z, float dx, float dy, float dz, float cutoff)
{
    Light light;
    light.enabled = light.spot = true;
    const float position[4] = {x, y, z, 1}, direction[3] = {dx, dy, dz};
    std::copy(position, position + 4, light.position);
    std::copy(direction, direction + 3, light.direction);
    light.spotCutoff = cutoff;
    return light;
}

bool inside(const int rect[4], const ViewTransform& view, double x, double y, double z)
{
    const double p[3] = {x, y, z};
    double clip[4];
    transformPoint(multiply(view.projection, view.camera), p, clip);
    const double wx = (clip[0] / clip[3] + 1) * 0.5 * view.width, wy = (clip[1] / clip[3] + 1) * 0.5 * view.height;
    return wx >= rect[0] && wx <= rect[0] + rect[2] && wy >= rect[1] && wy <= rect[1] + rect[3];
}

}   // namespace

TEST(SpotBounds, ConeMissingTheSceneGetsAnEmptyRectangleAndWideConesNone)
{
    int rect[4] = {1, 1, 1, 1};
    EXPECT_TRUE(spotConeRectangle(spot(200, 20, 50, 1, 0, 0, 20), ROOM, gameView(), rect));
    EXPECT_EQ(rect[2] * rect[3], 0);
    EXPECT_FALSE(spotConeRectangle(spot(40, 50, 50, 0, -1, 0, 60), ROOM, gameView(), rect));   // no bound exists
    Light directional = spot(0, 0, 1, 0, 0, -1, 20);
    directional.position[3] = 0;
    EXPECT_FALSE(spotConeRectangle(directional, ROOM, gameView(), rect));
}

TEST(SpotBounds, RectangleHoldsTheConeApexAndFootprintAndLittleElse)
{
    const ViewTransform view = gameView();
    int rect[4];
    ASSERT_TRUE(spotConeRectangle(spot(40, 20, 30, 0, 0, -1, 15), ROOM, view, rect));
    EXPECT_TRUE(inside(rect, view, 40, 20, 30));   // the apex
    const double radius = 17 * 0.26;               // the footprint on the back wall, 17 away: tan 15 = 0.268
    const double footprint[5][2] = {
        {40, 20}, {40 - radius, 20}, {40 + radius, 20}, {40, 20 - radius}, {40, 20 + radius}};
    for (const auto& at : footprint) {
        EXPECT_TRUE(inside(rect, view, at[0], at[1], 13)) << at[0] << ", " << at[1];
    }
    EXPECT_FALSE(inside(rect, view, 25, 40, 13));   // the back wall far from the cone
    EXPECT_LT(rect[2] * rect[3], view.width * view.height / 8);
}

TEST(SpotBounds, DarkDirectionalConesAndUnreadShadowsAreProven)
{
    const Matrix4 identity = identityMatrix();
    Light away = spot(0, 0, 1, 0, 0, 1, 30);   // from +z, its axis pointing back at +z: the cone faces away
    away.position[3] = 0;
    away.spotExponent = 1;
    EXPECT_TRUE(directionalConeIsDark(away, identity));
    away.spotExponent = 0;   // pow(0, 0) may be NaN in the shader: not proven dark
    EXPECT_FALSE(directionalConeIsDark(away, identity));
    Light towards = away;
    towards.direction[2] = -1;
    EXPECT_FALSE(directionalConeIsDark(towards, identity));

    // Straight down, the shadow camera looks along its up vector and sees nothing.
    EXPECT_TRUE(shadowCannotFall(spot(40, 60, 50, 0, -1, 0, 20), ROOM));
    EXPECT_FALSE(shadowCannotFall(spot(40, 50, 50, 0, -1, -0.2f, 20), ROOM));
}

// ---------------------------------------------------------------------------
// The picture's shape and place, and the view's sight
// ---------------------------------------------------------------------------

TEST(Picture, SizeKeepsBetween5to4And16to9AndFitsAnyWindowCentred)
{
    int w = 0, h = 0;
    boundPictureSize(1366, 768, w, h);
    EXPECT_EQ(w * 10000 + h, 1366 * 10000 + 768) << "a hair over 16:9 stays";
    boundPictureSize(2560, 1080, w, h);
    EXPECT_EQ(w * 10000 + h, 1920 * 10000 + 1080);
    boundPictureSize(1080, 1920, w, h);
    EXPECT_EQ(w * 10000 + h, 1080 * 10000 + 864);
    boundPictureSize(0, 0, w, h);
    EXPECT_EQ(w * 10000 + h, 1 * 10000 + 1);

    auto fit = [](int pw, int ph, int ww, int wh) {
        const PictureRect r = fitPicture(pw, ph, ww, wh);
        return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
               std::to_string(r.height);
    };
    EXPECT_EQ(fit(1024, 768, 1920, 1080), "240,0 1440x1080");
    EXPECT_EQ(fit(1920, 1080, 1280, 1024), "0,152 1280x720");
    EXPECT_EQ(fit(640, 480, 1024, 768), "0,0 1024x768");
    EXPECT_EQ(fit(1024, 768, 0, 0), "0,0 1x1");
}

TEST(Picture, TheViewAtRestKeepsItsSightAtEveryShapeAndATurnTooFarDoesNot)
{
    for (double aspect : {5.0 / 4, 4.0 / 3, 16.0 / 10, 16.0 / 9}) {
        EXPECT_TRUE(viewKeepsSight(REST_EYE, 0, 0, aspect)) << aspect;
        EXPECT_FALSE(viewKeepsSight(REST_EYE, -0.6, 0, aspect)) << "the spare lives leave on the right";
        EXPECT_FALSE(viewKeepsSight(REST_EYE, 0, -0.6, aspect)) << "the paddle's row leaves at the bottom";
    }
    const double tooNear[3] = {40, 20, 30};
    EXPECT_FALSE(viewKeepsSight(tooNear, 0, 0, 4.0 / 3));
    double direction[3];
    viewDirection(0.3, 0.2, direction);
    EXPECT_NEAR(direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2], 1, 1e-6);
    EXPECT_LT(direction[1], 0) << "a positive pitch looks down";
}

TEST(Picture, TheHudFollowsTheViewWhileItFitsAndStopsAtTheEdge)
{
    const double aspect = 4.0 / 3;
    double eye[3], direction[3], view[3];
    viewDirection(-0.02, 0, view);
    hudCamera(REST_EYE, view, aspect, eye, direction);
    EXPECT_NEAR(direction[0], view[0], 1e-9) << "a small turn: the texts turn with the room";
    viewDirection(-0.4, 0.3, view);
    hudCamera(REST_EYE, view, aspect, eye, direction);
    EXPECT_LT(direction[0], 0);
    EXPECT_GT(direction[0], view[0]) << "a large one: only as far as keeps them whole";
    const double near[3] = {40, 20, 60};
    const double ahead[3] = {0, 0, -1};
    hudCamera(near, ahead, aspect, eye, direction);
    EXPECT_GT(eye[2], 60) << "an eye moved in: the texts stay where they fit";
}

// The one lit pass's draws: every pixel a light reaches is drawn exactly once
// and with that light, pixels no light reaches are not drawn, whatever the
// lights' rectangles (off the view, empty, overlapping) and however few
// draws are allowed.
TEST(LightRegions, EveryReachedPixelIsDrawnOnceWithItsLights)
{
    const int width = 160, height = 120;
    unsigned seed = 5;
    auto next = [&seed](int low, int high) {
        seed = seed * 1103515245u + 12345u;
        return low + static_cast<int>((seed >> 8) % static_cast<unsigned>(high - low + 1));
    };
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        RegionLight lights[6];
        const int count = next(0, 6);
        for (int i = 0; i < count; ++i) {
            const bool whole = next(0, 4) == 0;
            lights[i].rect[0] = whole ? 0 : next(-40, width);
            lights[i].rect[1] = whole ? 0 : next(-40, height);
            lights[i].rect[2] = whole ? width : next(-5, 120);
            lights[i].rect[3] = whole ? height : next(-5, 90);
            lights[i].pixelCost = next(20, 100);
        }
        LightRegion regions[LIGHT_REGIONS_MAX];
        const int max = next(1, LIGHT_REGIONS_MAX);
        const int used = planLightRegions(width, height, lights, count, next(0, 1) ? 0 : 1e5, regions, max);
        ASSERT_LE(used, max);
        std::vector<int> drawn(width * height, 0);
        std::vector<unsigned> masks(width * height, 0);
        for (int r = 0; r < used; ++r) {
            const int* rect = regions[r].rect;
            ASSERT_GE(rect[0], 0);
            ASSERT_GE(rect[1], 0);
            ASSERT_LE(rect[0] + rect[2], width);
            ASSERT_LE(rect[1] + rect[3], height);
            for (int y = rect[1]; y < rect[1] + rect[3]; ++y) {
                for (int x = rect[0]; x < rect[0] + rect[2]; ++x) {
                    ++drawn[y * width + x];
                    masks[y * width + x] = regions[r].mask;
                }
            }
        }
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                unsigned reaching = 0;
                for (int i = 0; i < count; ++i) {
                    const int* rect = lights[i].rect;
                    if (rect[2] > 0 && rect[3] > 0 && x >= rect[0] && x < rect[0] + rect[2] && y >= rect[1] &&
                        y < rect[1] + rect[3]) {
                        reaching |= 1u << i;
                    }
                }
                const int at = y * width + x;
                ASSERT_LE(drawn[at], 1) << x << "," << y;
                if (reaching) {
                    ASSERT_EQ(drawn[at], 1) << x << "," << y;
                    ASSERT_EQ(masks[at] & reaching, reaching) << x << "," << y;
                }
            }
        }
    }
}
