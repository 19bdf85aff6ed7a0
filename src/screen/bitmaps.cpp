// The game's pictures: each is drawn once, on first use (or all at once by
// drawEveryPicture), by the makers in art_*.cpp, and kept for the life of
// the program.
#include "screen/bitmaps.h"

#include <array>
#include <utility>

#include "core/lane.h"
#include "screen/art_canvas.h"

namespace {

constexpr int kCount = static_cast<int>(Picture::Count);

// A lane set's pictures follow one another in lane order, white, cyan, red:
// that is how one drawing is inked into all three below.
constexpr Picture inLane(Picture white, Lane lane) {
    return static_cast<Picture>(static_cast<int>(white) + static_cast<int>(lane) - static_cast<int>(Lane::White));
}
static_assert(inLane(Picture::octopusWhite, Lane::Cyan) == Picture::octopusCyan &&
              inLane(Picture::octopusWhite, Lane::Red) == Picture::octopusRed &&
              inLane(Picture::crabWhite, Lane::Cyan) == Picture::crabCyan && inLane(Picture::crabWhite, Lane::Red) == Picture::crabRed &&
              inLane(Picture::morayWhite, Lane::Cyan) == Picture::morayCyan &&
              inLane(Picture::morayWhite, Lane::Red) == Picture::morayRed &&
              inLane(Picture::squidWhite, Lane::Cyan) == Picture::squidCyan &&
              inLane(Picture::squidWhite, Lane::Red) == Picture::squidRed &&
              inLane(Picture::spearWhite, Lane::Cyan) == Picture::spearCyan &&
              inLane(Picture::spearWhite, Lane::Red) == Picture::spearRed);

struct Drawn {
    std::array<Bitmap, kCount> pictures;
    std::array<bool, kCount> done{};
};

Drawn& drawn() {
    static Drawn d;
    return d;
}

// The pictures made whole by one maker each, and the lane sets: one
// drawing inked in the three lane colours.
const std::pair<Picture, Bitmap (*)()> kMade[] = {
    {Picture::sea, art::makeSea},
    {Picture::ring, art::makeRing},
    {Picture::curtain, art::makeCurtain},
    {Picture::grilledSquid, art::makeGrilledSquid},
    {Picture::biggestSquidMessage, art::makeBiggestMessage},
    {Picture::tastyMessage, art::makeTastyMessage},
    {Picture::gameOver, art::makeGameOver},
    {Picture::bubble, art::makeBubble},
};
const std::pair<Picture, art::Grid (*)()> kInked[] = {
    {Picture::octopusWhite, art::drawOctopus}, {Picture::crabWhite, art::drawCrab},
    {Picture::morayWhite, art::drawMoray},     {Picture::squidWhite, art::drawSquid},
    {Picture::spearWhite, art::drawSpear},
};

// Draws the picture `wanted` and those drawn with it (its lane set).
void draw(Picture wanted) {
    Drawn& d = drawn();
    auto put = [&](Picture p, Bitmap pic) {
        d.pictures[static_cast<size_t>(p)] = std::move(pic);
        d.done[static_cast<size_t>(p)] = true;
    };
    for (Picture p : {Picture::faceDownCard, Picture::oxygenCard, Picture::tanksCard, Picture::weaponCard, Picture::blankCard})
        if (p == wanted) put(p, art::makeCard(p));
    for (const auto& [p, make] : kMade)
        if (p == wanted) put(p, make());
    for (const auto& [white, drawing] : kInked) {
        const int at = static_cast<int>(wanted) - static_cast<int>(white);
        if (at < 0 || at > 2) continue;
        const art::Grid g = drawing();
        for (const auto& [lane, rgb] : lanes::kColours) put(inLane(white, lane), art::lineArt(g, rgb));
    }
}

}  // namespace

const Bitmap& bitmap(Picture p) {
    const auto i = static_cast<size_t>(p);
    if (!drawn().done[i]) draw(p);
    return drawn().pictures[i];
}

void drawEveryPicture() {
    for (int i = 0; i < kCount; ++i) bitmap(static_cast<Picture>(i));
}
