// The rows of cards: one card of each row may be turned, for the spear, the
// ring, spare tanks, more oxygen, or nothing.
#include "game/form.h"

namespace {

enum class Gift : uint8_t { Blank, Spear, Ring, Tanks, Oxygen };

constexpr Gift kDeals[6][3] = {
    {Gift::Blank, Gift::Spear, Gift::Tanks},
    {Gift::Blank, Gift::Tanks, Gift::Oxygen},
    {Gift::Tanks, Gift::Blank, Gift::Blank},
    {Gift::Ring, Gift::Oxygen, Gift::Tanks},
    {Gift::Blank, Gift::Tanks, Gift::Blank},
    {Gift::Blank, Gift::Blank, Gift::Tanks},
};

Id faceOf(Gift g) {
    switch (g) {
        case Gift::Spear: case Gift::Ring: return Id::cardwp;
        case Gift::Tanks: return Id::cardb;
        case Gift::Oxygen: return Id::cardox;
        case Gift::Blank: break;
    }
    return Id::cardsk;
}

constexpr Id kSlots[3] = {Id::card1, Id::card2, Id::card3};

}  // namespace

void TForm1::cardMouseDown(int slot, Button b) {
    if (b != Button::Left || st_.DealNo == 0 || st_.DealNo > 6) return;
    st_.SeNo = 3;
    StopSE();
    PlaySE();
    const Id card = kSlots[slot];
    scr_.setTop(card, scr_.top(card) - 10);
    const Gift g = kDeals[st_.DealNo - 1][slot];
    scr_.copyPicture(card, faceOf(g));
    switch (g) {
        case Gift::Blank: break;
        case Gift::Spear:
            scr_.show(Id::spear);
            st_.SpearLane = 1;
            break;
        case Gift::Ring:
            st_.RingOn = 1;
            scr_.show(Id::ring);
            break;
        case Gift::Tanks:
            showUpMarker(61, 194);  // beside the tank count
            st_.Tanks = add16(st_.Tanks, 3);
            writeTanks();
            break;
        case Gift::Oxygen:
            showUpMarker(55, 179);  // beside the oxygen
            st_.Oxygen = add16(st_.Oxygen, 20);
            st_.OxygenMax = add16(st_.OxygenMax, 20);
            writeOxygen();
            break;
    }
    st_.DealNo = 0;
}
