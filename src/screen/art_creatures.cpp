// The sea creatures: line drawings, 1 pixel thin, that the game inks in the
// three lane colours. Each returns a mask (1 = line, 0 = sea).
#include <algorithm>
#include <cmath>

#include "screen/art_canvas.h"

namespace art {

// The octopus, drawn by hand: a tall domed head with a glint, one small
// ring of an eye low on its right side, and six tentacles below, the outer
// ones curling up at the sides, the inner ones hanging down and flicking out.
Grid drawOctopus() {
    return gridRows({"...........................................",
                     "..................#######..................",
                     "................##.......##................",
                     "..............##...........##..............",
                     ".............#..#............#.............",
                     "............#..#..............#............",
                     "............#.#...............#............",
                     "...........#..#................#...........",
                     "...........#...................#...........",
                     "...........#...................#...........",
                     "..........#.....................#..........",
                     "..........#.....................#..........",
                     "..........#.....................#..........",
                     "..........#.....................#..........",
                     "..........#.....................#..........",
                     "..........#.....................#..........",
                     "..........#...............##....#..........",
                     "...........#.............#..#..#...........",
                     "...........#.............#..#..#...........",
                     "............#.............##..#............",
                     "............#.................#............",
                     ".............#...............#.............",
                     "..........###.................###..........",
                     "........##....##...........##....##........",
                     "......##...###.#...........#.###...##......",
                     ".....#...##...#..#.#...#.#..#...##...#.....",
                     "....#..##.....#.#..#...#..#.#.....##..#....",
                     "...#..#......#..##.#...#.##..#......#..#...",
                     "..#..#......#..#.#.#...#.#.#..#......#..#..",
                     "..#.##......#.#..#.#...#.#..#.#......##.#..",
                     "..#...#....#..#..#.#...#.#..#..#....#...#..",
                     "..#...#...#..#...#.#...#.#...#..#...#...#..",
                     "...###....#.#....#.#...#.#....#.#....###...",
                     ".........#..#....#.#...#.#....#..#.........",
                     ".........#.#.....#.#...#.#.....#.#.........",
                     "........#.#......#.#...#.#......#.#........",
                     "........#.##.....#.#...#.#.....##.#........",
                     "........#...#....#.#...#.#....#...#........",
                     "........#...#...#..#...#..#...#...#........",
                     ".........###....#.#.....#.#....###.........",
                     "................#.#.....#.#................",
                     "................#.#.....#.#................",
                     "...........#...#.#.......#.#...#...........",
                     "..........#....#.#.......#.#....#..........",
                     "..........#...###.........###...#..........",
                     "...........###...............###...........",
                     "...........................................",
                     "...........................................",
                     "..........................................."},
                    ".#");
}

// The crab: two big claws raised at the upper left and right, a wide shell
// with eyes on stalks, a jagged mouth across its middle and four jointed
// legs hanging down on each side.
Grid drawCrab() {
    constexpr int W = 106, H = 92;
    Grid parts(W, H);
    auto mirror = [&](Pt q, bool right) { return right ? Pt{W - 1 - q.x, q.y} : q; };
    uint8_t id = 1;
    for (int side = 0; side < 2; ++side) {
        const bool r = side == 1;
        auto m = [&](Pt q) { return mirror(q, r); };
        // Legs: root under the shell, out to the knee, down to the tip.
        const Pt legs[4][3] = {
            {{30, 56}, {13, 56}, {4, 76}},
            {{33, 61}, {18, 65}, {11, 86}},
            {{37, 65}, {26, 72}, {21, 90}},
            {{42, 67}, {35, 77}, {32, 90}},
        };
        for (const auto& l : legs) {
            Path p = spline({m(l[0]), m(l[1])}, 2.6f, 2.3f, 6);
            append(p, spline({m(l[1]), m(l[2])}, 2.3f, 0.6f, 10));
            sweep(parts, p, id++);
        }
    }
    for (int side = 0; side < 2; ++side) {
        const bool r = side == 1;
        auto m = [&](Pt q) { return mirror(q, r); };
        // The arm: from the shell's shoulder out and up to the claw.
        sweep(parts, spline({m({31, 46}), m({17, 44}), m({14, 33})}, 4.2f, 3.8f, 10), id++);
        // The claw: a swollen palm with two fingers opening upwards, the
        // outer one hooked over the inner one.
        const Pt palm = m({17, 26});
        fillEllipse(parts, palm.x, palm.y, 12, 9.5f, id, r ? 0.6f : -0.6f);
        sweep(parts, spline({m({9, 22}), m({5, 12}), m({9, 4}), m({18, 1.5f})}, 4.4f, 0.8f, 8), id);
        sweep(parts, spline({m({22, 19}), m({26, 12}), m({28, 5.5f})}, 3.8f, 0.8f, 8), id);
        ++id;
    }
    // The shell, its top edge lined with small spikes.
    std::vector<Pt> shell;
    for (int i = 0; i <= 40; ++i) {
        const float a = kPi + kPi * i / 40.f;  // the top half, left to right
        const float spike = (i % 5 == 0 && i > 0 && i < 40) ? 2.2f : 0.f;
        shell.push_back({52.5f + std::cos(a) * (27 + spike), 50 + std::sin(a) * (15 + spike)});
    }
    for (int i = 1; i < 40; ++i) {
        const float a = kPi * i / 40.f;  // the bottom half, right to left
        shell.push_back({52.5f + std::cos(a) * 25, 50 + std::sin(a) * 19});
    }
    // The eyes stand on stalks behind the shell's rim.
    for (float ex : {44.f, 61.f}) sweep(parts, spline({{ex, 40}, {ex, 30}}, 1.7f, 1.7f), id);
    ++id;
    fillPolygon(parts, shell, id++);
    fillEllipse(parts, 44, 28, 3.6f, 3.6f, id);
    fillEllipse(parts, 61, 28, 3.6f, 3.6f, id);
    Grid g = outline(parts);
    fillRect(g, 44, 28, 45, 29, 1);  // pupils
    fillRect(g, 60, 28, 61, 29, 1);
    // A ridge across the shell's brow and a few pits.
    std::vector<Pt> ridge;
    for (int i = 0; i <= 20; ++i) {
        const float a = kPi * (1.22f + 0.56f * i / 20.f);
        ridge.push_back({52.5f + std::cos(a) * 20, 53.5f + std::sin(a) * 12});
    }
    polyline(g, ridge, 1);
    for (Pt q : {Pt{35, 48}, Pt{70, 48}, Pt{40, 62}, Pt{65, 62}}) fillRect(g, static_cast<int>(q.x), static_cast<int>(q.y), static_cast<int>(q.x) + 1, static_cast<int>(q.y), 1);
    // The jagged mouth across the middle of the shell.
    std::vector<Pt> mouth;
    for (int i = 0; i <= 14; ++i)
        mouth.push_back({34.f + i * 2.65f, 55.f + ((i % 2) ? -2.5f : 2.5f) * (i > 0 && i < 14)});
    polyline(g, mouth, 1);
    return g;
}

// The moray: its head at the left with a long jaw gaping open, an eye and
// fangs, the neck arching up and running out of the picture at the right.
// Head and neck are drawn in a double outline; a fin runs along the back.
Grid drawMoray() {
    constexpr int W = 173, H = 119;
    Grid body(W, H);
    // The neck and body: a thick curve from behind the head up and over.
    const std::vector<Pt> spine = {{48, 86}, {75, 89}, {100, 75}, {120, 53}, {140, 39}, {160, 35}, {185, 40}};
    sweep(body, spline(spine, 18, 20, 12), 1);
    // The head: the upper jaw out to the snout and the lower jaw below it,
    // gaping wide open.
    fillPolygon(body, {{60, 62}, {45, 57}, {28, 59}, {14, 62}, {4, 65}, {2, 69}, {6, 72}, {20, 75}, {46, 84}, {60, 90}}, 1);
    fillPolygon(body, {{46, 89}, {30, 93}, {15, 97}, {6, 100}, {5, 104}, {10, 107}, {30, 108}, {50, 106}, {62, 100}}, 1);
    fillEllipse(body, 50, 86, 15, 20, 1);
    fillEllipse(body, 63, 74, 13, 13, 1);  // the swell behind the head
    fillEllipse(body, 78, 73, 13, 11.5f, 1);
    const std::vector<Pt> gape = {{0, 72.5f}, {20, 77}, {43, 85.5f}, {46, 87}, {43, 88.5f}, {20, 94.5f}, {0, 99.5f}};
    fillPolygon(body, gape, 0);
    Grid g = ring(body, 1);
    merge(g, ring(body, 3));
    // Fangs along both jaws, leaning back into the throat.
    for (int i = 0; i < 6; ++i) {
        const float t = i / 6.f;
        const int ux = static_cast<int>(9 + t * 32), uy = static_cast<int>(std::lround(74.f + t * 10.5f));
        line(g, ux, uy + 1, ux + 1, uy + 3 - (i > 3), 1);
        const int lx = static_cast<int>(11 + t * 30), ly = static_cast<int>(std::lround(98.5f - t * 11.5f));
        line(g, lx, ly - 1, lx + 1, ly - 3 + (i > 3), 1);
    }
    // The eye, behind the snout over the gape, and a nostril.
    circle(g, 33, 67.5f, 3.7f, 1);
    fillRect(g, 33, 67, 34, 68, 1);
    fillRect(g, 10, 66, 11, 66, 1);
    // The gill slit behind the head.
    polyline(g, {{66, 80}, {68, 83}, {68.5f, 87}, {67, 91}}, 1);
    // Mottling on the neck: small rings well inside the inner outline,
    // never crowding each other.
    const Grid deep = depth(body, 8);
    std::vector<Pt> spots;
    for (uint32_t k = 0; k < 80 && spots.size() < 11; ++k) {
        const int x = 82 + static_cast<int>(hash01(k, 1, 9) * 91);
        const int y = static_cast<int>(hash01(k, 2, 9) * H);
        if (deep.get(x, y) < 7 || deep.get(x + 3, y + 3) < 7 || deep.get(x - 3, y - 3) < 7) continue;
        bool crowded = false;
        for (Pt q : spots) crowded |= std::hypot(q.x - x, q.y - y) < 11;
        if (crowded) continue;
        spots.push_back({static_cast<float>(x), static_cast<float>(y)});
        circle(g, x + 0.5f, y + 0.5f, 2.1f, 1);
    }
    // The dorsal fin: a thin frill standing along the top of the neck.
    std::vector<Pt> fin;
    for (int x = 64; x < W; ++x) {
        int top = 0;
        while (top < H && !body.get(x, top)) ++top;
        if (top >= H) continue;
        const float wave = 3.f + 1.2f * std::sin(x * 0.45f);
        fin.push_back({static_cast<float>(x), top - wave});
    }
    polyline(g, fin, 1);
    return g;
}

// The giant squid, seen close up: a huge eye at the lower left, cut by the
// picture's edges, left open so the sea shows through but for a few glints;
// two eyelid folds around it; everything else is skin densely streaked from
// the upper left to the lower right, the streaks bending around the eye.
// About two fifths of all pixels are line.
Grid drawSquid() {
    constexpr int W = 200, H = 116;
    constexpr float kShare = 0.40f;
    const float ex = kSquidEyeX, ey = kSquidEyeY, er = kSquidEyeR;
    const float dx = 0.87f, dy = 0.5f;  // the streaks' direction
    // Each pixel's streak value: noise stretched along the streaks.
    std::vector<float> v(static_cast<size_t>(W) * H, -1.f);
    std::vector<float> skin;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float r = std::hypot(px - ex, py - ey);
            if (r < er + 6) continue;  // the eye and its lids
            // Fine streaks whose course wanders, broken into lengths; near
            // the eye they wrap around it.
            auto streaks = [](float along, float across) {
                const float course = across * 1.15f + 9.f * fbm(along * 0.012f, across * 0.03f, 301, 2);
                const float lengths = fbm(along * 0.06f, across * 0.5f, 302, 3);
                return 0.55f * (0.5f + 0.5f * std::sin(course)) + 0.8f * lengths;
            };
            float n = streaks(px * dx + py * dy, -px * dy + py * dx);
            const float wrap = std::clamp(1.f - (r - er - 6) / 30.f, 0.f, 1.f);
            if (wrap > 0) n = n * (1 - wrap) + streaks(std::atan2(py - ey, px - ex) * er * 1.3f, r) * wrap;
            n += 0.06f * hash01(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 305);
            v[static_cast<size_t>(y) * W + x] = n;
            skin.push_back(n);
        }
    Grid g(W, H);
    // The eyelids: two folds hugging the eye.
    circle(g, ex, ey, er + 1.0f, 1);
    circle(g, ex, ey, er + 4.0f, 1);
    size_t lids = 0;
    for (uint8_t c : g.v) lids += c;
    // Pick the level so that skin and lids together make the share.
    const float want = kShare * W * H - static_cast<float>(lids);
    std::vector<float> sorted = skin;
    std::sort(sorted.begin(), sorted.end(), std::greater<float>());
    const size_t n = std::clamp(static_cast<size_t>(want), size_t{0}, sorted.size() - 1);
    const float level = sorted[n];
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i] > level) g.v[i] = 1;
    // Glints in the eye: a few pixels scattered over a crescent at its top
    // right, where the light falls on it.
    for (uint32_t k = 0; k < 60; ++k) {
        const float a = -1.9f + hash01(k, 1, 77) * 1.6f;
        const float rr = er * (0.55f + hash01(k, 2, 77) * 0.35f);
        g.set(static_cast<int>(ex + std::cos(a) * rr), static_cast<int>(ey + std::sin(a) * rr), 1);
    }
    return g;
}

constexpr std::array<CreatureDrawing, kCreatureCount> kCreatureDrawingRows = {{
    {CreatureKind::Octopus, drawOctopus},
    {CreatureKind::Crab, drawCrab},
    {CreatureKind::Moray, drawMoray},
    {CreatureKind::GiantSquid, drawSquid},
}};
// Every kind has its drawing, in the order of the kinds.
static_assert(rowsInKeyOrder(kCreatureDrawingRows, &CreatureDrawing::kind, CreatureKind::Octopus));
const std::array<CreatureDrawing, kCreatureCount> kCreatureDrawings = kCreatureDrawingRows;

}  // namespace art
