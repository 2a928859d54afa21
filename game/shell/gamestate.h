// game/shell/gamestate: the game's states and what each does in a frame, the
// frame clock, the menus' values, the animations the renderers show, and the
// shell's seams. No GL: the frame loop, the input, the renderers and the tests
// share it.
//
// One ShellState is the truth; the flags splashActive, inMenu and optionsShown
// follow it (enterState keeps them in step) for the code that reads them. The
// play states Ready, Play, LifeLost and GameOver are what the play rules leave
// in the field (the ready phase's clock, lifeLostPause, lives), read back after
// every step.
#pragma once

#include "game/playfield/bot.h"
#include "game/playfield/field.h"
#include "game/playfield/replay.h"
#include "game/render/engine.h"   // Light, for the menu's lights the demo keeps
#include "game/shell/config.h"
#include "game/shell/records.h"   // the scores, continue points and settings kept for the player
#include "platform/seams.h"       // shellSeams

#include <cstdint>
#include <ctime>
#include <string>

constexpr int READY_TIME = READY_PHASE_MS;                 // ms: a level's ready phase
constexpr int PAUSE_TIME = 2000;                           // ms: life-lost pause and game-over wait
constexpr int SPLASH_TIME = 10000;                         // ms
constexpr double MAX_PITCH = 1.4707963259999999;           // radians: a right angle less 0.1
constexpr int RESOLUTION_CHOICES = RESOLUTION_COUNT + 1;   // the catalogue's sizes and the screen's own
// RESOLUTION, DISPLAY, FALL MODE, CONTROL MODE, LEVELS PACK, SOUND VOLUME, MUSIC VOLUME, CONTROLS, RETURN
constexpr int OPTION_LINES = 9;
constexpr int CONTROL_LINES = 6;    // the four keys of play, MOUSE SPEED, RETURN
constexpr int MAIN_LINES_MAX = 5;   // NEW GAME, CONTINUE (when there is a point), HIGH SCORES, OPTIONS, QUIT
constexpr double WINDOW_SHARE_OF_SCREEN = 0.9;     // the most of the screen a window opens over, each way
constexpr double MOUSE_VIEW_SCALE = 0.2;           // under mouse control the view takes a fifth of the angles
constexpr int MENU_MESSAGE_SIZE = 240;             // bytes of the failure shown in the menu, terminator included
constexpr int DEMO_IDLE_TIME = 30000;              // ms the menu waits for a key, click or button before its demo
constexpr int DEMO_LONGEST = 180000;               // ms a demo plays at most before the menu shows again
constexpr const char* REPLAY_FOLDER = "replays";   // in the working folder
constexpr const char* REPLAY_EXTENSION = ".replay";
constexpr const char* ROTATING_REPLAY_PREFIX = "game-";   // the replays the rotation may delete
constexpr const char* KEPT_REPLAY_PREFIX = "kept-";       // saved out of the rotation
constexpr int REPLAYS_KEPT = 20;                          // the rotation keeps the last this many games

enum class ShellState : uint8_t {
    Loading,   // the first frame builds the scene
    Splash,    // ten seconds of title
    Menu,      // the main menu
    Options,   // the options screen
    Ready,     // a level's first 2500 ms: the ball rests on the paddle
    Play,
    LifeLost,     // all balls lost with lives left: 2000 ms before play goes on
    GameOver,     // no lives: 2000 ms of GAME OVER, then the menu
    Demo,         // the bot plays behind the menu until a key, click or button
    Paused,       // nothing moves and no timer runs until the player resumes
    AskEnd,       // Escape in a game: END THIS GAME? — paused until YES or NO
    NameEntry,    // a game that entered its pack's table: the player types a name
    HighScores,   // the selected pack's table
    Controls,     // OPTIONS, CONTROLS: the keys of play and the mouse speed
    Count
};
constexpr int SHELL_STATES = static_cast<int>(ShellState::Count);

enum class FrameRenderer : uint8_t { Own, Splash, Menu, Play };   // Own: the state draws itself
enum class InputUse : uint8_t {
    Ignored,    // not even polled (the loading frame)
    Drain,      // polled and dropped: presses made now never act later
    Menu,       // menu keys, once per press
    Game,       // Escape, pause, and in Play and LifeLost the paddle, camera, launch and fire
    Paused,     // resume, Escape
    Question,   // YES or NO
    Typing,     // every key types: a name
    Demo,       // any key, click or button ends the demo, and does nothing else
};

