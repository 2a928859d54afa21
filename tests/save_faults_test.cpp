// Saving under failure: the real save paths (savePackLevel, TLES's Save through its logic, the whole-pack
// rewrites — a change to the list of levels, a new pack over an old one — and the game's config.ini at
// QUIT) run in a child process whose write, fsync, close or rename fails (faultshim), on a full file
// system and under a file-size limit. After every failure the old file is byte-identical, no scratch file
// is left, the reason is reported and the program carries on; once the fault clears, the same process saves.
#include "levelpack/levelpack.h"
#include "levelpack/safefile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <set>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ProbeRun {
    int exitStatus = -1;
    std::string output;   // standard output: a line per save attempt among the program's own
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Whether a save left a scratch file in folder.
bool scratchLeft(const std::string& folder)
{
    const std::string command = "ls -A '" + folder + "' | grep -q -- '" + SCRATCH_MARK + "'";
    return system(command.c_str()) == 0;
}

// A pack of levelCount levels whose cells are not all alike, so a lost or shifted value shows.
std::string packText(int levelCount)
{
    std::string text = std::to_string(levelCount) + "\n";
    for (int k = 1; k <= levelCount; ++k) {
        text += std::to_string(k) + " 2 40 3\n";
        for (int i = 0; i < GRID_CELLS; ++i) {
            text += std::to_string((i * 7 + k) % 10) + ((i % GRID_COLUMNS == GRID_COLUMNS - 1) ? "\n" : " ");
        }
    }
    return text;
}

// Runs save_probe mode dir with the shim set to fail call (none when call is empty) on the scratch files,
// or under a file-size limit of limitBlocks (ulimit -f) when given.
ProbeRun runProbe(const std::string& mode, const std::string& dir, const std::string& call, const char* times,
                  int limitBlocks = 0)
{
    std::string command;
    if (limitBlocks > 0) {
        command = "ulimit -f " + std::to_string(limitBlocks) + "; exec ";
    }
    if (!call.empty()) {
        command = "env LD_PRELOAD=" FAULT_SHIM " FAULT_CALL=" + call + " FAULT_PATH=" + SCRATCH_MARK + " ";
        if (times) {
            command += std::string("FAULT_TIMES=") + times + " ";
        }
        // Under AddressSanitizer the shim is loaded ahead of the sanitizer's runtime.
        const char* asan = getenv("ASAN_OPTIONS");
        command +=
            "ASAN_OPTIONS=" + std::string(asan ? asan : "") + (asan && *asan ? ":" : "") + "verify_asan_link_order=0 ";
    }
    command += SAVE_PROBE " " + mode + " '" + dir + "' 2>/dev/null";
    ProbeRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) {
        run.output += buffer;
    }
    const int status = pclose(pipe);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

// What the probe said of attempt n, without the "attempt n: " prefix.
std::string line(const std::string& output, int n)
{
    const std::string prefix = "attempt " + std::to_string(n) + ": ";
    std::stringstream in(output);
    std::string text;
    while (std::getline(in, text)) {
        if (text.rfind(prefix, 0) == 0) {
            return text.substr(prefix.size());
        }
    }
    return "";
}

class SaveFaults : public ::testing::Test {
protected:
    std::string dir;
    std::string mounted;   // a tmpfs mount point to undo, when one was made

    void SetUp() override
    {
        char pattern[] = "/tmp/tessivar-save-faults.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        if (!mounted.empty()) {
            EXPECT_EQ(system(("umount '" + mounted + "'").c_str()), 0);
        }
        EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
    }

    // Where each mode keeps the pack, and so its scratch files.
    std::string packPath(const std::string& mode) const
    {
        return mode == "editor" ? dir + "/Levels Packs/pack.tlp" : dir + "/pack.tlp";
    }
    std::string packFolder(const std::string& mode) const { return mode == "editor" ? dir + "/Levels Packs" : dir; }
    std::string placePack(const std::string& mode, const std::string& text)
    {
        if (mode == "editor") {
            mkdir((dir + "/Levels Packs").c_str(), 0755);
        }
        std::ofstream(packPath(mode), std::ios::binary) << text;
        return readFile(packPath(mode));
    }
};

