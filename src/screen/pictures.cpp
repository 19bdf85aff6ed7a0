// The game's pictures: each is drawn once, on first use, by the makers in
// art_*.cpp, and kept for the life of the program.
#include "screen/pictures.h"

#include <array>

#include "screen/art_canvas.h"

namespace {

constexpr int kCount = static_cast<int>(Pic::Count);

const char* const kNames[kCount] = {
    "card",  "cardox", "cardb", "cardwp", "cardsk", "back",   "taco",  "taco2",   "taco3", "cani",
    "cani2", "cani3",  "utsu",  "utsu2",  "utsu3",  "velmo",  "velmo2", "velmo3", "spear", "spear2",
    "spear3", "ring",  "waku",  "ikayaki", "mes1",  "mes2",   "over",  "awa",
};

// The three lane colours, in lane order.
constexpr uint32_t kLane[3] = {kWhite, kCyan, kRed};

std::array<Picture, kCount> buildAll() {
    using namespace art;
    std::array<Picture, kCount> a;
    auto put = [&](Pic p, Picture pic) { a[static_cast<size_t>(p)] = std::move(pic); };
    // Each creature and the spear is one drawing, inked in the three lane colours.
    auto lanes = [&](Pic first, const Grid& drawing) {
        for (int i = 0; i < 3; ++i) put(static_cast<Pic>(static_cast<int>(first) + i), lineArt(drawing, kLane[i]));
    };
    for (Pic p : {Pic::card, Pic::cardox, Pic::cardb, Pic::cardwp, Pic::cardsk}) put(p, makeCard(p));
    put(Pic::back, makeSea());
    lanes(Pic::taco, drawOctopus());
    lanes(Pic::cani, drawCrab());
    lanes(Pic::utsu, drawMoray());
    lanes(Pic::velmo, drawSquid());
    lanes(Pic::spear, drawSpear());
    put(Pic::ring, makeRing());
    put(Pic::waku, makeCurtain());
    put(Pic::ikayaki, makeGrilledSquid());
    put(Pic::mes1, makeBiggestMessage());
    put(Pic::mes2, makeTastyMessage());
    put(Pic::over, makeGameOver());
    put(Pic::awa, makeBubble());
    return a;
}

}  // namespace

const Picture& picture(Pic p) {
    static const std::array<Picture, kCount> all = buildAll();
    return all[static_cast<size_t>(p)];
}

const char* pictureName(Pic p) { return kNames[static_cast<int>(p)]; }
