// The asset generator's building blocks: the TGA and WAV writers, the normal
// map convention the lighting relies on, tileable noise, the font, the synth.
#include "tests/tga_read.h"
#include "tools/assetgen.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string scratchDir()
{
    std::string pattern = ::testing::TempDir() + "assetgen_test.XXXXXX";
    char* made = mkdtemp(pattern.data());
    return made ? std::string(made) : std::string();
}

// Rows that hit the packet limits: a flat row longer than 128 pixels, an
// alternating row longer than 128, a run broken by one pixel, a gradient.
Image packetTorture(int w, int h)
{
    Image img = makeImage(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float v = 0.25f;
            if (y % 4 == 1) v = x % 2 ? 0.9f : 0.1f;
            if (y % 4 == 2) v = x == 127 ? 0.6f : 0.3f;
            if (y % 4 == 3) v = x / float(w);
            setPixel(img, x, y, v, 1 - v, 0.5f, (x % 3) / 2.0f);
        }
    setPixel(img, 0, h - 1, 1, 0, 0, 1);   // bottom-left: pure red, first in the file
    return img;
}

TEST(TgaWriter, EveryFormDecodesToTheSamePicture)
{
    const std::string dir = scratchDir();
    ASSERT_FALSE(dir.empty());
    const Image img = packetTorture(256, 8);
    std::vector<uint8_t> plain[2];
    for (TgaForm form : {TgaForm{24, false}, TgaForm{32, false}, TgaForm{24, true}, TgaForm{32, true}}) {
        SCOPED_TRACE(std::to_string(form.bits) + (form.rle ? " rle" : " plain"));
        const std::string path = dir + "/t.tga";
        ASSERT_TRUE(writeTga(path, img, form));
        TgaFile tga;
        ASSERT_EQ(readTga(readFile(path), tga), "");
        EXPECT_EQ(tga.type, form.rle ? 10 : 2);
        EXPECT_EQ(tga.width, 256u);
        EXPECT_EQ(tga.height, 8u);
        EXPECT_FALSE(tga.packetCrossesRow);
        // Bottom row first, stored blue, green, red.
        EXPECT_EQ(tga.pixels[0], 0);
        EXPECT_EQ(tga.pixels[1], 0);
        EXPECT_EQ(tga.pixels[2], 255);
        std::vector<uint8_t>& reference = plain[form.bits == 32];
        if (!form.rle)
            reference = tga.pixels;
        else
            EXPECT_EQ(tga.pixels, reference) << "RLE decodes differently from the plain file";
    }
    std::remove((dir + "/t.tga").c_str());
    std::remove(dir.c_str());
}

TEST(TgaWriter, FlatPicturesShrinkAndFailuresAreReported)
{
    const std::string dir = scratchDir();
    ASSERT_FALSE(dir.empty());
    Image flat = makeImage(256, 256);
    ASSERT_TRUE(writeTga(dir + "/flat.tga", flat, TgaForm{24, true}));
    EXPECT_LT(readFile(dir + "/flat.tga").size(), 256u * 256 * 3 / 50);
    EXPECT_FALSE(writeTga(dir + "/no/such/folder/x.tga", flat, TgaForm{24, false}));
    std::remove((dir + "/flat.tga").c_str());
    std::remove(dir.c_str());
}

TEST(NormalMaps, NormalsLeanAwayFromTheRise)
{
    const int N = 16;
    auto normalAt = [](const Field& h, int x, int y, float out[3]) {
        Image n = normalsFromHeights(h, 4.0f);
        for (int k = 0; k < 3; ++k)
            out[k] = n.px[(size_t(y) * n.width + x) * 4 + k] * 2 - 1;
    };
    float n[3];
    Field flat = makeField(N, N, 0.5f);
    normalAt(flat, 8, 8, n);
    EXPECT_NEAR(n[0], 0, 1e-6);
    EXPECT_NEAR(n[1], 0, 1e-6);
    EXPECT_NEAR(n[2], 1, 1e-6);

    Field rightward = makeField(N, N);   // rises along s
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            at(rightward, x, y) = x / float(N);
    normalAt(rightward, 8, 8, n);
    EXPECT_LT(n[0], -0.05f);
    EXPECT_NEAR(n[1], 0, 1e-6);
    EXPECT_GT(n[2], 0);

    Field upward = makeField(N, N);   // rises towards the top of the picture, along t
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            at(upward, x, y) = (N - y) / float(N);
    normalAt(upward, 8, 8, n);
    EXPECT_NEAR(n[0], 0, 1e-6);
    EXPECT_LT(n[1], -0.05f);
    EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1, 1e-5);
}

