// The game's pictures: each is drawn once, on first use (or all at once by
// drawEveryPicture), by the makers in art_*.cpp, and kept for the life of
// the program.
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

struct Drawn {
    std::array<Bitmap, kCount> pictures;
    std::array<bool, kCount> done{};
};

Drawn& drawn() {
    static Drawn d;
    return d;
}

// Draws the picture `wanted` and those drawn with it: a lane set is one
// drawing inked three times.
void draw(Picture wanted) {
    using namespace art;
    Drawn& d = drawn();
    auto put = [&](Picture p, Bitmap pic) {
        d.pictures[static_cast<size_t>(p)] = std::move(pic);
        d.done[static_cast<size_t>(p)] = true;
    };
    // The pictures from `first` on, `count` of them, if `wanted` is among them.
    auto among = [&](Picture first, int count) {
        const int at = static_cast<int>(wanted) - static_cast<int>(first);
        return at >= 0 && at < count;
    };
    auto inkLanes = [&](Picture white, Grid (*drawing)()) {
        if (!among(white, 3)) return;
        const Grid g = drawing();
        for (const auto& [lane, rgb] : lanes::kColours) put(inLane(white, lane), lineArt(g, rgb));
    };
    auto one = [&](Picture p, Bitmap (*make)()) {
        if (p == wanted) put(p, make());
    };
    for (Picture p : {Picture::faceDownCard, Picture::oxygenCard, Picture::tanksCard, Picture::weaponCard, Picture::blankCard})
        if (p == wanted) put(p, makeCard(p));
    one(Picture::sea, makeSea);
    inkLanes(Picture::octopusWhite, drawOctopus);
    inkLanes(Picture::crabWhite, drawCrab);
    inkLanes(Picture::morayWhite, drawMoray);
    inkLanes(Picture::squidWhite, drawSquid);
    inkLanes(Picture::spearWhite, drawSpear);
    one(Picture::ring, makeRing);
    one(Picture::curtain, makeCurtain);
    one(Picture::grilledSquid, makeGrilledSquid);
    one(Picture::biggestSquidMessage, makeBiggestMessage);
    one(Picture::tastyMessage, makeTastyMessage);
    one(Picture::gameOver, makeGameOver);
    one(Picture::bubble, makeBubble);
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
