// The play-rule tests' field: a level's start with no bricks, one ball in
// play, and questions about what the step reported. Shared by the rule test
// files. Each case builds the field it needs in code, then acts on it through
// the rules (a command for what the player does); nothing is written into the
// field between steps.
#pragma once

#include "game/playfield/playfield.h"

#include "levelpack/catalogue.h"
#include "levelpack/levelpack.h"

#include <gtest/gtest.h>

// A field as a level starts: no bricks, ball 0 in play moving up-right.
inline PlayField openField()
{
    PlayField f;
    for (int i = 0; i < BRICK_COUNT; ++i) {
        placeBrick(f.bricks[i], i);
    }
    f.paddle = {PADDLE_HOME_X, PADDLE_HOME_Y, PADDLE_HALF_WIDTH, PADDLE_HALF_HEIGHT};
    f.balls[0] = {true, 40, 0, false, true, true, false, FIRST_SPEED_X, FIRST_SPEED_Y};
    f.ballCount = 1;
    f.ballHeld = false;
    f.levelNumber = 2;
    f.greyHits = 1;
    seedRandom(f.random, 7);
    return f;
}

inline int brickAt(int row, int column) { return row * GRID_COLUMNS + column; }

inline void standBrick(PlayField& f, int index, int type)
{
    f.bricks[index].present = true;
    f.bricks[index].type = type;
}

class Field : public ::testing::Test {
protected:
    void SetUp() override
    {
        field = openField();
        clearEvents(events);
    }

    PlayField field;
    PlayEvents events;
    double tick = 1.0;   // the step's length, 70 frames a second

    Ball& ball(int slot) { return field.balls[slot]; }
    void standBrick(int index, int type) { ::standBrick(field, index, type); }

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
    bool reported(PlayEventType type) const
    {
        for (int i = 0; i < events.count; ++i) {
            if (events.list[i].type == type) {
                return true;
            }
        }
        return false;
    }
};
