// Image loaders and texture manager, without a window. Test images are made
// at run time by ImageMagick and netpbm (or by hand for what no encoder
// writes); decoded pixels are compared with what ImageMagick decodes from
// the same file. The manager runs with a fake uploader that hands out ids.
#include "game/textures/textures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

using Bytes = std::vector<uint8_t>;

// [SECTION] Fake uploader

struct Upload {
    uint32_t id;
    int32_t format, width, height;
    Bytes pixels;
};
static std::vector<Upload> uploads;
static std::vector<uint32_t> released;
static uint32_t nextId = 1;

static uint32_t fakeUpload(const Texture* t)
{
    uploads.push_back({nextId, t->format, t->width, t->height,
                       Bytes(t->pixels.get(), t->pixels.get() + size_t(t->width) * t->height * t->bytesPerPixel)});
    return nextId++;
}
static void fakeRelease(uint32_t id) { released.push_back(id); }

// [SECTION] Files and tools

static bool decodes(const Bytes& b, bool tga);

class Images : public testing::Test {
protected:
    std::string dir;
    void SetUp() override
    {
        char pattern[] = "/tmp/textures-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        if (std::getenv("KEEP_TEST_IMAGES") == nullptr) std::system(("rm -rf " + dir).c_str());
    }

    std::string path(const std::string& name) { return dir + "/" + name; }
    void write(const std::string& name, const Bytes& bytes)
    {
        FILE* f = std::fopen(path(name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    Bytes read(const std::string& name) { return capture("cat '" + path(name) + "'"); }
    static Bytes capture(const std::string& command)
    {
        Bytes out;
        FILE* p = popen(command.c_str(), "r");
        if (p == nullptr) return out;
        uint8_t buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
            out.insert(out.end(), buffer, buffer + n);
        pclose(p);
        return out;
    }
    void run(const std::string& command) { ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command; }

    // A picture with runs and a limited number of colours, so every encoder
    // (palette, RLE, 1-bit) can take it; written as PAM (alpha) or PPM.
    void makeSource(const std::string& name, int w, int h, int colours, bool alpha)
    {
        std::string header = alpha ? "P7\nWIDTH " + std::to_string(w) + "\nHEIGHT " + std::to_string(h) +
                                         "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                                   : "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
        Bytes bytes(header.begin(), header.end());
        std::mt19937 random(7);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int c = ((x / 5) * 7 + y * 3 + (random() % 4 == 0 ? int(random() % 5) : 0)) % colours;
                bytes.push_back(uint8_t(c * 37));
                bytes.push_back(uint8_t(255 - c * 11));
                bytes.push_back(uint8_t(c * 97));
                if (alpha) bytes.push_back(uint8_t(c * 53 + 1));
            }
        }
        write(name, bytes);
    }

    // What ImageMagick decodes, rows flipped back to stored order if it turned them.
    Bytes reference(const std::string& name, const char* layout, int bpp, int w, int h, bool bottomUp)
    {
        Bytes display = capture("convert '" + path(name) + "' -depth 8 " + layout + ":-");
        if (!bottomUp || display.size() != size_t(w) * h * bpp) return display;
        Bytes stored(display.size());
        size_t row = size_t(w) * bpp;
        for (int y = 0; y < h; ++y)
            std::copy_n(display.begin() + y * row, row, stored.begin() + (h - 1 - y) * row);
        return stored;
    }

    // The decoded image, or nullptr when the file is refused.
    std::unique_ptr<Texture> decode(const std::string& name)
    {
        auto t = std::make_unique<Texture>();
        return loadImage(path(name).c_str(), *t) ? std::move(t) : nullptr;
    }

    // Decodes, checks the layout and compares with ImageMagick's pixels.
    void expectDecodesLikeImageMagick(const std::string& name, int32_t format, int bpp, int w, int h)
    {
        SCOPED_TRACE(name);
        Bytes file = read(name);
        ASSERT_GT(file.size(), 18u);
        bool bmp = file[0] == 'B' && file[1] == 'M';
        // ImageMagick 6 hands TGA rows out in stored order (the origin bit
        // only sets its orientation tag) but turns bottom-up BMPs upright.
        bool bottomUp = bmp;
        std::unique_ptr<Texture> t = decode(name);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->format, format);
        EXPECT_EQ(t->bytesPerPixel, bpp);
        ASSERT_EQ(t->width, w);
        ASSERT_EQ(t->height, h);
        const char* layout = bpp == 4 ? "rgba" : bpp == 3 ? "rgb" : "gray";
        Bytes expected = reference(name, layout, bpp, w, h, bottomUp);
        Bytes actual(t->pixels.get(), t->pixels.get() + size_t(w) * h * bpp);
        ASSERT_EQ(actual.size(), expected.size());
        size_t firstDifference = 0;
        while (firstDifference < actual.size() && actual[firstDifference] == expected[firstDifference])
            ++firstDifference;
        EXPECT_EQ(firstDifference, actual.size())
            << "first difference at byte " << firstDifference << ": " << int(actual[firstDifference]) << " decoded, "
            << int(expected[firstDifference]) << " expected";
    }

