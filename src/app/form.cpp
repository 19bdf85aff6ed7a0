// The main window's creation and destruction steps.
#include "game/form.h"

TForm1::TForm1(Screen& screen, CommandSink& mci, Host& host) : scr_(screen), mci_(mci), host_(host) {}

void TForm1::FormCreate(uint32_t seed) {
    // The window itself (size, colour, double buffering) is the platform's;
    // here the game seeds its dice and fills the record.
    rng_.setSeed(seed);
    st_ = GameState{};
    st_.Life = 200;
    st_.Oxygen = 80;
    st_.OxygenMax = 80;
    st_.Tanks = 9;
    writeLife();
    writeOxygen();
    writeTanks();
}

void TForm1::FormDestroy() {
    // Silence the effect channel first, then the music.
    mci_.send("stop se1");
    mci_.send("close se1");
    mci_.send("stop audio1");
    mci_.send("close audio1");
}

void TForm1::writeLife() { writeValue(scr_, Id::LbHP1, Id::LbHP2, st_.Life); }
void TForm1::writeOxygen() { writeValue(scr_, Id::LbOX1, Id::LbOX2, st_.Oxygen); }
void TForm1::writeTanks() { writeValue(scr_, Id::LbBMB1, Id::LbBMB2, st_.Tanks); }
void TForm1::writeEnemyLife() { writeValue(scr_, Id::LbHP3, Id::LbHP4, st_.EnemyLife); }
