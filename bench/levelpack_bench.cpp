// The editor's save of one level into a 1,000-level pack (savePackLevel: the
// pack locked, rewritten to a scratch file, flushed to disk and renamed over
// the pack, the folder flushed) beside plain copies of the same file: read and
// write, and read, write and flush to disk. Median of several runs, in ms.
// Prints: "save <ms>", "copy <ms>", "copy+fsync <ms>", "rewrite <ms>", the save's text pass alone, in
// memory (rewritePackText), and "change <ms>", a whole-pack change (a level moved down, then back up on
// the next run, so the pack stays the same size).
#include "levelpack/levelpack.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int LEVELS = 1000;
constexpr int RUNS = 15;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A pack of LEVELS levels with every brick code in use, as a painted pack has.
std::string paintedPack()
{
    std::string text = std::to_string(LEVELS) + "\n";
    for (int k = 1; k <= LEVELS; ++k) {
        text += std::to_string(k) + " " + std::to_string(1 + k % 5) + " " + std::to_string(k % 101) + " " +
                std::to_string(1 + k % 4) + "\n";
        for (int i = 0; i < GRID_CELLS; ++i) {
            text += std::to_string((i * 7 + k) % 10);
            text += (i % GRID_COLUMNS == GRID_COLUMNS - 1) ? '\n' : ' ';
        }
    }
    return text;
}

bool copyFile(const std::string& from, const std::string& to, bool flush)
{
    const int in = open(from.c_str(), O_RDONLY);
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = in >= 0 && out >= 0;
    char buffer[1 << 16];
    while (ok) {
        const ssize_t n = read(in, buffer, sizeof buffer);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = write(out, buffer, static_cast<size_t>(n)) == n;
    }
    if (ok && flush) {
        ok = fsync(out) == 0;
    }
    if (in >= 0) {
        close(in);
    }
    if (out >= 0) {
        close(out);
    }
    return ok;
}

bool writeWholeFile(const std::string& path, const std::string& text)
{
    FILE* file = fopen(path.c_str(), "wb");
    const bool written = file && fwrite(text.data(), 1, text.size(), file) == text.size();
    return file && fclose(file) == 0 && written;
}

std::string readWholeFile(const std::string& path)
{
    std::string text;
    FILE* file = fopen(path.c_str(), "rb");
    char buffer[1 << 16];
    size_t n = 0;
    while (file && (n = fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, n);
    }
    if (file) {
        fclose(file);
    }
    return text;
}

}   // namespace

int main(int argc, char** argv)
{
    char folderTemplate[] = "/tmp/levelpack_bench.XXXXXX";
    const char* folder = argc > 1 ? argv[1] : mkdtemp(folderTemplate);
    if (!folder) {
        perror("mkdtemp");
        return 1;
    }
    const std::string pack = std::string(folder) + "/big.tlp";
    const std::string copy = std::string(folder) + "/copy.tlp";
    if (!writeWholeFile(pack, paintedPack())) {
        fprintf(stderr, "cannot write %s\n", pack.c_str());
        return 1;
    }

    PackLevel level;
    level.levelCount = LEVELS;
    level.levelNumber = LEVELS / 2;
    if (!readPackLevel(pack, level).ok()) {
        fprintf(stderr, "cannot read level %d back\n", level.levelNumber);
        return 1;
    }
    const std::string packText = readWholeFile(pack);
    std::vector<double> save, plain, flushed, rewrite, change;
    for (int run = 0; run < RUNS; ++run) {
        level.bricks[run % GRID_CELLS] = run % 10;   // an edit, as the editor saves after one
        auto start = Clock::now();
        const PackResult result = savePackLevel(pack, level);
        save.push_back(millisecondsSince(start));
        if (!result.ok()) {
            fprintf(stderr, "save failed: %s\n", result.message.c_str());
            return 1;
        }
        start = Clock::now();
        if (!copyFile(pack, copy, false)) {
            return 1;
        }
        plain.push_back(millisecondsSince(start));
        start = Clock::now();
        if (!copyFile(pack, copy, true)) {
            return 1;
        }
        flushed.push_back(millisecondsSince(start));
        std::string out;
        start = Clock::now();
        if (!rewritePackText(packText, level, pack, out).ok()) {
            return 1;
        }
        rewrite.push_back(millisecondsSince(start));
        const PackChange move = run % 2 == 0 ? PackChange{LevelChange::MoveDown, LEVELS / 2, LEVELS}
                                             : PackChange{LevelChange::MoveUp, LEVELS / 2 + 1, LEVELS};
        start = Clock::now();
        if (!changePackLevels(pack, move).ok()) {
            fprintf(stderr, "level change failed\n");
            return 1;
        }
        change.push_back(millisecondsSince(start));
    }
    printf("save %.3f\ncopy %.3f\ncopy+fsync %.3f\nrewrite %.3f\nchange %.3f\n", median(save), median(plain),
           median(flushed), median(rewrite), median(change));
    remove(pack.c_str());
    remove(copy.c_str());
    if (argc <= 1) {
        rmdir(folder);
    }
    return 0;
}