    // Every prefix and many single-byte corruptions: refused or decoded, never out of bounds.
    void expectHostileVariantsSafe(const Bytes& file, bool tga)
    {
        auto decodeBytes = [tga](const Bytes& b) { return decodes(b, tga); };
        ASSERT_TRUE(decodeBytes(file));
        for (size_t n = 0; n < file.size(); n += 1 + n / 512) {
            Bytes prefix(file.begin(), file.begin() + n);
            decodeBytes(prefix);
        }
        // Shorter than its pixels claim is always a failure.
        EXPECT_FALSE(decodeBytes(Bytes(file.begin(), file.begin() + file.size() / 2)));
        std::mt19937 random(11);
        for (int i = 0; i < 1500; ++i) {
            Bytes corrupt = file;
            for (int k = 0; k < 3; ++k)
                corrupt[random() % std::min<size_t>(corrupt.size(), 80)] = uint8_t(random());
            corrupt[random() % corrupt.size()] = uint8_t(random());
            decodeBytes(corrupt);
        }
    }
};

// Whether the bytes decode.
static bool decodes(const Bytes& b, bool tga)
{
    Texture t;
    return tga ? decodeTga(b.data(), b.size(), t) : decodeBmp(b.data(), b.size(), t);
}
static bool decodesTga(const Bytes& b) { return decodes(b, true); }
static bool decodesBmp(const Bytes& b) { return decodes(b, false); }

