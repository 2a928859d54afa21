// Generated assets in the runtime folder: every file the materials and the
// sample table name is there and well-formed, and SDL2_mixer plays them.
// Reads the files with its own small parsers, so it depends on no game loader.
#include "levelpack/catalogue.h"
#include "tests/tga_read.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string RUNTIME = TESSIVAR_RUNTIME_DIR;

// The game's material load order; a name's position is its material index.
const auto& MATERIALS = MATERIAL_NAMES;
const auto& MAP_SUFFIXES = MATERIAL_MAP_SUFFIXES;

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t le16(const std::vector<uint8_t>& d, size_t at) { return tgaLe16(d, at); }
uint32_t le32(const std::vector<uint8_t>& d, size_t at) { return le16(d, at) | le16(d, at + 2) << 16; }

// Decodes one generated map, reporting any fault against its path.
bool decodeTga(const std::string& path, TgaFile& out)
{
    std::string fault = readTga(readFile(path), out);
    if (!fault.empty()) ADD_FAILURE() << path << ": " << fault;
    return fault.empty();
}

TEST(GeneratedTextures, EveryMaterialHasFourWellFormedMaps)
{
    std::set<std::string> forms;
    for (const char* material : MATERIALS)
        for (const char* suffix : MAP_SUFFIXES) {
            const std::string path = RUNTIME + "/Textures/" + material + suffix;
            TgaFile tga;
            if (!decodeTga(path, tga)) continue;
            EXPECT_FALSE(tga.packetCrossesRow) << path << ": an RLE packet spans two rows";
            forms.insert(std::to_string(tga.bytes * 8) + (tga.type == 10 ? " rle" : " plain"));
        }
    // The shipped set exercises every form the loader has to read.
    EXPECT_EQ(forms, (std::set<std::string>{"24 plain", "24 rle", "32 plain", "32 rle"}));
}

TEST(GeneratedTextures, NormalMapsHoldUnitVectorsFacingOut)
{
    for (const char* material : MATERIALS) {
        TgaFile tga;
        if (!decodeTga(RUNTIME + "/Textures/" + material + "N.tga", tga)) continue;
        int bad = 0;
        for (size_t p = 0; p + 2 < tga.pixels.size(); p += tga.bytes) {
            // Stored B, G, R: z is in the blue byte.
            double x = tga.pixels[p + 2] / 127.5 - 1, y = tga.pixels[p + 1] / 127.5 - 1, z = tga.pixels[p] / 127.5 - 1;
            if (std::fabs(std::sqrt(x * x + y * y + z * z) - 1) > 0.03 || z <= 0) ++bad;
        }
        EXPECT_EQ(bad, 0) << material << ": normals that are not unit length or point inwards";
    }
}

TEST(GeneratedTextures, MapsOfOneMaterialShowSomething)
{
    // A flat diffuse map or height map would make the lighting pointless.
    for (const char* material : MATERIALS)
        for (const char* suffix : {"D.tga", "H.tga"}) {
            TgaFile tga;
            if (!decodeTga(RUNTIME + "/Textures/" + material + suffix, tga)) continue;
            std::set<uint8_t> levels;
            for (size_t p = 0; p < tga.pixels.size(); p += tga.bytes)
                levels.insert(tga.pixels[p + 1]);
            EXPECT_GT(levels.size(), 8u) << material << suffix << " is nearly flat";
        }
}

