// snapshot: writes PNGs of named screen states, composed headless with the
// game's own font (its glyph table), at 1:1 and enlarged.
//
//   snapshot [-o DIR] [-z ZOOM] [STATE...]
//   snapshot --list
//   snapshot --sizes
//
// With no STATE, every state is written. Files: DIR/STATE.png and
// DIR/STATE-xZOOM.png. --sizes prints the box every text of the game gets.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/texts.h"
#include "devkit/png_writer.h"
#include "screen/compositor.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"
#include "states.h"

namespace {

struct Image {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    Image(int w_, int h_, uint32_t fill) : w(w_), h(h_), px(static_cast<size_t>(w_) * h_, fill) {}
    uint32_t* at(int x, int y) { return px.data() + static_cast<size_t>(y) * w + x; }
};

constexpr int kGap = 2;
constexpr uint32_t kGapColour = 0x808080;

// Panels of kClientW x kClientH in a grid, kGap apart.
Image sheet(int panels, int columns) {
    const int rows = (panels + columns - 1) / columns;
    return Image(columns * kClientW + (columns - 1) * kGap, rows * kClientH + (rows - 1) * kGap, kGapColour);
}
uint32_t* panelAt(Image& img, int i, int columns) {
    return img.at((i % columns) * (kClientW + kGap), (i / columns) * (kClientH + kGap));
}

Image zoomed(const Image& src, int z) {
    Image out(src.w * z, src.h * z, 0);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) out.px[static_cast<size_t>(y) * out.w + x] = src.px[static_cast<size_t>(y / z) * src.w + x / z];
    return out;
}

bool save(const Image& img, const std::string& dir, const std::string& name, int zoom) {
    const std::string one = dir + "/" + name + ".png";
    bool ok = writePng(one, img.px.data(), img.w, img.h, img.w);
    std::printf("%s\n", one.c_str());
    if (zoom > 1) {
        const Image big = zoomed(img, zoom);
        const std::string z = dir + "/" + name + "-x" + std::to_string(zoom) + ".png";
        ok = writePng(z, big.px.data(), big.w, big.h, big.w) && ok;
        std::printf("%s\n", z.c_str());
    }
    if (!ok) std::fprintf(stderr, "snapshot: cannot write into %s\n", dir.c_str());
    return ok;
}

Image drawState(const SnapshotState& st, TextRaster& font) {
    Image img = sheet(st.variants, st.columns);
    for (int v = 0; v < st.variants; ++v) {
        Playfield s(font);
        st.build(s, v);
        compose(s, font, panelAt(img, v, st.columns), img.w);
    }
    return img;
}

int usage() {
    std::fprintf(stderr,
                 "usage: snapshot [-o DIR] [-z ZOOM] [STATE...]\n"
                 "       snapshot --list\n"
                 "       snapshot --sizes\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = "snapshots";
    int zoom = 4;
    bool list = false, sizes = false;
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "-o" || a == "-z") && i + 1 >= argc) return usage();
        if (a == "-o") {
            dir = argv[++i];
        } else if (a == "-z") {
            zoom = std::atoi(argv[++i]);
            if (zoom < 1 || zoom > 16) return usage();
        } else if (a == "--list") {
            list = true;
        } else if (a == "--sizes") {
            sizes = true;
        } else if (!a.empty() && a[0] == '-') {
            return usage();
        } else {
            names.push_back(a);
        }
    }

    if (list) {
        for (const SnapshotState& st : snapshotStates()) std::printf("%-10s %s\n", st.name, st.what);
        return 0;
    }

    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    GlyphFont font(kBakedGlyphs);
    if (sizes) {
        std::vector<std::string> texts = everyGameText();
        for (const char* value : {"9", "80", "200", "2900", "10200"}) texts.emplace_back(value);
        for (const std::string& t : texts) {
            const auto [w, h] = font.measure(t);
            const TextMask m = font.raster(t);
            int x0 = m.w, x1 = -1, y0 = m.h, y1 = -1;
            for (int y = 0; y < m.h; ++y)
                for (int x = 0; x < m.w; ++x)
                    if (m.cov[y * m.w + x]) {
                        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
                    }
            std::printf("%-14s box %2d x %2d   mask %2d x %2d   ink x %d..%d y %d..%d\n", t.c_str(), w, h, m.w, m.h,
                        x0, x1, y0, y1);
        }
        return 0;
    }
    std::vector<const SnapshotState*> chosen;
    for (const SnapshotState& st : snapshotStates())
        if (names.empty()) chosen.push_back(&st);
    for (const std::string& n : names) {
        const SnapshotState* hit = nullptr;
        for (const SnapshotState& st : snapshotStates())
            if (n == st.name) hit = &st;
        if (!hit) {
            std::fprintf(stderr, "snapshot: no state \"%s\" (try --list)\n", n.c_str());
            return 2;
        }
        chosen.push_back(hit);
    }
    bool ok = true;
    for (const SnapshotState* st : chosen) ok = save(drawState(*st, font), dir, st->name, zoom) && ok;
    return ok ? 0 : 1;
}