// Little-endian builders for hand-made files.
static void put16(Bytes& b, size_t at, unsigned v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
static void put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

static Bytes tgaHeader(int type, int depth, int w, int h, int idLength = 0, int mapType = 0, int mapLength = 0,
                       int mapBits = 0)
{
    Bytes b(18 + idLength, 0);
    b[0] = uint8_t(idLength);
    b[1] = uint8_t(mapType);
    b[2] = uint8_t(type);
    put16(b, 5, unsigned(mapLength));
    b[7] = uint8_t(mapBits);
    put16(b, 12, unsigned(w));
    put16(b, 14, unsigned(h));
    b[16] = uint8_t(depth);
    return b;
}

// Windows (40-byte) or OS/2 (12-byte) header, palette and pixel bytes.
static Bytes bmpFile(int w, int h, int bits, uint32_t compression, const Bytes& palette, const Bytes& pixels,
                     bool os2 = false)
{
    size_t header = os2 ? 26 : 54;
    Bytes b(header, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 10, uint32_t(header + palette.size()));
    put32(b, 14, os2 ? 12 : 40);
    if (os2) {
        put16(b, 18, unsigned(w));
        put16(b, 20, unsigned(h));
        put16(b, 22, 1);
        put16(b, 24, unsigned(bits));
    } else {
        put32(b, 18, uint32_t(w));
        put32(b, 22, uint32_t(h));
        put16(b, 26, 1);
        put16(b, 28, unsigned(bits));
        put32(b, 30, compression);
    }
    b.insert(b.end(), palette.begin(), palette.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    put32(b, 2, uint32_t(b.size()));
    return b;
}

// [SECTION] TGA

TEST_F(Images, TgaFromEncodersDecodesLikeImageMagick)
{
    const int w = 37, h = 23;
    makeSource("src.ppm", w, h, 60, false);
    makeSource("src.pam", w, h, 60, true);
    makeSource("few.ppm", w, h, 12, false);
    struct Form {
        std::string command, file;
        int type;
        int32_t format;
        int bpp;
    };
    const std::vector<Form> forms = {
        {"convert src.ppm -compress None", "rgb.tga", 2, IMAGE_RGB, 3},
        {"convert src.ppm -compress RLE", "rgbrle.tga", 10, IMAGE_RGB, 3},
        {"convert src.pam -compress None", "rgba.tga", 2, IMAGE_RGBA, 4},
        {"convert src.pam -compress RLE", "rgbarle.tga", 10, IMAGE_RGBA, 4},
        {"convert src.ppm -colorspace Gray -type Grayscale -compress None", "grey.tga", 3, IMAGE_LUMINANCE, 1},
        {"convert src.ppm -colorspace Gray -type Grayscale -compress RLE", "greyrle.tga", 11, IMAGE_LUMINANCE, 1},
        {"convert few.ppm -type Palette -compress None", "map.tga", 1, IMAGE_RGB, 3},
        {"convert few.ppm -type Palette -compress RLE", "maprle.tga", 9, IMAGE_RGB, 3},
        {"pamtotga -norle -rgb src.ppm >", "pam-rgb.TGA", 2, IMAGE_RGB, 3},
        {"pamtotga -rgb src.ppm >", "pam-rgbrle.tga", 10, IMAGE_RGB, 3},
        {"pamtotga -cmap few.ppm >", "pam-maprle.tga", 9, IMAGE_RGB, 3},
        {"pamtotga -mono src.ppm >", "pam-greyrle.tga", 11, IMAGE_LUMINANCE, 1},
    };
    for (const Form& form : forms) {
        run("cd " + dir + " && " + form.command + " " + form.file);
        ASSERT_EQ(read(form.file)[2], form.type) << form.file;
        expectDecodesLikeImageMagick(form.file, form.format, form.bpp, w, h);
        expectHostileVariantsSafe(read(form.file), true);
    }
}

TEST_F(Images, TgaHandMadeForms)
{
    // 16-bit: five bits per channel shifted up, alpha bit dropped.
    Bytes b = tgaHeader(2, 16, 2, 1);
    b.insert(b.end(), {0x1F, 0x80, 0x00, 0x7C});   // blue (alpha set), red
    Texture t;
    ASSERT_TRUE(decodeTga(b.data(), b.size(), t));
    EXPECT_EQ(Bytes(t.pixels.get(), t.pixels.get() + 6), (Bytes{0, 0, 0xF8, 0xF8, 0, 0}));

    // A 10-byte image ID: pixels start at offset 28.
    b = tgaHeader(2, 24, 1, 1, 10);
    std::fill(b.begin() + 18, b.end(), 0xEE);
    b.insert(b.end(), {1, 2, 3});
    ASSERT_TRUE(decodeTga(b.data(), b.size(), t));
    EXPECT_EQ(Bytes(t.pixels.get(), t.pixels.get() + 3), (Bytes{3, 2, 1}));

    // Grey with alpha keeps L, A as stored.
    b = tgaHeader(3, 16, 2, 1);
    b.insert(b.end(), {10, 20, 30, 40});
    ASSERT_TRUE(decodeTga(b.data(), b.size(), t));
    EXPECT_EQ(t.format, IMAGE_LUMINANCE_ALPHA);
    EXPECT_EQ(Bytes(t.pixels.get(), t.pixels.get() + 4), (Bytes{10, 20, 30, 40}));

    // Run packets cross rows and the last one is clipped at the image end.
    b = tgaHeader(11, 8, 3, 2);
    b.insert(b.end(), {0x83, 7, 0x01, 8, 9, 0x85, 5});   // 4 x 7, raw 8 9, 6 x 5 (4 too many)
    ASSERT_TRUE(decodeTga(b.data(), b.size(), t));
    EXPECT_EQ(Bytes(t.pixels.get(), t.pixels.get() + 6), (Bytes{7, 7, 7, 7, 8, 9}));
}

TEST_F(Images, TgaRefusesWhatItDoesNotDecode)
{
    Bytes pixel = {1, 2, 3, 4};
    auto with = [&](Bytes header) {
        header.insert(header.end(), pixel.begin(), pixel.end());
        return header;
    };
    for (int type : {0, 4, 5, 8, 12, 255})
        EXPECT_FALSE(decodesTga(with(tgaHeader(type, 24, 1, 1)))) << type;
    EXPECT_FALSE(decodesTga(with(tgaHeader(2, 15, 1, 1))));
    EXPECT_FALSE(decodesTga(with(tgaHeader(2, 8, 1, 1))));
    EXPECT_FALSE(decodesTga(with(tgaHeader(11, 16, 1, 1))));
    EXPECT_FALSE(decodesTga(with(tgaHeader(3, 32, 1, 1))));
    EXPECT_FALSE(decodesTga(with(tgaHeader(2, 24, 0, 1))));
    EXPECT_FALSE(decodesTga(with(tgaHeader(2, 24, 1, -1))));
    EXPECT_FALSE(decodesTga(with(tgaHeader(2, 24, 32767, 32767))));   // past the pixel cap
    EXPECT_FALSE(decodesTga(with(tgaHeader(10, 24, 8000, 8000))));    // four bytes cannot hold it
    EXPECT_FALSE(decodesTga(Bytes(17, 0)));
    // Colour maps: 16-bit entries, an index past the map, a map past the file.
    EXPECT_FALSE(decodesTga(with(tgaHeader(1, 8, 1, 1, 0, 1, 1, 16))));
    Bytes mapped = tgaHeader(1, 8, 2, 1, 0, 1, 2, 24);
    mapped.insert(mapped.end(), {1, 2, 3, 4, 5, 6, 1, 2});
    EXPECT_FALSE(decodesTga(mapped));
    mapped[mapped.size() - 1] = 0;
    EXPECT_TRUE(decodesTga(mapped));
    EXPECT_FALSE(decodesTga(with(tgaHeader(1, 8, 1, 1, 0, 1, 300, 24))));
    // The ID field past the end.
    EXPECT_FALSE(decodesTga(tgaHeader(2, 24, 1, 1, 200)));
}

// [SECTION] BMP

TEST_F(Images, BmpFromEncodersDecodesLikeImageMagick)
{
    const int w = 37, h = 23;
    makeSource("src.ppm", w, h, 60, false);
    makeSource("two.ppm", w, h, 2, false);
    makeSource("few.ppm", w, h, 12, false);
    struct Form {
        std::string command, file;
        uint32_t header;
        int bits;
        uint32_t compression;
    };
    const std::vector<Form> forms = {
        {"ppmtobmp -bpp 24 src.ppm >", "w24.bmp", 40, 24, 0},
        {"ppmtobmp -bpp 8 src.ppm >", "w8.bmp", 40, 8, 0},
        {"ppmtobmp -bpp 4 few.ppm >", "w4.BMP", 40, 4, 0},
        {"ppmtobmp -bpp 1 two.ppm >", "w1.bmp", 40, 1, 0},
        {"ppmtobmp -os2 -bpp 24 src.ppm >", "os24.bmp", 12, 24, 0},
        {"ppmtobmp -os2 -bpp 4 few.ppm >", "os4.bmp", 12, 4, 0},
        {"convert src.ppm", "v5-24.bmp", 124, 24, 0},
        {"convert few.ppm -type Palette", "v5-4.bmp", 124, 4, 0},
        {"convert src.ppm -type Palette -compress RLE", "bmp3:rle8.bmp", 40, 8, 1},
    };
    for (const Form& form : forms) {
        run("cd " + dir + " && " + form.command + " " + form.file);
        std::string file = form.file.substr(form.file.find(':') + 1);
        Bytes bytes = read(file);
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(bytes[14], form.header) << file;
        EXPECT_EQ(bytes[form.header == 12 ? 24 : 28], form.bits) << file;
        if (form.header != 12) {
            EXPECT_EQ(bytes[30], form.compression) << file;
        }
        expectDecodesLikeImageMagick(file, IMAGE_RGB, 3, w, h);
        expectHostileVariantsSafe(bytes, false);
    }
}

TEST_F(Images, BmpHandMadeFormsDecodeLikeImageMagick)
{
    Bytes palette;
    for (int i = 0; i < 16; ++i)
        palette.insert(palette.end(), {uint8_t(i * 16), uint8_t(255 - i * 9), uint8_t(i * 5), 0});

    // 4-bit run-length: encoded runs alternate nibbles, absolute runs are
    // padded to even bytes, every row closed by end-of-line.
    const int w = 13, h = 3;
    Bytes rle = {5, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 3, 0xAB, 0, 0};   // 5 + 5 + 3
    rle.insert(rle.end(), {13, 0xFF, 0, 0});
    rle.insert(rle.end(), {0, 13, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xC0, 0, 0, 0, 0, 1});
    write("rle4.bmp", bmpFile(w, h, 4, 2, palette, rle));
    expectDecodesLikeImageMagick("rle4.bmp", IMAGE_RGB, 3, w, h);
    expectHostileVariantsSafe(read("rle4.bmp"), false);

    // 32-bit uncompressed: the fourth byte is ignored. 3-pixel 24-bit rows carry 3 padding bytes.
    Bytes pixels32, pixels24;
    for (int i = 0; i < 3 * 2; ++i)
        pixels32.insert(pixels32.end(), {uint8_t(i), uint8_t(i * 40), uint8_t(200 - i), 0x55});
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 9; ++i)
            pixels24.push_back(uint8_t(row * 50 + i * 3));
        pixels24.insert(pixels24.end(), {0xEE, 0xEE, 0xEE});
    }
    write("p32.bmp", bmpFile(3, 2, 32, 0, {}, pixels32));
    write("p24.bmp", bmpFile(3, 2, 24, 0, {}, pixels24));
    expectDecodesLikeImageMagick("p32.bmp", IMAGE_RGB, 3, 3, 2);
    expectDecodesLikeImageMagick("p24.bmp", IMAGE_RGB, 3, 3, 2);

    // OS/2 header with 3-byte palette entries, 1 bit, 10 pixels a row.
    write("os1.bmp", bmpFile(10, 2, 1, 0, {0, 0, 255, 255, 255, 0}, {0xA5, 0xC0, 0, 0, 0x5A, 0x40, 0, 0}, true));
    expectDecodesLikeImageMagick("os1.bmp", IMAGE_RGB, 3, 10, 2);
}

