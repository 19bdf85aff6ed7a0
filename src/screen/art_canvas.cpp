// The drawing kit behind the game's pictures: shapes, paths, outlines.
#include <algorithm>
#include <cstring>
#include <deque>

#include "screen/art_canvas.h"

namespace art {

uint32_t hash(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x2545F491u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float hash01(uint32_t a, uint32_t b, uint32_t c) { return static_cast<float>(hash(a, b, c) >> 8) / 16777216.f; }

float noise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto v = [&](int dx, int dy) {
        return hash01(static_cast<uint32_t>(ix + dx), static_cast<uint32_t>(iy + dy), seed);
    };
    const float a = v(0, 0) + (v(1, 0) - v(0, 0)) * tx;
    const float b = v(0, 1) + (v(1, 1) - v(0, 1)) * tx;
    return a + (b - a) * ty;
}

float fbm(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * noise(x, y, seed + static_cast<uint32_t>(i) * 101u);
        norm += amp;
        amp *= 0.5f;
        x *= 2.03f;
        y *= 2.03f;
    }
    return sum / norm;
}

// ---- Filling shapes ----

void fillEllipse(Grid& g, float cx, float cy, float rx, float ry, uint8_t c, float angle) {
    const float ca = std::cos(angle), sa = std::sin(angle);
    const float reach = std::max(rx, ry) + 1;
    for (int y = static_cast<int>(cy - reach); y <= static_cast<int>(cy + reach); ++y)
        for (int x = static_cast<int>(cx - reach); x <= static_cast<int>(cx + reach); ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float u = (dx * ca + dy * sa) / rx, v = (-dx * sa + dy * ca) / ry;
            if (u * u + v * v <= 1.f) g.set(x, y, c);
        }
}

void fillPolygon(Grid& g, const std::vector<Pt>& poly, uint8_t c) {
    if (poly.size() < 3) return;
    float y0 = poly[0].y, y1 = poly[0].y;
    for (const Pt& p : poly) {
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    for (int y = std::max(0, static_cast<int>(y0) - 1); y <= std::min(g.h - 1, static_cast<int>(y1) + 1); ++y) {
        const float sy = y + 0.5f;
        std::vector<float> xs;
        for (size_t i = 0; i < poly.size(); ++i) {
            const Pt a = poly[i], b = poly[(i + 1) % poly.size()];
            if ((a.y <= sy) != (b.y <= sy)) xs.push_back(a.x + (sy - a.y) / (b.y - a.y) * (b.x - a.x));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2)
            for (int x = static_cast<int>(std::ceil(xs[i] - 0.5f)); x + 0.5f <= xs[i + 1]; ++x) g.set(x, y, c);
    }
}

void fillRect(Grid& g, int x0, int y0, int x1, int y1, uint8_t c) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) g.set(x, y, c);
}

void sweep(Grid& g, const Path& p, uint8_t c) {
    if (p.empty()) return;
    if (p.size() == 1) {
        fillEllipse(g, p[0].x, p[0].y, p[0].r, p[0].r, c);
        return;
    }
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        const Knot a = p[i], b = p[i + 1];
        const float reach = std::max(a.r, b.r) + 1;
        const int xa = static_cast<int>(std::floor(std::min(a.x, b.x) - reach));
        const int xb = static_cast<int>(std::ceil(std::max(a.x, b.x) + reach));
        const int ya = static_cast<int>(std::floor(std::min(a.y, b.y) - reach));
        const int yb = static_cast<int>(std::ceil(std::max(a.y, b.y) + reach));
        const float dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        for (int y = ya; y <= yb; ++y)
            for (int x = xa; x <= xb; ++x) {
                const float px = x + 0.5f - a.x, py = y + 0.5f - a.y;
                float t = len2 > 0 ? (px * dx + py * dy) / len2 : 0;
                t = std::clamp(t, 0.f, 1.f);
                const float ex = px - t * dx, ey = py - t * dy;
                const float r = a.r + (b.r - a.r) * t;
                if (ex * ex + ey * ey <= r * r) g.set(x, y, c);
            }
    }
}

void fillRing(Grid& g, float cx, float cy, float rOut, float rIn, uint8_t c) {
    for (int y = static_cast<int>(cy - rOut - 1); y <= static_cast<int>(cy + rOut + 1); ++y)
        for (int x = static_cast<int>(cx - rOut - 1); x <= static_cast<int>(cx + rOut + 1); ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy, d2 = dx * dx + dy * dy;
            if (d2 <= rOut * rOut && d2 >= rIn * rIn) g.set(x, y, c);
        }
}

