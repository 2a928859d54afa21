// Decode throughput of the TGA and BMP loaders beside stb_image on the same
// in-memory files (1024 x 1024: 24/32-bit TGA plain and run-length, 24-bit
// BMP), in MB/s of output pixels (10^6 bytes), best of several batches.
// Prints one table row per file with the ratio ours / stb (>= 1.0 wanted).
#include "game/textures/textures.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#include <stb/stb_image.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int SIDE = 1024;

// A picture with flat areas and gradients, so run-length files are neither
// trivial nor incompressible (like painted game textures).
uint8_t channel(int x, int y, int c)
{
    int block = ((x / 16) * 31 + (y / 16) * 17) % 5;
    if (block < 3) return uint8_t((x / 16 * 40 + y / 16 * 13 + c * 80) & 0xFF);   // flat 16x16 squares
    return uint8_t((x * (c + 1) + y * 3 + ((x * 7 + y * 13) % 11)) & 0xFF);       // noisy gradient
}

void put16(Bytes& b, size_t at, unsigned v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

Bytes makeTga(int depth, bool runLength)
{
    const int n = depth / 8;
    Bytes b(18, 0);
    b[2] = runLength ? 10 : 2;
    put16(b, 12, SIDE);
    put16(b, 14, SIDE);
    b[16] = uint8_t(depth);
    b[17] = depth == 32 ? 8 : 0;
    for (int y = 0; y < SIDE; ++y) {
        std::vector<std::array<uint8_t, 4>> row(SIDE);
        for (int x = 0; x < SIDE; ++x)
            row[x] = {channel(x, y, 2), channel(x, y, 1), channel(x, y, 0), uint8_t(255 - channel(x, y, 1))};
        if (!runLength) {
            for (auto& p : row)
                b.insert(b.end(), p.begin(), p.begin() + n);
            continue;
        }
        // Runs of 2 or more equal pixels as run packets, the rest as raw packets; packets stay in their row.
        int x = 0;
        while (x < SIDE) {
            int run = 1;
            while (x + run < SIDE && run < 128 && row[x + run] == row[x])
                ++run;
            if (run >= 2) {
                b.push_back(uint8_t(0x80 | (run - 1)));
                b.insert(b.end(), row[x].begin(), row[x].begin() + n);
                x += run;
                continue;
            }
            int raw = 1;
            while (x + raw < SIDE && raw < 128 && !(x + raw + 1 < SIDE && row[x + raw] == row[x + raw + 1]))
                ++raw;
            b.push_back(uint8_t(raw - 1));
            for (int i = 0; i < raw; ++i)
                b.insert(b.end(), row[x + i].begin(), row[x + i].begin() + n);
            x += raw;
        }
    }
    return b;
}

Bytes makeBmp24()
{
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, SIDE);
    put32(b, 22, SIDE);
    put16(b, 26, 1);
    put16(b, 28, 24);
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x)
            b.insert(b.end(), {channel(x, y, 2), channel(x, y, 1), channel(x, y, 0)});
    put32(b, 2, uint32_t(b.size()));
    return b;
}

// Best time of one decode in seconds, over batches of about 0.2 s.
double bestSeconds(const std::function<void()>& decode)
{
    using Clock = std::chrono::steady_clock;
    double best = 1e9;
    for (int batch = 0; batch < 7; ++batch) {
        int runs = 0;
        auto start = Clock::now();
        double elapsed = 0;
        do {
            decode();
            ++runs;
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        } while (elapsed < 0.2);
        best = std::min(best, elapsed / runs);
    }
    return best;
}

}   // namespace

int main()
{
    struct Case {
        const char* name;
        Bytes file;
        int bytesPerPixel;
    };
    std::vector<Case> cases;
    cases.push_back({"TGA 24-bit", makeTga(24, false), 3});
    cases.push_back({"TGA 24-bit RLE", makeTga(24, true), 3});
    cases.push_back({"TGA 32-bit", makeTga(32, false), 4});
    cases.push_back({"TGA 32-bit RLE", makeTga(32, true), 4});
    cases.push_back({"BMP 24-bit", makeBmp24(), 3});

    std::printf("%-16s %10s %12s %12s %7s\n", "file (1024^2)", "file KiB", "ours MB/s", "stb MB/s", "ratio");
    int failures = 0;
    for (const Case& c : cases) {
        const bool tga = c.name[0] == 'T';
        const double outBytes = double(SIDE) * SIDE * c.bytesPerPixel;
        // Both must decode the file, to the same size.
        Texture check;
        bool ours =
            tga ? decodeTga(c.file.data(), c.file.size(), check) : decodeBmp(c.file.data(), c.file.size(), check);
        int w = 0, h = 0, n = 0;
        stbi_uc* stb = stbi_load_from_memory(c.file.data(), int(c.file.size()), &w, &h, &n, 0);
        if (!ours || stb == nullptr || check.width != w || check.height != h || check.bytesPerPixel != n) {
            std::printf("%-16s decode failed (ours %d, stb %s)\n", c.name, ours, stb ? "ok" : stbi_failure_reason());
            ++failures;
            continue;
        }
        stbi_image_free(stb);

        double oursSeconds = bestSeconds([&] {
            Texture t;
            if (tga) {
                decodeTga(c.file.data(), c.file.size(), t);
            } else {
                decodeBmp(c.file.data(), c.file.size(), t);
            }
        });
        double stbSeconds = bestSeconds([&] {
            int sw, sh, sn;
            stbi_image_free(stbi_load_from_memory(c.file.data(), int(c.file.size()), &sw, &sh, &sn, 0));
        });
        std::printf("%-16s %10zu %12.0f %12.0f %7.2f\n", c.name, c.file.size() / 1024, outBytes / oursSeconds / 1e6,
                    outBytes / stbSeconds / 1e6, stbSeconds / oursSeconds);
    }
    return failures == 0 ? 0 : 1;
}
