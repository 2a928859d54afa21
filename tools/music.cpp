// tools/music: composes the in-game tune (32 bars at 120 bpm in A minor, 64 s)
// and encodes it with libmp3lame. Depends on assetgen.h and <lame/lame.h>.
// The tune is rendered into a circular buffer, so notes ringing past the last
// bar sound at the start and the loop point has no seam.
#include "tools/assetgen.h"

#include "levelpack/catalogue.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double BEAT = 0.5;       // s per beat at 120 bpm
constexpr double BAR = 4 * BEAT;   // s per bar
constexpr int BARS = 32;           // four sections of eight bars
constexpr int BITRATE = 112;       // kbit/s, constant

// Eight-bar progression, repeated in every section: Am F C G Am F G E.
const int ROOTS[8] = {57, 53, 48, 55, 57, 53, 55, 52};   // MIDI roots, octave 3
const int THIRDS[8] = {3, 4, 4, 4, 3, 4, 4, 4};          // semitones to the third

struct MelodyNote {
    double beat;    // from the start of the eight bars
    double beats;   // length
    int midi;
};

// Main theme, one phrase over the eight chords.
const MelodyNote THEME[] = {
    {0, 1, 69},    {1, 0.5, 72},    {1.5, 0.5, 76},  {2, 1, 74},  {3, 1, 72},    // Am
    {4, 1.5, 69},  {5.5, 0.5, 65},  {6, 1, 69},      {7, 1, 72},                 // F
    {8, 1, 67},    {9, 1, 72},      {10, 1, 76},     {11, 1, 79},                // C
    {12, 1.5, 77}, {13.5, 0.5, 76}, {14, 1, 74},     {15, 1, 71},                // G
    {16, 1, 72},   {17, 0.5, 76},   {17.5, 0.5, 81}, {18, 1, 79}, {19, 1, 76},   // Am
    {20, 1, 77},   {21, 0.5, 76},   {21.5, 0.5, 74}, {22, 1, 72}, {23, 1, 69},   // F
    {24, 1, 71},   {25, 1, 74},     {26, 1, 79},     {27, 1, 77},                // G
    {28, 2, 76},   {30, 1, 68},     {31, 1, 71},                                 // E
};

// Answer phrase for the last section: climbs higher and hands back to the start.
const MelodyNote ANSWER[] = {
    {0, 1, 81},  {1, 0.5, 84}, {1.5, 0.5, 88}, {2, 1, 86},  {3, 1, 84},  {4, 1.5, 81},  {5.5, 0.5, 77},  {6, 1, 81},
    {7, 1, 84},  {8, 1, 79},   {9, 1, 84},     {10, 1, 88}, {11, 1, 91}, {12, 1.5, 89}, {13.5, 0.5, 88}, {14, 1, 86},
    {15, 1, 83}, {16, 1, 76},  {17, 1, 81},    {18, 1, 84}, {19, 1, 83}, {20, 2, 81},   {22, 1, 77},     {23, 1, 72},
    {24, 1, 74}, {25, 1, 79},  {26, 1, 83},    {27, 1, 86}, {28, 2, 88}, {30, 1, 83},   {31, 1, 80},
};

