// The play-rule tests' field: a level's start with no bricks, one ball in
// play, and questions about what the step reported. Shared by the rule test files.
#pragma once

#include "game/playfield/playfield.h"

#include "levelpack/catalogue.h"
#include "levelpack/levelpack.h"

#include <gtest/gtest.h>

// A field as a level starts: no bricks, ball 0 in play moving up-right, tick 1.
class Field : public ::testing::Test {
protected:
    void SetUp() override
    {
        field = PlayField{};
        for (int i = 0; i < BRICK_COUNT; ++i) {
            placeBrick(field.bricks[i], i);
        }
        field.paddle = {PADDLE_HOME_X, PADDLE_HOME_Y, PADDLE_HALF_WIDTH, PADDLE_HALF_HEIGHT};
        field.balls[0] = {true, 40, 0, false, true, true, false, FIRST_SPEED_X, FIRST_SPEED_Y};
        field.ballCount = 1;
        field.ballHeld = false;
        field.levelNumber = 2;
        field.greyHits = 1;
        tick = 1.0;
        clearEvents(events);
        seedRandom(field.random, 7);
    }

    PlayEvents events;
    double tick = 1.0;   // the step's length, 70 frames a second

    static Ball& ball(int slot) { return field.balls[slot]; }

    static int brickAt(int row, int column) { return row * 11 + column; }

    static void standBrick(int index, int type)
    {
        field.bricks[index].present = true;
        field.bricks[index].type = type;
    }

    bool played(int slot, int channel) const
    {
        for (int i = 0; i < events.count; ++i) {
            const PlayEvent& e = events.list[i];
            if (e.type == PlayEventType::Sound && e.sample == slot && e.channel == channel) {
                return true;
            }
        }
        return false;
    }
    int sounds(int slot) const
    {
        int n = 0;
        for (int i = 0; i < events.count; ++i) {
            n += events.list[i].type == PlayEventType::Sound && events.list[i].sample == slot;
        }
        return n;
    }
    // Where the rules left a light that follows a ball or a shot this step.
    bool lightOn(int light) const { return events.lights[light].enabledSet && events.lights[light].enabled; }
};
