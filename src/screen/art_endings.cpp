// The pictures of the end of a dive: GAME OVER, and for a cleared dive the
// grilled squid with its two messages, all on black.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include "screen/art_canvas.h"

namespace art {

namespace {

constexpr uint8_t kInkBlack = 0, kInkWhite = 1, kInkRed = 2, kInkYellow = 3;

// ---- Hand lettering: each glyph as pen strokes in a 10 x 10 box ----

const std::map<std::string, Glyph>& glyphs() {
    static const std::map<std::string, Glyph> g = {
        {"世", {{{0.5f, 4}, {9.5f, 4}},
                {{2.5f, 1}, {2.5f, 9}, {9.5f, 9}},
                {{5, 0.5f}, {5, 6.5f}, {7.6f, 6.5f}},
                {{7.6f, 0.5f}, {7.6f, 6.5f}}}},
        {"界", {{{2, 0.5f}, {2, 5}},
                {{2, 0.5f}, {8, 0.5f}, {8, 5}},
                {{2, 2.8f}, {8, 2.8f}},
                {{5, 0.5f}, {5, 5}},
                {{2, 5}, {8, 5}},
                {{5, 5.5f}, {2.5f, 7.2f}, {0.5f, 8.2f}},
                {{5, 5.5f}, {7.5f, 7.2f}, {9.5f, 8.2f}},
                {{3.8f, 7.2f}, {3.6f, 9}, {2.4f, 10}},
                {{6.3f, 7.2f}, {6.3f, 10}}}},
        {"一", {{{0.8f, 5}, {5, 4.7f}, {9.2f, 4.9f}}}},
        {"で", {{{1.2f, 2.2f}, {5, 1.8f}, {8.6f, 1.2f}},
                {{6.8f, 1.7f}, {4.2f, 3.7f}, {3, 6.2f}, {3.6f, 8.6f}, {5.6f, 9.6f}, {7.6f, 9.5f}},
                {{8.2f, 3.6f}, {8.7f, 4.8f}},
                {{9.6f, 3.1f}, {10.1f, 4.3f}}}},
        {"か", {{{0.8f, 3.8f}, {4.5f, 3.2f}, {6.9f, 3.4f}, {7.2f, 6}, {6.6f, 8.8f}, {5.3f, 8.2f}},
                {{4.2f, 0.8f}, {3.6f, 5.2f}, {1.6f, 9.6f}},
                {{8.6f, 3.8f}, {9.7f, 6.6f}}}},
        {"い", {{{1.8f, 2}, {1.6f, 6}, {2.6f, 8.8f}, {3.9f, 7.6f}},
                {{7.2f, 3}, {8.6f, 5}, {9.2f, 7.4f}}}},
        {"イ", {{{8, 0.6f}, {5.2f, 3.8f}, {1.2f, 6.4f}},
                {{5.3f, 4.2f}, {5.3f, 10}}}},
        {"カ", {{{1.2f, 3}, {8.6f, 3}, {8.4f, 7.5f}, {7.4f, 9.6f}, {6, 8.8f}},
                {{4.8f, 0.4f}, {4.6f, 5}, {3.4f, 8}, {1.2f, 9.9f}}}},
        {"焼", {{{0.9f, 2.6f}, {1.4f, 4.6f}},
                {{3.6f, 2.2f}, {3, 4.2f}},
                {{2.3f, 0.4f}, {2.3f, 5.8f}, {1.2f, 8.4f}, {0.2f, 9.8f}},
                {{2.5f, 6.3f}, {3.9f, 8.6f}},
                {{5.2f, 1.8f}, {9.4f, 1.6f}},
                {{7.3f, 0.2f}, {7.3f, 3.6f}},
                {{4.9f, 3.7f}, {9.8f, 3.5f}},
                {{4.6f, 5.9f}, {10, 5.7f}},
                {{6.5f, 5.9f}, {6.2f, 8.2f}, {4.6f, 10}},
                {{8.2f, 5.9f}, {8.2f, 9.2f}, {10, 9.4f}}}},
        {"き", {{{2, 2.4f}, {7.6f, 1.8f}},
                {{1.4f, 4.6f}, {8.2f, 4}},
                {{3.8f, 0.2f}, {6.8f, 6.2f}, {3.4f, 7.3f}},
                {{3.2f, 8.1f}, {5, 9.6f}, {8.2f, 9.6f}}}},
        {"だ", {{{0.6f, 2.8f}, {5.4f, 2.4f}},
                {{3.3f, 0.3f}, {2, 5.6f}, {0.8f, 9.6f}},
                {{5, 5.1f}, {8.2f, 4.8f}},
                {{5.2f, 6.8f}, {5.2f, 9}, {8.8f, 9.4f}},
                {{8.3f, 0.7f}, {8.8f, 2.2f}},
                {{9.6f, 0.3f}, {10.1f, 1.8f}}}},
        {"よ", {{{4.6f, 0.5f}, {4.6f, 7.6f}, {3.4f, 9.2f}, {1.6f, 8.8f}, {1.8f, 7.3f}, {4.6f, 7.2f}, {8.6f, 9.4f}},
                {{4.6f, 3.8f}, {7.8f, 3.6f}}}},
        {"!", {{{5, 0.4f}, {5, 6.4f}},
               {{5, 9.2f}, {5, 9.5f}}}},
        {"ウ", {{{5, 0}, {5, 1.8f}},
                {{1.4f, 2.2f}, {1.4f, 4.8f}},
                {{1.4f, 2.2f}, {8.6f, 2.2f}, {8.4f, 5.2f}, {6.6f, 8}, {3.6f, 10}}}},
        {"マ", {{{1, 2}, {8.9f, 2}, {6.6f, 5}, {4.6f, 6.9f}},
                {{3.6f, 4.8f}, {7.2f, 9.6f}}}},
    };
    return g;
}

// Writes the UTF-8 text from (x, y), advancing `advance` pixels per glyph
// (half of it for "!"), each glyph lifted by its entry in `bounce`.
void write(Grid& g, const std::string& text, float x, float y, const Lettering& how, float advance, uint32_t seed,
           std::initializer_list<float> bounce = {}) {
    const std::vector<float> lift(bounce);
    size_t i = 0, k = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        const std::string ch = text.substr(i, len);
        const bool narrow = ch == "!";
        const float dy = k < lift.size() ? lift[k] : 0;
        letter(g, glyphs().at(ch), narrow ? x - advance * 0.25f : x, y - dy, how, seed + static_cast<uint32_t>(k), kInkWhite);
        x += narrow ? advance * 0.5f : advance;
        i += len;
        ++k;
    }
}

}  // namespace