// ---- Paths ----

Path bezier(Pt a, Pt b, Pt c, Pt d, float r0, float r1, int n) {
    Path p;
    for (int i = 0; i <= n; ++i) {
        const float t = static_cast<float>(i) / n, s = 1 - t;
        const Pt q = a * (s * s * s) + b * (3 * s * s * t) + c * (3 * s * t * t) + d * (t * t * t);
        p.push_back({q.x, q.y, r0 + (r1 - r0) * t});
    }
    return p;
}

Path spline(const std::vector<Pt>& pts, float r0, float r1, int perSegment) {
    Path p;
    const int n = static_cast<int>(pts.size());
    if (n == 0) return p;
    const int total = (n - 1) * perSegment;
    for (int i = 0; i + 1 < n; ++i) {
        const Pt p0 = pts[static_cast<size_t>(std::max(0, i - 1))], p1 = pts[static_cast<size_t>(i)];
        const Pt p2 = pts[static_cast<size_t>(i + 1)], p3 = pts[static_cast<size_t>(std::min(n - 1, i + 2))];
        for (int j = 0; j < perSegment; ++j) {
            const float t = static_cast<float>(j) / perSegment, t2 = t * t, t3 = t2 * t;
            const Pt q = (p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 + (p1 * 3 - p0 - p2 * 3 + p3) * t3) * 0.5f;
            const float u = static_cast<float>(i * perSegment + j) / total;
            p.push_back({q.x, q.y, r0 + (r1 - r0) * u});
        }
    }
    p.push_back({pts.back().x, pts.back().y, r1});
    return p;
}

void append(Path& p, const Path& q) {
    size_t i = 0;
    if (!p.empty() && !q.empty() && std::fabs(p.back().x - q[0].x) < 0.01f && std::fabs(p.back().y - q[0].y) < 0.01f) i = 1;
    for (; i < q.size(); ++i) p.push_back(q[i]);
}

Path curl(Pt from, float dir, float turn, float rad0, float rad1, float r0, float r1, int n) {
    Path p;
    Pt at = from;
    float a = dir;
    p.push_back({at.x, at.y, r0});
    for (int i = 1; i <= n; ++i) {
        const float t = static_cast<float>(i) / n;
        const float rad = rad0 + (rad1 - rad0) * t;
        const float da = turn / n;
        const float step = std::fabs(da) * rad;
        a += da * 0.5f;
        at = at + Pt{std::cos(a), std::sin(a)} * step;
        a += da * 0.5f;
        p.push_back({at.x, at.y, r0 + (r1 - r0) * t});
    }
    return p;
}

// ---- Thin lines ----