// A menu press, from the keyboard's arrows, Enter and Escape or a controller's d-pad, A and B.
enum class MenuKey : uint8_t { Up, Down, Left, Right, Enter, Back };

// The main menu's lines; CONTINUE only while the selected pack has a point beyond its first level.
enum class MainLine : uint8_t { NewGame, Continue, HighScores, Options, Quit };
enum class PauseRule : uint8_t { Never, FocusLossOnly, Anytime };   // Anytime: P, Start and focus loss

// One line of the state table: what a state does every frame, in frame order.
struct StateRow {
    const char* name;         // as the trace prints it
    void (*step)();           // the state's logic, before its renderer
    FrameRenderer renderer;   // Paused draws what the paused state drew
    InputUse input;
    PauseRule pause;
};

extern const StateRow STATE_TABLE[SHELL_STATES];   // indexed by ShellState

// Lives for the whole run; only the menus change menuCursor.
struct GameState {
    ShellState state = ShellState::Loading;     // changed only through enterState
    int32_t packLevels = 0;       // the selected pack's level count, as the options show it; 0: unreadable
    int32_t packRatingLow = 0;    // its range of ratings from its ratings file; 0: not rated
    int32_t packRatingHigh = 0;
    ShellState pausedFrom = ShellState::Play;   // the state Paused returns to
    bool splashActive = true;                   // Loading or Splash (kept in step with state)
    bool inMenu = true;                         // not in a game: Loading, Splash, Menu, Options or Demo
    bool optionsShown = false;                  // Options
    int32_t menuCursor = 0;                     // selected menu line; kept within the screen's lines
    bool splashClockStarted = false;            // splashStartTime has been taken
    double splashStartTime = 0;                 // ms: clock of the first frame after loading
    bool splashSoundDone = false;
    bool menuJingleDone = false;                // the menu sound plays once per run
    int32_t lastAliveTime = 0;                  // ms: last game frame with lives left
    double pauseCarry = 0;                      // ms paused but not yet moved into the whole-ms clocks
    bool wasFocused = true;                     // the window had the focus at the previous poll
    char menuMessage[MENU_MESSAGE_SIZE] = {};   // a failure the menu shows until the next key press
    bool saveFailed = false;                    // QUIT could not save; the next QUIT leaves without saving
    bool splashPolled = false;                  // the splash's first poll is over (it drops what came while loading)
    ShellState askedFrom = ShellState::Play;    // where NO goes back to: the game's state, or Paused
    bool answerYes = false;                     // END THIS GAME?: the choice, NO first
    int32_t capturing = -1;                     // CONTROLS: the key of play waiting for a new key; -1 none
    int32_t newRow = -1;                        // HIGH SCORES: the row of the game just named; -1 none
    double menuIdleSince = 0;                   // ms: the menu's last key, click or button, or its start
    // Animations: advanced by the state steps by the frame's tick, read by the renderers.
    double menuSpin = 0;       // degrees of the menu's spinning brick
    double splashFade = 0;     // brightness of the splash light, 0 to 1
    double readySlide = 0;     // y of the READY text while it sinks
    double exitSpin[4] = {};   // degrees of the open exit's four zig-zags
    bool trace = false;        // state changes and actions on standard output (tests)
};

extern GameState game;

// What --window and --pack chose for this run only: QUIT writes config.ini's own
// display and pack back, unless the player chose them again (OPTIONS, Alt+Enter).
struct RunOnly {
    bool display = false;
    bool pack = false;
    uint8_t windowedAsRead = 0;
    char packAsRead[PACK_NAME_SIZE] = {};
};

extern RunOnly runOnly;

// What is kept for the player (records.h), as this run has it. Read by the
// first frame; each file written when what it keeps changes.
struct PlayerRecords {
    ScoreBook scores;
    ContinueBook continues;
    Settings settings;
    bool scoresWritable = true;   // false: a damaged file that could not be set aside stays untouched
    bool continuesWritable = true;
    bool settingsWritable = true;
    bool settingsChanged = false;          // not yet written: they are when the main menu shows, and at QUIT
    PackId selectedPack;                   // the pack LEVELS PACK selects, as its file was last read
    PackId gamePack;                       // the pack of the game being played, as it was when the game began
    PackId shownPack;                      // the pack whose table HIGH SCORES shows
    bool gameCounts = false;               // the game is the player's: it may enter a table and move a continue point
    int32_t gameFromLevel = 1;             // the level the game began at
    int32_t gameBest = HIGH_WHILE_EMPTY;   // the best of the game's table as it began
    ScoreEntry pendingScore;               // the game waiting for its name
    NameEntry nameEntry;
};

