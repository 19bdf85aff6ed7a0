// artsheet: draws every picture of the game into PNG files so they can be
// looked at.
//
//   artsheet OUTDIR          each picture alone at 4x (OUTDIR/<name>.png),
//                            the contact sheet (OUTDIR/sheet.png) and every
//                            visit of a creature in the sea as the game shows
//                            it, at 1:1 and 3x (OUTDIR/sea_<creature>_<tick>.png)
//   artsheet --sheet FILE    only the contact sheet, e.g. docs/pictures.png
//
// Key-coloured pixels are shown over a mid-sea colour, so transparency reads.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/creatures.h"
#include "core/lane.h"
#include "devkit/png_writer.h"
#include "screen/bitmaps.h"

namespace {

constexpr uint32_t kMidSea = 0x2E2482;   // the water halfway down
constexpr uint32_t kSheetBg = 0x202024;  // between the pictures
constexpr uint32_t kLabel = 0xC8C8D0;

struct Image {
    int w, h;
    std::vector<uint32_t> px;
    Image(int w_, int h_, uint32_t fill) : w(w_), h(h_), px(static_cast<size_t>(w_) * h_, fill) {}
    void set(int x, int y, uint32_t c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[static_cast<size_t>(y) * w + x] = c;
    }
};

// Blits picture p scaled by s at (x, y); key pixels become `under` (or are
// skipped when under is ~0u).
void blit(Image& img, const Bitmap& pic, bool keyed, int x, int y, int s, uint32_t under) {
    const uint32_t key = pic.key();
    for (int py = 0; py < pic.h; ++py)
        for (int px = 0; px < pic.w; ++px) {
            uint32_t c = pic.at(px, py);
            if (keyed && c == key) {
                if (under == ~0u) continue;
                c = under;
            }
            for (int dy = 0; dy < s; ++dy)
                for (int dx = 0; dx < s; ++dx) img.set(x + px * s + dx, y + py * s + dy, c);
        }
}

// A 3 x 5 font for the captions of the contact sheet.
const char* glyph(char c) {
    static const char* const letters[26] = {
        "010101111101101", "110101110101110", "011100100100011", "110101101101110", "111100110100111",
        "111100110100100", "011100101101011", "101101111101101", "111010010010111", "001001001101010",
        "101101110101101", "100100100100111", "101111111101101", "110101101101101", "010101101101010",
        "110101110100100", "010101101110011", "110101110101101", "011100010001110", "111010010010010",
        "101101101101111", "101101101101010", "101101111111101", "101101010101101", "101101010010010",
        "111001010100111"};
    static const char* const digits[10] = {
        "111101101101111", "010110010010111", "110001010100111", "110001010001110", "101101111001001",
        "111100110001110", "011100111101111", "111001010010010", "111101111101111", "111101111001110"};
    if (c >= 'a' && c <= 'z') return letters[c - 'a'];
    if (c >= 'A' && c <= 'Z') return letters[c - 'A'];
    if (c >= '0' && c <= '9') return digits[c - '0'];
    if (c == 'x') return letters['x' - 'a'];
    return "000000000000000";
}

void caption(Image& img, int x, int y, const std::string& s) {
    for (char c : s) {
        const char* g = glyph(c);
        for (int r = 0; r < 5; ++r)
            for (int k = 0; k < 3; ++k)
                if (g[r * 3 + k] == '1') img.set(x + k, y + r, kLabel);
        x += 4;
    }
}

// The sea as the game shows it: `back` stretched to 194 x 3200, its top at
// -tick after `tick` dive ticks; black below its bottom edge.
Image seaAt(int tick) {
    const Bitmap& back = bitmap(Picture::sea);
    Image img(194, 215, kBlack);
    for (int y = 0; y < 215; ++y) {
        const int row = y + tick;
        if (row < 0 || row >= 3200) continue;
        for (int x = 0; x < 194; ++x) img.set(x, y, back.at(x * back.w / 194, row * back.h / 3200));
    }
    return img;
}

Image scaled(const Image& src, int s) {
    Image out(src.w * s, src.h * s, 0);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) out.px[static_cast<size_t>(y) * out.w + x] = src.px[static_cast<size_t>(y / s) * src.w + x / s];
    return out;
}

