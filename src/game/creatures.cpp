// The four creatures, their visits and the fight with the spear.
#include "game/form.h"

namespace {

struct Creature {
    const char* name;
    Id sprite[3];  // lanes 1 (white), 2 (cyan), 3 (red)
    int left, top;
    int16_t life;
    uint8_t spawnLane;  // 0: the giant squid picks a lane at random
    int16_t reward;
    int upLeft;         // where the "UP !!" marker stands on the life row
};

const Creature kCreatures[5] = {
    {"", {Id::taco, Id::taco2, Id::taco3}, 0, 0, 0, 0, 0, 0},
    {"オクトパス", {Id::taco, Id::taco2, Id::taco3}, 88, 75, 90, 1, 120, 46},
    {"クラボス", {Id::cani, Id::cani2, Id::cani3}, 48, 54, 400, 2, 600, 46},
    {"グルナレイム", {Id::utsu, Id::utsu2, Id::utsu3}, 20, 41, 800, 3, 2400, 51},
    {"大王イカ", {Id::velmo, Id::velmo2, Id::velmo3}, 0, 42, 2900, 0, 10000, 56},
};

constexpr Id kPanel[] = {Id::LabelNM1, Id::LabelNM2, Id::LabelHP3, Id::LabelHP4, Id::LbHP3, Id::LbHP4};

}  // namespace

void TForm1::spawn(int kind) {
    const Creature& c = kCreatures[kind];
    st_.EnemyActive = 1;
    st_.EnemyKind = static_cast<uint8_t>(kind);
    if (c.spawnLane != 0) st_.EnemyLane = c.spawnLane;
    for (Id s : c.sprite) scr_.move(s, c.left, c.top);
    if (c.spawnLane != 0) {
        // The other two lane sprites are hidden already.
        scr_.show(c.sprite[c.spawnLane - 1]);
    } else {
        st_.EnemyLane = static_cast<uint8_t>(rng_.Random(3) + 1);
        for (int lane = 1; lane <= 3; ++lane) scr_.setVisible(c.sprite[lane - 1], lane == st_.EnemyLane);
    }
    scr_.setText(Id::LabelNM1, c.name);
    scr_.setText(Id::LabelNM2, c.name);
    st_.EnemyLife = c.life;
    writeEnemyLife();
    for (Id id : kPanel) scr_.show(id);
}

void TForm1::laneChange(int lane) {
    st_.EnemyLane = static_cast<uint8_t>(lane);
    const Creature& c = kCreatures[st_.EnemyKind < 5 ? st_.EnemyKind : 0];
    for (int l = 1; l <= 3; ++l) scr_.setVisible(c.sprite[l - 1], l == lane);
}

void TForm1::retreat(int kind) {
    st_.EnemyActive = 0;
    st_.EnemyKind = 0;
    st_.EnemyLane = 0;
    for (Id s : kCreatures[kind].sprite) scr_.hide(s);
    scr_.hide(Id::LabelHT1);
    scr_.hide(Id::LabelHT2);
    for (Id id : kPanel) scr_.hide(id);
}

void TForm1::strike() {
    if (!(st_.Striking == 1 && st_.EnemyActive == 1 && st_.EnemyLane == st_.SpearLane)) {
        scr_.hide(Id::LabelHT1);
        scr_.hide(Id::LabelHT2);
        return;
    }
    const int kind = st_.EnemyKind;
    // The spear bites by the creature's strength; the ring doubles it
    // against the giant squid.
    const int damage = kind == 4 ? (st_.RingOn == 1 ? 8 : 4) : kind;
    st_.EnemyLife = add16(st_.EnemyLife, -damage);
    scr_.show(Id::LabelHT1);
    scr_.show(Id::LabelHT2);
    writeEnemyLife();
    if (st_.EnemyLife < 1 && kind >= 1 && kind <= 4) {
        const Creature& c = kCreatures[kind];
        st_.EnemyLife = 0;
        st_.SeNo = 2;
        StopSE();
        PlaySE();
        if (kind == 4) st_.Diving = 0;
        for (Id s : c.sprite) scr_.hide(s);
        st_.Life = add16(st_.Life, c.reward);
        if (kind == 4) st_.Cleared = 1;
        showUpMarker(c.upLeft, 164);  // on the life row
        st_.EnemyActive = 0;
        st_.EnemyKind = 0;
    }
    writeLife();
    writeEnemyLife();
}
