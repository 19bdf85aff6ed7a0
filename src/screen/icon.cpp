#include "screen/icon.h"

#include <algorithm>

#include "screen/bitmaps.h"

namespace {

// The game stretches its 66-pixel sea strip to the 194-pixel playfield,
// about three times; the icon shows the water at that same grain.
constexpr int kSeaScale = 2;
// Where in the strip the patch starts: the left wall with a tuft of
// seaweed on its ledge, and open water to the right.
constexpr int kSeaLeft = 0, kSeaTop = 64;
constexpr int kOctopusLeft = 16;  // right of the middle, clear of the wall
constexpr int kCorner = 9;        // radius of the rounded corners

constexpr uint32_t kOpaque = 0xFF000000u;

// True when (x, y) lies outside the rounded corners of the square.
bool cutAway(int x, int y) {
    auto beyond = [](int d) { return d < kCorner ? kCorner - d : 0; };
    const int dx = std::max(beyond(x), beyond(kIconDesign - 1 - x));
    const int dy = std::max(beyond(y), beyond(kIconDesign - 1 - y));
    // Measured from pixel centres so the curve is symmetric.
    const double fx = dx > 0 ? dx - 0.5 : 0, fy = dy > 0 ? dy - 0.5 : 0;
    return fx * fx + fy * fy > (kCorner - 0.5) * (kCorner - 0.5);
}

struct Design {
    std::vector<uint32_t> sea;  // opaque sea, or 0 outside the corners
    std::vector<uint32_t> ink;  // the octopus's colour, or 0 where the sea shows
    std::vector<bool> inked;
};

Design draw() {
    const Bitmap& sea = bitmap(Picture::sea);
    const Bitmap& octopus = bitmap(creaturePicture(CreatureKind::Octopus, Lane::White));
    const size_t n = static_cast<size_t>(kIconDesign) * kIconDesign;
    Design d{std::vector<uint32_t>(n), std::vector<uint32_t>(n), std::vector<bool>(n)};
    for (int y = 0; y < kIconDesign; ++y)
        for (int x = 0; x < kIconDesign; ++x) {
            const int sx = std::clamp(kSeaLeft + x / kSeaScale, 0, sea.w - 1);
            const int sy = std::clamp(kSeaTop + y / kSeaScale, 0, sea.h - 1);
            d.sea[y * kIconDesign + x] = cutAway(x, y) ? 0 : kOpaque | sea.at(sx, sy);
        }
    // The octopus, its key colour letting the sea through.
    const int top = (kIconDesign - octopus.h) / 2;
    for (int y = 0; y < octopus.h; ++y)
        for (int x = 0; x < octopus.w; ++x) {
            const int dx = kOctopusLeft + x, dy = top + y;
            if (dx < 0 || dy < 0 || dx >= kIconDesign || dy >= kIconDesign) continue;
            const uint32_t c = octopus.at(x, y);
            const size_t i = static_cast<size_t>(dy) * kIconDesign + dx;
            if (c == octopus.key() || d.sea[i] == 0) continue;
            d.ink[i] = kOpaque | c;
            d.inked[i] = true;
        }
    return d;
}

}  // namespace

RgbaImage iconAt(int size) {
    static const Design design = draw();
    RgbaImage img{size, size, std::vector<uint32_t>(static_cast<size_t>(size) * size)};
    // The design pixels [lo, hi) that target pixel i covers.
    auto lo = [&](int i) { return i * kIconDesign / size; };
    auto hi = [&](int i) { return std::max(lo(i) + 1, (i + 1) * kIconDesign / size); };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Nearest neighbour: the design pixel under the target's centre.
            const int cx = std::min(kIconDesign - 1, (2 * x + 1) * kIconDesign / (2 * size));
            const int cy = std::min(kIconDesign - 1, (2 * y + 1) * kIconDesign / (2 * size));
            const size_t centre = static_cast<size_t>(cy) * kIconDesign + cx;
            uint32_t c = design.sea[centre];
            if (c != 0) {
                for (int sy = lo(y); sy < hi(y); ++sy)
                    for (int sx = lo(x); sx < hi(x); ++sx)
                        if (design.inked[static_cast<size_t>(sy) * kIconDesign + sx])
                            c = design.ink[static_cast<size_t>(sy) * kIconDesign + sx];
            }
            img.px[static_cast<size_t>(y) * size + x] = c;
        }
    return img;
}
