// Test helper: a strict reader of the TGA forms the asset generator writes
// (types 2 and 10, 24 and 32 bit, bottom-left origin). Independent of the
// game's own loader, so the generated files and the loader check each other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One decoded file; lives for one check.
struct TgaFile {
    uint32_t width = 0, height = 0;   // pixels
    uint32_t bytes = 0;               // per pixel: 3 or 4
    int type = 0;                     // 2 plain, 10 run-length
    bool packetCrossesRow = false;    // an RLE packet spans two rows (legal, but we never write one)
    std::vector<uint8_t> pixels;      // file order: bottom row first, B G R (A)
};

inline uint32_t tgaLe16(const std::vector<uint8_t>& d, size_t at) { return d[at] | d[at + 1] << 8; }

// Decodes `d` into `out`; returns "" when the file is sound, else what is wrong.
inline std::string readTga(const std::vector<uint8_t>& d, TgaFile& out)
{
    if (d.size() < 18) return "missing or shorter than a TGA header";
    out.type = d[2];
    out.width = tgaLe16(d, 12);
    out.height = tgaLe16(d, 14);
    out.bytes = d[16] / 8u;
    const uint8_t descriptor = d[17];
    auto pow2 = [](uint32_t v) { return v != 0 && (v & (v - 1)) == 0; };
    if (d[1] != 0) return "has a colour map";
    if (out.type != 2 && out.type != 10) return "image type " + std::to_string(out.type);
    if (d[16] != 24 && d[16] != 32) return std::to_string(d[16]) + " bits per pixel";
    if ((descriptor & 0x30) != 0) return "origin is not bottom-left";
    if ((descriptor & 0x0f) != (d[16] == 32 ? 8 : 0)) return "alpha bits do not match the depth";
    if (!pow2(out.width) || !pow2(out.height) || out.width > 1024 || out.height > 1024)
        return "size " + std::to_string(out.width) + "x" + std::to_string(out.height);

    const size_t rowBytes = size_t(out.width) * out.bytes, total = rowBytes * out.height;
    size_t at = 18 + d[0];
    if (out.type == 2) {
        if (d.size() != at + total) return "file size does not match the header";
        out.pixels.assign(d.begin() + at, d.end());
        return "";
    }
    out.pixels.clear();
    out.pixels.reserve(total);
    while (out.pixels.size() < total) {
        if (at >= d.size()) return "RLE data ends early";
        const uint8_t packet = d[at++];
        const size_t count = (packet & 0x7f) + 1u;
        const size_t payload = (packet & 0x80) ? out.bytes : count * out.bytes;
        if (at + payload > d.size() || out.pixels.size() + count * out.bytes > total)
            return "RLE packet runs past the data or the image";
        if (out.pixels.size() / rowBytes != (out.pixels.size() + count * out.bytes - 1) / rowBytes)
            out.packetCrossesRow = true;
        if (packet & 0x80)
            for (size_t k = 0; k < count; ++k)
                out.pixels.insert(out.pixels.end(), d.begin() + at, d.begin() + at + out.bytes);
        else
            out.pixels.insert(out.pixels.end(), d.begin() + at, d.begin() + at + payload);
        at += payload;
    }
    if (at != d.size()) return "bytes after the RLE data";
    return "";
}