void drums(Sound& s, int bar, bool fill)
{
    double t0 = bar * BAR;
    for (int beat = 0; beat < 4; ++beat) {
        double t = t0 + beat * BEAT;
        if (beat % 2 == 0) {   // kick on 1 and 3
            Note k;
            k.start = t;
            k.length = 0.25;
            k.freq = 150;
            k.freqEnd = 42;
            k.amp = 0.9;
            k.decay = 0.12;
            addNote(s, k, true);
        } else {   // snare on 2 and 4
            Note n;
            n.start = t;
            n.length = 0.2;
            n.wave = WAVE_NOISE;
            n.amp = 0.45;
            n.decay = 0.07;
            n.lowpass = 7000;
            n.highpass = 400;
            n.seed = 100 + bar * 4 + beat;
            n.pan = 0.55;
            addNote(s, n, true);
            Note body;
            body.start = t;
            body.length = 0.1;
            body.freq = 190;
            body.amp = 0.3;
            body.decay = 0.04;
            addNote(s, body, true);
        }
        for (int half = 0; half < 2; ++half) {   // closed hi-hat on eighths
            Note h;
            h.start = t + half * BEAT / 2;
            h.length = 0.06;
            h.wave = WAVE_NOISE;
            h.amp = half ? 0.12 : 0.18;
            h.decay = 0.018;
            h.highpass = 7000;
            h.seed = 500 + bar * 8 + beat * 2 + half;
            h.pan = 0.7;
            addNote(s, h, true);
        }
    }
    if (fill) {   // a snare run through the last beat, into the loop point
        for (int k = 0; k < 4; ++k) {
            Note n;
            n.start = t0 + 3 * BEAT + k * BEAT / 4;
            n.length = 0.12;
            n.wave = WAVE_NOISE;
            n.amp = 0.25 + 0.08 * k;
            n.decay = 0.05;
            n.lowpass = 6000;
            n.highpass = 300;
            n.seed = 900 + k;
            n.pan = 0.4;
            addNote(s, n, true);
        }
    }
}

void bass(Sound& s, int bar)
{
    const int root = ROOTS[bar % 8] - 12;
    const int pattern[8] = {0, 0, 12, 0, 0, 7, 12, 7};
    for (int k = 0; k < 8; ++k) {
        Note n;
        n.start = bar * BAR + k * BEAT / 2;
        n.length = BEAT / 2 * 0.9;
        n.freq = midiToHz(root + pattern[k]);
        n.wave = WAVE_SAW;
        n.amp = 0.4;
        n.decay = 0.25;
        n.lowpass = 500;
        addNote(s, n, true);
    }
}

void pad(Sound& s, int bar, double amp)
{
    const int root = ROOTS[bar % 8];
    const int tones[3] = {root, root + THIRDS[bar % 8], root + 7};
    for (int k = 0; k < 3; ++k) {
        Note n;
        n.start = bar * BAR;
        n.length = BAR + 0.3;   // overlaps the next chord a little: no gap
        n.freq = midiToHz(tones[k]) * (k == 1 ? 1.002 : 0.999);
        n.wave = WAVE_SAW;
        n.amp = amp;
        n.attack = 0.25;
        n.lowpass = 1100;
        n.vibrato = 0.003;
        n.pan = 0.2 + 0.3 * k;
        addNote(s, n, true);
    }
}

void arpeggio(Sound& s, int bar, double amp)
{
    const int root = ROOTS[bar % 8] + 12;
    const int tones[4] = {root, root + THIRDS[bar % 8], root + 7, root + 12};
    const int order[16] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 3, 1, 2, 0, 2};
    for (int k = 0; k < 16; ++k) {
        Note n;
        n.start = bar * BAR + k * BEAT / 4;
        n.length = BEAT / 4;
        n.freq = midiToHz(tones[order[k]]);
        n.wave = WAVE_SQUARE;
        n.amp = amp * (k % 4 == 0 ? 1.0 : 0.7);
        n.decay = 0.06;
        n.lowpass = 3200;
        n.pan = k % 2 ? 0.25 : 0.75;
        addNote(s, n, true);
    }
}

template <size_t N>
void melody(Sound& s, int firstBar, const MelodyNote (&notes)[N], double amp)
{
    for (const MelodyNote& m : notes) {
        Note n;
        n.start = firstBar * BAR + m.beat * BEAT;
        n.length = m.beats * BEAT * 0.95;
        n.freq = midiToHz(m.midi);
        n.wave = WAVE_TRIANGLE;
        n.amp = amp;
        n.attack = 0.01;
        n.decay = 0.4 + 0.3 * m.beats;
        n.vibrato = m.beats >= 1.5 ? 0.006 : 0;
        n.pan = 0.45;
        addNote(s, n, true);
        Note echo = n;   // a dotted-eighth echo, to the right
        echo.start += 0.75 * BEAT;
        echo.amp *= 0.3;
        echo.pan = 0.85;
        addNote(s, echo, true);
    }
}

