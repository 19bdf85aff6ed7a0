// The rows of cards: one card of each row may be turned, for the spear, the
// ring, spare tanks, more oxygen, or nothing.
#include <iterator>

#include "core/game.h"
#include "core/keyed.h"

namespace {

enum class Gift : uint8_t { Blank, Spear, Ring, Tanks, Oxygen, Count };

constexpr Gift kDeals[6][3] = {
    {Gift::Blank, Gift::Spear, Gift::Tanks},
    {Gift::Blank, Gift::Tanks, Gift::Oxygen},
    {Gift::Tanks, Gift::Blank, Gift::Blank},
    {Gift::Ring, Gift::Oxygen, Gift::Tanks},
    {Gift::Blank, Gift::Tanks, Gift::Blank},
    {Gift::Blank, Gift::Blank, Gift::Tanks},
};

// Each gift and the face its card shows.
struct GiftRow {
    Gift gift;
    CardFace face;
};
constexpr GiftRow kGifts[] = {
    {Gift::Blank, CardFace::Blank},
    {Gift::Spear, CardFace::Weapon},
    {Gift::Ring, CardFace::Weapon},
    {Gift::Tanks, CardFace::Tanks},
    {Gift::Oxygen, CardFace::Oxygen},
};
static_assert(rowsInKeyOrder(kGifts, &GiftRow::gift) && std::size(kGifts) == static_cast<size_t>(Gift::Count));

Item faceOf(Gift g) { return cardHolder(kGifts[static_cast<size_t>(g)].face); }

constexpr Item kSlots[3] = {Item::cardSlot1, Item::cardSlot2, Item::cardSlot3};

constexpr int kRowTop = 75;          // where a dealt row lies
constexpr int kTurnedCardRise = 10;  // a turned card rises this many pixels
constexpr int kTanksOnACard = 3;
constexpr int kOxygenOnACard = 20;   // added to oxygen and to what a tank refills
// Where "UP !!" stands on the row of the value a card raised.
constexpr int kUpLeftOfTanks = 61;
constexpr int kUpLeftOfOxygen = 55;

}  // namespace

// The script lays a row of three face-down cards...
void Game::deal(int n) {
    state_.DealNo = static_cast<uint8_t>(n);
    for (Item slot : kSlots) field_.setTop(slot, kRowTop);
    for (Item slot : kSlots) {
        field_.copyPicture(slot, cardHolder(CardFace::FaceDown));
        field_.show(slot);
    }
}

// ...and takes it away again, turned or not.
void Game::takeRowAway() {
    state_.DealNo = 0;
    for (Item slot : kSlots) field_.hide(slot);
}

// A left press turns a card of the row on the table, one card a row: it
// rises a little, shows its face and gives its gift. The row's number and the
// card's place decide the gift; nothing is left to chance.
void Game::turnCard(int slot, Button b) {
    if (b != Button::Left || state_.DealNo == 0 || state_.DealNo > std::size(kDeals) || slot < 0 || slot > 2) return;
    soundEffect(Effect::Card);
    const Item card = kSlots[slot];
    field_.setTop(card, field_.top(card) - kTurnedCardRise);
    const Gift g = kDeals[state_.DealNo - 1][slot];
    field_.copyPicture(card, faceOf(g));
    switch (g) {
        case Gift::Blank: case Gift::Count: break;
        case Gift::Spear:
            field_.show(kSpear.in(Lane::White));
            state_.SpearLane = Lane::White;
            break;
        case Gift::Ring:
            state_.RingOn = true;
            field_.show(Item::ring);
            break;
        case Gift::Tanks:
            showUpMarker(kUpLeftOfTanks, Label::tanksValue);
            state_.Tanks = add16(state_.Tanks, kTanksOnACard);
            writeTanks();
            break;
        case Gift::Oxygen:
            showUpMarker(kUpLeftOfOxygen, Label::oxygenValue);
            state_.Oxygen = add16(state_.Oxygen, kOxygenOnACard);
            state_.OxygenMax = add16(state_.OxygenMax, kOxygenOnACard);
            writeOxygen();
            break;
    }
    state_.DealNo = 0;
}