TEST(Noise, TilesAcrossTheEdgesAndStaysInRange)
{
    for (double v : {0.0, 0.13, 0.5, 0.77}) {
        EXPECT_FLOAT_EQ(valueNoise(0, v, 4, 8, 3), valueNoise(1, v, 4, 8, 3));
        EXPECT_FLOAT_EQ(valueNoise(v, 0, 4, 8, 3), valueNoise(v, 1, 4, 8, 3));
        EXPECT_FLOAT_EQ(fbm(0, v, 2, 3, 4, 9), fbm(1, v, 2, 3, 4, 9));
    }
    for (int i = 0; i < 200; ++i) {
        float f = fbm(i * 0.037, i * 0.061, 3, 3, 5, 42);
        EXPECT_GE(f, 0.0f);
        EXPECT_LE(f, 1.0f);
    }
    EXPECT_NE(valueNoise(0.3, 0.3, 4, 4, 1), valueNoise(0.3, 0.3, 4, 4, 2));
}

TEST(BlockFont, LettersInkTheirCellsAndNothingElse)
{
    Field f = makeField(40, 40);
    drawText(f, "T", 0, 0, 4);            // 20 x 28 pixels
    EXPECT_FLOAT_EQ(at(f, 2, 2), 1.0f);   // the bar
    EXPECT_FLOAT_EQ(at(f, 18, 2), 1.0f);
    EXPECT_FLOAT_EQ(at(f, 10, 20), 1.0f);   // the stem
    EXPECT_FLOAT_EQ(at(f, 2, 20), 0.0f);    // beside the stem
    EXPECT_FLOAT_EQ(at(f, 30, 30), 0.0f);   // beyond the glyph

    Field unknown = makeField(40, 40);
    drawText(unknown, "?x", 0, 0, 4);
    for (float v : unknown.v)
        EXPECT_EQ(v, 0.0f);
    EXPECT_DOUBLE_EQ(textWidth("AB", 2), 22);
    EXPECT_DOUBLE_EQ(textWidth("", 2), 0);

    // Text hanging over every edge is clipped, not written out of bounds.
    Field small = makeField(8, 8);
    drawText(small, "TESSIVAR", -20, -20, 9);
    drawText(small, "MORVI", 5, 5, 9);
}

TEST(Synth, NotesFadeOutAndWrapOnlyWhenAsked)
{
    Note n;
    n.start = 0.09;
    n.length = 0.05;
    n.wave = WAVE_SQUARE;
    n.amp = 0.5;
    Sound cut = makeSound(1, 0.1), looped = makeSound(1, 0.1);
    addNote(cut, n);
    addNote(looped, n, true);
    float headCut = 0, headLooped = 0;
    for (int i = 0; i < SAMPLE_RATE / 50; ++i) {
        headCut = std::max(headCut, std::fabs(cut.samples[i]));
        headLooped = std::max(headLooped, std::fabs(looped.samples[i]));
    }
    EXPECT_EQ(headCut, 0.0f);
    EXPECT_GT(headLooped, 0.2f);

    Sound whole = makeSound(1, 0.1);
    n.start = 0;
    addNote(whole, n);
    const long last = std::lround(0.05 * SAMPLE_RATE) - 1;
    EXPECT_LT(std::fabs(whole.samples[last]), 0.01f) << "the note ends with a click";

    Sound stereo = makeSound(2, 0.05);
    n.pan = 0;
    addNote(stereo, n);
    float right = 0;
    for (size_t i = 1; i < stereo.samples.size(); i += 2)
        right = std::max(right, std::fabs(stereo.samples[i]));
    EXPECT_LT(right, 1e-6f);
}

