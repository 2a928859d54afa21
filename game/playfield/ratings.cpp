// game/playfield/ratings: a pack's ratings beside it (see ratings.h).
#include "game/playfield/ratings.h"

#include "game/playfield/replay.h"
#include "levelpack/safefile.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* RATINGS_HEADER = "tessivar-ratings 1";

}   // namespace

bool writePackRatings(const std::string& packPath, uint64_t packHash, const std::vector<int>& ratings,
                      std::string& failure)
{
    return replaceFile(
        packPath + RATINGS_EXTENSION,
        [&](FILE* out, std::string&) {
            fprintf(out, "%s\npack %016" PRIx64 "\n", RATINGS_HEADER, packHash);
            for (size_t k = 0; k < ratings.size(); ++k) {
                fprintf(out, "%d%c", ratings[k], k + 1 == ratings.size() ? '\n' : ' ');
            }
            return !ferror(out);
        },
        failure);
}

std::vector<int> readPackRatings(const std::string& packPath)
{
    std::vector<int> ratings;
    FILE* in = fopen((packPath + RATINGS_EXTENSION).c_str(), "rb");
    if (!in) {
        return ratings;
    }
    std::string text(RATINGS_FILE_MAX, '\0');
    const size_t length = fread(&text[0], 1, RATINGS_FILE_MAX, in);
    const bool whole = feof(in) != 0;
    fclose(in);
    text.resize(length);
    uint64_t named = 0;
    int used = 0;
    const std::string header = std::string(RATINGS_HEADER) + "\npack ";
    if (!whole || text.compare(0, header.size(), header) != 0 ||
        sscanf(text.c_str() + header.size(), "%16" SCNx64 "%n", &named, &used) != 1) {
        return ratings;
    }
    uint64_t hash = 0;
    std::string failure;
    if (!packContentHash(packPath, hash, failure) || hash != named) {
        return ratings;
    }
    for (const char* p = text.c_str() + header.size() + used; *p;) {
        if (*p == ' ' || *p == '\n') {
            ++p;
        } else if (*p >= '1' && *p <= '5' && (p[1] == ' ' || p[1] == '\n' || p[1] == '\0')) {
            ratings.push_back(*p - '0');
            ++p;
        } else {
            return {};
        }
    }
    return ratings;
}
