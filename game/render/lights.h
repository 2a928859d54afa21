// game/render/lights: the six lights' roles, their setters and the light log.
// Lights 0-2 follow the ball slots (and mark the menu entry), light 3 is the
// broad light of splash, menu and play, lights 4-5 follow the laser shots.
// Plain stores into the Engine; no GL (a renderer loads a light when it draws).
#pragma once

#include "game/playfield/playfield.h"   // PlayField, LASER_LIGHT_LEFT, LASER_LIGHT_RIGHT
#include "game/render/engine.h"

constexpr int SPLASH_LIGHT = 3;

constexpr int MENU_LINES_MAX = 6;   // lines of the longer menu (the options)

// Gives every light its working values (the scene set-up calls this once).
void initLights();

// The menu frame's lights: light 3 from above, and lights 0 to 2 by the
// selected line (0 is the top line) as the camera (x, y, z) sees the lines.
void placeMenuLights(int line, const double camera[3]);
// The same for a line whose baseline stands at lineY (lines 5 apart from y 20 down
// are the table's; a page of closer lines falls between them). Returns how far along
// its line of sight the marker stands (1: at the lines; less: slid towards the eye
// to stay above the floor), the share its drawn size takes to look the same.
double placeMenuLightsAt(double lineY, const double camera[3]);

// The play frame's lights that follow the field's objects, placed after every
// game step: light i on with ball slot i, at the ball and turned along its
// course (straight up while it rests on the paddle); lights 4 and 5 on with
// a laser shot pair, just inside the paddle's ends at the shots' height.
void placePlayLights(const PlayField& field);

// Setters: store, then log the change when the log is on.
void setLightEnabled(int light, bool enabled);
void setLightRadius(int light, float radius);
void setLightPosition(int light, float x, float y, float z, int w);
void setLightPositionX(int light, float x);
void setLightPositionY(int light, float y);
void setLightPositionZ(int light, float z);
void setLightDirection(int light, float x, float y, float z);
void setLightDirectionX(int light, float x);
void setLightDirectionY(int light, float y);
void setLightDirectionZ(int light, float z);
void setLightColour(int light, float red, float green, float blue);

// Adds a line to the Engine's message log while logEnabled; once the log's
// 999 lines are used further lines are dropped.
void appendLog(const char* text);
