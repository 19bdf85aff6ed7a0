// After the curtain: the game-over picture, or the short clear sequence.
#include "app/scheduler.h"
#include "game/form.h"

void TForm1::AppOver(bool& done) {
    if (gateOpen(kGateOver)) {
        scr_.show(Id::over);
        endStep();
        host_.install(Phase::None);
    }
    done = false;
}

void TForm1::AppEnd(bool& done) {
    if (gateOpen(kGateClear)) {
        st_.EndTick = add16(st_.EndTick, 1);
        switch (st_.EndTick) {
            case 40:
                st_.BgmNo = 0;
                StopBGM();
                break;
            case 90: scr_.show(Id::ikayaki); break;
            case 115: scr_.show(Id::mes1); break;
            case 135: scr_.show(Id::mes2); break;
            case 165:
                scr_.setCaption("☆☆ クリア ☆☆");
                endStep();
                host_.install(Phase::None);
                break;
            default: break;
        }
        endStep();
    }
    done = false;
}
