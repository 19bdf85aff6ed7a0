// The diver's hand: right-button swipes use a tank (vertical) or swing the
// spear to the next colour (horizontal); resting the pointer on the spear
// strikes.
#include <cstdlib>

#include "game/form.h"

namespace {
constexpr Id kSpears[3] = {Id::spear, Id::spear2, Id::spear3};
}

void TForm1::backMouseDown(Button b) {
    if (st_.Life <= 0) return;
    if (b == Button::Left) st_.MouseButton = 1;
    if (b == Button::Right) st_.MouseButton = 2;
    Mdw();
}

void TForm1::backMouseUp(Button b) {
    if (st_.Life <= 0) return;
    if (b == Button::Left) st_.MouseButton = 1;
    if (b == Button::Right) st_.MouseButton = 2;
    Mup();
}

void TForm1::takePointer() {
    // The event's own screen position, packed as the system gives it: a
    // position left of or above the screen's origin reads as a large number.
    st_.CursorPos = (static_cast<uint32_t>(eventPos_.screenX) & 0xFFFFu) |
                    ((static_cast<uint32_t>(eventPos_.screenY) & 0xFFFFu) << 16);
    const int32_t x = static_cast<int32_t>(st_.CursorPos & 0xFFFFu);
    const int32_t y = static_cast<int32_t>(st_.CursorPos >> 16);
    st_.PointerX = x - eventPos_.originX;
    st_.PointerY = y - eventPos_.originY;
}

void TForm1::Mdw() {
    if (st_.Diving != 1) return;
    takePointer();
    st_.DownX = st_.PointerX;
    st_.DownY = st_.PointerY;
}

void TForm1::Mup() {
    if (st_.Diving != 1 || st_.MouseButton != 2) return;
    takePointer();
    st_.UpX = st_.PointerX;
    st_.UpY = st_.PointerY;
    if (st_.UpX > 999 || st_.UpY > 999) return;
    const int64_t dx = static_cast<int64_t>(st_.UpX) - st_.DownX;
    const int64_t dy = static_cast<int64_t>(st_.UpY) - st_.DownY;
    st_.SwipeDX = static_cast<int32_t>(std::llabs(dx));
    st_.SwipeDY = static_cast<int32_t>(std::llabs(dy));
    if (std::llabs(dy) >= std::llabs(dx) && dy != 0 && st_.Tanks > 0) {
        // A fresh tank: oxygen back to the top.
        st_.SeNo = 1;
        StopSE();
        PlaySE();
        st_.Oxygen = st_.OxygenMax;
        st_.Tanks = add16(st_.Tanks, -1);
        writeOxygen();
        writeTanks();
    } else if (std::llabs(dx) > std::llabs(dy) && st_.SpearLane != 0) {
        st_.SeNo = 4;
        StopSE();
        PlaySE();
        const int lane = st_.SpearLane;
        // Right: white -> cyan -> red -> white; left the other way round.
        const int next = dx > 0 ? lane % 3 + 1 : (lane + 1) % 3 + 1;
        scr_.hide(kSpears[lane - 1]);
        scr_.show(kSpears[next - 1]);
        st_.SpearLane = static_cast<uint8_t>(next);
    }
}

void TForm1::spearMouseMove() {
    if (st_.Striking != 0) return;
    st_.Striking = 1;
    if (st_.SpearLane != 0 && st_.SpearLane == st_.EnemyLane) {
        // The next tick shows the marker again if the blow lands.
        scr_.hide(Id::LabelHT1);
        scr_.hide(Id::LabelHT2);
    }
}

void TForm1::backMouseMove() {
    if (st_.Diving == 0) scr_.setColor(Id::Label2, kWhite);
    if (st_.Striking == 1) {
        st_.Striking = 0;
        scr_.hide(Id::LabelHT1);
        scr_.hide(Id::LabelHT2);
    }
}