extern PlayerRecords playerRecords;

// The screen and the game's window as the windowing toolkit reports them; the
// program keeps it current (start-up, reshape), tests set it. Lives for the run.
struct WindowState {
    int32_t screenWidth = 0;   // the whole screen, pixels; 0: unknown
    int32_t screenHeight = 0;
    int32_t windowWidth = 1024;   // the window's drawable, pixels; the pointer's anchor is its centre
    int32_t windowHeight = 768;
    bool reanchor = false;   // the window changed: the next poll measures no pointer motion
};

extern WindowState windowState;

// The frame clock, set by the frame loop at the top of every frame.
struct FrameClock {
    double clockNow = 0;    // ms since the windowing toolkit started
    double clockPrev = 0;   // the previous frame's clockNow
    double tick = 0;        // this frame's step in units of 1/70 s
    double pausedMs = 0;    // ms the game has stood paused in all: the play clock leaves them out
    double playClock = 0;   // ms of play the last game step ran to (or its level was loaded at)
};

extern FrameClock frameClock;

// The recording of the game being played. Started at NEW GAME, a frame added
// after every game step, saved into REPLAY_FOLDER when the game ends. Lives
// for the whole run; the recorder's buffer is reused game after game.
struct GameRecording {
    ReplayRecorder recorder;
    bool active = false;     // a game is being recorded
    std::string packPath;    // the pack it was started with: a pack changed during the game is not kept
    bool keep = false;       // save it out of the rotation (a game worth keeping); cleared at each start
    std::string lastSaved;   // the file of the last game saved; empty when none was
};

extern GameRecording gameRecording;

// tessivar --replay: the window plays a replay instead of the splash and the
// menu, then the program ends. Set up before the first frame; lives for the run.
struct Playback {
    bool active = false;   // the program plays a replay
    Replay replay;
    std::string path;       // the replay's file, for messages
    std::string packPath;   // "Levels Packs/" + the replay's pack name
    PackLevel first;        // the replay's first level, read when the pack was checked
    ReplayCursor cursor;
    bool started = false;        // its first game frame has set clockOffset
    double clockOffset = 0;      // ms: the replay's clock less the play clock
    double shownClock = 0;       // ms: the replay's clock at the last frame played
    bool framePending = false;   // the next frame, read and waiting for its time
    FrameTimes nextTimes;
    PlayerCommand nextCommand;
    bool ended = false;      // every frame played, or the game ended
    double endedAt = 0;      // ms of play when it ended: the last picture stays PAUSE_TIME
    bool finished = false;   // the program was told to end
    ReplayEnd end;           // how the played game ended
    // Watched from HIGH SCORES: its end goes back to the table, not out of the program.
    bool fromTable = false;
    int32_t tableRow = 0;            // the row watched, where the cursor goes back to
    int32_t mouseControl = 0;        // config's control mode, which the replay's own replaces meanwhile
    Light menuLights[LIGHT_COUNT];   // the menu's lights as the replay found them
};

extern Playback playback;

// tessivar --level N: one game of one level straight away, then the program ends.
struct DirectPlay {
    bool active = false;
    int32_t levelNumber = 0;
    double endedAt = -1;      // ms: when the level was cleared or the last life lost
    bool cleared = false;
    bool finished = false;   // the program was told to end
};

extern DirectPlay directPlay;

// The menu's demo: the bot plays a level of the selected pack on a field of its
// own, which the play scene shows, silently. Lives for the whole run.
struct DemoGame {
    PlayField field;
    BotHand hand;
    double clock = 0;                     // ms: the last demo step's clock (the frame clock)
    double startedAt = 0;                 // ms
    double overAt = -1;                   // ms the bot lost its last life, -1 while it has lives
    ShellState from = ShellState::Menu;   // where a key brings the player back
    uint32_t runs = 0;                    // demos started: each plays the pack's next level
    Light menuLights[LIGHT_COUNT];        // the menu's lights as the demo found them
};

extern DemoGame demo;

// The music stream has been started for the current level: the frame loop
// sets it when it starts the stream; a level load and the return to the menu clear it.
extern bool musicPlaying;

// shellSeams, what the frame loop and the input call outside the window-free
// logic, is declared with the other seams in platform/seams.h.

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

