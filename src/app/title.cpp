// The title screen: the word "潜行" lights up under the pointer, and a left
// click on it starts the dive.
#include "game/form.h"

void TForm1::Label2MouseMove() { scr_.setColor(Id::Label2, kYellow); }

void TForm1::Label2Click() {
    st_.Diving = 1;
    st_.SeNo = 3;
    StopSE();
    PlaySE();
    scr_.hide(Id::Label1);
    scr_.hide(Id::Label2);
    // Let the window catch up (and repaint the now empty title) before the
    // sea comes in.
    host_.processMessages();
    for (Id id : {Id::back, Id::LabelHP1, Id::LabelHP2, Id::LabelOX1, Id::LabelOX2, Id::LabelBMB1,
                  Id::LabelBMB2, Id::LbHP1, Id::LbHP2, Id::LbOX1, Id::LbOX2, Id::LbBMB1, Id::LbBMB2})
        scr_.show(id);
    st_.LastTick = host_.clock();
    host_.install(Phase::Dive);
    st_.BgmNo = 1;
    PlayBGM();
}
