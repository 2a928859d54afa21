// Light setters and the bounded light log.
#include "game/render/lights.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void resetEngine()
{
    engine.logEnabled = false;
    engine.logCount = 0;
    initLights();
}

}   // namespace

TEST(Lights, InitialTableGivesTheRoles)
{
    resetEngine();
    EXPECT_TRUE(engine.lights[0].enabled);
    EXPECT_FALSE(engine.lights[1].enabled);
    EXPECT_FALSE(engine.lights[SPLASH_LIGHT].spot);
    EXPECT_EQ(engine.lights[SPLASH_LIGHT].position[3], 0.0f);
    EXPECT_EQ(engine.lights[SPLASH_LIGHT].spotCutoff, 30.0f);
    EXPECT_EQ(engine.lights[LASER_LIGHT_LEFT].colour[0], 2.0f);
    EXPECT_EQ(engine.lights[LASER_LIGHT_RIGHT].direction[2], -1.8f);
    EXPECT_EQ(engine.lights[0].radius, 0.2f);
}

TEST(Lights, SettersStoreAndLogOnlyWhileTheLogIsOn)
{
    resetEngine();
    setLightPosition(2, 1, 2, 3, -20);
    EXPECT_EQ(engine.lights[2].position[3], -20.0f);
    setLightColour(3, 1, 1, 1);
    EXPECT_EQ(engine.logCount, 0);

    engine.logEnabled = true;
    setLightPositionX(0, 5);
    setLightDirectionY(0, 1);
    EXPECT_EQ(engine.logCount, 2);
    EXPECT_STREQ(engine.messageLog[0], "Light Position X Changed...");
    EXPECT_STREQ(engine.messageLog[1], "Light Y Direction Changed...");
}

TEST(Lights, LogStopsAtItsLastLine)
{
    resetEngine();
    engine.logEnabled = true;
    for (int i = 0; i < LOG_LINES + 500; ++i) {
        setLightPositionY(0, static_cast<float>(i));
    }
    EXPECT_EQ(engine.logCount, LOG_LINES);
    EXPECT_EQ(engine.lights[0].position[1], static_cast<float>(LOG_LINES + 499)) << "the store still happens";
    engine.logEnabled = false;
}

TEST(Lights, PlayLightsFollowTheBallsAndTheShotsOfTheField)
{
    resetEngine();
    PlayField field;
    field.paddle = {40, -10, 3, 1};
    field.balls[0] = {true, 30, 5, false, true, true, false, 0.4, 0.6};
    field.ballHeld = false;
    field.laserActive = true;
    field.laserX = 40;
    field.laserY = 3;
    placePlayLights(field);
    EXPECT_TRUE(engine.lights[0].enabled && !engine.lights[1].enabled && !engine.lights[2].enabled);
    EXPECT_EQ(engine.lights[0].position[0], 30.0f);
    EXPECT_EQ(engine.lights[0].position[2], 20.0f);
    EXPECT_FLOAT_EQ(engine.lights[0].direction[0], static_cast<float>(std::sin(0.4)));   // turned along its course
    EXPECT_TRUE(engine.lights[LASER_LIGHT_LEFT].enabled && engine.lights[LASER_LIGHT_RIGHT].enabled);
    EXPECT_FLOAT_EQ(engine.lights[LASER_LIGHT_LEFT].position[0], 37.3f);
    EXPECT_FLOAT_EQ(engine.lights[LASER_LIGHT_RIGHT].position[0], 42.7f);
    EXPECT_EQ(engine.lights[LASER_LIGHT_RIGHT].position[1], 3.0f);

    field.laserActive = false;
    field.ballHeld = true;
    placePlayLights(field);
    EXPECT_FALSE(engine.lights[LASER_LIGHT_LEFT].enabled);
    EXPECT_EQ(engine.lights[0].direction[1], 1.0f) << "straight up while it rests on the paddle";
}

// A marker slid towards the eye to stay above the floor is drawn smaller by as
// much, so it looks the same size beside a low line as beside any other.
TEST(Lights, AMenuMarkerSlidTowardsTheEyeKeepsItsLookedSize)
{
    resetEngine();
    const double camera[3] = {40, 27, 60};
    EXPECT_EQ(placeMenuLightsAt(20, camera), 1.0);
    const double scale = placeMenuLightsAt(-10, camera);
    const float* p = engine.lights[0].position;
    const double drawnZ = p[2] - 5;
    const double distance = std::sqrt((p[0] - camera[0]) * (p[0] - camera[0]) + (p[1] - camera[1]) * (p[1] - camera[1]) +
                                      (drawnZ - camera[2]) * (drawnZ - camera[2]));
    const double unslid = std::sqrt(8.0 * 8.0 + (-9.0 - 27) * (-9.0 - 27) + 40.0 * 40.0);
    EXPECT_LT(scale, 1.0);
    EXPECT_NEAR(scale, distance / unslid, 1e-4);
}
