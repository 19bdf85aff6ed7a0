#include <gtest/gtest.h>

#include <stdexcept>

#include "core/game.h"
#include "screen/fixed_font.h"

namespace {

using Lines = std::vector<std::string>;

// Records every sound command and every "handle waiting events" in one log.
struct Recorder : CommandSink, Host {
    Lines log;
    int result = 0;
    std::string throwOn;  // a command that raises an error
    bool throwInMessages = false;
    int send(const std::string& c) override {
        log.push_back(c);
        if (c == throwOn) throw std::runtime_error("device gone");
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
    Lines playBGM(uint8_t n) {
        rec.log.clear();
        game.state().BgmNo = n;
        EXPECT_NO_THROW(game.playMusic());
        return rec.log;
    }
};

const std::string kOpen1 = "open \"dat/plomvex_s01.mid\" alias audio1", kPlay1 = "play audio1 from 14 notify";
const std::string kOpen2 = "open \"dat/ravederu.mid\" alias audio1", kPlay2 = "play audio1 from 1 notify";

TEST_F(SoundTest, MusicOpensPlaysThenHandlesWaitingEvents) {
    EXPECT_EQ(playBGM(1), (Lines{kOpen1, kPlay1, "<messages>"}));
    EXPECT_EQ(playBGM(2), (Lines{kOpen2, kPlay2, "<messages>"}));
    for (uint8_t n : {0, 3, 255}) EXPECT_EQ(playBGM(n), (Lines{"<messages>"})) << int{n};
    rec.result = 263;  // failures change nothing
    EXPECT_EQ(playBGM(1), (Lines{kOpen1, kPlay1, "<messages>"}));
}

TEST_F(SoundTest, ErrorWhileStartingMusicClosesTheMusicChannel) {
    rec.throwInMessages = true;  // a mouse handler fails during the dispatch
    EXPECT_EQ(playBGM(2), (Lines{kOpen2, kPlay2, "<messages>", "stop audio1", "close audio1"}));
    rec.throwInMessages = false;
    rec.throwOn = kPlay1;
    EXPECT_EQ(playBGM(1), (Lines{kOpen1, kPlay1, "stop audio1", "close audio1"}));
}

TEST_F(SoundTest, EffectsStopsAndWindowDestruction) {
    for (uint8_t n : {1, 2, 3, 4, 12}) {
        rec.log.clear();
        game.state().SeNo = n;
        game.playEffect();
        EXPECT_EQ(rec.log, (Lines{"open \"dat/se" + std::to_string(n) + ".wav\" alias se1", "play se1 from 0 notify"}));
    }
    rec.log.clear();
    game.stopEffect();
    game.stopMusic();
    EXPECT_EQ(rec.log, (Lines{"stop se1", "close se1", "stop audio1", "close audio1"}));
    // The window's destruction is the game's.
    rec.log.clear();
    { Game closing{font, rec, rec, 2}; }
    EXPECT_EQ(rec.log, (Lines{"stop se1", "close se1", "stop audio1", "close audio1"}));
}

}  // namespace
