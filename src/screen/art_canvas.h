// The small drawing kit the game's pictures are made with. Private to the
// art files (art_*.cpp); the rest of the game only sees pictures.h.
//
// Creatures are line drawings: their shapes are filled as numbered parts into
// a PartMap (a later part lies over an earlier one), and the 1-pixel outline
// is traced around every part where it meets the sea or a part behind it.
#pragma once
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/card_faces.h"
#include "core/creatures.h"
#include "screen/bitmaps.h"

namespace art {

constexpr float kPi = 3.14159265358979f;

struct Pt {
    float x = 0, y = 0;
};
inline Pt operator+(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
inline Pt operator-(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }
inline Pt operator*(Pt a, float s) { return {a.x * s, a.y * s}; }

// A point on a path with the half-width of the stroke there.
struct Knot {
    float x, y, r;
};
using Path = std::vector<Knot>;

// Deterministic noise, so the pictures are the same on every run.
uint32_t hash(uint32_t a, uint32_t b = 0, uint32_t c = 0);
float hash01(uint32_t a, uint32_t b = 0, uint32_t c = 0);  // [0, 1)
// Smooth value noise in [0, 1], period-free, cell size 1.
float noise(float x, float y, uint32_t seed);
float fbm(float x, float y, uint32_t seed, int octaves);

// A grid of small numbers: part ids, palette indices or a 0/1 mask.
struct Grid {
    int w = 0, h = 0;
    std::vector<uint8_t> v;
    Grid() = default;
    Grid(int w_, int h_, uint8_t fill = 0) : w(w_), h(h_), v(static_cast<size_t>(w_) * h_, fill) {}
    bool in(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    uint8_t get(int x, int y) const { return in(x, y) ? v[static_cast<size_t>(y) * w + x] : 0; }
    void set(int x, int y, uint8_t c) {
        if (in(x, y)) v[static_cast<size_t>(y) * w + x] = c;
    }
    uint8_t& at(int x, int y) { return v[static_cast<size_t>(y) * w + x]; }
};

// ---- Filling shapes (pixel centres inside the shape get the value) ----
void fillEllipse(Grid& g, float cx, float cy, float rx, float ry, uint8_t c, float angle = 0);
void fillPolygon(Grid& g, const std::vector<Pt>& poly, uint8_t c);
void fillRect(Grid& g, int x0, int y0, int x1, int y1, uint8_t c);  // inclusive
// A stroke of varying half-width along a path: round ends, smooth joins.
void sweep(Grid& g, const Path& p, uint8_t c);
// A ring (annulus) between two radii.
void fillRing(Grid& g, float cx, float cy, float rOut, float rIn, uint8_t c);

// ---- Making paths ----
// A cubic Bezier from a to d with controls b, c, n+1 points, the half-width
// going from r0 to r1.
Path bezier(Pt a, Pt b, Pt c, Pt d, float r0, float r1, int n = 24);
// A smooth curve through the points (Catmull-Rom), the half-width going
// from r0 at the first point to r1 at the last.
Path spline(const std::vector<Pt>& pts, float r0, float r1, int perSegment = 8);
// Appends q to p (dropping q's first point when it repeats p's last).
void append(Path& p, const Path& q);
// A curl: starts at `from` heading `dir` (radians), turns by `turn` radians
// (positive = clockwise on screen) while the turning radius shrinks from
// rad0 to rad1; the half-width goes from r0 to r1.
Path curl(Pt from, float dir, float turn, float rad0, float rad1, float r0, float r1, int n = 40);

// ---- Thin lines (into a grid) ----
void line(Grid& g, int x0, int y0, int x1, int y1, uint8_t c);
void polyline(Grid& g, const std::vector<Pt>& pts, uint8_t c);
// A 1-pixel circle outline (8-connected).
void circle(Grid& g, float cx, float cy, float r, uint8_t c);

// ---- Outlines ----
// Pixels of a part that touch (4-neighbour) the sea (id 0) or a part with a
// lower id; pixels beyond the picture's edge count as the same part, so
// shapes cut by the edge stay open there.
Grid outline(const Grid& parts);
// Pixels at 4-neighbour distance `d` from outside the non-zero area (d = 1 is
// the plain outline); beyond the edge counts as inside.
Grid ring(const Grid& parts, int d);
// Distance (4-neighbour steps) from the outside, 0 outside; capped at `cap`.
Grid depth(const Grid& parts, int cap);
void merge(Grid& into, const Grid& from);  // into |= from

// ---- Turning grids into pictures ----
// A line drawing in one colour on key blue (the bottom-left pixel must be 0).
Bitmap lineArt(const Grid& mask, uint32_t colour);
// Palette indices to colours.
Bitmap paint(const Grid& g, std::initializer_list<uint32_t> palette);
// A hand-drawn grid: one string per row, each character looked up in the
// legend (pairs of character and colour).
struct Ink {
    char ch;
    uint32_t rgb;
};
Bitmap fromRows(const std::vector<const char*>& rows, std::initializer_list<Ink> legend);
// The same for a grid: the character legend[i] stands for the value i.
Grid gridRows(const std::vector<const char*>& rows, const char* legend);

// ---- Hand lettering ----
// One glyph is a list of strokes; a stroke is a list of points in a 0..10
// square box (y down). Rendered with a round pen.
using Stroke = std::vector<Pt>;
using Glyph = std::vector<Stroke>;
struct Lettering {
    float size;      // pixels per 10 units
    float pen;       // pen half-width in pixels
    float slant = 0; // x shift per pixel upwards
};
// Draws g with its box's top-left at (x, y); `wobble` seeds the hand's
// small unsteadiness (a slight tilt and bend per glyph).
void letter(Grid& g, const Glyph& glyph, float x, float y, const Lettering& how, uint32_t wobble, uint8_t c);

// ---- The pictures, one maker each (art_*.cpp) ----
// A card with a face's symbol; each face's symbol is drawn on the card by
// its row (art_cards.cpp), in the order of the faces.
struct CardSymbol {
    CardFace face;
    void (*draw)(Grid& card);
};
extern const std::array<CardSymbol, kCardFaceCount> kCardSymbols;
Bitmap makeCard(CardFace face);
Bitmap makeRing();
Bitmap makeBubble();
Bitmap makeCurtain();
Bitmap makeSea();
Grid drawSpear();
// Each creature's line drawing, one row a kind in the order of the kinds
// (art_creatures.cpp): its three lane pictures are inked from it.
struct CreatureDrawing {
    CreatureKind kind;
    Grid (*draw)();
};
extern const std::array<CreatureDrawing, kCreatureCount> kCreatureDrawings;
Bitmap makeGrilledSquid();
Bitmap makeBiggestMessage();
Bitmap makeTastyMessage();
Bitmap makeGameOver();

// The squid's eye: its centre and radius in the picture.
constexpr float kSquidEyeX = 40.f, kSquidEyeY = 100.f, kSquidEyeR = 46.f;

}  // namespace art
