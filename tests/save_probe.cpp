// save_probe: runs the real save path twice in one process, for the fault tests to run under faultshim.
//   save_probe pack <dir>     savePackLevel of an edited level 2 of <dir>/pack.tlp
//   save_probe editor <dir>   in <dir>: TLES's logic opens "Levels Packs/pack.tlp", paints a cell, presses Save
//   save_probe change <dir>   changePackLevels: level 2 of <dir>/pack.tlp duplicated
//   save_probe create <dir>   writeNewPack: <dir>/pack.tlp replaced by a new pack of 80 levels
//   save_probe config <dir>   the game's settings saved as QUIT saves them, to <dir>/config.ini
//   save_probe cycle <dir>    until killed: level 2 of <dir>/pack.tlp saved with cell 5 changed, moved down,
//                             saved back as it was, moved up again (the pack is then as it started)
// Each attempt prints one line, "attempt <n>: saved..." or "attempt <n>: failed: <message>"; the editor's
// lines carry its status line (its own report of a failure goes to standard output as well).
// The exit status is 0 whenever the program got through both attempts: a failure is reported, never fatal
// (a file-size limit included: the probe ignores SIGXFSZ as the programs do).
#include "editor/editor.h"
#include "game/shell/config.h"
#include "levelpack/levelpack.h"
#include "levelpack/safefile.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

int probePack(const std::string& dir)
{
    const std::string pack = dir + "/pack.tlp";
    PackLevel level;
    level.levelNumber = 2;
    if (!readPackLevel(pack, level).ok()) {
        printf("setup: cannot read %s\n", pack.c_str());
        return 2;
    }
    level.levelCount = 3;
    level.bricks[5] = (level.bricks[5] + 1) % (BRICK_CODE_MAX + 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const PackResult result = savePackLevel(pack, level);
        printf("attempt %d: %s%s\n", attempt, result.ok() ? "saved" : "failed: ", result.message.c_str());
    }
    return 0;
}

// The whole-pack rewrites: a change to the list of levels, and a new pack over an old one.
int probeRewrite(const std::string& mode, const std::string& dir)
{
    const std::string pack = dir + "/pack.tlp";
    for (int attempt = 0; attempt < 2; ++attempt) {
        const PackResult result =
            mode == "change" ? changePackLevels(pack, {LevelChange::DuplicateAfter, 2, 4}) : writeNewPack(pack, 80);
        printf("attempt %d: %s%s\n", attempt, result.ok() ? "saved" : "failed: ", result.message.c_str());
    }
    return 0;
}

// Writes one pack after another, for a test that kills the process at any moment.
int probeCycle(const std::string& dir)
{
    const std::string pack = dir + "/pack.tlp";
    PackLevel level;
    level.levelNumber = 2;
    if (!readPackLevel(pack, level).ok()) {
        printf("setup: cannot read %s\n", pack.c_str());
        return 2;
    }
    PackLevel count;
    readPackLevel(pack, count);
    level.levelCount = count.levelCount;
    const int original = level.bricks[5];
    printf("cycling\n");
    for (;;) {
        level.levelNumber = 2;
        level.bricks[5] = (original + 1) % (BRICK_CODE_MAX + 1);
        const bool done = savePackLevel(pack, level).ok() &&
                          changePackLevels(pack, {LevelChange::MoveDown, 2, level.levelCount}).ok();
        level.levelNumber = 3;
        level.bricks[5] = original;
        if (!done || !savePackLevel(pack, level).ok() ||
            !changePackLevels(pack, {LevelChange::MoveUp, 3, level.levelCount}).ok()) {
            printf("a write failed\n");
            return 1;
        }
    }
}

// Moves the pointer to scene point (x, y) and clicks there with the left button.
void clickAt(Editor& ed, double x, double y)
{
    updateHover(ed, x, y);
    pressLeft(ed);
}

int probeEditor(const std::string& dir)
{
    if (chdir(dir.c_str()) != 0) {
        perror(dir.c_str());
        return 2;
    }
    Editor& ed = editor;
    initEditor(ed);
    snprintf(ed.packPath, sizeof ed.packPath, "%spack.tlp", PACK_FOLDER_PATH);
    ed.levelNumber = 0;
    if (!readLevel(ed)) {
        printf("setup: %s\n", ed.status);
        return 2;
    }
    const int cell = 3 * GRID_COLUMNS + 4;
    const int brush = (ed.grid[cell].code + 1) % SWATCH_COUNT;
    clickAt(ed, swatchX(brush), swatchY(brush));
    clickAt(ed, GRID_ORIGIN_X + ed.grid[cell].x, GRID_ORIGIN_Y + ed.grid[cell].y);
    if (!ed.modified || ed.grid[cell].code != brush) {
        printf("setup: the paint click did not land\n");
        return 2;
    }
    const EditorButton& save = ed.buttons[SaveButton];
    for (int attempt = 0; attempt < 2; ++attempt) {
        clickAt(ed, save.x, save.y);
        printf("attempt %d: %s%s (modified %d, cell %d)\n", attempt,
               ed.statusIsError ? "failed: " : "saved: ", ed.status, ed.modified ? 1 : 0, ed.grid[cell].code);
    }
    return 0;
}

int probeConfig(const std::string& dir)
{
    Config cfg;
    cfg.screenWidth = 1280;
    cfg.screenHeight = 800;
    strcpy(cfg.levelPackName, "new.tlp");
    const std::string path = dir + "/config.ini";
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string failure;
        const bool saved = writeConfig(path.c_str(), cfg, &failure);
        printf("attempt %d: %s%s\n", attempt, saved ? "saved" : "failed: ", failure.c_str());
    }
    return 0;
}

}   // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IOLBF, 0);
    ignoreFileSizeSignal();
    if (argc != 3) {
        fprintf(stderr, "usage: save_probe pack|editor|change|create|config|cycle <dir>\n");
        return 2;
    }
    if (strcmp(argv[1], "pack") == 0) {
        return probePack(argv[2]);
    }
    if (strcmp(argv[1], "editor") == 0) {
        return probeEditor(argv[2]);
    }
    if (strcmp(argv[1], "change") == 0 || strcmp(argv[1], "create") == 0) {
        return probeRewrite(argv[1], argv[2]);
    }
    if (strcmp(argv[1], "config") == 0) {
        return probeConfig(argv[2]);
    }
    if (strcmp(argv[1], "cycle") == 0) {
        return probeCycle(argv[2]);
    }
    fprintf(stderr, "usage: save_probe pack|editor|change|create|config|cycle <dir>\n");
    return 2;
}
