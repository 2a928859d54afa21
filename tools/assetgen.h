// tools/assetgen: the generator of the game's textures, sound cues, music and application icon.
// Depends on the standard library only, on libmp3lame for the song and zlib for the icon's PNGs.
// Everything is computed from fixed seeds, so two runs write identical files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ---- constants -------------------------------------------------------------

constexpr int SAMPLE_RATE = 44100;   // Hz, every WAV and the song
constexpr double PI = 3.14159265358979323846;
constexpr int ICON_SIZES[] = {48, 64, 128, 256};   // pixels square, the PNG icons the desktop picks from

// ---- records ---------------------------------------------------------------

// A picture being painted; lives while one map is built. Row 0 is the top of
// the picture as a person sees it; the TGA writer flips to bottom-up.
struct Image {
    int width = 0;           // pixels
    int height = 0;          // pixels
    std::vector<float> px;   // RGBA, 0..1, 4 floats per pixel, row-major
};

// A scalar map (height, specular, coverage); lives while one material is built.
struct Field {
    int width = 0;          // pixels
    int height = 0;         // pixels
    std::vector<float> v;   // one value per pixel, row-major, usually 0..1
};

// How a map is stored on disk; chosen per file so the set uses every form.
struct TgaForm {
    int bits = 24;      // 24 (BGR) or 32 (BGRA)
    bool rle = false;   // type 10 when set, type 2 otherwise
};

// A sound being synthesised; lives while one file is built.
struct Sound {
    int channels = 1;             // 1 mono, 2 stereo (interleaved)
    std::vector<float> samples;   // -1..1, interleaved when stereo
};

enum Wave { WAVE_SINE, WAVE_TRIANGLE, WAVE_SQUARE, WAVE_SAW, WAVE_NOISE };

// One synthesised voice; built by the cue and song writers, consumed by addNote.
struct Note {
    double start = 0;      // s from the start of the sound
    double length = 0.1;   // s; the last 5 ms fade to silence so nothing clicks
    double freq = 440;     // Hz at the start
    double freqEnd = 0;    // Hz at the end (exponential glide); 0 keeps freq
    Wave wave = WAVE_SINE;
    double amp = 0.5;        // peak amplitude, 0..1
    double attack = 0.002;   // s of linear rise
    double decay = 0;        // s, time constant of the fall after the attack; 0 holds
    double lowpass = 0;      // Hz, one-pole low-pass; 0 none
    double highpass = 0;     // Hz, one-pole high-pass; 0 none
    double vibrato = 0;      // depth as a frequency ratio (0.01 = 1 %), at 5.5 Hz
    double pan = 0.5;        // 0 left .. 1 right; stereo sounds only
    uint32_t seed = 1;       // noise seed
};

// ---- operations: image.cpp --------------------------------------------------

Image makeImage(int width, int height);
Field makeField(int width, int height, float value = 0.0f);
void setPixel(Image& img, int x, int y, float r, float g, float b, float a = 1.0f);
float& at(Field& f, int x, int y);   // wraps x and y
float at(const Field& f, int x, int y);
// Tileable value noise in 0..1 over u, v in 0..1: `periodX` by `periodY` lattice cells.
float valueNoise(double u, double v, int periodX, int periodY, uint32_t seed);
// Fractal sum of `octaves` noise layers, first periods as given, in 0..1.
float fbm(double u, double v, int periodX, int periodY, int octaves, uint32_t seed);
Field blur(const Field& f, int radius);   // box blur, wraps
// Normals from heights: `depth` is how many pixels of relief a height of 1 stands for.
Image normalsFromHeights(const Field& h, float depth);
Image greyImage(const Field& f);   // value to grey RGB
// Whether cell (cx, cy) of the letter's 5 x 7 block glyph is ink; (0, 0) is its top-left.
bool glyphCell(char c, double cx, double cy);
// Coverage (0..1, 4x4 supersampled) of `text` in the built-in block font, cells
// `cell` pixels square, top-left corner at (x, y). Unknown characters draw nothing.
void drawText(Field& cover, const std::string& text, double x, double y, double cell);
double textWidth(const std::string& text, double cell);
bool writeTga(const std::string& path, const Image& img, TgaForm form);
bool makeDirectories(const std::string& path);   // mkdir -p
// Writes the bytes as the whole file; false, with a message on standard error, when that fails.
bool writeFile(const std::string& path, const void* data, size_t size);

// ---- operations: textures.cpp -----------------------------------------------

// Writes the four maps of every material under dir + "/Textures/".
bool writeTextures(const std::string& dir);

// ---- operations: sounds.cpp -------------------------------------------------

Sound makeSound(int channels, double seconds);
// Mixes a voice in; with `wrap` a voice running past the end continues at the
// start, so a sound that loops has no seam.
void addNote(Sound& s, const Note& n, bool wrap = false);
double midiToHz(int midi);
void normalise(Sound& s, float peak);   // scales so the loudest sample is `peak`
bool writeWav(const std::string& path, const Sound& s);
// Writes the 14 cues under dir + "/sounds/".
bool writeSounds(const std::string& dir);

// ---- operations: music.cpp --------------------------------------------------

// Composes the looping tune and writes it as dir + "/sounds/song.mp3".
bool writeSong(const std::string& dir);

// ---- operations: icon.cpp ---------------------------------------------------

Image renderIcon(int size);                                 // the icon, size pixels square, transparent corners
std::string iconSvg();                                      // the same picture as an SVG document
bool writePng(const std::string& path, const Image& img);   // 8-bit RGBA
// Writes dir + "/<size>.png" for every ICON_SIZES entry and dir + "/scalable.svg".
bool writeIcons(const std::string& dir);
// Writes the window icon as 32-bit TGA files into dir's Textures/, at the catalogue's WINDOW_ICON_SIZES.
bool writeWindowIcons(const std::string& dir);