TEST_F(Images, BmpRunLengthRowsEndEarlyOrDropTheExcess)
{
    Bytes palette = {0, 0, 0, 0, 10, 20, 30, 0};
    Bytes rle = {2, 1, 0, 0, 6, 1, 0, 0};   // row 0: two pixels then end-of-line; row 1 full and two past
    Texture t;
    Bytes file = bmpFile(4, 2, 8, 1, palette, rle);
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), t));
    const uint8_t c[3] = {30, 20, 10};
    for (int i = 0; i < 8; ++i) {
        bool coloured = i < 2 || i >= 4;
        EXPECT_EQ(t.pixels[i * 3], coloured ? c[0] : 0) << i;
    }
}

TEST_F(Images, BmpRefusesWhatItDoesNotDecode)
{
    Bytes palette(16 * 4, 0x40);
    Bytes pixels(64, 0);
    EXPECT_TRUE(decodesBmp(bmpFile(4, 4, 4, 0, palette, pixels)));
    Bytes notBm = bmpFile(4, 4, 24, 0, {}, pixels);
    notBm[0] = 'b';
    EXPECT_FALSE(decodesBmp(notBm));
    EXPECT_FALSE(decodesBmp(bmpFile(4, -4, 24, 0, {}, pixels)));   // top-down
    EXPECT_FALSE(decodesBmp(bmpFile(0, 4, 24, 0, {}, pixels)));
    EXPECT_FALSE(decodesBmp(bmpFile(4, 4, 16, 0, {}, pixels)));
    EXPECT_FALSE(decodesBmp(bmpFile(4, 4, 24, 3, {}, pixels)));                 // bit fields
    EXPECT_FALSE(decodesBmp(bmpFile(4, 4, 24, 1, {}, pixels)));                 // run-length needs 8 bits
    EXPECT_FALSE(decodesBmp(bmpFile(4, 4, 4, 0, {}, {})));                      // no palette, no pixels
    EXPECT_FALSE(decodesBmp(bmpFile(4, 4, 8, 0, Bytes(8, 1), Bytes(16, 5))));   // index past the palette
    EXPECT_FALSE(decodesBmp(bmpFile(30000, 30000, 24, 0, {}, pixels)));
    Bytes bigHeader = bmpFile(4, 4, 24, 0, {}, pixels);
    put32(bigHeader, 14, 0x7FFFFFFF);
    EXPECT_FALSE(decodesBmp(bigHeader));
    Bytes offsetPastEnd = bmpFile(4, 4, 24, 0, {}, pixels);
    put32(offsetPastEnd, 10, 0xFFFFFFF0);
    EXPECT_FALSE(decodesBmp(offsetPastEnd));
    // Delta and end-of-bitmap escapes before the image is complete.
    EXPECT_FALSE(decodesBmp(bmpFile(4, 2, 8, 1, Bytes(8, 0), {4, 0, 0, 2, 1, 1, 4, 0})));
    EXPECT_FALSE(decodesBmp(bmpFile(4, 2, 8, 1, Bytes(8, 0), {4, 0, 0, 1, 0, 0, 0, 0})));
    EXPECT_TRUE(decodesBmp(bmpFile(4, 2, 8, 1, Bytes(8, 0), {4, 0, 0, 0, 3, 1, 0, 1})));   // the last row may end early
    EXPECT_FALSE(decodesBmp(bmpFile(4, 2, 8, 1, Bytes(8, 0), {4, 0, 4, 1})));   // rows need their end-of-line
}

