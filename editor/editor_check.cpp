// editor/editor_check: "Check level" runs the pack checker tlpcheck on the current level of the saved pack.
//
// The checker plays the level with a bot for many seconds, so it runs as a child process (posix_spawn, no
// shell) whose standard output the frame polls through a non-blocking pipe: the window never waits for it.
// Its one line for the level becomes the verdict under the button.
#include "editor/editor.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

void labelCheckButton(Editor& ed, bool running)
{
    snprintf(ed.buttons[CheckButton].label, sizeof ed.buttons[CheckButton].label, "%s",
             running ? "Stop check" : "Check level");
}

bool executableFile(const std::string& path)
{
    struct stat s {};
    return stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Word-wraps text into the note, CHECK_LINE_CHARS a line; what does not fit the last line ends in "...".
void setNote(CheckRun& check, CheckTone tone, const char* text)
{
    check.tone = tone;
    check.noteLines = 0;
    const char* p = text;
    while (*p && check.noteLines < CHECK_NOTE_LINES) {
        while (*p == ' ') {
            ++p;
        }
        size_t length = strnlen(p, CHECK_LINE_CHARS + 1);
        if (length > static_cast<size_t>(CHECK_LINE_CHARS)) {
            length = CHECK_LINE_CHARS;
            for (size_t i = CHECK_LINE_CHARS; i > CHECK_LINE_CHARS / 2; --i) {
                if (p[i] == ' ') {
                    length = i;
                    break;
                }
            }
        }
        char* line = check.note[check.noteLines++];
        memcpy(line, p, length);
        line[length] = '\0';
        p += length;
        if (*p && check.noteLines == CHECK_NOTE_LINES) {
            memcpy(line + std::min(length, static_cast<size_t>(CHECK_LINE_CHARS - 3)), "...", 4);
        }
    }
}

// A cursor over one line of the checker's output.
struct LineReader {
    const char* p;

    bool literal(const char* text)
    {
        const size_t n = strlen(text);
        if (strncmp(p, text, n) != 0) {
            return false;
        }
        p += n;
        return true;
    }
    bool number(long& value)
    {
        if (*p < '0' || *p > '9') {
            return false;
        }
        value = 0;
        while (*p >= '0' && *p <= '9') {
            value = value > (LONG_MAX - 9) / 10 ? LONG_MAX : value * 10 + (*p - '0');
            ++p;
        }
        return true;
    }
    // A time in seconds, kept as printed ("41.2"); at most size - 1 characters.
    bool seconds(char* out, size_t size)
    {
        size_t n = 0;
        while (*p && *p != ' ' && *p != ',') {
            if (n + 1 < size) {
                out[n++] = *p;
            }
            ++p;
        }
        out[n] = '\0';
        return n > 0;
    }
};

void finishCheck(Editor& ed, int status)
{
    CheckRun& check = ed.check;
    check.running = false;
    check.pid = -1;
    labelCheckButton(ed, false);
    if (check.output >= 0) {
        close(check.output);
        check.output = -1;
    }
    // The whole report goes to the log; the line for this level becomes the verdict.
    const char* start = check.text.c_str();
    char firstLine[STATUS_SIZE] = {};
    bool verdict = false;
    while (*start) {
        const char* end = strchr(start, '\n');
        const std::string line(start, end ? end - start : strlen(start));
        printf("tlpcheck: %s\n", line.c_str());
        if (firstLine[0] == '\0') {
            snprintf(firstLine, sizeof firstLine, "%s", line.c_str());
        }
        verdict = verdict || readCheckLine(line.c_str(), check.level, check);
        start = end ? end + 1 : start + line.size();
    }
    fflush(stdout);
    char text[STATUS_SIZE + 64];
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) {
        snprintf(text, sizeof text, "Check failed: %s", firstLine[0] ? firstLine : "tlpcheck cannot read the pack.");
        setNote(check, CheckTone::Bad, text);
    } else if (WIFSIGNALED(status)) {
        snprintf(text, sizeof text, "tlpcheck ended by signal %d without a verdict.", WTERMSIG(status));
        setNote(check, CheckTone::Bad, text);
    } else if (!verdict) {
        snprintf(text, sizeof text, "tlpcheck gave no verdict for level %d (exit status %d). %s", check.level,
                 WEXITSTATUS(status), firstLine);
        setNote(check, CheckTone::Bad, text);
    }
}

}   // namespace

