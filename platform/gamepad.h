// platform/gamepad: game controllers through SDL2's game controller interface,
// polled once per frame like the keyboard: which buttons are down, every press
// since the previous poll in order, and the left stick. Any number of pads may
// come and go while the game runs; their buttons and sticks act together.
// The stick pushed up or down also reads as the d-pad's Up or Down, so either
// works the menus.
#pragma once

enum class PadButton { A, B, Start, Up, Down, Left, Right, Count };

constexpr int GAMEPAD_SLOTS = 4;             // pads open at once; more are ignored until one leaves
constexpr double STICK_DEAD_ZONE = 0.25;     // of full travel: a resting stick reads 0
constexpr double STICK_MENU_PRESS = 0.6;     // pushed this far up or down: an Up or Down press
constexpr double STICK_MENU_RELEASE = 0.3;   // and back inside this before the next one
constexpr int PAD_PRESS_ORDER_SIZE = 32;

// Starts SDL's game controller support; false (no pads, everything reads as
// released) when it is unavailable. Pads already plugged in show at the first poll.
bool gamepadInit();

// Gathers what happened since the previous poll: pads plugged in or pulled
// out, button presses, the stick.
void gamepadPoll();

bool gamepadDown(PadButton button);                    // held on any pad at the last poll
int gamepadPresses(PadButton button);                  // presses between the last two polls
int gamepadPressOrder(PadButton* out, int capacity);   // those presses in order
double gamepadStickX();                                // left stick, -1 (left) to 1, 0 in the dead zone
int gamepadCount();                                    // pads open

// Closes every pad and SDL's controller support (tests; the game keeps it to the end).
void gamepadShutdown();
