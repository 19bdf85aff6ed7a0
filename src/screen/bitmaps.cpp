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

struct Drawn {
    std::array<Bitmap, kCount> pictures;
    std::array<bool, kCount> done{};
};

Drawn& drawn() {
    static Drawn d;
    return d;
}

// The pictures made whole by one maker each.
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

Picture spearPicture(Lane l) {
    return l == Lane::Cyan ? Picture::spearCyan : l == Lane::Red ? Picture::spearRed : Picture::spearWhite;
}

// Draws the picture `wanted` and those drawn with it: each creature and the
// spear is one drawing, inked in the three lane colours.
void draw(Picture wanted) {
    using namespace art;
    Drawn& d = drawn();
    auto put = [&](Picture p, Bitmap pic) {
        d.pictures[static_cast<size_t>(p)] = std::move(pic);
        d.done[static_cast<size_t>(p)] = true;
    };
    auto inkLanes = [&](auto pictureIn, Grid (*drawing)()) {
        bool among = false;
        for (const auto& [lane, rgb] : lanes::kColours) among = among || pictureIn(lane) == wanted;
        if (!among) return;
        const Grid g = drawing();
        for (const auto& [lane, rgb] : lanes::kColours) put(pictureIn(lane), lineArt(g, rgb));
    };
    for (const CardFaceRow& f : kCardFaces)
        if (cardPicture(f.face) == wanted) put(wanted, makeCard(f.face));
    for (const auto& [p, make] : kMade)
        if (p == wanted) put(p, make());
    for (const CreatureDrawing& c : kCreatureDrawings)
        inkLanes([&](Lane l) { return creaturePicture(c.kind, l); }, c.draw);
    inkLanes(spearPicture, drawSpear);
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