const char* const MODES[] = {"pack", "editor", "change", "create"};
const char* const CALLS[] = {"write", "fsync", "close", "rename"};

TEST_F(SaveFaults, EveryFailingCallLeavesThePackAndNoScratchFile)
{
    for (const char* mode : MODES) {
        for (const char* call : CALLS) {
            SCOPED_TRACE(std::string(mode) + " with " + call + " failing");
            const std::string before = placePack(mode, packText(3));
            const ProbeRun run = runProbe(mode, dir, call, nullptr);
            EXPECT_EQ(run.exitStatus, 0) << run.output;
            for (int attempt = 0; attempt < 2; ++attempt) {
                const std::string said = line(run.output, attempt);
                EXPECT_EQ(said.rfind("failed: ", 0), 0u) << run.output;
                // The reason names the system's error, not just that something went wrong.
                const char* reason = std::strcmp(call, "write") == 0 ? "No space left on device" : "Input/output error";
                EXPECT_NE(said.find(reason), std::string::npos) << said;
                if (std::strcmp(mode, "editor") == 0) {
                    EXPECT_NE(said.find("Save failed, the pack is unchanged"), std::string::npos) << said;
                    EXPECT_NE(said.find("(modified 1,"), std::string::npos) << "the edits must stay marked unsaved";
                }
            }
            EXPECT_EQ(readFile(packPath(mode)), before);
            EXPECT_FALSE(scratchLeft(packFolder(mode)));
        }
    }
}

TEST_F(SaveFaults, TheSameProcessSavesOnceTheFaultClears)
{
    for (const char* mode : MODES) {
        for (const char* call : CALLS) {
            SCOPED_TRACE(std::string(mode) + " with one " + call + " failing");
            const std::string before = placePack(mode, packText(3));
            const ProbeRun run = runProbe(mode, dir, call, "1");
            EXPECT_EQ(run.exitStatus, 0) << run.output;
            EXPECT_EQ(line(run.output, 0).rfind("failed: ", 0), 0u) << run.output;
            EXPECT_EQ(line(run.output, 1).rfind("saved", 0), 0u) << run.output;
            EXPECT_NE(readFile(packPath(mode)), before);
            EXPECT_FALSE(scratchLeft(packFolder(mode)));
        }
    }
}

TEST_F(SaveFaults, TheGamesSettingsStayAsTheyWereWhateverCallFails)
{
    const std::string before = "800 600\n0\n1\nold.tlp\n";
    const char* const steps[] = {"cannot write", "cannot flush to disk", "cannot write", "cannot replace"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(CALLS[i]);
        std::ofstream(dir + "/config.ini", std::ios::binary) << before;
        const ProbeRun failing = runProbe("config", dir, CALLS[i], nullptr);
        EXPECT_EQ(failing.exitStatus, 0) << failing.output;
        EXPECT_EQ(line(failing.output, 0).rfind(std::string("failed: ") + steps[i], 0), 0u) << failing.output;
        EXPECT_EQ(readFile(dir + "/config.ini"), before) << "byte for byte";
        EXPECT_FALSE(scratchLeft(dir));

        const ProbeRun once = runProbe("config", dir, CALLS[i], "1");
        EXPECT_EQ(line(once.output, 1), "saved") << once.output;
        EXPECT_EQ(readFile(dir + "/config.ini"), "1280 800\n1\n0\nnew.tlp\n");
        EXPECT_FALSE(scratchLeft(dir));
    }
}

