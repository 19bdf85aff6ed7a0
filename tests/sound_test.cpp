#include <gtest/gtest.h>

#include <stdexcept>

#include "core/game.h"
#include "headless/harness.h"
#include "headless/test_access.h"
#include "screen/fixed_font.h"

namespace {

using Lines = std::vector<std::string>;

// Records every sound command and every "handle waiting events" in one log.
struct Recorder : CommandSink, Host {
    Lines log;
    int result = 0;
    bool throwInMessages = false;
    int send(const std::string& c) override {
        log.push_back(c);
        return result;
    }
    int32_t clock() override { return 0; }
    void sleep1() override {}
    void processMessages() override {
        log.push_back("<messages>");
        if (throwInMessages) throw std::runtime_error("handler failed");
    }
};

struct SoundTest : ::testing::Test {
    FixedFont font;
    Recorder rec;
    Game game{font, rec, rec, 1};
    GameTestAccess rig{game};
    Lines playBGM(Music piece) {
        rec.log.clear();
        rig.playMusic(piece);
        return rec.log;
    }
};

const std::string kOpen1 = "open \"dat/plomvex_s01.mid\" alias audio1", kPlay1 = "play audio1 from 14 notify";
const std::string kOpen2 = "open \"dat/ravederu.mid\" alias audio1", kPlay2 = "play audio1 from 1 notify";

TEST_F(SoundTest, MusicOpensAndPlaysEachPiece) {
    EXPECT_EQ(playBGM(Music::DiveTheme), (Lines{kOpen1, kPlay1}));
    EXPECT_EQ(playBGM(Music::BossTheme), (Lines{kOpen2, kPlay2}));
    EXPECT_EQ(playBGM(Music::None), Lines{});
    rec.result = 263;  // failures change nothing
    EXPECT_EQ(playBGM(Music::DiveTheme), (Lines{kOpen1, kPlay1}));
}

// Nothing in the game swallows an error: one raised by a handler that runs
// while the boss theme starts closes the music channel and goes on out of
// the step.
TEST_F(SoundTest, AnErrorWhileTheMusicStartsIsNotSwallowed) {
    // The start click on the title word.
    const Spot word = titleClick(game.view().playfield);
    game.pointer({MouseKind::Down, Button::Left, word.x, word.y, word.x, word.y, 0, 0});
    game.pointer({MouseKind::Up, Button::Left, word.x, word.y, word.x, word.y, 0, 0});
    ASSERT_EQ(game.phase(), Phase::Dive);
    rec.log.clear();
    rec.throwInMessages = true;  // a mouse handler fails during the dispatch
    rig.state().DiveTick = 2159;
    rig.state().LastTick = -1000;  // the gate is long open
    EXPECT_THROW(game.step(), std::runtime_error);
    EXPECT_EQ(rec.log,
              (Lines{"stop audio1", "close audio1", kOpen2, kPlay2, "<messages>", "stop audio1", "close audio1"}));
    EXPECT_EQ(game.view().state.BgmNo, Music::BossTheme);
}

TEST_F(SoundTest, EffectsStopsAndWindowDestruction) {
    const std::pair<Effect, const char*> files[] = {
        {Effect::Tank, "dat/se1.wav"}, {Effect::Defeat, "dat/se2.wav"}, {Effect::Card, "dat/se3.wav"},
        {Effect::Spear, "dat/se4.wav"}};
    for (const auto& [effect, file] : files) {
        rec.log.clear();
        rig.playEffect(effect);
        EXPECT_EQ(rec.log, (Lines{"open \"" + std::string(file) + "\" alias se1", "play se1 from 0 notify"}));
    }
    rec.log.clear();
    rig.stopEffect();
    rig.stopMusic();
    EXPECT_EQ(rec.log, (Lines{"stop se1", "close se1", "stop audio1", "close audio1"}));
    // The window's destruction is the game's.
    rec.log.clear();
    { Game closing{font, rec, rec, 2}; }
    EXPECT_EQ(rec.log, (Lines{"stop se1", "close se1", "stop audio1", "close audio1"}));
}

}  // namespace