Bitmap makeBiggestMessage() {
    Grid g(121, 44, kInkBlack);
    const Lettering how{15.5f, 0.95f, 0.05f};
    write(g, "世界一でかい", 5, 2, how, 18.5f, 10, {0, 0.5f, 0, 0.5f, 0, 0.5f});
    write(g, "イカ焼きだよ!", 4, 25, how, 18, 20, {0.5f, 0, 0.5f, 0, 0.5f, 0, 0.8f});
    return paint(g, {kBlack, kWhite});
}

Bitmap makeTastyMessage() {
    Grid g(98, 32, kInkBlack);
    const Lettering how{24, 1.8f, 0.08f};
    write(g, "ウマイ!!", 2, 3.5f, how, 24, 30, {0, 1.5f, 0, 1, 0});
    return paint(g, {kBlack, kWhite});
}

// GAME OVER: bold block capitals, drawn upright and then slanted forwards
// one pixel for every three rows.
Bitmap makeGameOver() {
    static const std::map<char, std::vector<const char*>> letters = {
        {'G', {".#########", "##########", "##########", "###.......", "###.......", "###.......", "###..#####",
               "###..#####", "###....###", "###....###", "###....###", "###....###", "##########", "##########",
               ".#########"}},
        {'A', {".########.", "##########", "##########", "###....###", "###....###", "###....###", "##########",
               "##########", "##########", "###....###", "###....###", "###....###", "###....###", "###....###",
               "###....###"}},
        {'M', {"####.....####", "#####...#####", "######.######", "###.#####.###", "###..###..###", "###...#...###",
               "###.......###", "###.......###", "###.......###", "###.......###", "###.......###", "###.......###",
               "###.......###", "###.......###", "###.......###"}},
        {'E', {"#########", "#########", "#########", "###......", "###......", "###......", "########.",
               "########.", "########.", "###......", "###......", "###......", "#########", "#########",
               "#########"}},
        {'O', {".########.", "##########", "##########", "###....###", "###....###", "###....###", "###....###",
               "###....###", "###....###", "###....###", "###....###", "###....###", "##########", "##########",
               ".########."}},
        {'V', {"###....###", "###....###", "###....###", "###....###", "###....###", "###....###", "###....###",
               "###....###", ".###..###.", ".###..###.", "..######..", "..######..", "...####...", "...####...",
               "....##...."}},
        {'R', {"#########.", "##########", "##########", "###....###", "###....###", "###....###", "##########",
               "##########", "#########.", "###..###..", "###...###.", "###...###.", "###....###", "###....###",
               "###....###"}},
    };
    Grid g(103, 17, kInkBlack);
    int x = 3;
    for (char c : std::string("GAME OVER")) {
        if (c == ' ') {
            x += 5;
            continue;
        }
        const auto& rows = letters.at(c);
        const int w = static_cast<int>(std::strlen(rows[0]));
        for (int r = 0; r < 15; ++r)
            for (int k = 0; k < w; ++k)
                if (rows[static_cast<size_t>(r)][k] == '#') g.set(x + k + (14 - r) / 3, 1 + r, kInkWhite);
        x += w + 1;
    }
    return paint(g, {kBlack, kWhite});
}