TEST_F(SaveFaults, AFullFileSystemLeavesThePackAndNoScratchFile)
{
    // Root in a container may mount a small tmpfs; anywhere else the shim's ENOSPC above stands in.
    if (geteuid() != 0 || system(("mount -t tmpfs -o size=64k tmpfs '" + dir + "' 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    }
    mounted = dir;
    for (const char* mode : MODES) {
        SCOPED_TRACE(mode);
        // About 40 KiB: the pack fits, a second copy beside it does not.
        const std::string before = placePack(mode, packText(80));
        ASSERT_EQ(before.size(), packText(80).size()) << "the pack itself must fit";
        const ProbeRun run = runProbe(mode, dir, "", nullptr);
        EXPECT_EQ(run.exitStatus, 0) << run.output;
        EXPECT_EQ(line(run.output, 0).rfind("failed: ", 0), 0u) << run.output;
        EXPECT_NE(line(run.output, 0).find("No space left on device"), std::string::npos) << run.output;
        EXPECT_EQ(readFile(packPath(mode)), before);
        EXPECT_FALSE(scratchLeft(packFolder(mode)));
        EXPECT_EQ(system(("rm -rf '" + dir + "'/*").c_str()), 0);
    }
}

// A writer killed at any moment (kill -9) leaves the pack as it was before or after one of its writes,
// never a mix; all it can leave besides is a hidden scratch file of its own, which the next writer removes.
TEST_F(SaveFaults, AKilledWriterLeavesThePackOldOrNew)
{
    const int levels = 2000;   // about 1 MB, so a kill often lands inside a write
    const std::string start = placePack("pack", packText(levels));
    // The packs the probe's cycle passes through: level 2 saved, moved down, saved back, moved up (= start).
    PackLevel level;
    level.levelNumber = 2;
    ASSERT_TRUE(readPackLevel(packPath("pack"), level).ok());
    level.levelCount = levels;
    const int original = level.bricks[5];
    level.bricks[5] = (original + 1) % (BRICK_CODE_MAX + 1);
    std::string saved, moved, back;
    ASSERT_TRUE(rewritePackText(start, level, "p", saved).ok());
    ASSERT_TRUE(changePackLevelsText(saved, {LevelChange::MoveDown, 2, levels}, "p", moved).ok());
    level.levelNumber = 3;
    level.bricks[5] = original;
    ASSERT_TRUE(rewritePackText(moved, level, "p", back).ok());
    const std::set<std::string> whole = {start, saved, moved, back};

    std::mt19937 random(23);
    int killed = 0;
    for (int run = 0; run < 40; ++run) {
        placePack("pack", start);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        char* const argv[] = {const_cast<char*>(SAVE_PROBE), const_cast<char*>("cycle"), dir.data(), nullptr};
        pid_t pid = -1;
        ASSERT_EQ(posix_spawn(&pid, SAVE_PROBE, &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        usleep(30000 + random() % 150000);
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        killed += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        EXPECT_TRUE(whole.count(readFile(packPath("pack")))) << "run " << run << ": a mixed or partial pack";
    }
    EXPECT_GE(killed, 35) << "the writer was still at work when it was killed";
    const std::string others = "ls -A '" + dir + "' | grep -qvx -e pack.tlp -e '[.]pack[.]tlp[.]scratch-......'";
    EXPECT_NE(system(others.c_str()), 0) << "nothing but the pack and scratch files of its own";
    // The next writer of the pack clears what the killed ones left.
    EXPECT_EQ(line(runProbe("pack", dir, "", nullptr).output, 0).rfind("saved", 0), 0u);
    EXPECT_FALSE(scratchLeft(dir));
}

TEST_F(SaveFaults, AFileSizeLimitIsAReportedFailureNotADeath)
{
    for (const char* mode : MODES) {
        SCOPED_TRACE(mode);
        // About 40 KiB, above the limit: reading it is allowed, writing its like is not.
        const std::string before = placePack(mode, packText(80));
        const ProbeRun run = runProbe(mode, dir, "", nullptr, 16);
        EXPECT_EQ(run.exitStatus, 0) << "not killed by SIGXFSZ: " << run.output;
        EXPECT_EQ(line(run.output, 0).rfind("failed: ", 0), 0u) << run.output;
        EXPECT_NE(line(run.output, 0).find("File too large"), std::string::npos) << run.output;
        EXPECT_EQ(readFile(packPath(mode)), before);
        EXPECT_FALSE(scratchLeft(packFolder(mode)));
    }
}

}   // namespace