TEST(WavWriter, HeaderDescribesTheSamplesAndLoudValuesClamp)
{
    const std::string dir = scratchDir();
    ASSERT_FALSE(dir.empty());
    Sound s;
    s.channels = 2;
    s.samples = {0.0f, 2.0f, -2.0f, 0.5f};
    ASSERT_TRUE(writeWav(dir + "/t.wav", s));
    std::vector<uint8_t> d = readFile(dir + "/t.wav");
    ASSERT_EQ(d.size(), 44u + 8);
    EXPECT_EQ(tgaLe16(d, 22), 2u);                                  // channels
    EXPECT_EQ(tgaLe16(d, 24) | tgaLe16(d, 26) << 16, 44100u);       // rate
    EXPECT_EQ(tgaLe16(d, 28) | tgaLe16(d, 30) << 16, 44100u * 4);   // bytes per second
    EXPECT_EQ(tgaLe16(d, 32), 4u);                                  // block align
    EXPECT_EQ(tgaLe16(d, 40), 8u);                                  // data bytes
    EXPECT_EQ(int16_t(tgaLe16(d, 46)), 32767);
    EXPECT_EQ(int16_t(tgaLe16(d, 48)), -32767);
    EXPECT_EQ(int16_t(tgaLe16(d, 50)), 16384);
    std::remove((dir + "/t.wav").c_str());
    std::remove(dir.c_str());
}

// The icon: a PNG any decoder takes (chunk CRCs, zlib stream, unfiltered RGBA rows) holding a picture with
// transparent corners and an opaque middle.
TEST(Icon, PngChunksCheckOutAndThePictureFillsTheTile)
{
    const std::string dir = scratchDir();
    ASSERT_FALSE(dir.empty());
    const Image icon = renderIcon(48);
    ASSERT_TRUE(writePng(dir + "/i.png", icon));
    const std::vector<uint8_t> d = readFile(dir + "/i.png");
    ASSERT_GT(d.size(), 8u);
    EXPECT_EQ(std::string(d.begin() + 1, d.begin() + 4), "PNG");
    auto be32 = [&](size_t at) { return uint32_t(d[at]) << 24 | d[at + 1] << 16 | d[at + 2] << 8 | d[at + 3]; };
    std::vector<std::string> types;
    std::vector<uint8_t> packed;
    for (size_t at = 8; at + 12 <= d.size();) {
        const uint32_t length = be32(at);
        ASSERT_LE(at + 12 + length, d.size());
        types.emplace_back(d.begin() + at + 4, d.begin() + at + 8);
        EXPECT_EQ(be32(at + 8 + length), crc32(0, &d[at + 4], length + 4)) << types.back();
        if (types.back() == "IHDR") {
            EXPECT_EQ(be32(at + 8), 48u);
            EXPECT_EQ(be32(at + 12), 48u);
        }
        if (types.back() == "IDAT") packed.insert(packed.end(), &d[at + 8], &d[at + 8] + length);
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    std::vector<uint8_t> rows(48 * (48 * 4 + 1));
    uLongf size = rows.size();
    ASSERT_EQ(uncompress(rows.data(), &size, packed.data(), packed.size()), Z_OK);
    ASSERT_EQ(size, rows.size());
    auto alpha = [&](int x, int y) { return rows[y * (48 * 4 + 1) + 1 + x * 4 + 3]; };
    EXPECT_EQ(alpha(0, 0), 0);
    EXPECT_EQ(alpha(47, 47), 0);
    EXPECT_EQ(alpha(24, 24), 255);
    EXPECT_NE(iconSvg().find("</svg>"), std::string::npos);
    std::remove((dir + "/i.png").c_str());
    std::remove(dir.c_str());
}

}   // namespace
