// tools/sounds: a small voice synthesiser, the WAV writer and the 14 sound cues.
// Depends on assetgen.h and the C standard library.
#include "tools/assetgen.h"

#include "levelpack/catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

// ---- synthesis ---------------------------------------------------------------

Sound makeSound(int channels, double seconds)
{
    Sound s;
    s.channels = channels;
    s.samples.assign(static_cast<size_t>(seconds * SAMPLE_RATE) * channels, 0.0f);
    return s;
}

double midiToHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

void addNote(Sound& s, const Note& n, bool wrap)
{
    const size_t frames = s.samples.size() / s.channels;
    if (frames == 0) return;
    const long first = std::lround(n.start * SAMPLE_RATE);
    const long count = std::lround(n.length * SAMPLE_RATE);
    const double fEnd = n.freqEnd > 0 ? n.freqEnd : n.freq;
    const double lpA = n.lowpass > 0 ? 1 - std::exp(-2 * PI * n.lowpass / SAMPLE_RATE) : 1;
    const double hpA = n.highpass > 0 ? 1 - std::exp(-2 * PI * n.highpass / SAMPLE_RATE) : 0;
    const double gainL = s.channels == 2 ? std::cos(n.pan * PI / 2) * std::sqrt(2.0) : 1;
    const double gainR = s.channels == 2 ? std::sin(n.pan * PI / 2) * std::sqrt(2.0) : 1;
    const long fadeOut = SAMPLE_RATE / 200;
    uint32_t rng = n.seed * 2654435761u + 12345u;
    // Glide and decay advance by a constant factor per sample.
    const double glideStep = count > 0 ? std::pow(fEnd / n.freq, 1.0 / count) : 1;
    const double decayStep = n.decay > 0 ? std::exp(-1.0 / (n.decay * SAMPLE_RATE)) : 1;
    double phase = 0, lp = 0, hpLow = 0, glide = 1, fall = 1;
    for (long i = 0; i < count; ++i) {
        long at = first + i;
        if (at < 0) continue;
        if (static_cast<size_t>(at) >= frames) {
            if (!wrap) break;
            at %= static_cast<long>(frames);
        }
        double t = static_cast<double>(i) / SAMPLE_RATE;
        double f = n.freq * glide;
        glide *= glideStep;
        if (n.vibrato > 0) f *= 1 + n.vibrato * std::sin(2 * PI * 5.5 * t);
        phase += f / SAMPLE_RATE;
        phase -= std::floor(phase);
        double v = 0;
        switch (n.wave) {
            case WAVE_SINE: v = std::sin(2 * PI * phase); break;
            case WAVE_TRIANGLE: v = 4 * std::fabs(phase - 0.5) - 1; break;
            case WAVE_SQUARE: v = phase < 0.5 ? 0.8 : -0.8; break;
            case WAVE_SAW: v = 2 * phase - 1; break;
            case WAVE_NOISE:
                rng = rng * 1664525u + 1013904223u;
                v = (rng >> 8) / 8388607.5 - 1;
                break;
        }
        lp += lpA * (v - lp);
        v = lp;
        if (hpA > 0) {
            hpLow += hpA * (v - hpLow);
            v -= hpLow;
        }
        double env = n.attack > 0 && t < n.attack ? t / n.attack : 1;
        if (t >= n.attack) {
            env *= fall;
            fall *= decayStep;
        }
        if (count - i < fadeOut) env *= static_cast<double>(count - i) / fadeOut;
        v *= env * n.amp;
        if (s.channels == 2) {
            s.samples[static_cast<size_t>(at) * 2] += static_cast<float>(v * gainL);
            s.samples[static_cast<size_t>(at) * 2 + 1] += static_cast<float>(v * gainR);
        } else {
            s.samples[static_cast<size_t>(at)] += static_cast<float>(v);
        }
    }
}

void normalise(Sound& s, float peak)
{
    float top = 0;
    for (float v : s.samples)
        top = std::max(top, std::fabs(v));
    if (top <= 0) return;
    for (float& v : s.samples)
        v *= peak / top;
}

// ---- WAV writer --------------------------------------------------------------

namespace {
void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v & 0xff));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

void putTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }
}   // namespace

bool writeWav(const std::string& path, const Sound& s)
{
    const uint32_t dataBytes = static_cast<uint32_t>(s.samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);   // PCM
    put16(out, static_cast<uint32_t>(s.channels));
    put32(out, SAMPLE_RATE);
    put32(out, SAMPLE_RATE * 2u * s.channels);
    put16(out, 2u * s.channels);
    put16(out, 16);
    putTag(out, "data");
    put32(out, dataBytes);
    for (float v : s.samples) {
        long q = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
        put16(out, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(q))));
    }
    return writeFile(path, out.data(), out.size());
}

// ---- the cues ------------------------------------------------------------------

