// editor/editor_play: "Play level" (F5) tries the level in the game: tessivar --pack NAME --level N --window,
// started as a child process beside the editor (posix_spawn, no shell), straight into READY. The frame polls
// for its end; then the editor's window comes back in front.
#include "editor/editor.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

void startPlayTest(Editor& ed)
{
    PlayTest& play = ed.playTest;
    if (play.running) {
        reportFailure(ed, "The game is still running: end it (Escape) to play another level.");
        return;
    }
    if (!ed.packLoaded || ed.levelNumber < 1 || strncmp(ed.packPath, PACK_FOLDER_PATH, strlen(PACK_FOLDER_PATH)) != 0) {
        reportFailure(ed, "Open a level to play it.");
        return;
    }
    char exe[PATH_MAX] = {};
    const ssize_t exeLength = readlink("/proc/self/exe", exe, sizeof exe - 1);
    exe[exeLength > 0 ? exeLength : 0] = '\0';
    std::string game;
    if (!findProgram(GAME_NAME, exe, getenv("PATH"), game)) {
        reportFailure(ed, "Cannot play: tessivar is neither beside tles nor on PATH.");
        return;
    }
    char levelText[16];
    snprintf(levelText, sizeof levelText, "%d", ed.levelNumber);
    char* const argv[] = {const_cast<char*>(game.c_str()),
                          const_cast<char*>("--pack"),
                          ed.packPath + strlen(PACK_FOLDER_PATH),
                          const_cast<char*>("--level"),
                          levelText,
                          const_cast<char*>("--window"),
                          nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, game.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        reportFailure(ed, (std::string("Cannot start ") + game + ": " + strerror(spawned)).c_str());
        return;
    }
    play.running = true;
    play.pid = pid;
    play.level = ed.levelNumber;
    char note[STATUS_SIZE];
    snprintf(note, sizeof note, "Playing level %d in the game: Escape and YES there end it.", play.level);
    reportSuccess(ed, note);
}

bool pollPlayTest(Editor& ed)
{
    PlayTest& play = ed.playTest;
    if (!play.running) {
        return false;
    }
    int status = 0;
    const pid_t reaped = waitpid(play.pid, &status, WNOHANG);
    if (reaped == 0 || (reaped < 0 && errno == EINTR)) {
        return false;
    }
    play.running = false;
    play.pid = -1;
    char note[STATUS_SIZE];
    if (reaped == play.pid || reaped > 0) {
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
            snprintf(note, sizeof note, "Back from playing level %d.", play.level);
            reportSuccess(ed, note);
        } else {
            snprintf(note, sizeof note,
                     "The game ended with %s %d while playing level %d (its messages are in the log).",
                     WIFSIGNALED(status) ? "signal" : "exit status",
                     WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status), play.level);
            reportFailure(ed, note);
        }
    } else {
        snprintf(note, sizeof note, "Back from playing level %d.", play.level);
        reportSuccess(ed, note);
    }
    printf("%s\n", ed.status);   // the log says when the game ended, as it says when it started
    return true;
}

void stopPlayTest(Editor& ed)
{
    PlayTest& play = ed.playTest;
    if (!play.running) {
        return;
    }
    kill(play.pid, SIGTERM);
    waitpid(play.pid, nullptr, 0);
    play.running = false;
    play.pid = -1;
}
