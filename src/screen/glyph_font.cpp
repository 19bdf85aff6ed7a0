#include "screen/glyph_font.h"

#include <algorithm>

char32_t nextCodePoint(const std::string& utf8, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(utf8[k]); };
    const unsigned char c = byte(i);
    int len = 0;
    char32_t code = 0;
    if (c < 0x80) {
        ++i;
        return c;
    } else if (c >= 0xC2 && c < 0xE0) {
        len = 2, code = c & 0x1F;
    } else if (c >= 0xE0 && c < 0xF0) {
        len = 3, code = c & 0x0F;
    } else if (c >= 0xF0 && c < 0xF5) {
        len = 4, code = c & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + len > utf8.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    i += static_cast<size_t>(len);
    return code;
}

const Glyph& GlyphFont::glyph(char32_t code) const {
    const Glyph* end = table_.glyphs + table_.count;
    const Glyph* g = std::lower_bound(table_.glyphs, end, code,
                                      [](const Glyph& a, char32_t c) { return a.code < c; });
    return g != end && g->code == code ? *g : table_.missing;
}

std::pair<int, int> GlyphFont::measure(const std::string& utf8) {
    int w = 0;
    for (size_t i = 0; i < utf8.size();) w += glyph(nextCodePoint(utf8, i)).advance;
    return {w, table_.lineHeight};
}

TextMask GlyphFont::raster(const std::string& utf8) {
    int w = 0, h = table_.lineHeight;
    for (size_t i = 0; i < utf8.size();) {
        const Glyph& g = glyph(nextCodePoint(utf8, i));
        w += g.advance;
        h = std::max(h, g.top + g.h);
    }
    cov_.assign(static_cast<size_t>(w) * h, 0);
    int pen = 0;
    for (size_t i = 0; i < utf8.size();) {
        const Glyph& g = glyph(nextCodePoint(utf8, i));
        const int rowBytes = (g.w + 7) / 8;
        for (int y = 0; y < g.h; ++y) {
            const uint8_t* row = table_.bits + g.bits + static_cast<size_t>(y) * rowBytes;
            uint8_t* dst = cov_.data() + static_cast<size_t>(g.top + y) * w + pen + g.left;
            for (int x = 0; x < g.w; ++x)
                if (row[x / 8] & (0x80 >> (x % 8))) dst[x] = 255;
        }
        pen += g.advance;
    }
    return {w, h, cov_.data()};
}
