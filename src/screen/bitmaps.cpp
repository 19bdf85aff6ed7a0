// The game's pictures: each is drawn once, on first use, by the makers in
// art_*.cpp, and kept for the life of the program.
#include "screen/bitmaps.h"

#include <array>

#include "core/lane.h"
#include "screen/art_canvas.h"

namespace {

constexpr int kCount = static_cast<int>(Picture::Count);

std::array<Bitmap, kCount> buildAll() {
    using namespace art;
    std::array<Bitmap, kCount> a;
    auto put = [&](Picture p, Bitmap pic) { a[static_cast<size_t>(p)] = std::move(pic); };
    // Each creature and the spear is one drawing, inked in the three lane colours.
    auto inkLanes = [&](auto pictureIn, const Grid& drawing) {
        for (const auto& [lane, rgb] : lanes::kColours) put(pictureIn(lane), lineArt(drawing, rgb));
    };
    for (const CardFaceRow& f : kCardFaces) put(cardPicture(f.face), makeCard(f.face));
    put(Picture::sea, makeSea());
    for (const CreatureDrawing& c : kCreatureDrawings)
        inkLanes([&](Lane l) { return creaturePicture(c.kind, l); }, c.draw());
    inkLanes([](Lane l) { return l == Lane::Cyan ? Picture::spearCyan : l == Lane::Red ? Picture::spearRed : Picture::spearWhite; },
             drawSpear());
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
