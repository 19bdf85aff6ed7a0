// The sea: a strip 66 pixels wide and 1056 high that the game stretches to
// 194 x 3200 and scrolls up one screen pixel per dive tick. Light violet-blue
// water at the surface darkens to near black at the bottom; craggy boulders
// of red and purple rock line both walls over the upper two thirds, with
// seaweed on their ledges; the lowest third is open water.
#include <algorithm>
#include <array>
#include <cmath>

#include "screen/art_canvas.h"

namespace art {

namespace {

constexpr int kW = 66, kH = 1056;
constexpr int kRockEnd = 720;  // below this the walls fall away

struct Rgb {
    float r, g, b;
};
Rgb mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb scale(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }

uint32_t pack(Rgb c) {
    auto ch = [](float v) { return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
    uint32_t r = ch(c.r), g = ch(c.g), b = ch(c.b);
    if (r == 0 && g == 0 && b == 255) r = 1;  // never the key colour
    return r << 16 | g << 8 | b;
}

// How much light reaches depth y: 1 at the surface, 0 at the bottom.
float light(float y) { return 1.f - y / (kH - 1); }

const Rgb kSurface{89, 70, 251}, kDeep{3, 2, 10};

Rgb water(int x, int y) {
    const float t = static_cast<float>(y) / (kH - 1);
    Rgb c = mix(kSurface, kDeep, t);
    // Slow swirls in the water and a faint grain, weaker as the light goes.
    const float swirl = fbm(x * 0.09f, y * 0.035f, 11, 3) - 0.5f;
    const float grain = hash01(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 7) - 0.5f;
    float lift = swirl * 0.16f + grain * 0.035f;
    // Shafts of sunlight slanting down from the upper left near the surface.
    if (y < 420) {
        const float fade = std::pow(1.f - y / 420.f, 1.6f);
        const float u = x * 0.55f - y * 0.22f;
        const float shaft = std::max(0.f, std::sin(u * 0.35f) * 0.6f + std::sin(u * 0.13f + 1.7f) * 0.5f);
        lift += shaft * shaft * 0.22f * fade;
    }
    c = scale(c, 1.f + lift);
    // Marine snow: a rare pale speck drifting in the darker water.
    if (y > 300 && hash01(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 99) < 0.006f) {
        const float a = 0.35f * light(y * 0.6f);
        c = mix(c, {150, 150, 200}, a);
    }
    return c;
}

// ---- The walls ----

// The rock's reach into the water from one wall at each row, in pixels.
std::array<float, kH> wallProfile(uint32_t seed, const std::vector<std::array<float, 3>>& ledges) {
    std::array<float, kH> reach{};
    // A craggy line through random points a few rows apart.
    std::vector<std::pair<float, float>> pts;
    float y = 0;
    uint32_t k = 0;
    while (y < kH) {
        float d = 1.5f + fbm(y * 0.03f, 0.5f, seed, 2) * 3.5f;
        for (const auto& l : ledges) {
            const float yc = l[0], hh = l[1], dd = l[2];
            // A ledge: a flat-ish top, a steep face below.
            const float u = (y - yc) / hh;
            if (u > -1 && u < 1) d += dd * (u < 0 ? std::pow(1 + u, 0.45f) : std::pow(1 - u, 1.3f));
        }
        d += (hash01(seed, k, 1) - 0.5f) * 3.f;
        if (y > kRockEnd - 160) d *= std::max(0.f, (kRockEnd - y) / 160.f);
        pts.push_back({y, std::max(0.f, d)});
        y += 4 + hash01(seed, k, 2) * 7;
        ++k;
    }
    pts.push_back({static_cast<float>(kH + 10), 0});
    size_t i = 0;
    for (int r = 0; r < kH; ++r) {
        while (pts[i + 1].first < r) ++i;
        const float t = (r - pts[i].first) / (pts[i + 1].first - pts[i].first);
        reach[static_cast<size_t>(r)] = pts[i].second + (pts[i + 1].second - pts[i].second) * t;
    }
    return reach;
}

struct Walls {
    Grid rock{kW, kH};  // 1 = rock
    std::array<float, kH> left{}, right{};
};

Walls buildWalls() {
    Walls w;
    // Ledges: row of the top, half-height, how far it juts out.
    w.left = wallProfile(21, {{40, 22, 8},   {118, 30, 12}, {190, 16, 5},  {262, 34, 13},
                              {350, 20, 7},  {420, 38, 14}, {505, 18, 6},  {585, 30, 11}, {655, 20, 7}});
    w.right = wallProfile(57, {{10, 26, 9},   {80, 18, 6},   {160, 32, 13}, {228, 20, 7},  {305, 30, 11},
                               {385, 18, 6},  {470, 24, 8},  {548, 40, 14}, {630, 24, 8},  {690, 14, 4}});
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const float px = x + 0.5f;
            if (px < w.left[static_cast<size_t>(y)] || kW - px < w.right[static_cast<size_t>(y)]) w.rock.at(x, y) = 1;
        }
    return w;
}

// The boulders the walls are built of: seeds of a Voronoi pattern.
struct Boulder {
    float x, y, hue, size;
};

std::vector<Boulder> boulders(const Walls& w) {
    std::vector<Boulder> out;
    uint32_t k = 0;
    for (int gy = 0; gy < kRockEnd; gy += 9)
        for (int gx = 0; gx < kW; gx += 8) {
            const float x = gx + hash01(k, 1, 3) * 8, y = gy + hash01(k, 2, 3) * 9;
            ++k;
            const int ix = std::clamp(static_cast<int>(x), 0, kW - 1), iy = std::clamp(static_cast<int>(y), 0, kH - 1);
            // Seeds a little outside the rock still shape the cells at its rim.
            bool near = false;
            for (int d = -3; d <= 3 && !near; ++d) near = w.rock.get(std::clamp(ix + d, 0, kW - 1), iy);
            if (!near) continue;
            out.push_back({x, y, hash01(k, 5, 3), 0.8f + hash01(k, 6, 3) * 0.4f});
        }
    return out;
}

Rgb rockColour(int x, int y, const std::vector<Boulder>& bs) {
    // Nearest and second-nearest boulder centre.
    float d1 = 1e9f, d2 = 1e9f;
    const Boulder* b1 = nullptr;
    for (const Boulder& b : bs) {
        if (std::fabs(b.y - y) > 24) continue;
        const float dx = (x + 0.5f - b.x) / b.size, dy = (y + 0.5f - b.y) / b.size;
        const float d = std::sqrt(dx * dx + dy * dy);
        if (d < d1) {
            d2 = d1;
            d1 = d;
            b1 = &b;
        } else if (d < d2) {
            d2 = d;
        }
    }
    const Rgb red{158, 48, 62}, purple{110, 44, 128}, dark{30, 10, 36};
    if (!b1) return dark;
    if (d2 - d1 < 0.9f) return mix(dark, purple, 0.25f);  // the crack between two boulders
    const float n = fbm(x * 0.3f, y * 0.3f, 31, 3);
    Rgb c = mix(red, purple, std::clamp(b1->hue * 0.8f + (n - 0.5f) * 0.9f, 0.f, 1.f));
    // Light from the upper left: faces toward it bright, away from it dim.
    const float dx = x + 0.5f - b1->x, dy = y + 0.5f - b1->y;
    const float len = std::max(1.f, std::sqrt(dx * dx + dy * dy));
    float lit = 0.78f - (dx * 0.55f + dy * 0.83f) / len * 0.28f * std::min(1.f, len / 4);
    if (d2 - d1 < 2.0f && (dx + dy) < 0) lit += 0.22f;  // a bright rim under the crack
    lit += (hash01(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 41) - 0.5f) * 0.12f;
    c = scale(c, lit);
    return c;
}

// ---- Seaweed ----

struct Strand {
    float x, y;       // root
    float len, lean;  // height, and sideways drift per pixel up
    float phase;
};

// Roots on the top of the ledge nearest to row y on one wall.
void tuft(std::vector<Strand>& out, const Walls& w, bool rightWall, int y, int count, float len, uint32_t seed) {
    for (int i = 0; i < count; ++i) {
        const int ry = y + static_cast<int>(hash01(seed, static_cast<uint32_t>(i), 1) * 6) - 3;
        const float reach = (rightWall ? w.right : w.left)[static_cast<size_t>(std::clamp(ry, 0, kH - 1))];
        const float along = hash01(seed, static_cast<uint32_t>(i), 2) * std::max(1.f, reach - 2);
        const float x = rightWall ? kW - 1 - along : along;
        const float l = len * (0.55f + 0.45f * hash01(seed, static_cast<uint32_t>(i), 3));
        const float lean = (rightWall ? -1.f : 1.f) * (0.04f + 0.2f * hash01(seed, static_cast<uint32_t>(i), 4));
        out.push_back({x, static_cast<float>(ry), l, lean, hash01(seed, static_cast<uint32_t>(i), 5) * 6.28f});
    }
}

std::vector<Strand> seaweed(const Walls& w) {
    std::vector<Strand> s;
    tuft(s, w, true, 530, 6, 84, 1);  // the big tuft halfway down the right wall
    tuft(s, w, false, 105, 3, 36, 2);
    tuft(s, w, true, 148, 2, 30, 3);
    tuft(s, w, false, 245, 4, 44, 4);
    tuft(s, w, true, 290, 2, 26, 5);
    tuft(s, w, false, 400, 3, 46, 6);
    tuft(s, w, false, 568, 3, 32, 7);
    tuft(s, w, true, 615, 3, 36, 8);
    tuft(s, w, false, 640, 2, 20, 9);
    return s;
}

// Marks one disc of a strand: 3 = dark rim, 2 = green body, 1 = pale rib;
// where strands cross, the brighter part wins.
void dab(std::vector<uint8_t>& weed, float cx, float cy, float r, bool rib) {
    for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y)
        for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x) {
            if (x < 0 || y < 0 || x >= kW || y >= kH) continue;
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d > r + 0.6f) continue;
            const size_t at = static_cast<size_t>(y) * kW + x;
            const uint8_t part = d > r - 0.2f ? 3 : (rib && dx < -0.2f && r > 1.1f ? 1 : 2);
            if (weed[at] == 0 || part < weed[at]) weed[at] = part;
        }
}

