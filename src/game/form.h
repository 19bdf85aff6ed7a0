// The main window's game: the state record, the items, the random source and
// every handler. Methods are defined in the file of the part of the game they
// belong to (title, dive tick, timeline, creatures, swipes, cards, endings,
// sound).
#pragma once
#include <cstdint>

#include "game/host.h"
#include "game/random.h"
#include "game/state.h"
#include "screen/items.h"
#include "screen/pointer.h"
#include "sound/command.h"

// The screen position of the mouse event being handled and the screen
// position of the client area's top-left corner.
struct EventPos {
    int32_t screenX = 0, screenY = 0;
    int32_t originX = 0, originY = 0;
};

class TForm1 {
public:
    TForm1(Screen& screen, CommandSink& mci, Host& host);

    // Start-up and shutdown.
    void FormCreate(uint32_t seed);
    void FormDestroy();

    // Title (app/title.cpp).
    void Label2MouseMove();
    void Label2Click();

    // Phase handlers: each sets done to false on every call.
    void AppMain(bool& done);
    void AppOver(bool& done);
    void AppEnd(bool& done);

    // Pointer handlers (swipes and spear, cards).
    void backMouseDown(Button b);
    void backMouseUp(Button b);
    void backMouseMove();
    void spearMouseMove();
    void card1MouseDown(Button b) { cardMouseDown(0, b); }
    void card2MouseDown(Button b) { cardMouseDown(1, b); }
    void card3MouseDown(Button b) { cardMouseDown(2, b); }

    // Sound.
    void PlayBGM();
    void StopBGM();
    void PlaySE();
    void StopSE();

    // The platform tells the form where the event being handled happened.
    void setEventPos(const EventPos& p) { eventPos_ = p; }

    GameState& state() { return st_; }
    const GameState& state() const { return st_; }
    Screen& screen() { return scr_; }
    Lcg& rng() { return rng_; }

private:
    friend struct FormAccess;  // lets tests reach the smaller duties

    // Swipes.
    void Mdw();
    void Mup();
    void takePointer();

    // Cards.
    void cardMouseDown(int slot, Button b);
    void deal(int n);
    void dealEnd();

    // Dive tick.
    void moveBubble(Id awa, uint8_t& rising, int rise, uint32_t startRange);
    void hideBubblesUnderCurtain();
    void raiseCurtain();
    void strike();
    void drain();
    void dyingTick();
    void handOver(Phase next);
    void showUpMarker(int left, int top);

    // Timeline and creatures.
    void runTimeline();
    void spawn(int kind);
    void laneChange(int lane);
    void retreat(int kind);

    // The gate shared by the three phase handlers.
    bool gateOpen(int32_t gate);
    void endStep();

    void writeLife();
    void writeOxygen();
    void writeTanks();
    void writeEnemyLife();

    GameState st_;
    Screen& scr_;
    CommandSink& mci_;
    Host& host_;
    Lcg rng_;
    EventPos eventPos_;
};