bool findChecker(const char* exeFile, const char* pathList, std::string& found)
{
    return findProgram(CHECKER_NAME, exeFile, pathList, found);
}

bool findProgram(const char* name, const char* exeFile, const char* pathList, std::string& found)
{
    if (exeFile && *exeFile) {
        std::string beside = exeFile;
        const size_t slash = beside.rfind('/');
        beside = (slash == std::string::npos ? std::string(".") : beside.substr(0, slash)) + "/" + name;
        if (executableFile(beside)) {
            found = beside;
            return true;
        }
    }
    const char* p = pathList ? pathList : "";
    while (*p) {
        const char* end = strchr(p, ':');
        const size_t length = end ? static_cast<size_t>(end - p) : strlen(p);
        // An empty entry would mean the working directory: a pack folder is no place to run programs from.
        if (length > 0) {
            const std::string candidate = std::string(p, length) + "/" + name;
            if (executableFile(candidate)) {
                found = candidate;
                return true;
            }
        }
        p += length + (end ? 1 : 0);
    }
    return false;
}

bool readCheckLine(const char* line, int level, CheckRun& into)
{
    // "<pack> level <n>: cleared <k>/<runs> runs, median <s> s, longest <s> s" and what follows; the pack's
    // name may hold anything, so the line is read from the last " level " before ": cleared ".
    const char* cleared = strstr(line, ": cleared ");
    if (!cleared) {
        return false;
    }
    const char* levelWord = nullptr;
    for (const char* p = strstr(line, " level "); p && p < cleared; p = strstr(p + 1, " level ")) {
        levelWord = p;
    }
    LineReader in{levelWord ? levelWord + 7 : cleared};
    long number = 0, k = 0, runs = 0, hangs = 0, row = 0, column = 0;
    char median[16], longest[16];
    if (!levelWord || !in.number(number) || in.p != cleared || number != level || !in.literal(": cleared ") ||
        !in.number(k) || !in.literal("/") || !in.number(runs) || !in.literal(" runs, median ") ||
        !in.seconds(median, sizeof median) || !in.literal(" s, longest ") || !in.seconds(longest, sizeof longest) ||
        !in.literal(" s")) {
        return false;
    }
    // ", rating <r> (<k>/<n> runs with 3 lives, median <s> s)" at the end, when the check rated the level.
    char rating[192] = "";   // room for every number at its longest
    if (const char* rated = strstr(in.p, ", rating ")) {
        LineReader r{rated + 9};
        long value = 0, won = 0, played = 0, lives = 0;
        char ratedMedian[16];
        if (r.number(value) && r.literal(" (") && r.number(won) && r.literal("/") && r.number(played) &&
            r.literal(" runs with ") && r.number(lives) && r.literal(" lives, median ") &&
            r.seconds(ratedMedian, sizeof ratedMedian)) {
            snprintf(rating, sizeof rating, " Rating %ld of 5 (%ld/%ld won with %ld lives, median %s s).", value, won,
                     played, lives, ratedMedian);
        }
    }
    char text[STATUS_SIZE + sizeof rating];
    if (in.literal(", unreachable: row ") && in.number(row) && in.literal(" column ") && in.number(column)) {
        snprintf(text, sizeof text, "Level %d cannot be cleared: no ball reaches the brick at row %ld column %ld.",
                 level, row, column);
        setNote(into, CheckTone::Bad, text);
    } else if (in.literal(", empty")) {
        snprintf(text, sizeof text, "Level %d has nothing to break.", level);
        setNote(into, CheckTone::Warning, text);
    } else if (in.literal(", hangs ") && in.number(hangs)) {
        snprintf(text, sizeof text, "Level %d: %ld of %ld runs never end. Cleared by %ld, median %s s.", level, hangs,
                 runs, k, median);
        setNote(into, CheckTone::Bad, text);
    } else {
        snprintf(text, sizeof text, "Level %d: cleared by %ld of %ld runs, median %s s, longest %s s.%s", level, k,
                 runs, median, longest, rating);
        setNote(into, k == runs ? CheckTone::Good : CheckTone::Warning, text);
    }
    return true;
}