bool save(const std::string& path, const Image& img) {
    if (!writePng(path, img.px.data(), img.w, img.h, img.w)) {
        std::fprintf(stderr, "artsheet: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

Image contactSheet() {
    constexpr int kWidth = 1240, kGap = 12, kScale = 2;
    const Bitmap& back = bitmap(Picture::sea);
    // The sea strip stands at the left at its own size; the rest flows
    // beside it at 2x, row by row.
    struct Placed {
        Picture p;
        int x, y, s;
    };
    std::vector<Placed> placed;
    placed.push_back({Picture::sea, kGap, kGap + 8, 1});
    int x = kGap * 2 + back.w, y = kGap, rowH = 0, bottom = kGap + 8 + back.h;
    for (int i = 0; i < static_cast<int>(Picture::Count); ++i) {
        const Picture p = static_cast<Picture>(i);
        if (p == Picture::sea) continue;
        const Bitmap& pic = bitmap(p);
        const int s = (pic.w < 20 ? 4 : kScale);
        const int w = std::max(pic.w * s, 4 * static_cast<int>(std::strlen(pictureName(p)) + 8));
        if (x + w > kWidth - kGap) {
            x = kGap * 2 + back.w;
            y += rowH + kGap;
            rowH = 0;
        }
        placed.push_back({p, x, y + 8, s});
        x += w + kGap;
        rowH = std::max(rowH, pic.h * s + 8);
        bottom = std::max(bottom, y + rowH);
    }
    Image img(kWidth, bottom + kGap, kSheetBg);
    for (const Placed& q : placed) {
        const Bitmap& pic = bitmap(q.p);
        blit(img, pic, pictureIsKeyed(q.p), q.x, q.y, q.s, kMidSea);
        caption(img, q.x, q.y - 7,
                std::string(pictureName(q.p)) + " " + std::to_string(pic.w) + "x" + std::to_string(pic.h));
    }
    return img;
}

// One creature in its three lanes side by side, in the sea a little after
// it comes, with the spear of the same lane.
Image seaScene(const Creature& c, int tick) {
    constexpr Picture kSpears[] = {Picture::spearWhite, Picture::spearCyan, Picture::spearRed};
    static_assert(std::size(kSpears) == std::size(kLanes));
    Image out(3 * 194 + 2 * 4, 215, kSheetBg);
    for (size_t lane = 0; lane < std::size(kLanes); ++lane) {
        Image sea = seaAt(tick);
        blit(sea, bitmap(creaturePicture(c.kind, kLanes[lane])), true, c.left, c.top, 1, ~0u);
        blit(sea, bitmap(kSpears[lane]), true, 130, 182, 1, ~0u);
        blit(sea, bitmap(Picture::ring), true, 155, 186, 1, ~0u);
        blit(sea, bitmap(Picture::bubble), true, 40, 150, 1, ~0u);
        for (int y = 0; y < 215; ++y)
            for (int x = 0; x < 194; ++x)
                out.set(static_cast<int>(lane) * 198 + x, y, sea.px[static_cast<size_t>(y) * 194 + x]);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--sheet") == 0) return save(argv[2], contactSheet()) ? 0 : 1;
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: artsheet OUTDIR | artsheet --sheet FILE.png\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    for (int i = 0; i < static_cast<int>(Picture::Count); ++i) {
        const Picture p = static_cast<Picture>(i);
        const Bitmap& pic = bitmap(p);
        Image img(pic.w * 4, pic.h * 4, 0);
        blit(img, pic, pictureIsKeyed(p), 0, 0, 4, kMidSea);
        ok &= save(dir + "/" + pictureName(p) + ".png", img);
    }
    ok &= save(dir + "/sheet.png", contactSheet());
    // Each visit of each creature, 60 ticks after it comes.
    for (const Creature& c : kCreatures)
        for (const Cue& cue : c.cues) {
            if (cue.what != CueKind::Spawn) continue;
            const std::string name = std::string(c.base) + "_" + std::to_string(cue.tick);
            const Image scene = seaScene(c, cue.tick + 60);
            ok &= save(dir + "/sea_" + name + ".png", scene);
            ok &= save(dir + "/sea_" + name + "_3x.png", scaled(scene, 3));
        }
    // The whole dive's sea, a frame every 200 ticks, at 1:1.
    Image strip(11 * 198, 215, kSheetBg);
    for (int k = 0; k <= 10; ++k) {
        const Image sea = seaAt(k * 300);
        for (int y = 0; y < 215; ++y)
            for (int x = 0; x < 194; ++x) strip.set(k * 198 + x, y, sea.px[static_cast<size_t>(y) * 194 + x]);
    }
    ok &= save(dir + "/sea_dive.png", strip);
    return ok ? 0 : 1;
}
