#include "rgba_png.h"

#include <zlib.h>

#include <cstdio>
#include <memory>

#include "screen/png_writer.h"

namespace {

void put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<uint8_t>(x >> s));
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(out.data() + start, out.size() - start));
}

}  // namespace

bool writeRgbaPng(const std::string& path, const RgbaImage& img) {
    // Scanlines with filter byte 0, then R, G, B, A per pixel.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(img.h) * (1 + 4 * static_cast<size_t>(img.w)));
    for (int y = 0; y < img.h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < img.w; ++x) {
            const uint32_t p = img.px[static_cast<size_t>(y) * img.w + x];
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
            raw.push_back(static_cast<uint8_t>(p >> 24));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return false;
    packed.resize(packedSize);

    std::vector<uint8_t> ihdr;
    put32(ihdr, static_cast<uint32_t>(img.w));
    put32(ihdr, static_cast<uint32_t>(img.h));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter set, no interlace

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    chunk(file, "IHDR", ihdr);
    chunk(file, "IDAT", packed);
    chunk(file, "IEND", {});

    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!f) return false;
    return std::fwrite(file.data(), 1, file.size(), f.get()) == file.size() && std::fflush(f.get()) == 0;
}
