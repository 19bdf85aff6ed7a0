#include "devkit/png_writer.h"

#include <cstddef>
#include <cstdio>
#include <vector>

#include <zlib.h>

namespace {

void put32(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x >> 24));
    v.push_back(static_cast<uint8_t>(x >> 16));
    v.push_back(static_cast<uint8_t>(x >> 8));
    v.push_back(static_cast<uint8_t>(x));
}

// One chunk: length, type, data, CRC over type and data.
void chunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    put32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

// Scanlines (filter byte 0, then the samples), zlib-packed, in the three
// chunks every PNG needs. colourType 2 is RGB, 6 is RGBA.
std::vector<uint8_t> encode(const uint32_t* px, int w, int h, int pitch, bool alpha) {
    const size_t channels = alpha ? 4 : 3;
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(h) * (1 + channels * static_cast<size_t>(w)));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        const uint32_t* row = px + static_cast<size_t>(y) * pitch;
        for (int x = 0; x < w; ++x) {
            raw.push_back(static_cast<uint8_t>(row[x] >> 16));
            raw.push_back(static_cast<uint8_t>(row[x] >> 8));
            raw.push_back(static_cast<uint8_t>(row[x]));
            if (alpha) raw.push_back(static_cast<uint8_t>(row[x] >> 24));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return {};
    packed.resize(packedSize);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    put32(ihdr, static_cast<uint32_t>(w));
    put32(ihdr, static_cast<uint32_t>(h));
    // 8 bits a sample, RGB or RGBA, deflate, adaptive filtering, no interlace.
    ihdr.insert(ihdr.end(), {8, static_cast<uint8_t>(alpha ? 6 : 2), 0, 0, 0});
    chunk(out, "IHDR", ihdr);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}

bool save(const std::string& path, const std::vector<uint8_t>& data) {
    if (data.empty()) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

bool writePng(const std::string& path, const uint32_t* px, int w, int h, int pitch) {
    return save(path, encode(px, w, h, pitch, false));
}

bool writeRgbaPng(const std::string& path, const uint32_t* px, int w, int h, int pitch) {
    return save(path, encode(px, w, h, pitch, true));
}

std::vector<uint8_t> rgbaPngBytes(const uint32_t* px, int w, int h, int pitch) { return encode(px, w, h, pitch, true); }