Sound composeSong()
{
    Sound s = makeSound(2, BARS * BAR);
    for (int bar = 0; bar < BARS; ++bar) {
        int section = bar / 8;
        drums(s, bar, bar == BARS - 1 || bar == 15);
        bass(s, bar);
        pad(s, bar, section == 0 ? 0.12 : 0.08);
        if (section >= 1) arpeggio(s, bar, section == 1 ? 0.12 : 0.07);
    }
    melody(s, 16, THEME, 0.35);
    melody(s, 24, ANSWER, 0.3);
    // Gentle saturation keeps peaks round before the final level is set.
    for (float& v : s.samples)
        v = std::tanh(v * 0.8f);
    normalise(s, 0.89f);
    return s;
}

}   // namespace

bool writeSong(const std::string& dir)
{
    if (!makeDirectories(dir + "/sounds")) return false;
    Sound song = composeSong();
    const size_t frames = song.samples.size() / 2;
    std::vector<short> left(frames), right(frames);
    for (size_t i = 0; i < frames; ++i) {
        left[i] = static_cast<short>(std::lround(std::clamp(song.samples[2 * i], -1.0f, 1.0f) * 32767));
        right[i] = static_cast<short>(std::lround(std::clamp(song.samples[2 * i + 1], -1.0f, 1.0f) * 32767));
    }

    lame_global_flags* gf = lame_init();
    if (!gf) {
        std::fprintf(stderr, "assetgen: cannot start the MP3 encoder\n");
        return false;
    }
    lame_set_in_samplerate(gf, SAMPLE_RATE);
    lame_set_out_samplerate(gf, SAMPLE_RATE);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_brate(gf, BITRATE);
    lame_set_quality(gf, 5);
    lame_set_bWriteVbrTag(gf, 1);   // the Info frame carries the encoder delay, for gapless players
    if (lame_init_params(gf) < 0) {
        std::fprintf(stderr, "assetgen: the MP3 encoder refused its settings\n");
        lame_close(gf);
        return false;
    }
    std::vector<unsigned char> mp3(frames * 5 / 4 + 7200);
    std::vector<unsigned char> out;
    const int chunk = SAMPLE_RATE;   // one second per call keeps the buffer small
    bool ok = true;
    for (size_t at = 0; at < frames && ok; at += chunk) {
        int n = static_cast<int>(std::min<size_t>(chunk, frames - at));
        int bytes = lame_encode_buffer(gf, &left[at], &right[at], n, mp3.data(), static_cast<int>(mp3.size()));
        if (bytes < 0)
            ok = false;
        else
            out.insert(out.end(), mp3.begin(), mp3.begin() + bytes);
    }
    if (ok) {
        int bytes = lame_encode_flush(gf, mp3.data(), static_cast<int>(mp3.size()));
        if (bytes < 0)
            ok = false;
        else
            out.insert(out.end(), mp3.begin(), mp3.begin() + bytes);
    }
    if (ok) {
        // The first frame was reserved for the tag; fill it in now that the totals are known.
        unsigned char tag[2880];
        size_t tagBytes = lame_get_lametag_frame(gf, tag, sizeof tag);
        if (tagBytes > 0 && tagBytes <= out.size()) std::copy(tag, tag + tagBytes, out.begin());
    }
    lame_close(gf);
    if (!ok) {
        std::fprintf(stderr, "assetgen: MP3 encoding failed\n");
        return false;
    }
    return writeFile(dir + "/" + MUSIC_FILE, out.data(), out.size());
}