// The prize of a cleared dive: the giant squid, grilled. Its white outline
// lies body up to the right, tentacles hanging down to the left, over a red
// fire with a yellow heart; at the lower right a tiny dot, an arrow and a
// scrawled "you" show the diver to scale.
Bitmap makeGrilledSquid() {
    constexpr int W = 136, H = 85;
    Grid g(W, H, kInkBlack);
    // The fire: tongues of flame along the bottom, each leaning a little
    // and curling at its tip, a yellow heart in each.
    struct Tongue {
        float x, height, width, lean;
    };
    const Tongue tongues[] = {{10, 15, 7, -3},  {22, 25, 9, 4},   {34, 19, 7, -4}, {46, 31, 10, 5},
                              {58, 22, 8, -3},  {70, 34, 10, -6}, {82, 24, 8, 4},  {93, 29, 9, -4},
                              {104, 17, 7, 3},  {28, 12, 6, 2},   {64, 14, 6, 3},  {88, 12, 6, -2}};
    Grid fire(W, H);
    for (const Tongue& t : tongues)
        for (int y = 0; y < H; ++y) {
            const float u = (H - 0.5f - y) / t.height;
            if (u < 0 || u >= 1) continue;
            const float centre = t.x + t.lean * u * u;
            const float half = t.width * std::sqrt(1 - u) * (1 - 0.25f * u);
            for (int x = 0; x < W; ++x) {
                const float d = std::fabs(x + 0.5f - centre);
                if (d < half * 0.5f && u < 0.62f) fire.at(x, y) = 2;
                else if (d < half && fire.at(x, y) == 0) fire.at(x, y) = 1;
            }
        }
    fillRect(fire, 4, H - 4, 110, H - 1, 1);
    fillRect(fire, 9, H - 2, 105, H - 1, 2);
    for (size_t i = 0; i < g.v.size(); ++i)
        if (fire.v[i]) g.v[i] = fire.v[i] == 2 ? kInkYellow : kInkRed;
    // Sparks flying up from it.
    for (Pt q : {Pt{30, 52}, Pt{55, 46}, Pt{66, 44}, Pt{90, 50}, Pt{100, 60}, Pt{18, 62}})
        g.set(static_cast<int>(q.x), static_cast<int>(q.y), kInkYellow);
    for (Pt q : {Pt{40, 56}, Pt{78, 42}, Pt{86, 56}}) g.set(static_cast<int>(q.x), static_cast<int>(q.y), kInkRed);

    // The squid as parts, outlined in white and filled black over the fire.
    Grid parts(W, H);
    const float ax = 0.83f, ay = -0.56f;  // the body's axis, up to the right
    auto along = [&](float s, float side) { return Pt{41 + ax * s - ay * side, 55 + ay * s + ax * side}; };
    // Arms hanging down to the left from under the head, and two long
    // feeding arms trailing further.
    const float roots[4] = {-5, -1.5f, 2, 5.5f};
    const Pt ends[4] = {{10, 70}, {17, 78}, {27, 83}, {38, 84}};
    for (int i = 0; i < 4; ++i) {
        const Pt root = along(-9, roots[i]);
        const Pt end = ends[i];
        const float sway = 3.f;
        sweep(parts, spline({root, {(root.x * 2 + end.x) / 3 + sway, (root.y * 2 + end.y) / 3},
                             {(root.x + end.x * 2) / 3 - sway, (root.y + end.y * 2) / 3}, end},
                     2.2f, 1.0f),
              1);
    }
    sweep(parts, spline({along(-9, -6), {18, 54}, {7, 55}, {3, 60}, {6, 63.5f}, {9, 61}}, 1.3f, 0.8f), 2);
    sweep(parts, spline({along(-9, 7), {44, 74}, {48, 80}, {53, 83}, {56.5f, 80.5f}}, 1.3f, 0.8f), 2);
    // The head with its eyes, then the long mantle with its fins.
    std::vector<Pt> head;
    for (int i = 0; i < 24; ++i) {
        const float a = 2 * kPi * i / 24;
        head.push_back(along(-2 + std::cos(a) * 9, std::sin(a) * 9.5f));
    }
    fillPolygon(parts, head, 3);
    std::vector<Pt> mantle;
    for (int i = 0; i <= 20; ++i) {
        const float t = i / 20.f;
        mantle.push_back(along(4 + t * 78, 13 * std::pow(1 - t, 0.55f) * (0.9f + 0.1f * std::sin(t * kPi))));
    }
    for (int i = 20; i >= 0; --i) {
        const float t = i / 20.f;
        mantle.push_back(along(4 + t * 78, -13 * std::pow(1 - t, 0.55f) * (0.9f + 0.1f * std::sin(t * kPi))));
    }
    fillPolygon(parts, {along(48, 0), along(58, 14), along(72, 13), along(86, 0)}, 4);
    fillPolygon(parts, {along(48, 0), along(58, -14), along(72, -13), along(86, 0)}, 4);
    fillPolygon(parts, mantle, 5);
    const Grid edge = outline(parts);
    // A black rim around the squid keeps its outline clear of the flames.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (!parts.get(x, y) && (parts.get(x - 1, y) || parts.get(x + 1, y) || parts.get(x, y - 1) || parts.get(x, y + 1)))
                g.at(x, y) = kInkBlack;
    for (size_t i = 0; i < g.v.size(); ++i)
        if (parts.v[i]) g.v[i] = edge.v[i] ? kInkWhite : kInkBlack;
    // The eye, and the score marks of the grill across the mantle.
    Grid marks(W, H);
    circle(marks, along(-1, 4.5f).x, along(-1, 4.5f).y, 2.6f, 1);
    for (int i = 0; i < 5; ++i) {
        const float s = 16 + i * 11;
        const float half = 11 * std::pow(1 - (s - 4) / 78, 0.55f) - 3;
        polyline(marks, {along(s - 2, -half), along(s + 2, half)}, 1);
    }
    for (size_t i = 0; i < g.v.size(); ++i)
        if (marks.v[i]) g.v[i] = kInkWhite;

    // You are here: a dot, an arrow pointing at it, and the word "you".
    fillRect(g, 112, 79, 113, 80, kInkWhite);
    line(g, 126, 69, 115, 78, kInkWhite);
    line(g, 115, 78, 119, 78, kInkWhite);
    line(g, 115, 78, 116, 74, kInkWhite);
    const Bitmap you = fromRows({"#.#..##..#..#",
                                  "#.#.#..#.#..#",
                                  ".##.#..#.#..#",
                                  "..#..##...###",
                                  "##..........."},
                                 {{'#', 1}});
    for (int y = 0; y < you.h; ++y)
        for (int x = 0; x < you.w; ++x)
            if (you.at(x, y)) g.set(118 + x, 60 + y, kInkWhite);
    return paint(g, {kBlack, kWhite, kRed, kYellow});
}

}  // namespace art
