// The game's creation and destruction, and how pointer events and time reach
// its rules.
#include "core/game.h"

Game::Game(TextMeasure& font, CommandSink& sound, Host& host, uint32_t seed)
    : field_(font), dice_(seed), sound_(sound), host_(host) {
    writeLife();
    writeOxygen();
    writeTanks();
}

Game::~Game() {
    // Silence the effect channel first, then the music.
    sound_.send("stop se1");
    sound_.send("close se1");
    sound_.send("stop audio1");
    sound_.send("close audio1");
}

void Game::pointer(const PointerEvent& e) {
    event_ = e;
    Delivery out[2];
    const int n = router_.route(field_, e, out);
    for (int i = 0; i < n; ++i) deliver(out[i]);
}

void Game::deliver(const Delivery& d) {
    if (d.click) {
        if (d.binding == Binding::TitleWord) startDive();
        return;
    }
    switch (d.kind) {
        case MouseKind::Down:
            switch (d.binding) {
                case Binding::Swipes: case Binding::SwipesAndSea: case Binding::SwipesAndSpear: swipeStart(d.button); break;
                case Binding::Card1: turnCard(0, d.button); break;
                case Binding::Card2: turnCard(1, d.button); break;
                case Binding::Card3: turnCard(2, d.button); break;
                case Binding::TitleWord: case Binding::None: break;
            }
            break;
        case MouseKind::Up:
            switch (d.binding) {
                case Binding::Swipes: case Binding::SwipesAndSea: case Binding::SwipesAndSpear:
                case Binding::Card1: case Binding::Card2: case Binding::Card3: swipeEnd(d.button); break;
                case Binding::TitleWord: case Binding::None: break;
            }
            break;
        case MouseKind::Move:
            switch (d.binding) {
                case Binding::SwipesAndSea: moveOverSea(); break;
                case Binding::SwipesAndSpear: moveOverSpear(); break;
                case Binding::TitleWord: titleHover(); break;
                default: break;
            }
            break;
    }
}

bool Game::gateOpen() const {
    return phase_ != Phase::None && elapsedMs(host_.clock(), state_.LastTick) >= gateOf(phase_);
}

bool Game::step() {
    if (!gateOpen()) return false;
    switch (phase_) {
        case Phase::Dive: diveStep(); break;
        case Phase::GameOver: gameOverStep(); break;
        case Phase::Clear: clearStep(); break;
        case Phase::None: break;
    }
    return true;
}

// Every step ends with a 1 ms sleep, and the next gate counts from here.
void Game::endStep() {
    host_.sleep1();
    state_.LastTick = host_.clock();
}

// An ending takes over from the dive. The step that hands over still runs to
// its end (and so sleeps twice); the new phase waits its own gate from here.
void Game::handOver(Phase next) {
    endStep();
    phase_ = next;
}