namespace {

Note tone(double start, double length, double freq, Wave wave, double amp, double decay)
{
    Note n;
    n.start = start;
    n.length = length;
    n.freq = freq;
    n.wave = wave;
    n.amp = amp;
    n.decay = decay;
    return n;
}

Note noise(double start, double length, double amp, double decay, double lowpass, double highpass, uint32_t seed)
{
    Note n = tone(start, length, 1, WAVE_NOISE, amp, decay);
    n.lowpass = lowpass;
    n.highpass = highpass;
    n.seed = seed;
    return n;
}

// Ball off the paddle: a rubbery "bonk" with a slight downward bend.
Sound cueBar()
{
    Sound s = makeSound(1, 0.16);
    Note body = tone(0, 0.16, 520, WAVE_SINE, 0.8, 0.05);
    body.freqEnd = 430;
    addNote(s, body);
    addNote(s, tone(0, 0.1, 260, WAVE_SQUARE, 0.15, 0.025));
    addNote(s, noise(0, 0.01, 0.3, 0.003, 4000, 0, 7));
    return s;
}

// Never played by the game, but shipped: a falling "uh-oh" glide.
Sound cueLoss()
{
    Sound s = makeSound(1, 0.6);
    Note n = tone(0, 0.6, 330, WAVE_TRIANGLE, 0.8, 0.3);
    n.freqEnd = 110;
    addNote(s, n);
    return s;
}

// A brick breaks: a sharp crack with a glassy ring.
Sound cueImpact()
{
    Sound s = makeSound(1, 0.22);
    addNote(s, noise(0, 0.12, 0.9, 0.03, 7000, 300, 11));
    Note ring = tone(0, 0.22, 1760, WAVE_SINE, 0.35, 0.06);
    ring.freqEnd = 1500;
    addNote(s, ring);
    addNote(s, tone(0.005, 0.2, 2637, WAVE_SINE, 0.2, 0.05));
    addNote(s, tone(0, 0.06, 300, WAVE_TRIANGLE, 0.4, 0.015));
    return s;
}

// A hit that leaves the brick standing: an inharmonic metal clang.
Sound cueImpactIron()
{
    Sound s = makeSound(1, 0.8);
    const double partials[5] = {392, 1021, 1843, 2870, 3911};
    const double amps[5] = {0.5, 0.35, 0.25, 0.18, 0.12};
    const double decays[5] = {0.3, 0.22, 0.15, 0.1, 0.07};
    for (int k = 0; k < 5; ++k)
        addNote(s, tone(0, 0.8, partials[k], WAVE_SINE, amps[k], decays[k]));
    addNote(s, noise(0, 0.02, 0.5, 0.006, 9000, 1000, 13));
    return s;
}

// Off a wall: a short wooden "tok".
Sound cueWall()
{
    Sound s = makeSound(1, 0.08);
    Note n = tone(0, 0.08, 240, WAVE_SINE, 0.8, 0.02);
    n.freqEnd = 180;
    addNote(s, n);
    addNote(s, noise(0, 0.015, 0.35, 0.004, 2500, 200, 17));
    return s;
}

// Extra life: a bright rising arpeggio ending on a trill-like shimmer.
Sound cueLife()
{
    Sound s = makeSound(1, 0.75);
    const int notes[5] = {72, 76, 79, 84, 88};
    for (int k = 0; k < 5; ++k) {
        double len = k == 4 ? 0.4 : 0.12;
        Note n = tone(k * 0.07, len, midiToHz(notes[k]), WAVE_SQUARE, 0.35, k == 4 ? 0.15 : 0.08);
        n.lowpass = 5000;
        n.vibrato = k == 4 ? 0.012 : 0;
        addNote(s, n);
    }
    return s;
}

// Laser shot: a falling "pew".
Sound cueLaser()
{
    Sound s = makeSound(1, 0.22);
    Note n = tone(0, 0.22, 1900, WAVE_SQUARE, 0.5, 0.08);
    n.freqEnd = 260;
    n.lowpass = 6000;
    addNote(s, n);
    Note sub = tone(0, 0.18, 950, WAVE_SINE, 0.3, 0.05);
    sub.freqEnd = 200;
    addNote(s, sub);
    return s;
}

// Game or level start: a short fanfare, pickup notes into a held major chord.
Sound cueStart()
{
    Sound s = makeSound(2, 1.1);
    const int pickup[3] = {67, 72, 76};
    for (int k = 0; k < 3; ++k) {
        Note n = tone(k * 0.1, 0.12, midiToHz(pickup[k]), WAVE_SQUARE, 0.35, 0.08);
        n.lowpass = 4000;
        n.pan = 0.3 + 0.2 * k;
        addNote(s, n);
    }
    const int chord[4] = {72, 76, 79, 84};
    for (int k = 0; k < 4; ++k) {
        Note n = tone(0.3, 0.8, midiToHz(chord[k]), WAVE_SAW, 0.22, 0.35);
        n.lowpass = 3000;
        n.vibrato = 0.004;
        n.pan = 0.2 + 0.2 * k;
        addNote(s, n);
    }
    return s;
}

// Bell voice: a sine with a quieter, faster-fading upper partial.
void bell(Sound& s, double start, int midi, double amp, double pan)
{
    Note a = tone(start, 0.9, midiToHz(midi), WAVE_SINE, amp, 0.3);
    a.pan = pan;
    addNote(s, a);
    Note b = tone(start, 0.5, midiToHz(midi) * 2.76, WAVE_SINE, amp * 0.3, 0.1);
    b.pan = pan;
    addNote(s, b);
}

// The menu appears: a cheerful bell jingle with an echo.
Sound cuePres()
{
    Sound s = makeSound(2, 2.0);
    const int melody[6] = {76, 79, 81, 84, 81, 88};
    const double at[6] = {0, 0.15, 0.3, 0.45, 0.6, 0.8};
    for (int k = 0; k < 6; ++k) {
        bell(s, at[k], melody[k], 0.4, 0.35);
        bell(s, at[k] + 0.22, melody[k], 0.15, 0.75);   // echo on the other side
    }
    Note pad = tone(0.8, 1.0, midiToHz(60), WAVE_TRIANGLE, 0.2, 0.4);
    addNote(s, pad);
    return s;
}

// Menu cursor: a tiny tick.
Sound cueCursor()
{
    Sound s = makeSound(1, 0.045);
    addNote(s, tone(0, 0.045, 1600, WAVE_SINE, 0.7, 0.012));
    addNote(s, noise(0, 0.006, 0.2, 0.002, 8000, 2000, 19));
    return s;
}

// Game over: a slow minor descent onto a long low note.
Sound cueGameOver()
{
    Sound s = makeSound(1, 2.4);
    const int notes[4] = {67, 63, 60, 48};
    const double at[4] = {0, 0.35, 0.7, 1.05};
    for (int k = 0; k < 4; ++k) {
        double len = k == 3 ? 1.35 : 0.4;
        Note n = tone(at[k], len, midiToHz(notes[k]), WAVE_SQUARE, 0.4, k == 3 ? 0.6 : 0.25);
        n.lowpass = 1800;
        n.vibrato = k == 3 ? 0.01 : 0;
        addNote(s, n);
    }
    return s;
}

// A life is lost: a wobbling downward slide.
Sound cueLose()
{
    Sound s = makeSound(1, 0.8);
    Note n = tone(0, 0.8, 660, WAVE_TRIANGLE, 0.7, 0.4);
    n.freqEnd = 165;
    n.vibrato = 0.04;
    addNote(s, n);
    return s;
}

// A falling brick crushes the paddle: a low crunch with a buzzing thud.
Sound cueTrapped()
{
    Sound s = makeSound(1, 0.5);
    addNote(s, noise(0, 0.5, 0.7, 0.12, 900, 40, 23));
    Note buzz = tone(0, 0.45, 95, WAVE_SQUARE, 0.45, 0.15);
    buzz.freqEnd = 50;
    buzz.lowpass = 1200;
    addNote(s, buzz);
    addNote(s, noise(0.06, 0.05, 0.4, 0.015, 5000, 500, 29));
    addNote(s, noise(0.13, 0.05, 0.3, 0.015, 5000, 500, 31));
    return s;
}

// Splash: a swelling major-seventh pad crowned by bells, wide in stereo.
Sound cueMorvi()
{
    Sound s = makeSound(2, 2.8);
    const int chord[4] = {48, 55, 64, 71};
    for (int k = 0; k < 4; ++k)
        for (int d = -1; d <= 1; d += 2) {
            Note n = tone(0, 2.8, midiToHz(chord[k]) * (1 + 0.003 * d), WAVE_SAW, 0.12, 0);
            n.attack = 0.7;
            n.lowpass = 1400;
            n.pan = d < 0 ? 0.2 : 0.8;
            addNote(s, n);
        }
    bell(s, 0.7, 84, 0.35, 0.3);
    bell(s, 0.9, 88, 0.3, 0.7);
    bell(s, 1.1, 91, 0.28, 0.5);
    return s;
}

// The synthesiser of each cue, in the catalogue's slot order (its SAMPLE_FILES).
Sound (*const CUES[SAMPLE_COUNT])() = {
    cueBar,   cueLoss, cueImpact, cueImpactIron, cueWall, cueLife,    cueLaser,
    cueStart, cuePres, cueCursor, cueGameOver,   cueLose, cueTrapped, cueMorvi,
};

}   // namespace

bool writeSounds(const std::string& dir)
{
    if (!makeDirectories(dir + "/sounds")) return false;
    for (int slot = 0; slot < SAMPLE_COUNT; ++slot) {
        Sound s = CUES[slot]();
        normalise(s, 0.8f);
        if (!writeWav(dir + "/" + SAMPLE_FILES[slot], s)) return false;
    }
    return true;
}
