// How often and how fast the seeded bot clears the shipped packs at 70, 30, 10
// and 5 frames a second (the rules sub-step long frames, so the figures should
// agree): every level, seeds 1-4, fall mode off and on. Prints one line per
// frame rate: clear rate, median clear time, and the ratio of that median to
// the one at 70 frames a second of the same run.
//   bot_bench <folder of packs>
#include "game/playfield/check.h"
#include "platform/dirlist.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: bot_bench <folder of packs>\n");
        return 2;
    }
    const std::string folder = argv[1];
    double baseline = 0;
    for (double fps : {70.0, 30.0, 10.0, 5.0}) {
        CheckOptions options;
        options.seeds = 4;
        options.fps = fps;
        std::vector<double> medians;
        int runs = 0;
        int cleared = 0;
        for (const std::string& pack : listFiles(folder, ".tlp")) {
            const PackVerdict verdict = checkPack(folder + "/" + pack, options);
            for (const LevelVerdict& level : verdict.levels) {
                runs += level.runs;
                cleared += level.cleared;
                medians.push_back(level.medianSeconds);
            }
        }
        std::sort(medians.begin(), medians.end());
        const double median = medians.empty() ? 0 : medians[medians.size() / 2];
        if (fps == 70) {
            baseline = median;
        }
        printf("bot %.0f fps: cleared %d/%d runs (%.1f %%), median of the levels' median clear times %.1f s, x%.2f of "
               "70 fps\n",
               fps, cleared, runs, runs ? 100.0 * cleared / runs : 0, median, baseline > 0 ? median / baseline : 0);
    }
    return 0;
}