void startCheck(Editor& ed)
{
    CheckRun& check = ed.check;
    if (check.running) {
        return;
    }
    if (!ed.packLoaded || ed.packPath[0] == '\0' || ed.levelNumber < 1) {
        setNote(check, CheckTone::Warning, "Open a level to check it.");
        return;
    }
    char exe[PATH_MAX] = {};
    const ssize_t exeLength = readlink("/proc/self/exe", exe, sizeof exe - 1);
    exe[exeLength > 0 ? exeLength : 0] = '\0';
    std::string checker;
    if (!findChecker(exe, getenv("PATH"), checker)) {
        setNote(check, CheckTone::Bad, "Cannot check: tlpcheck is neither beside tles nor on PATH.");
        return;
    }
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        setNote(check, CheckTone::Bad, (std::string("Cannot check: ") + strerror(errno)).c_str());
        return;
    }
    char levelText[16];
    snprintf(levelText, sizeof levelText, "%d", ed.levelNumber);
    char* const argv[] = {const_cast<char*>(checker.c_str()), const_cast<char*>("--rate"), const_cast<char*>("--level"),
                          levelText, ed.packPath, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, checker.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        setNote(check, CheckTone::Bad, (std::string("Cannot start ") + checker + ": " + strerror(spawned)).c_str());
        return;
    }
    fcntl(pipeEnds[0], F_SETFL, fcntl(pipeEnds[0], F_GETFL) | O_NONBLOCK);
    check.running = true;
    labelCheckButton(ed, true);
    check.pid = pid;
    check.output = pipeEnds[0];
    check.outputEnded = false;
    check.level = ed.levelNumber;
    check.startedAt = -1;
    check.shownSeconds = 0;
    check.text.clear();
    char note[64];
    snprintf(note, sizeof note, "Checking level %d...", check.level);
    setNote(check, CheckTone::Neutral, note);
}

void pollCheck(Editor& ed, double nowMs)
{
    CheckRun& check = ed.check;
    if (!check.running) {
        return;
    }
    if (check.startedAt < 0) {
        check.startedAt = nowMs;
    }
    char buffer[4096];
    while (!check.outputEnded) {
        const ssize_t n = read(check.output, buffer, sizeof buffer);
        if (n > 0) {
            const size_t room = CHECK_OUTPUT_MAX - std::min(CHECK_OUTPUT_MAX, check.text.size());
            check.text.append(buffer, std::min(room, static_cast<size_t>(n)));   // the rest is drained unread
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            check.outputEnded = true;
        }
    }
    int status = 0;
    if (check.outputEnded) {
        const pid_t reaped = waitpid(check.pid, &status, WNOHANG);
        if (reaped == check.pid || (reaped < 0 && errno != EINTR)) {
            finishCheck(ed, reaped == check.pid ? status : 0);   // reaped elsewhere: judge by the output
            return;
        }
    }
    const int seconds = static_cast<int>((nowMs - check.startedAt) / 1000);
    if (seconds != check.shownSeconds) {
        check.shownSeconds = seconds;
        char note[64];
        snprintf(note, sizeof note, "Checking level %d... %d s", check.level, seconds);
        setNote(check, CheckTone::Neutral, note);
    }
}

void stopCheck(Editor& ed, const char* note)
{
    CheckRun& check = ed.check;
    if (!check.running) {
        return;
    }
    kill(check.pid, SIGKILL);
    waitpid(check.pid, nullptr, 0);
    close(check.output);
    check.output = -1;
    check.pid = -1;
    check.running = false;
    labelCheckButton(ed, false);
    setNote(check, CheckTone::Neutral, note);
}
