#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "game/form.h"
#include "screen/fixed_font.h"

namespace {

// Everything the form says to its sound layer and to its shell, in order.
struct Log {
    std::vector<std::string> lines;
};

class RecordingSink : public CommandSink {
public:
    explicit RecordingSink(Log& log) : log_(log) {}
    int send(const std::string& c) override {
        log_.lines.push_back(c);
        if (throwOn == c) throw std::runtime_error("device gone");
        return result;
    }
    int result = 0;
    std::string throwOn;

private:
    Log& log_;
};

class FakeHost : public Host {
public:
    explicit FakeHost(Log& log) : log_(log) {}
    int32_t clock() override { return 0; }
    void sleep1() override {}
    void install(Phase) override {}
    void processMessages() override {
        log_.lines.push_back("<messages>");
        if (throwInMessages) throw std::runtime_error("handler failed");
    }
    bool throwInMessages = false;

private:
    Log& log_;
};

struct SoundTest : ::testing::Test {
    FixedFont font;
    Screen screen{font};
    Log log;
    RecordingSink sink{log};
    FakeHost host{log};
    TForm1 form{screen, sink, host};
    using Lines = std::vector<std::string>;
};

TEST_F(SoundTest, MusicPiecesOpenPlayThenHandleMessages) {
    form.state().BgmNo = 1;
    form.PlayBGM();
    EXPECT_EQ(log.lines, (Lines{"open \"dat/plomvex_s01.mid\" alias audio1", "play audio1 from 14 notify", "<messages>"}));

    log.lines.clear();
    form.state().BgmNo = 2;
    form.PlayBGM();
    EXPECT_EQ(log.lines, (Lines{"open \"dat/ravederu.mid\" alias audio1", "play audio1 from 1 notify", "<messages>"}));

    // Any other number opens nothing, but waiting events are still handled.
    for (uint8_t n : {0, 3, 255}) {
        log.lines.clear();
        form.state().BgmNo = n;
        form.PlayBGM();
        EXPECT_EQ(log.lines, (Lines{"<messages>"})) << "BgmNo " << int{n};
    }
    EXPECT_EQ(form.state().BgmNo, 255);
}

TEST_F(SoundTest, FailedCommandsAreIgnored) {
    sink.result = 263;  // every command fails
    form.state().BgmNo = 1;
    form.PlayBGM();
    EXPECT_EQ(log.lines, (Lines{"open \"dat/plomvex_s01.mid\" alias audio1", "play audio1 from 14 notify", "<messages>"}));
}

TEST_F(SoundTest, ErrorWhileStartingMusicClosesTheMusicChannel) {
    // A handler that runs while waiting events are handled raises an error.
    host.throwInMessages = true;
    form.state().BgmNo = 2;
    EXPECT_NO_THROW(form.PlayBGM());
    EXPECT_EQ(log.lines, (Lines{"open \"dat/ravederu.mid\" alias audio1", "play audio1 from 1 notify", "<messages>",
                                "stop audio1", "close audio1"}));

    // An error from the command itself: the rest of the start is skipped.
    log.lines.clear();
    host.throwInMessages = false;
    sink.throwOn = "play audio1 from 14 notify";
    form.state().BgmNo = 1;
    EXPECT_NO_THROW(form.PlayBGM());
    EXPECT_EQ(log.lines, (Lines{"open \"dat/plomvex_s01.mid\" alias audio1", "play audio1 from 14 notify",
                                "stop audio1", "close audio1"}));
}

TEST_F(SoundTest, EffectsAndStops) {
    for (uint8_t n = 1; n <= 4; ++n) {
        log.lines.clear();
        form.state().SeNo = n;
        form.PlaySE();
        const std::string open = "open \"dat/se" + std::to_string(n) + ".wav\" alias se1";
        EXPECT_EQ(log.lines, (Lines{open, "play se1 from 0 notify"}));
    }
    log.lines.clear();
    form.state().SeNo = 12;  // plain decimal, whatever the number
    form.PlaySE();
    EXPECT_EQ(log.lines.at(0), "open \"dat/se12.wav\" alias se1");
    EXPECT_EQ(form.state().SeNo, 12);

    log.lines.clear();
    form.StopSE();
    form.StopBGM();
    EXPECT_EQ(log.lines, (Lines{"stop se1", "close se1", "stop audio1", "close audio1"}));
}

TEST_F(SoundTest, WindowDestructionStopsBothChannels) {
    form.FormDestroy();
    EXPECT_EQ(log.lines, (Lines{"stop se1", "close se1", "stop audio1", "close audio1"}));
}

}  // namespace
