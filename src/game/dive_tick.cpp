// One tick of the dive: the sea scrolls, the bubbles rise, the diver strikes,
// the script runs, and every second tick the diver breathes.
#include "app/scheduler.h"
#include "game/form.h"

namespace {
constexpr int kSeaBottom = -3200;  // the sea's top once it has scrolled away
constexpr int kBubbleStartTop = 211;
constexpr int kDeepTick = 3280;    // from here on breathing and contact cost more
}  // namespace

bool TForm1::gateOpen(int32_t gate) { return elapsedMs(host_.clock(), st_.LastTick) >= gate; }

void TForm1::endStep() {
    host_.sleep1();
    st_.LastTick = host_.clock();
}

void TForm1::handOver(Phase next) {
    host_.sleep1();
    st_.LastTick = host_.clock();
    host_.install(next);  // replaces the dive's own handler
}

void TForm1::moveBubble(Id awa, uint8_t& rising, int rise, uint32_t startRange) {
    if (rising == 1) {
        scr_.setTop(awa, scr_.top(awa) - rise);
        // A little wobble on the way up.
        scr_.setLeft(awa, scr_.left(awa) + (rng_.Random(2) == 1 ? -1 : 1));
        if (scr_.top(awa) <= 0) {
            scr_.hide(awa);
            scr_.setTop(awa, kBubbleStartTop);
            scr_.setLeft(awa, static_cast<int>(rng_.Random(200)));
            rising = 0;
        }
    } else if (st_.Cleared == 0) {
        if (rng_.Random(startRange) == startRange - 1 && st_.Life > 0) {
            rising = 1;
            scr_.show(awa);
        }
    }
}

void TForm1::hideBubblesUnderCurtain() {
    const int curtain = scr_.top(Id::waku);
    if (scr_.top(Id::awa1) >= curtain) {
        scr_.hide(Id::awa1);
        st_.Bubble1Rising = 0;
    }
    if (scr_.top(Id::awa2) >= curtain) {
        scr_.hide(Id::awa2);
        st_.Bubble2Rising = 0;
    }
}

void TForm1::raiseCurtain() {
    scr_.setTop(Id::waku, scr_.top(Id::waku) - 2);
    hideBubblesUnderCurtain();
}

// "UP !!" beside a value that grew; the tick takes it down again 30 ticks on.
void TForm1::showUpMarker(int left, int top) {
    scr_.move(Id::LabelUP1, left, top);
    scr_.move(Id::LabelUP2, left + 1, top + 1);
    scr_.show(Id::LabelUP1);
    scr_.show(Id::LabelUP2);
    st_.UpShown = 1;
}

void TForm1::drain() {
    // Breath: oxygen first; once it is gone the diver's life pays.
    if (st_.Oxygen > 0) {
        st_.Oxygen = add16(st_.Oxygen, -1);
    } else {
        st_.Life = add16(st_.Life, -1);
        if (st_.DiveTick >= kDeepTick) st_.Life = add16(st_.Life, -5);
        if (st_.Life < 0) st_.Life = 0;
    }
    // Contact: a creature on screen hurts whatever the lanes.
    if (st_.EnemyActive == 1) {
        st_.Life = add16(st_.Life, -st_.EnemyKind);
        if (st_.DiveTick >= kDeepTick) st_.Life = add16(st_.Life, st_.RingOn == 1 ? -2 : -10);
        if (st_.Life < 0) st_.Life = 0;
    }
    writeLife();
    writeOxygen();
    st_.HalfTick = 0;
}

void TForm1::dyingTick() {
    st_.Striking = 0;
    static constexpr Id kClear[] = {
        Id::taco, Id::cani, Id::utsu, Id::velmo, Id::taco2, Id::cani2, Id::utsu2, Id::velmo2,
        Id::taco3, Id::cani3, Id::utsu3, Id::velmo3,
        Id::LabelHP1, Id::LabelHP2, Id::LabelHP3, Id::LabelHP4, Id::LabelOX1, Id::LabelOX2,
        Id::LabelBMB1, Id::LabelBMB2, Id::LabelNM1, Id::LabelNM2, Id::LabelUP1, Id::LabelUP2,
        Id::LabelHT1, Id::LabelHT2, Id::LbHP1, Id::LbHP2, Id::LbHP3, Id::LbHP4, Id::LbOX1,
        Id::LbOX2, Id::LbBMB1, Id::LbBMB2, Id::spear, Id::spear2, Id::spear3, Id::ring};
    for (Id id : kClear) scr_.hide(id);
    if (scr_.top(Id::waku) > 0)
        raiseCurtain();
    else
        handOver(Phase::Over);
}

void TForm1::AppMain(bool& done) {
    if (gateOpen(kGateDive)) {
        st_.DiveTick = add16(st_.DiveTick, 1);
        st_.HalfTick = static_cast<uint8_t>(st_.HalfTick + 1);
        if (scr_.top(Id::back) > kSeaBottom) scr_.setTop(Id::back, scr_.top(Id::back) - 1);
        moveBubble(Id::awa1, st_.Bubble1Rising, 3, 50);
        moveBubble(Id::awa2, st_.Bubble2Rising, 2, 40);
        if (st_.Life >= 1) {
            strike();
            if (st_.UpShown == 1) {
                st_.UpTimer = static_cast<uint8_t>(st_.UpTimer + 1);
                if (st_.UpTimer > 30) {
                    scr_.hide(Id::LabelUP1);
                    scr_.hide(Id::LabelUP2);
                    st_.UpTimer = 0;
                    st_.UpShown = 0;
                }
            }
            if (st_.Cleared == 1) {
                // The squid is beaten: the curtain rises, then the clear
                // sequence takes over (this tick still runs to its end).
                if (scr_.top(Id::waku) > 0)
                    raiseCurtain();
                else
                    handOver(Phase::Clear);
            }
            runTimeline();
            if (st_.HalfTick == 2) drain();
        } else {
            dyingTick();
        }
        endStep();
    }
    done = false;
}