void line(Grid& g, int x0, int y0, int x1, int y1, uint8_t c) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        g.set(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void polyline(Grid& g, const std::vector<Pt>& pts, uint8_t c) {
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        line(g, static_cast<int>(std::lround(pts[i].x)), static_cast<int>(std::lround(pts[i].y)),
             static_cast<int>(std::lround(pts[i + 1].x)), static_cast<int>(std::lround(pts[i + 1].y)), c);
}

void circle(Grid& g, float cx, float cy, float r, uint8_t c) {
    // The outline of a filled disc, so the ring is 1 pixel thin everywhere.
    Grid disc(g.w, g.h);
    fillEllipse(disc, cx, cy, r, r, 1);
    Grid o = ring(disc, 1);
    for (size_t i = 0; i < o.v.size(); ++i)
        if (o.v[i]) g.v[i] = c;
}

// ---- Outlines ----

Grid outline(const Grid& parts) {
    Grid out(parts.w, parts.h);
    for (int y = 0; y < parts.h; ++y)
        for (int x = 0; x < parts.w; ++x) {
            const uint8_t me = parts.get(x, y);
            if (!me) continue;
            const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
            for (int k = 0; k < 4; ++k) {
                if (!parts.in(nx[k], ny[k])) continue;
                if (parts.get(nx[k], ny[k]) < me) {
                    out.at(x, y) = 1;
                    break;
                }
            }
        }
    return out;
}

Grid depth(const Grid& parts, int cap) {
    Grid d(parts.w, parts.h);
    std::deque<std::pair<int, int>> q;
    for (int y = 0; y < parts.h; ++y)
        for (int x = 0; x < parts.w; ++x) {
            if (!parts.get(x, y)) continue;
            const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
            for (int k = 0; k < 4; ++k)
                if (parts.in(nx[k], ny[k]) && !parts.get(nx[k], ny[k])) {
                    d.at(x, y) = 1;
                    q.push_back({x, y});
                    break;
                }
        }
    while (!q.empty()) {
        const auto [x, y] = q.front();
        q.pop_front();
        const int dv = d.at(x, y);
        if (dv >= cap) continue;
        const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
        for (int k = 0; k < 4; ++k)
            if (parts.in(nx[k], ny[k]) && parts.get(nx[k], ny[k]) && !d.get(nx[k], ny[k])) {
                d.at(nx[k], ny[k]) = static_cast<uint8_t>(dv + 1);
                q.push_back({nx[k], ny[k]});
            }
    }
    // Inside pixels never reached stay deep.
    for (size_t i = 0; i < d.v.size(); ++i)
        if (parts.v[i] && !d.v[i]) d.v[i] = static_cast<uint8_t>(cap);
    return d;
}

Grid ring(const Grid& parts, int dist) {
    Grid d = depth(parts, dist + 1);
    Grid out(parts.w, parts.h);
    for (size_t i = 0; i < d.v.size(); ++i) out.v[i] = d.v[i] == dist ? 1 : 0;
    return out;
}

void merge(Grid& into, const Grid& from) {
    for (size_t i = 0; i < into.v.size(); ++i)
        if (from.v[i]) into.v[i] = from.v[i];
}

// ---- Pictures ----

Bitmap lineArt(const Grid& mask, uint32_t colour) {
    Bitmap p;
    p.w = mask.w;
    p.h = mask.h;
    p.px.resize(mask.v.size());
    for (size_t i = 0; i < mask.v.size(); ++i) p.px[i] = mask.v[i] ? colour : kKeyBlue;
    return p;
}

Bitmap paint(const Grid& g, std::initializer_list<uint32_t> palette) {
    const std::vector<uint32_t> pal(palette);
    Bitmap p;
    p.w = g.w;
    p.h = g.h;
    p.px.resize(g.v.size());
    for (size_t i = 0; i < g.v.size(); ++i) p.px[i] = pal.at(g.v[i]);
    return p;
}

Bitmap fromRows(const std::vector<const char*>& rows, std::initializer_list<Ink> legend) {
    Bitmap p;
    p.h = static_cast<int>(rows.size());
    p.w = static_cast<int>(std::strlen(rows[0]));
    for (const char* r : rows)
        for (int x = 0; x < p.w; ++x) {
            uint32_t c = 0;
            for (const Ink& ink : legend)
                if (ink.ch == r[x]) c = ink.rgb;
            p.px.push_back(c);
        }
    return p;
}

Grid gridRows(const std::vector<const char*>& rows, const char* legend) {
    Grid g(static_cast<int>(std::strlen(rows[0])), static_cast<int>(rows.size()));
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x) {
            const char* hit = std::strchr(legend, rows[static_cast<size_t>(y)][x]);
            g.at(x, y) = hit ? static_cast<uint8_t>(hit - legend) : 0;
        }
    return g;
}

// ---- Lettering ----

void letter(Grid& g, const Glyph& glyph, float x, float y, const Lettering& how, uint32_t wobble, uint8_t c) {
    // A hand is never quite steady: each glyph leans a little and each
    // stroke's points drift by a fraction of a pixel.
    const float tilt = (hash01(wobble, 1) - 0.5f) * 0.14f;
    const float ct = std::cos(tilt), st = std::sin(tilt);
    const float s = how.size / 10.f * (0.96f + 0.08f * hash01(wobble, 4));
    uint32_t k = 0;
    for (const Stroke& st_ : glyph) {
        Path p;
        for (const Pt& q : st_) {
            const float u = (q.x - 5) * s, v = (q.y - 5) * s;
            float px = u * ct - v * st + 5 * s, py = u * st + v * ct + 5 * s;
            px += (hash01(wobble, 2, k) - 0.5f) * 0.7f;
            py += (hash01(wobble, 3, k) - 0.5f) * 0.7f;
            ++k;
            px += (how.size - py) * how.slant;
            p.push_back({x + px, y + py, how.pen});
        }
        // Densify so the round pen leaves a smooth trail.
        Path dense;
        for (size_t i = 0; i + 1 < p.size(); ++i)
            for (int j = 0; j < 6; ++j) {
                const float t = j / 6.f;
                dense.push_back({p[i].x + (p[i + 1].x - p[i].x) * t, p[i].y + (p[i + 1].y - p[i].y) * t, how.pen});
            }
        dense.push_back(p.back());
        sweep(g, dense, c);
    }
}

}  // namespace art
