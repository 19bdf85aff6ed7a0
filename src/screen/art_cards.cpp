// The cards, the spear, the ring, the bubbles and the curtain.
#include <algorithm>

#include "screen/art_canvas.h"

namespace art {

namespace {

constexpr uint8_t kKey = 0, kPaper = 1, kInk = 2;

// Is the pixel centre inside a rounded rectangle inset `in` from a w x h box?
bool inRounded(int x, int y, int w, int h, float in, float radius) {
    const float px = x + 0.5f, py = y + 0.5f;
    const float x0 = in + radius, x1 = w - in - radius, y0 = in + radius, y1 = h - in - radius;
    const float cx = std::clamp(px, x0, x1), cy = std::clamp(py, y0, y1);
    const float dx = px - cx, dy = py - cy;
    return dx * dx + dy * dy <= radius * radius;
}

Path seg(float x0, float y0, float x1, float y1, float r0, float r1 = -1) {
    if (r1 < 0) r1 = r0;
    return bezier({x0, y0}, {x0 + (x1 - x0) / 3, y0 + (y1 - y0) / 3}, {x0 + 2 * (x1 - x0) / 3, y0 + 2 * (y1 - y0) / 3},
                  {x1, y1}, r0, r1, 12);
}

// The symbols, drawn with a fat round brush in red on the card's face.
void symbolBang(Grid& g) {
    sweep(g, seg(25, 11, 25, 30, 4.6f, 3.0f), kInk);
    fillEllipse(g, 25, 38.5f, 3.7f, 3.7f, kInk);
}

void symbolOxy(Grid& g) {
    const float top = 18, base = 32;
    fillRing(g, 11, 25, 7.2f, 3.4f, kInk);                // o
    sweep(g, seg(20, top, 30, base, 1.9f), kInk);          // x
    sweep(g, seg(30, top, 20, base, 1.9f), kInk);
    sweep(g, seg(33, top, 38.5f, base - 1, 1.9f), kInk);   // y
    sweep(g, bezier({44.5f, top}, {41, 29}, {39, 38}, {33.5f, 40}, 1.9f, 1.9f, 16), kInk);
}

void symbolB(Grid& g) {
    sweep(g, seg(17, 10, 17, 40, 2.6f), kInk);
    fillRing(g, 26.5f, 31, 10, 5, kInk);
}

void symbolWp(Grid& g) {
    const float top = 17, base = 34;
    const std::vector<Pt> w = {{5, top}, {9.5f, base}, {14.5f, top + 3}, {19.5f, base}, {24, top}};
    for (size_t i = 0; i + 1 < w.size(); ++i) sweep(g, seg(w[i].x, w[i].y, w[i + 1].x, w[i + 1].y, 2.1f), kInk);
    sweep(g, seg(30, top, 30, 42, 2.2f), kInk);
    fillRing(g, 37, 25.5f, 8.3f, 4.1f, kInk);
}

void symbolSuka(Grid& g) {
    // ス
    sweep(g, seg(6, 14, 19, 14, 2.0f), kInk);
    sweep(g, bezier({19, 14}, {18, 22}, {13, 30}, {5, 36}, 2.0f, 2.0f), kInk);
    sweep(g, seg(13.5f, 26, 21.5f, 35.5f, 2.0f), kInk);
    // カ
    sweep(g, seg(27.5f, 18, 43, 18, 2.0f), kInk);
    sweep(g, bezier({43, 18}, {43, 27}, {42.5f, 33}, {40, 36}, 2.0f, 2.0f), kInk);
    sweep(g, seg(40, 36, 37.5f, 33.5f, 2.0f), kInk);
    sweep(g, bezier({35, 11}, {35, 22}, {33, 31}, {27, 37}, 2.0f, 2.0f), kInk);
}

}  // namespace

// Each face's symbol, in the order of the faces.
constexpr std::array<CardSymbol, kCardFaceCount> kCardSymbolRows = {{
    {CardFace::FaceDown, symbolBang},
    {CardFace::Oxygen, symbolOxy},
    {CardFace::Tanks, symbolB},
    {CardFace::Weapon, symbolWp},
    {CardFace::Blank, symbolSuka},
}};
static_assert(rowsInKeyOrder(kCardSymbolRows, &CardSymbol::face));
const std::array<CardSymbol, kCardFaceCount> kCardSymbols = kCardSymbolRows;

Bitmap makeCard(CardFace face) {
    constexpr int w = kCardW, h = kCardH;
    constexpr float radius = 6;
    Grid g(w, h, kKey);
    Grid border(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (inRounded(x, y, w, h, 0, radius)) g.at(x, y) = kPaper;
            if (inRounded(x, y, w, h, 1, radius - 1)) border.at(x, y) = 1;
        }
    const Grid edge = ring(border, 1);
    for (size_t i = 0; i < g.v.size(); ++i)
        if (edge.v[i]) g.v[i] = kInk;
    kCardSymbols[static_cast<size_t>(face)].draw(g);
    return paint(g, {kKeyBlue, kWhite, kRed});
}

// A trident inside its frame: the shaft from the lower left, a crossbar,
// three barbed prongs pointing up and right, the middle one longest.
Grid drawSpear() {
    return gridRows({".......................",
                     ".#####################.",
                     ".#...................#.",
                     ".#.........###...###.#.",
                     ".#..........#.....##.#.",
                     ".#.........#.....#.#.#.",
                     ".#........#.....#....#.",
                     ".#.......#.....#.....#.",
                     ".#........#...#......#.",
                     ".#.........#.#.....#.#.",
                     ".#..........#.....##.#.",
                     ".#........##.#...#.#.#.",
                     ".#.......##...#.#....#.",
                     ".#......##.....#.....#.",
                     ".#.....##............#.",
                     ".#....##.............#.",
                     ".#...##..............#.",
                     ".#..##...............#.",
                     ".#.##................#.",
                     ".#.#.................#.",
                     ".#...................#.",
                     ".#####################.",
                     "......................."},
                    ".#");
}

// A finger ring seen a little from above: a white band in outline, the
// band's inner face showing red at the top of the hole and its outer face
// red below the band.
Bitmap makeRing() {
    return fromRows({"...................",
                     "...................",
                     "...................",
                     "......WWWW.........",
                     "....WW....WW.......",
                     "....W.WWWW.W.......",
                     "...W.WRRRRW.W......",
                     "...W.W....W.W......",
                     "...W.W....W.W......",
                     "...W.W....W.W......",
                     "....W.WWWW.W.......",
                     "...RWW....WWR......",
                     "....RRWWWWRR.......",
                     "......RRRR.........",
                     "...................",
                     "...................",
                     "...................",
                     "...................",
                     "..................."},
                    {{'.', kKeyBlue}, {'W', kWhite}, {'R', kRed}});
}

Bitmap makeBubble() {
    return fromRows({".oo.",
                     "o..o",
                     "o..o",
                     ".oo."},
                    {{'.', kKeyBlue}, {'o', kWhite}});
}

Bitmap makeCurtain() {
    Bitmap p;
    p.w = p.h = 6;
    p.px.assign(36, kBlack);
    return p;
}

}  // namespace art