// states.cpp
void enterState(ShellState state);   // the one way to change state; flags follow, trace says so
// Ready, Play, LifeLost or GameOver, as the field stands elapsed ms into its level.
ShellState playState(int32_t elapsed);
void pauseGame();   // from a state whose row allows it
void resumeGame();
// Leaves ms out of the play clock and moves the shell's clock-based times
// (last frame alive, splash start) on by them, so timers stand still over a pause.
void shiftClocks(double ms);
void showMenuMessage(const char* text);   // also on standard output
// END THIS GAME?, from a game's state or from Paused; NO is chosen first.
void askEnd();
void answerEnd(bool yes);                  // YES: the game ends as it always did; NO: back where it was asked
void traceLine(const char* format, ...);   // with game.trace only

// frame.cpp
void GameFrame();   // one whole frame: clock, state step, renderer, input
void setCameraAngles(double yaw, double pitch);
void returnToMenu(int levelNumber);   // after a completed pack (0) or a game over (1)
void endSplash();                     // the menu from the next frame on

// play.cpp: the shell's side of the play rules.
// Reads level field.levelNumber of "Levels Packs/" + the configured pack and
// loads it, seeded from the clock. A pack that cannot be opened (missing, a
// folder) or is damaged is reported on standard output and in the menu,
// changes nothing and returns false.
bool loadLevelOfPack(unsigned int* seedUsed = nullptr);   // seedUsed: the level's seed
// A game's first level: the pack's first (its count read afresh), or level (a
// continue point) with the count read from the pack; false as loadLevelOfPack.
bool loadFirstLevel(int32_t level, unsigned int* seedUsed = nullptr);
// Turns what the rules reported into sounds, music and camera resets.
void applyPlayEvents(const PlayEvents& events);
// The one event record the frame's rules report into.
extern PlayEvents playEvents;
// The player's command, built by the input at the end of a frame and given
// to the rules by the next game step, which then starts it afresh.
extern PlayerCommand playerCommand;
// The frame's times as the rules count them: from where the last game step
// ended to the clock now, the time spent paused left out.
FrameTimes playTimes();
std::string configuredPackPath();   // "Levels Packs/" + the configured pack's name
// Reads the selected pack's level count and ratings for the options' LEVELS PACK line.
void summariseSelectedPack();
// Where the rules find the pack's next level: the configured pack.
extern const LevelSource packLevels;

// recording.cpp: the game's replays.
// Starts recording the game whose first level is about to load: the field as
// it stands (level, count, lives, score) and the pack's content now.
void startGameRecording(const std::string& packPath);
// Completes the start once the level is loaded with seed at clock (ms of play).
void recordGameStart(unsigned int seed, double clock);
void recordGameFrame(const FrameTimes& times, const PlayerCommand& command);
// The game ended: saves its replay into REPLAY_FOLDER (in the rotation, or
// out of it when gameRecording.keep is set) and trims the rotation.
void finishGameRecording();
// "game-20250101-120000.replay" for a replay saved at when (local time); kept:
// with KEPT_REPLAY_PREFIX, which the rotation leaves alone.
std::string replayFileName(time_t when, bool kept);
// Deletes the oldest rotating replays (plain files named game-*.replay) of
// folder beyond kept of them; every other file stays. Returns how many it deleted.
int pruneReplays(const std::string& folder, int kept);

// directplay.cpp: tessivar FILE.tlp, --pack NAME, --level N.
// Selects the listed pack name (".tlp" may be left off); false, with failure naming the packs there, when
// the list holds none of that name.
bool selectPackByName(const std::string& name, std::string& failure);
// Brings the pack file at source into the packs folder (checked first; a different pack of its name stays
// and this one comes in beside it) and selects it; said tells the player what happened.
bool bringInPackFile(const std::string& source, std::string& said, std::string& failure);
// Checks that the configured pack holds a readable level levelNumber and sets the direct game going; false,
// with failure saying why, when not. Before the window opens.
bool prepareDirectPlay(int32_t levelNumber, std::string& failure);
void startDirectPlay();   // the first frame after loading: READY on that level
// After each game step: notes the game's end (cleared or lost) and ends the program PAUSE_TIME later.
void watchDirectPlay();
bool directPlayHolds();   // a cleared level stays on screen; nothing steps until the end

// playback.cpp: tessivar --replay.
// Reads the replay at path (before the program changes folder); false, with
// failure saying why, when it cannot be used.
bool readPlaybackFile(const std::string& path, std::string& failure);
// Finds the replay's pack in "Levels Packs/" and sets playback going; false,
// with failure saying why, when the pack is missing or its content is not the
// one recorded. Before the window opens.
bool preparePlayback(std::string& failure);
void startPlayback();   // the first frame after loading: the replay's game begins
// A game frame: plays the recorded frames whose time has come; once the last
// one has shown for PAUSE_TIME, says how the game ended and ends the program.
void playRecordedFrames();
void stopPlayback();   // Escape: the program ends (a replay watched from the table: the table again)

