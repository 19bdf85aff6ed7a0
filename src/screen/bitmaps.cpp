// The game's pictures: each is drawn once, on first use, by the makers in
// art_*.cpp, and kept for the life of the program.
#include "screen/bitmaps.h"

#include <array>

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

std::array<Bitmap, kCount> buildAll() {
    using namespace art;
    std::array<Bitmap, kCount> a;
    auto put = [&](Picture p, Bitmap pic) { a[static_cast<size_t>(p)] = std::move(pic); };
    // Each creature and the spear is one drawing, inked in the three lane colours.
    auto inkLanes = [&](Picture white, const Grid& drawing) {
        for (const auto& [lane, rgb] : lanes::kColours) put(inLane(white, lane), lineArt(drawing, rgb));
    };
    for (Picture p : {Picture::faceDownCard, Picture::oxygenCard, Picture::tanksCard, Picture::weaponCard, Picture::blankCard}) put(p, makeCard(p));
    put(Picture::sea, makeSea());
    inkLanes(Picture::octopusWhite, drawOctopus());
    inkLanes(Picture::crabWhite, drawCrab());
    inkLanes(Picture::morayWhite, drawMoray());
    inkLanes(Picture::squidWhite, drawSquid());
    inkLanes(Picture::spearWhite, drawSpear());
    put(Picture::ring, makeRing());
    put(Picture::curtain, makeCurtain());
    put(Picture::grilledSquid, makeGrilledSquid());
    put(Picture::biggestSquidMessage, makeBiggestMessage());
    put(Picture::tastyMessage, makeTastyMessage());
    put(Picture::gameOver, makeGameOver());
    put(Picture::bubble, makeBubble());
    return a;
}

}  // namespace

const Bitmap& bitmap(Picture p) {
    static const std::array<Bitmap, kCount> all = buildAll();
    return all[static_cast<size_t>(p)];
}
