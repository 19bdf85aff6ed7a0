// The game's pictures: each is drawn once, on first use, by the makers in
// art_*.cpp, and kept for the life of the program.
#include "screen/bitmaps.h"

#include <array>

#include "screen/art_canvas.h"

namespace {

constexpr int kCount = static_cast<int>(Picture::Count);

// The three lane colours, in lane order.
constexpr uint32_t kLane[3] = {kWhite, kCyan, kRed};

std::array<Bitmap, kCount> buildAll() {
    using namespace art;
    std::array<Bitmap, kCount> a;
    auto put = [&](Picture p, Bitmap pic) { a[static_cast<size_t>(p)] = std::move(pic); };
    // Each creature and the spear is one drawing, inked in the three lane colours.
    auto lanes = [&](Picture first, const Grid& drawing) {
        for (int i = 0; i < 3; ++i) put(static_cast<Picture>(static_cast<int>(first) + i), lineArt(drawing, kLane[i]));
    };
    for (Picture p : {Picture::faceDownCard, Picture::oxygenCard, Picture::tanksCard, Picture::weaponCard, Picture::blankCard}) put(p, makeCard(p));
    put(Picture::sea, makeSea());
    lanes(Picture::octopusWhite, drawOctopus());
    lanes(Picture::crabWhite, drawCrab());
    lanes(Picture::morayWhite, drawMoray());
    lanes(Picture::squidWhite, drawSquid());
    lanes(Picture::spearWhite, drawSpear());
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