// One ribbon of kelp: a swaying blade, narrowing to its tip.
void drawStrand(std::vector<uint8_t>& weed, const Strand& st) {
    const int n = static_cast<int>(st.len * 2);
    for (int i = 0; i <= n; ++i) {
        const float t = static_cast<float>(i) / n;
        const float up = t * st.len;
        const float x = st.x + up * st.lean + std::sin(up * 0.12f + st.phase) * (0.4f + 3.6f * t);
        const float r = t < 0.75f ? 1.5f - 0.3f * t : 1.28f - (t - 0.75f) * 3.2f;
        dab(weed, x, st.y - up, std::max(0.5f, r), true);
    }
}

}  // namespace

Bitmap makeSea() {
    const Walls walls = buildWalls();
    const std::vector<Boulder> bs = boulders(walls);
    std::vector<Rgb> img(static_cast<size_t>(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const size_t at = static_cast<size_t>(y) * kW + x;
            if (!walls.rock.get(x, y)) {
                img[at] = water(x, y);
                continue;
            }
            // Rock pixels on the water's edge are the dark outline.
            bool edge = false;
            const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
            for (int k = 0; k < 4; ++k)
                if (walls.rock.in(nx[k], ny[k]) && !walls.rock.get(nx[k], ny[k])) edge = true;
            const float shade = 0.35f + 0.65f * light(y * 0.9f);
            img[at] = edge ? Rgb{22, 6, 28} : scale(rockColour(x, y, bs), shade);
        }

    std::vector<uint8_t> weed(img.size());
    for (const Strand& st : seaweed(walls)) drawStrand(weed, st);
    const Rgb rim{8, 36, 20}, body{38, 124, 54}, rib{100, 186, 84};
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const size_t at = static_cast<size_t>(y) * kW + x;
            if (!weed[at]) continue;
            const float shade = 0.4f + 0.6f * light(y * 0.9f);
            img[at] = weed[at] == 3 ? rim : scale(weed[at] == 1 ? rib : body, shade);
        }

    Bitmap p;
    p.w = kW;
    p.h = kH;
    p.px.resize(img.size());
    for (size_t i = 0; i < img.size(); ++i) p.px[i] = pack(img[i]);
    return p;
}

}  // namespace art