// [SECTION] Dispatch

TEST_F(Images, DispatchBySubstringAndCase)
{
    Bytes tga = tgaHeader(2, 24, 1, 1);
    tga.insert(tga.end(), {1, 2, 3});
    for (const char* name : {"a.tga", "a.TGA", "a.tga.old", "a.BMP.tga"})
        write(name, tga);
    for (const char* name : {"a.Tga", "a.png", "a.bmp"})
        write(name, tga);
    for (const char* name : {"a.tga", "a.TGA", "a.tga.old", "a.BMP.tga"}) {
        EXPECT_NE(decode(name), nullptr) << name;
    }
    run("mkdir " + path("dir.tga"));
    for (const char* name : {"a.Tga", "a.png", "a.bmp", "missing.tga", "dir.tga"})
        EXPECT_EQ(decode(name), nullptr) << name;
}

// [SECTION] Texture manager

class Manager : public Images {
protected:
    void SetUp() override
    {
        Images::SetUp();
        textureUploader = {fakeUpload, fakeRelease};
        deleteAllTextures();
        uploads.clear();
        released.clear();
        testing::internal::CaptureStdout();
    }
    std::string log() { return testing::internal::GetCapturedStdout(); }
    void TearDown() override
    {
        deleteAllTextures();
        Images::TearDown();
    }
};

