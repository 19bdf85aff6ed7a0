// The faces a card can show, one row each. A face's picture
// (core/pictures.h, cardPicture) and the hidden item that holds it for a
// turned card to take (core/playfield.h, cardHolder) are made from its row;
// its symbol is drawn in the screen layer (kCardSymbols in
// src/screen/art_cards.cpp), and a face without its symbol fails the build
// there. Which face each gift shows is in core/cards.cpp.
#pragma once
#include <cstdint>
#include <iterator>

#include "core/keyed.h"

enum class CardFace : uint8_t { FaceDown, Oxygen, Tanks, Weapon, Blank, Count };

struct CardFaceRow {
    CardFace face;
    const char* name;  // of its picture and of its holder
};
inline constexpr CardFaceRow kCardFaces[] = {
    {CardFace::FaceDown, "faceDownCard"},
    {CardFace::Oxygen, "oxygenCard"},
    {CardFace::Tanks, "tanksCard"},
    {CardFace::Weapon, "weaponCard"},
    {CardFace::Blank, "blankCard"},
};
inline constexpr int kCardFaceCount = static_cast<int>(std::size(kCardFaces));
static_assert(rowsInKeyOrder(kCardFaces, &CardFaceRow::face) &&
              kCardFaceCount == static_cast<int>(CardFace::Count));

// Every face is a card of this size.
inline constexpr int kCardW = 50, kCardH = 51;

constexpr const char* cardFaceName(CardFace f) { return kCardFaces[static_cast<int>(f)].name; }
