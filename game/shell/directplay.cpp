// game/shell/directplay: what the command line can ask of the game beyond the
// menu: a pack file from anywhere brought into the packs folder and selected,
// a pack selected by name, and a level played straight away (tessivar --pack
// NAME --level N, as the editor's play-test starts it): no splash, no menu,
// READY at once; when that game ends (cleared, lost or left with Escape) the
// last picture stays a moment and the program ends. Such a game changes no
// setting: config.ini is written only by QUIT.
#include "game/render/lights.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"
#include "levelpack/packimport.h"
#include "levelpack/safefile.h"

#include <cstdio>
#include <cstring>

DirectPlay directPlay;

namespace {

bool endsWith(const std::string& text, const char* end)
{
    const size_t n = strlen(end);
    return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

// The packs the game lists, for a message: "a.tlp, b.tlp".
std::string listedPacks()
{
    std::string list;
    for (int k = 0; k < packList.count; ++k) {
        list += (k ? ", " : "") + std::string(packList.names[k]);
    }
    return list.empty() ? "none" : list;
}

}   // namespace

bool selectPackByName(const std::string& name, std::string& failure)
{
    const std::string file = endsWith(name, PACK_EXTENSION) ? name : name + PACK_EXTENSION;
    for (int k = 0; k < packList.count; ++k) {
        if (file == packList.names[k]) {
            packList.packIndex = k;
            memcpy(config.levelPackName, packList.names[k], PACK_NAME_SIZE);
            return true;
        }
    }
    failure = "there is no pack " + quoteBytes(file) + " in " + PACK_FOLDER + " (it holds: " + listedPacks() + ")";
    return false;
}

bool bringInPackFile(const std::string& source, std::string& said, std::string& failure)
{
    PackImport plan = planPackImport(source, PACK_FOLDER);
    if (plan.state == ImportState::Refused) {
        failure = plan.message;
        return false;
    }
    // A game asks nothing before it shows: a different pack of the same name stays, this one comes in beside it.
    const bool kept = plan.state == ImportState::NameTaken;
    const std::string taken = plan.name;
    if (plan.state != ImportState::InFolder &&
        !finishPackImport(plan, kept ? ImportChoice::KeepBoth : ImportChoice::Replace, failure)) {
        return false;
    }
    discoverPacks(packList, PACK_FOLDER, config);
    if (!selectPackByName(plan.name, failure)) {
        return false;
    }
    if (kept) {
        said = "Another pack was called " + taken + "; this one came in beside it as " + plan.name + ".";
    } else {
        said = "Levels pack " + plan.name + " selected (" + std::to_string(plan.levels) + " levels).";
    }
    if (!plan.renamed.empty()) {
        said += " Its name " + plan.renamed + ".";
    }
    return true;
}

bool prepareDirectPlay(int32_t levelNumber, std::string& failure)
{
    const std::string path = configuredPackPath();
    PackLevel header;
    header.levelNumber = 0;
    PackResult read = readPackLevel(path, header);
    if (read.ok() && levelNumber > header.levelCount) {
        failure = quoteBytes(path) + " holds " + std::to_string(header.levelCount) + " levels, not " +
                  std::to_string(levelNumber);
        return false;
    }
    PackLevel level;
    level.levelNumber = levelNumber;
    if (read.ok()) {
        read = readPackLevel(path, level);
    }
    if (!read.ok()) {
        failure = read.message;
        return false;
    }
    directPlay = DirectPlay{};
    directPlay.active = true;
    directPlay.levelNumber = levelNumber;
    return true;
}

void startDirectPlay()
{
    resetForMenu(field, directPlay.levelNumber);
    // The room's light as the splash leaves it; this game shows no splash.
    setLightColour(SPLASH_LIGHT, 1, 1, 1);
    setLightEnabled(SPLASH_LIGHT, true);
    printf("Playing level %d of %s\n", directPlay.levelNumber, quoteBytes(configuredPackPath()).c_str());
    if (!startGame(directPlay.levelNumber, false)) {
        printf("Cannot play level %d: %s\n", directPlay.levelNumber, game.menuMessage);
        fflush(stdout);
        shellSeams.exitProgram(1);
    }
}

void watchDirectPlay()
{
    if (!directPlay.active || directPlay.finished) {
        return;
    }
    const double now = frameClock.clockNow;
    if (directPlay.endedAt < 0) {
        if (field.levelCleared || field.lives <= 0) {
            directPlay.endedAt = now;
            directPlay.cleared = field.levelCleared;
        }
        return;
    }
    if (now - directPlay.endedAt > PAUSE_TIME) {
        directPlay.finished = true;
        finishGameRecording();
        printf("Level %d %s, score %d\n", directPlay.levelNumber, directPlay.cleared ? "cleared" : "lost",
               static_cast<int>(field.score));
        fflush(stdout);
        shellSeams.exitProgram(0);
    }
}

bool directPlayHolds() { return directPlay.active && directPlay.cleared; }
