// snapshot: writes PNGs of named screen states, composed headless with the
// game's own font, at 1:1 and enlarged.
//
//   snapshot [-o DIR] [-z ZOOM] [--style STYLE] [STATE...]
//   snapshot --list
//   snapshot --font-sheet [-o DIR] [-z ZOOM]
//   snapshot --sizes [--style STYLE]
//
// With no STATE, every state is written. Files: DIR/STATE.png and
// DIR/STATE-xZOOM.png. The font sheet puts the game's texts, in every
// rendering style, over black and over the sea, to choose a style by eye.
// --sizes prints the box every text of the game gets in the chosen face.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "screen/compositor.h"
#include "devkit/png_writer.h"
#include "ttf_font/sdl_font.h"
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

Image drawState(const SnapshotState& st, SdlFont& font) {
    Image img = sheet(st.variants, st.columns);
    for (int v = 0; v < st.variants; ++v) {
        Playfield s(font);
        st.build(s, v);
        compose(s, font, panelAt(img, v, st.columns), img.w);
    }
    return img;
}

// A label as the game draws one: red shadow copy one pixel right of and
// below the front copy.
void labelPair(SdlFont& font, uint32_t* out, int pitch, const std::string& text, int left, int top,
               uint32_t front) {
    ItemState it{};
    it.draw = Draw::Text;
    it.visible = true;
    it.text = text;
    it.left = left + 1;
    it.top = top + 1;
    it.color = kRed;
    drawItem(it, font, out, pitch);
    it.left = left;
    it.top = top;
    it.color = front;
    drawItem(it, font, out, pitch);
}

// One panel per style: the style's name, then every text of the game over
// black, over the shallow sea and over the deep sea.
Image fontSheet(const FontFace& face) {
    const TextStyle styles[] = {TextStyle::Smooth, TextStyle::SmoothLight, TextStyle::Unhinted, TextStyle::Crisp,
                                TextStyle::Mono};
    const int n = static_cast<int>(sizeof styles / sizeof *styles);
    Image img = sheet(n, n);
    const uint32_t bands[] = {kBlack, 0x5946FB, 0x1A1450};
    const char* lines[][3] = {
        {"命：", "200", "UP !!"},
        {"酸素：", "80", "!!"},
        {"ボンベ：", "9", "潜行"},
        {"オクトパス", "クラボス", ""},
        {"グルナレイム", "大王イカ", ""},
    };
    const int columnsX[] = {3, 75, 130};
    for (int i = 0; i < n; ++i) {
        std::string err;
        auto font = SdlFont::open(face, styles[i], &err);
        if (!font) {
            std::fprintf(stderr, "snapshot: %s\n", err.c_str());
            std::exit(1);
        }
        uint32_t* out = panelAt(img, i, n);
        const int bandH = (kClientH - 14) / 3;
        for (int y = 0; y < kClientH; ++y)
            for (int x = 0; x < kClientW; ++x)
                out[static_cast<ptrdiff_t>(y) * img.w + x] = y < 14 ? kBlack : bands[std::min(2, (y - 14) / bandH)];
        labelPair(*font, out, img.w, textStyleName(styles[i]), 2, 1, kYellow);
        for (int b = 0; b < 3; ++b)
            for (int l = 0; l < 5; ++l)
                for (int c = 0; c < 3; ++c)
                    if (*lines[l][c])
                        labelPair(*font, out, img.w, lines[l][c], columnsX[c], 14 + b * bandH + 2 + l * 13,
                                  lines[l][c] == std::string("UP !!") ? kYellow : kWhite);
    }
    return img;
}

int usage() {
    std::fprintf(stderr,
                 "usage: snapshot [-o DIR] [-z ZOOM] [--style STYLE] [STATE...]\n"
                 "       snapshot --list\n"
                 "       snapshot --font-sheet [-o DIR] [-z ZOOM]\n"
                 "       snapshot --sizes [--style STYLE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = "snapshots";
    int zoom = 4;
    bool list = false, fonts = false, sizes = false;
    TextStyle style = TextStyle::Mono;
    bool styleGiven = false;
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "-o" || a == "-z" || a == "--style") && i + 1 >= argc) return usage();
        if (a == "-o") {
            dir = argv[++i];
        } else if (a == "-z") {
            zoom = std::atoi(argv[++i]);
            if (zoom < 1 || zoom > 16) return usage();
        } else if (a == "--style") {
            const std::string n = argv[++i];
            bool found = false;
            for (TextStyle t : {TextStyle::Smooth, TextStyle::SmoothLight, TextStyle::Unhinted, TextStyle::Crisp,
                                TextStyle::Mono})
                if (n == textStyleName(t)) {
                    style = t;
                    found = true;
                }
            if (!found) return usage();
            styleGiven = true;
        } else if (a == "--list") {
            list = true;
        } else if (a == "--sizes") {
            sizes = true;
        } else if (a == "--font-sheet") {
            fonts = true;
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

    const auto face = findGameFace();
    if (!face) {
        std::fprintf(stderr, "snapshot: %s\n", kNoFontMessage);
        return 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    std::fprintf(stderr, "font: %s (%s, face %d)%s\n", face->family.c_str(), face->file.c_str(), face->index,
                 face->designed ? "" : ", standing in for ＭＳ Ｐゴシック");

    if (fonts) return save(fontSheet(*face), dir, "font-sheet", zoom) ? 0 : 1;

    std::string err;
    auto font = styleGiven ? SdlFont::open(*face, style, &err) : SdlFont::open(&err);
    if (!font) {
        std::fprintf(stderr, "snapshot: %s\n", err.c_str());
        return 1;
    }
    if (sizes) {
        for (const char* t : {"命：", "酸素：", "ボンベ：", "名前", "潜行", "UP !!", "!!", "00", "9", "80", "200", "2900",
                              "10200", "オクトパス", "クラボス", "グルナレイム", "大王イカ"}) {
            const auto [w, h] = font->measure(t);
            const TextMask m = font->raster(t);
            int x0 = m.w, x1 = -1, y0 = m.h, y1 = -1;
            for (int y = 0; y < m.h; ++y)
                for (int x = 0; x < m.w; ++x)
                    if (m.cov[y * m.w + x]) {
                        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
                    }
            std::printf("%-14s box %2d x %2d   mask %2d x %2d   ink x %d..%d y %d..%d\n", t, w, h, m.w, m.h, x0, x1,
                        y0, y1);
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
    for (const SnapshotState* st : chosen) ok = save(drawState(*st, *font), dir, st->name, zoom) && ok;
    return ok ? 0 : 1;
}
