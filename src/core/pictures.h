// The game's pictures as the rules see them: which picture an item shows and
// how big it is. The pixels themselves are drawn by the screen layer.
#pragma once
#include <array>
#include <cstdint>
#include <iterator>

#include "core/card_faces.h"
#include "core/creatures.h"
#include "core/keyed.h"

// The pictures in their order. The card faces' and the creatures' pictures
// are not named here: each face of core/card_faces.h has one, and
// each creature of core/creatures.h has three, white, cyan and red, in the
// block from firstCreature on (creaturePicture below).
enum class Picture : uint8_t {
    firstCardFace,  // each card face's, in the order of CardFace (cardPicture below)
    sea = firstCardFace + kCardFaceCount,
    firstCreature,
    spearWhite = firstCreature + 3 * kCreatureCount, spearCyan, spearRed,
    ring, curtain, grilledSquid, biggestSquidMessage, tastyMessage, gameOver, bubble,
    Count,
    None = 0xFF  // an item that shows no picture (an empty card slot)
};
constexpr int kPictureCount = static_cast<int>(Picture::Count);

// The picture of a card face.
constexpr Picture cardPicture(CardFace f) { return static_cast<Picture>(code(Picture::firstCardFace) + code(f)); }

// The picture of a creature in a lane (White, Cyan or Red).
constexpr Picture creaturePicture(CreatureKind k, Lane l) {
    return static_cast<Picture>(code(Picture::firstCreature) + 3 * creatureIndex(k) + code(l) - code(Lane::White));
}

// Every picture in the order of Picture: its name, its size in pixels (an
// item that is not stretched takes the size of its picture, so the pointer
// routing depends on these), and whether it is drawn see-through where it has
// its key colour (its bottom-left pixel's, pure blue). The sea, the curtain
// and the endings' pictures are opaque; the catalogue's draw modes are
// checked against this.
struct PictureRow {
    Picture picture;
    const char* name;
    Size size;
    bool keyed;
};
// The pictures that are neither a card face's nor a creature's.
inline constexpr PictureRow kOwnPictures[] = {
    {Picture::sea, "sea", {66, 1056}, false},
    {Picture::spearWhite, "spearWhite", {23, 23}, true},
    {Picture::spearCyan, "spearCyan", {23, 23}, true},
    {Picture::spearRed, "spearRed", {23, 23}, true},
    {Picture::ring, "ring", {19, 19}, true},
    {Picture::curtain, "curtain", {6, 6}, false},
    {Picture::grilledSquid, "grilledSquid", {136, 85}, false},
    {Picture::biggestSquidMessage, "biggestSquidMessage", {121, 44}, false},
    {Picture::tastyMessage, "tastyMessage", {98, 32}, false},
    {Picture::gameOver, "gameOver", {103, 17}, false},
    {Picture::bubble, "bubble", {4, 4}, true},
};
// All of them: those above, each card face's (keyed cards), and each
// creature's three, keyed line drawings of its row's size.
inline constexpr auto kPictures = [] {
    std::array<PictureRow, kPictureCount> rows{};
    for (const PictureRow& r : kOwnPictures) rows[code(r.picture)] = r;
    for (const CardFaceRow& f : kCardFaces)
        rows[code(cardPicture(f.face))] = {cardPicture(f.face), f.name, {kCardW, kCardH}, true};
    for (const Creature& c : kCreatures)
        for (Lane l : {Lane::White, Lane::Cyan, Lane::Red})
            rows[code(creaturePicture(c.kind, l))] = {creaturePicture(c.kind, l), creatureLaneName(c.kind, l), c.size,
                                                      true};
    return rows;
}();
static_assert(std::size(kOwnPictures) + kCardFaceCount + 3 * kCreatureCount == kPictureCount &&
              rowsInKeyOrder(kPictures, &PictureRow::picture));

constexpr bool isPicture(Picture p) { return static_cast<int>(p) < kPictureCount; }
constexpr Size pictureSize(Picture p) { return isPicture(p) ? kPictures[static_cast<int>(p)].size : Size{0, 0}; }
constexpr bool pictureIsKeyed(Picture p) { return isPicture(p) && kPictures[static_cast<int>(p)].keyed; }
// "none" for Picture::None.
constexpr const char* pictureName(Picture p) { return isPicture(p) ? kPictures[static_cast<int>(p)].name : "none"; }

// The game's colours, 0xRRGGBB. Lanes are told apart by colour alone: lane 1
// is white, lane 2 cyan, lane 3 red.
constexpr uint32_t kKeyBlue = 0x0000FF;  // see-through in every keyed picture
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kCyan = 0x00FFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kYellow = 0xFFFF00;
constexpr uint32_t kBlack = 0x000000;
