// A theme's render with its sound turned to noise: every page after the
// headers' (those with a granule position of 0) keeps its place, size and
// segments, its body becomes pseudo-random bytes and its checksum is taken
// again. The pages are well formed and the comments, hashes and all, are
// the render's own; only the sound is not.
#pragma once
#include <cstdint>
#include <string>

inline std::string noiseInOggPages(std::string ogg) {
    auto crc = [](const std::string& page) {
        uint32_t c = 0;
        for (size_t i = 0; i < page.size(); ++i) {
            c ^= uint32_t(uint8_t(i >= 22 && i < 26 ? 0 : page[i])) << 24;
            for (int k = 0; k < 8; ++k) c = c & 0x80000000u ? (c << 1) ^ 0x04C11DB7u : c << 1;
        }
        return c;
    };
    uint32_t noise = 12345;
    for (size_t at = 0; at + 27 <= ogg.size();) {
        const size_t segments = uint8_t(ogg[at + 26]);
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += uint8_t(ogg[at + 27 + i]);
        const size_t size = 27 + segments + body;
        bool header = true;
        for (int i = 0; i < 8; ++i) header = header && ogg[at + 6 + i] == 0;
        if (!header) {
            for (size_t i = at + 27 + segments; i < at + size; ++i) {
                noise = noise * 1664525u + 1013904223u;
                ogg[i] = char(noise >> 24);
            }
            const uint32_t c = crc(ogg.substr(at, size));
            for (int i = 0; i < 4; ++i) ogg[at + 22 + i] = char(c >> (8 * i));
        }
        at += size;
    }
    return ogg;
}
