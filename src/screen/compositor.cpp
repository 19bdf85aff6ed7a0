#include "screen/compositor.h"

#include <algorithm>
#include <cstring>

#include "screen/bitmaps.h"

namespace {

// The part of a box that lies in the client area, in client pixels,
// half-open: columns x0..x1-1, rows y0..y1-1. Empty if it misses the area.
struct Span {
    int x0, y0, x1, y1;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

Span clip(int left, int top, int w, int h) {
    // 64-bit sums: a box may stand far outside the area.
    const long long r = static_cast<long long>(left) + w, b = static_cast<long long>(top) + h;
    return {std::max(left, 0), std::max(top, 0), static_cast<int>(std::min<long long>(r, kClientW)),
            static_cast<int>(std::min<long long>(b, kClientH))};
}

uint32_t* rowAt(uint32_t* out, int pitch, int y) { return out + static_cast<ptrdiff_t>(y) * pitch; }
const uint32_t* picRow(const Bitmap& p, int y) { return p.px.data() + static_cast<size_t>(y) * p.w; }

void drawOpaque(const Bitmap& p, int left, int top, uint32_t* out, int pitch) {
    const Span s = clip(left, top, p.w, p.h);
    if (s.empty()) return;
    const size_t bytes = static_cast<size_t>(s.x1 - s.x0) * sizeof(uint32_t);
    for (int y = s.y0; y < s.y1; ++y)
        std::memcpy(rowAt(out, pitch, y) + s.x0, picRow(p, y - top) + (s.x0 - left), bytes);
}

// Every pixel but those of the key colour, the picture's bottom-left pixel.
void drawKeyed(const Bitmap& p, int left, int top, uint32_t* out, int pitch) {
    const Span s = clip(left, top, p.w, p.h);
    if (s.empty()) return;
    const uint32_t key = p.key();
    const int n = s.x1 - s.x0;
    for (int y = s.y0; y < s.y1; ++y) {
        const uint32_t* src = picRow(p, y - top) + (s.x0 - left);
        uint32_t* dst = rowAt(out, pitch, y) + s.x0;
        // Written as a select rather than a skipped store so it vectorises.
        for (int i = 0; i < n; ++i) dst[i] = src[i] != key ? src[i] : dst[i];
    }
}

// Scaled to the w x h box by nearest neighbour: box pixel (dx, dy) takes
// picture pixel (dx * pw / w, dy * ph / h), rounded down. Only the rows and
// columns in the client area are computed, so the 3200-row sea costs no
// more than the 215 rows that show.
void drawStretched(const Bitmap& p, int left, int top, int w, int h, uint32_t* out, int pitch) {
    if (w <= 0 || h <= 0) return;
    const Span s = clip(left, top, w, h);
    if (s.empty()) return;
    int cols[kClientW];
    const int n = s.x1 - s.x0;
    for (int i = 0; i < n; ++i)
        cols[i] = static_cast<int>(static_cast<long long>(s.x0 + i - left) * p.w / w);
    int lastSy = -1;
    const uint32_t* lastRow = nullptr;
    for (int y = s.y0; y < s.y1; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y - top) * p.h / h);
        uint32_t* dst = rowAt(out, pitch, y) + s.x0;
        if (sy == lastSy) {
            // A repeated picture row: copy the row just drawn.
            std::memcpy(dst, lastRow, static_cast<size_t>(n) * sizeof(uint32_t));
            continue;
        }
        const uint32_t* src = picRow(p, sy);
        for (int i = 0; i < n; ++i) dst[i] = src[cols[i]];
        lastSy = sy;
        lastRow = dst;
    }
}

// The label's text in its colour, no background; partial coverage from an
// anti-aliased face blends with what is already there.
void drawText(const ItemState& it, TextRaster& font, uint32_t* out, int pitch) {
    if (it.text.empty()) return;
    const TextMask m = font.raster(it.text);
    if (!m.cov || m.w <= 0 || m.h <= 0) return;
    const Span s = clip(it.left, it.top, m.w, m.h);
    if (s.empty()) return;
    const uint32_t c = it.color & 0xFFFFFF;
    const uint32_t cr = c >> 16, cg = (c >> 8) & 0xFF, cb = c & 0xFF;
    for (int y = s.y0; y < s.y1; ++y) {
        const uint8_t* cov = m.cov + static_cast<size_t>(y - it.top) * m.w + (s.x0 - it.left);
        uint32_t* dst = rowAt(out, pitch, y) + s.x0;
        for (int i = 0, n = s.x1 - s.x0; i < n; ++i) {
            const uint32_t a = cov[i];
            if (a == 0) continue;
            if (a == 255) {
                dst[i] = c;
                continue;
            }
            const uint32_t d = dst[i], na = 255 - a;
            const uint32_t r = (cr * a + ((d >> 16) & 0xFF) * na + 127) / 255;
            const uint32_t g = (cg * a + ((d >> 8) & 0xFF) * na + 127) / 255;
            const uint32_t b = (cb * a + (d & 0xFF) * na + 127) / 255;
            dst[i] = (r << 16) | (g << 8) | b;
        }
    }
}

}  // namespace

void drawBitmap(const Bitmap& p, Draw mode, int left, int top, int w, int h, uint32_t* out, int pitch) {
    if (p.w <= 0 || p.h <= 0 || p.px.size() < static_cast<size_t>(p.w) * p.h) return;
    switch (mode) {
        case Draw::Opaque: drawOpaque(p, left, top, out, pitch); break;
        case Draw::Stretched: drawStretched(p, left, top, w, h, out, pitch); break;
        case Draw::Keyed: drawKeyed(p, left, top, out, pitch); break;
        case Draw::Text: break;
    }
}

void drawItem(const ItemState& it, TextRaster& font, uint32_t* out, int pitch) {
    if (!it.visible) return;
    if (it.draw == Draw::Text) {
        drawText(it, font, out, pitch);
        return;
    }
    if (it.picture == Picture::None) return;
    drawBitmap(bitmap(it.picture), it.draw, it.left, it.top, it.width, it.height, out, pitch);
}

void compose(const Playfield& s, TextRaster& font, uint32_t* out, int pitch) {
    for (int y = 0; y < kClientH; ++y) std::fill_n(rowAt(out, pitch, y), kClientW, kBlack);
    for (const ItemState& it : s.items()) drawItem(it, font, out, pitch);
}