TEST(GeneratedSounds, EverySampleIsShortCdQualityPcm)
{
    for (const char* file : SAMPLE_FILES) {
        const std::string path = RUNTIME + "/" + file;
        std::vector<uint8_t> d = readFile(path);
        if (d.size() < 44) {
            ADD_FAILURE() << path << ": missing or shorter than a WAV header";
            continue;
        }
        EXPECT_EQ(std::string(d.begin(), d.begin() + 4), "RIFF") << path;
        EXPECT_EQ(std::string(d.begin() + 8, d.begin() + 16), "WAVEfmt ") << path;
        EXPECT_EQ(le32(d, 4), d.size() - 8) << path << ": RIFF size";
        EXPECT_EQ(le16(d, 20), 1u) << path << ": not PCM";
        const uint32_t channels = le16(d, 22);
        EXPECT_TRUE(channels == 1 || channels == 2) << path;
        EXPECT_EQ(le32(d, 24), 44100u) << path << ": sample rate";
        EXPECT_EQ(le16(d, 34), 16u) << path << ": bits per sample";
        EXPECT_EQ(std::string(d.begin() + 36, d.begin() + 40), "data") << path;
        const uint32_t bytes = le32(d, 40);
        EXPECT_EQ(bytes, d.size() - 44) << path << ": data size";
        const double seconds = double(bytes) / (2 * channels * 44100);
        EXPECT_GT(seconds, 0.02) << path;
        EXPECT_LT(seconds, 4.0) << path << ": a cue should be short";
        int peak = 0;
        for (size_t at = 44; at + 1 < d.size(); at += 2)
            peak = std::max(peak, std::abs(int16_t(le16(d, at))));
        EXPECT_GT(peak, 8000) << path << ": too quiet";
        EXPECT_LT(peak, 32767) << path << ": clipped";
    }
}

TEST(GeneratedSounds, SongIsAnMp3StreamOfConsecutiveFrames)
{
    std::vector<uint8_t> d = readFile(RUNTIME + "/" + MUSIC_FILE);
    ASSERT_GT(d.size(), 100000u) << "song missing or too short";
    EXPECT_LT(d.size(), 3000000u) << "song larger than a modest bitrate gives";
    size_t at = 0;
    if (d[0] == 'I' && d[1] == 'D' && d[2] == '3')   // ID3v2: syncsafe size after a 10-byte header
        at = 10 + ((d[6] & 0x7f) << 21 | (d[7] & 0x7f) << 14 | (d[8] & 0x7f) << 7 | (d[9] & 0x7f));
    static const int BITRATES[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    int frames = 0;
    while (at + 4 <= d.size()) {
        ASSERT_EQ(d[at], 0xff) << "no frame sync at byte " << at;
        ASSERT_EQ(d[at + 1] & 0xfe, 0xfa) << "not MPEG-1 layer III at byte " << at;
        const int bitrate = BITRATES[d[at + 2] >> 4];
        ASSERT_NE(bitrate, 0) << "bad bitrate index at byte " << at;
        ASSERT_EQ((d[at + 2] >> 2) & 3, 0) << "not 44.1 kHz at byte " << at;
        at += 144000 * bitrate / 44100 + ((d[at + 2] >> 1) & 1);
        ++frames;
    }
    EXPECT_EQ(at, d.size()) << "trailing bytes after the last frame";
    EXPECT_GE(frames * 1152.0 / 44100, 60.0) << "the song should run a minute or more";
}

TEST(GeneratedSounds, MixerLoadsEverySampleAndTheSong)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);   // no device needed
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024), 0) << Mix_GetError();
    for (const char* file : SAMPLE_FILES) {
        Mix_Chunk* chunk = Mix_LoadWAV((RUNTIME + "/" + file).c_str());
        EXPECT_NE(chunk, nullptr) << file << ": " << Mix_GetError();
        if (chunk) Mix_FreeChunk(chunk);
    }
    Mix_Music* song = Mix_LoadMUS((RUNTIME + "/" + MUSIC_FILE).c_str());
    EXPECT_NE(song, nullptr) << Mix_GetError();
    if (song) {
        EXPECT_EQ(Mix_GetMusicType(song), MUS_MP3);
#if SDL_MIXER_VERSION_ATLEAST(2, 6, 0)
        EXPECT_GE(Mix_MusicDuration(song), 60.0);
#endif
        Mix_FreeMusic(song);
    }
    Mix_CloseAudio();
    SDL_Quit();
}

}   // namespace