// demo.cpp: the menu's demo.
// Starts a demo of the selected pack's next level behind the menu; false
// (and the menu stays) when the pack cannot be read.
bool startDemo();
void demoStep();
void endDemo();   // back to the menu screen it came from

// input.cpp
void handleInput();   // polls every device once per frame and acts by the state's row
// A game of the selected pack from level (0: its first), three lives, score 0; false (the menu says
// why) when the pack cannot be read. A game that does not count (a level tried from the editor) may start
// at any level and neither enters a table nor moves a continue point.
bool startGame(int32_t level, bool counts = true);
void moveCamera(int steps);   // along the view direction, 0.1 per step, as far as the view keeps its sight
// Under mouse control the view turns with the paddle, a fifth of the yaw the
// pointer's travel gives (1/200 radian a pixel against 1/8 unit a pixel of
// paddle), as far as the sight allows; after each game step.
void turnWithPaddle();

// view.cpp: the picture, the window and the view.
void fillRenderInputs();   // renderInputs from the game state and the options, before a frame is drawn
// The sizes RESOLUTION offers on a screen (0 x 0: unknown): the catalogue's
// that fit it, and the screen's own where the catalogue lacks it, by width;
// returns how many (at most RESOLUTION_CHOICES).
int resolutionChoices(int screenWidth, int screenHeight, int32_t (*out)[2]);
void stepResolution();   // the next size after the one in use; the picture follows at once
// The window of the WINDOW display for a picture: its size, or smaller, with
// its proportions, to fit WINDOW_SHARE_OF_SCREEN of the screen.
void windowedSize(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight, int& width, int& height);
void toggleDisplay();   // DISPLAY and Alt+Enter: full screen or a window, at once
int anchorX();          // the pointer's anchor: the window's centre, window pixels
int anchorY();
double pictureAspect();   // of the picture the options chose (cut to 5:4..16:9)
// How much (0 to 1) of a change of the camera angles the view can take and
// keep the field and the spare lives in sight (a turn between the picture's
// sides, a tilt between its top and bottom); viewScale is what the frame
// applies to the angles (1/5 under mouse control). A view out of sight
// already may only turn back towards rest.
double allowedTurn(double yaw, double pitch, double yawChange, double pitchChange, double viewScale);
void recentreView();   // yaw, pitch and the eye back at rest

// pages.cpp: the pages of the menu, what is kept for the player, and the sound.
// The first frame: scores, continue points and settings read (a damaged file
// is set aside and the menu says so), volumes and keys put to the devices.
void loadPlayerRecords();
void refreshSelectedPack();         // the selected pack's identity, read afresh from its file
void applySoundSettings();          // the volumes (0 while muted) to the sound device; traced as the device has them
void toggleMute();                  // M
void saveSettingsIfChanged();       // settings.ini, when a setting changed since it was written
int mainMenuLines(MainLine* out);   // the main menu's lines now; returns how many
int menuLineCount();                // lines the cursor walks on the page shown
double menuLineY(int line);         // the baseline of a line of the page shown (the menu's lights follow it)
void menuPagePress(MenuKey key);    // on Controls and HighScores
// A value line of OPTIONS (SOUND VOLUME, MUSIC VOLUME) one step by Left (-1) or Right (+1); false on
// any other line. Enter steps up, wrapping.
bool optionsStep(int direction, bool wrap);
// CONTROLS waiting for a key: the first key pressed takes the place (one already used by another
// key of play is swapped), Escape or the controller's B keeps the old one.
void captureKey(const KeyName* named, int namedCount, bool padBack);
void nameEntryInput(const KeyName* named, int namedCount, const MenuKey* pad, int padCount);
// At a game's end, before the field is reset: whether it entered its table (its name is then asked).
bool gameEnteredTable();
void noteLevelBegun();   // a level of the player's game was loaded: its continue point may move
void fillMenuTexts();    // renderInputs' menu page from the state
// HIGH SCORES: the table of pack, the cursor on row (-1: on its first line).
void showHighScores(const PackId& pack, int row);
// Plays a table game's replay (row) in the window, then shows the table again;
// false (the menu says why) when it cannot be played.
bool watchReplay(const std::string& file, int row);
