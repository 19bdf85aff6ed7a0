// A plain, fixed-pitch stand-in for the game's font: every ASCII character is
// 6 x 12 pixels and every other character 12 x 12, each drawn as a solid
// block. Used wherever a real font is not wanted (headless dives, tests).
#pragma once
#include <string>
#include <vector>

#include "screen/compositor.h"

class FixedFont : public TextRaster {
public:
    std::pair<int, int> measure(const std::string& s) override { return {width(s), 12}; }
    TextMask raster(const std::string& s) override {
        const int w = width(s);
        buf_.assign(static_cast<size_t>(w) * 12, 0);
        int x = 0;
        for (size_t i = 0; i < s.size();) {
            const unsigned char c = static_cast<unsigned char>(s[i]);
            const int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            const int cw = c < 0x80 ? 6 : 12;
            if (c != ' ')
                for (int y = 2; y < 11; ++y)
                    for (int dx = 1; dx < cw - 1; ++dx) buf_[static_cast<size_t>(y) * w + x + dx] = 255;
            x += cw;
            i += static_cast<size_t>(len);
        }
        return {w, 12, buf_.data()};
    }

private:
    static int width(const std::string& s) {
        int w = 0;
        for (size_t i = 0; i < s.size();) {
            const unsigned char c = static_cast<unsigned char>(s[i]);
            const int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            w += c < 0x80 ? 6 : 12;
            i += static_cast<size_t>(len);
        }
        return w;
    }
    std::vector<uint8_t> buf_;
};