static const std::string P = "Ostrel Engine Texture Manager: ";

TEST_F(Manager, DefaultIsALuminanceCheckerboard)
{
    ASSERT_TRUE(createDefaultTexture());
    std::string out = log();
    uint32_t id = textureManager.defaultTexture->glName;
    EXPECT_EQ(out, P + "creating default texture, id [" + std::to_string(id) + "]\n");
    ASSERT_EQ(uploads.size(), 1u);
    const Upload& u = uploads[0];
    EXPECT_EQ(u.format, IMAGE_LUMINANCE);
    ASSERT_EQ(u.width, 64);
    ASSERT_EQ(u.height, 64);
    for (int r = 0; r < 64; ++r)
        for (int c = 0; c < 64; ++c)
            ASSERT_EQ(u.pixels[r * 64 + c], ((c / 8) ^ (r / 8)) & 1 ? 255 : 0) << c << "," << r;
    EXPECT_EQ(textureManager.defaultTexture->pixels, nullptr) << "the CPU copy is dropped after the upload";
    EXPECT_EQ(findTexture("default"), textureManager.defaultTexture);
    EXPECT_EQ(textureManager.textureCount, 1);
}

TEST_F(Manager, CachesByExactNameAndFallsBackToTheDefault)
{
    Bytes tga = tgaHeader(2, 24, 1, 1);
    tga.insert(tga.end(), {1, 2, 3});
    write("redD.tga", tga);
    write("upper.TGA", tga);
    write("mixed.Tga", tga);
    ASSERT_TRUE(createDefaultTexture());
    log();
    testing::internal::CaptureStdout();
    const std::string red = path("redD.tga"), missing = path("missing.tga");
    uint32_t def = textureManager.defaultTexture->glName;
    uint32_t first = getTexture(red);
    uint32_t second = getTexture(red);
    uint32_t lost1 = getTexture(missing);
    uint32_t lost2 = getTexture(missing);
    uint32_t byName = getTexture("default");
    uint32_t upper = getTexture(path("upper.TGA"));
    uint32_t mixed = getTexture(path("mixed.Tga"));
    std::string out = log();

    EXPECT_NE(first, def);
    EXPECT_EQ(second, first);
    EXPECT_EQ(uploads.size(), 3u);   // default, redD, upper: each file read once
    EXPECT_EQ(lost1, def);
    EXPECT_EQ(lost2, def);
    EXPECT_EQ(byName, def);
    EXPECT_NE(upper, def);
    EXPECT_EQ(mixed, def);
    EXPECT_EQ(textureManager.textureCount, 3);
    EXPECT_EQ(findTexture(red)->glName, first);
    EXPECT_EQ(findTexture(path("redd.tga")), textureManager.defaultTexture);
    EXPECT_EQ(findTexture(red)->pixels, nullptr);

    auto id = [](uint32_t v) { return "id [" + std::to_string(v) + "]\n"; };
    auto failed = [&](const std::string& n) {
        return P + "failed to load " + n + "!giving default texture " + id(def);
    };
    std::string expected = P + red + ", " + id(first) + P + red + ", " + id(first) + failed(missing) + P + missing +
                           ", " + id(def) + failed(missing) + P + missing + ", " + id(def) + failed("default") + P +
                           "default, " + id(def) + P + path("upper.TGA") + ", " + id(upper) +
                           failed(path("mixed.Tga")) + P + path("mixed.Tga") + ", " + id(def);
    EXPECT_EQ(out, expected);
}

TEST_F(Manager, DeleteAllReleasesEveryTextureInNameOrder)
{
    Bytes tga = tgaHeader(3, 8, 1, 1);
    tga.push_back(9);
    write("b.tga", tga);
    write("a.tga", tga);
    ASSERT_TRUE(createDefaultTexture());
    getTexture(path("b.tga"));
    getTexture(path("a.tga"));
    log();
    testing::internal::CaptureStdout();
    deleteAllTextures();
    EXPECT_EQ(log(), P + "deleting " + path("a.tga") + " texture\n" + P + "deleting " + path("b.tga") + " texture\n" +
                         P + "deleting default texture\n");
    EXPECT_EQ(released.size(), 3u);
    EXPECT_EQ(textureManager.textureCount, 0);
    EXPECT_TRUE(textureManager.textures.empty());
    EXPECT_EQ(textureManager.defaultTexture, nullptr);
    // Asked again without a default: one is made instead of following a null pointer.
    testing::internal::CaptureStdout();
    uint32_t id = getTexture(path("a.tga"));
    EXPECT_NE(id, textureManager.defaultTexture->glName);
    EXPECT_EQ(textureManager.textureCount, 2);
    log();
}
