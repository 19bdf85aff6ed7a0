// The golden whole-state traces: recorded dives that every change of the
// code's shape must reproduce byte for byte. To re-record after a deliberate
// change of the game, run the tests with TORVENKA_UPDATE_TRACES=1 (never edit
// a trace by hand); TORVENKA_TRACE_DIR=DIR also writes every run's full
// trace there, one line a step, for comparing two builds with tracediff.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "headless/bots.h"
#include "headless/random_player.h"
#include "headless/replay.h"
#include "headless/trace.h"
#include "record/record_format.h"
#include "record/rules_identity.h"

namespace fs = std::filesystem;

namespace {

const fs::path kDir = fs::path(TORVENKA_SOURCE_DIR) / "tests" / "traces";

struct TraceRun {
    std::vector<std::string> lines;
    trace::Coverage coverage;
    DiveRecord dive;  // the record the loop kept of it
};

// Plays a dive and records it, to the window's closing.
TraceRun record(uint32_t seed, const std::function<void(Dive&)>& play, Driver driver) {
    auto d = std::make_unique<Dive>(seed, driver);
    trace::Recorder rec(*d);
    play(*d);
    DiveRecord dive = d->loop.record();
    rec.finish([&] { d.reset(); });
    return {rec.lines(), rec.coverage(), std::move(dive)};
}

// A diver who goes looking for the corners: clicks that pile up behind the
// start click and behind the boss music, a right click without moving, right
// releases far outside the window, the oxygen card before a tank, and swipes
// after the giant squid is beaten.
struct CornerDiver {
    GoodDiver diver{{1, 2, 0, 0, 1, 2}};  // the oxygen card in the second deal
    void afterTick(Dive& d) {
        diver.afterTick(d.st(), d);
        const GameState& s = d.st();
        if (s.DiveTick == 300) d.swipe(100, 150, 100, 150);
        if (s.DiveTick == 320) d.swipe(100, 150, 1200, 150);
        if (s.DiveTick == 330) d.swipe(100, 150, 100, 70000);
        if (s.Cleared && s.DiveTick % 20 == 0) {
            d.swipe(100, 120, 100, 60);
            d.swipe(40, 120, 150, 120);
        }
    }
};

void playCorners(Dive& d) {
    d.sound.onSend = [&](const std::string& c) {
        if (c.find("ravederu.mid") != std::string::npos && c.rfind("open", 0) == 0) {
            d.swipe(40, 160, 100, 160);
            d.move(141, 193);
        }
    };
    d.move(titleClick(d.field).x, titleClick(d.field).y);
    d.click(titleClick(d.field).x, titleClick(d.field).y);
    d.move(20, 20);
    d.swipe(50, 150, 50, 150);
    d.settle();
    CornerDiver bot;
    while (d.game.phase() == Phase::Dive) {
        d.runTo(d.st().DiveTick + 1);
        bot.afterTick(d);
        d.settle();
    }
    d.runOut();
}

struct Scenario {
    std::string name, title;
    uint32_t seed;
    std::function<void(Dive&)> play;
    bool keptAlive = false;  // the random player keeps its diver alive past the rules
};

std::vector<Scenario> scenarios() {
    std::vector<Scenario> all;
    for (const char* name : {"win", "lose"}) {
        std::ifstream in(fs::path(TORVENKA_SOURCE_DIR) / "tests" / "replays" / (std::string(name) + ".replay"));
        auto r = std::make_shared<Replay>();
        if (const auto err = parseReplay(in, *r)) ADD_FAILURE() << name << ".replay: " << err->describe();
        all.push_back({std::string("replay-") + name, std::string("the recorded replay ") + name + ".replay", r->seed,
                       [r](Dive& d) { playReplayIn(d, *r, [](int) {}); }});
    }
    all.push_back({"left-alone", "the start click, then nothing until game over", 2718, [](Dive& d) {
                       d.start();
                       d.runOut();
                   }});
    all.push_back({"corners", "a diver who goes looking for the corners of the rules", 31337, playCorners});
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        if (seed % 4 == 0) continue;  // those never click the title on purpose
        char name[32];
        std::snprintf(name, sizeof name, "random-%02u", seed);
        all.push_back({name, "a random pointer stream, seed " + std::to_string(seed), seed, [seed](Dive& d) {
                           RandomPlayer player(seed);
                           player.begin(d);
                           for (int turns = 0; turns < 4000 && player.turn(d); ++turns) {
                           }
                       },
                       seed % 3 == 0});
    }
    return all;
}

bool envSet(const char* name) {
    const char* v = std::getenv(name);
    return v && *v == '1';
}

TEST(Trace, GoldenTracesReplayByteForByte) {
    const bool update = envSet("TORVENKA_UPDATE_TRACES");
    const char* fullDir = std::getenv("TORVENKA_TRACE_DIR");
    trace::Coverage seen;
    int compared = 0;
    for (const Scenario& sc : scenarios()) {
        SCOPED_TRACE(sc.name);
        const TraceRun run = record(sc.seed, sc.play, Driver::Blocking);
        ASSERT_FALSE(run.lines.empty());
        const fs::path file = kDir / (sc.name + ".trace");
        const std::string text = trace::goldenText(sc.title + " (seed " + std::to_string(sc.seed) + ")", run.lines);
        if (update) {
            fs::create_directories(kDir);
            std::ofstream(file, std::ios::binary) << text;
        }
        if (fullDir && *fullDir) {
            std::ofstream out(fs::path(fullDir) / (sc.name + ".full"), std::ios::binary);
            for (const std::string& l : run.lines) out << l << "\n";
        }
        std::ifstream in(file, std::ios::binary);
        ASSERT_TRUE(in) << "no golden trace " << file << " (record with TORVENKA_UPDATE_TRACES=1)";
        const std::string golden((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(trace::compareWithGolden(golden, run.lines), "");
        ++compared;
        seen |= run.coverage;
    }
    EXPECT_GE(compared, 24);
    // Between them the traces pass through every moment worth pinning down.
    EXPECT_EQ(seen.missing(), "");
}

// A host that cannot block (a browser) drives the loop turn by turn: its
// sleeps only hold its clock back, its timers fire at the deadlines the turns
// name. The dives come out line for line the same as in the blocking loop.
TEST(Trace, TurnByTurnHostGivesTheSameLines) {
    for (const Scenario& sc : scenarios()) {
        SCOPED_TRACE(sc.name);
        const TraceRun run = record(sc.seed, sc.play, Driver::TurnByTurn);
        std::ifstream in(kDir / (sc.name + ".trace"), std::ios::binary);
        ASSERT_TRUE(in);
        const std::string golden((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(trace::compareWithGolden(golden, run.lines), "");
    }
}

// Every golden dive, as the loop recorded it, written as a link's text, read
// back and played: the replay comes to the same lines, and the record names
// the rules the traces hold.
TEST(Trace, RecordedDivesPlayBackToTheSameLines) {
    // The rules' identity is the traces' hash: traces recorded again change it.
    uint32_t h = 2166136261u;
    std::vector<fs::path> files;
    for (const auto& f : fs::directory_iterator(kDir))
        if (f.path().extension() == ".trace") files.push_back(f.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::string text = f.filename().string() + "\n" +
                                 std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (unsigned char c : text) h = (h ^ c) * 16777619u;
    }
    EXPECT_EQ(kRulesIdentity, h) << std::hex << "the golden traces changed: kRulesIdentity (record/rules_identity.h) is now 0x" << h;

    size_t played = 0;
    for (const Scenario& sc : scenarios()) {
        SCOPED_TRACE(sc.name);
        const TraceRun original = record(sc.seed, sc.play, Driver::Blocking);
        const std::string link = linkText(writeRecord(original.dive));
        const RecordRead back = readLinkText(link);
        ASSERT_TRUE(back.record) << back.error;
        EXPECT_EQ(back.record->body, original.dive.body);

        auto d = std::make_unique<Dive>(back.record->seed);
        trace::Recorder rec(*d);
        uint32_t steps = 0;
        playRecordIn(*d, *back.record, [&] {
            // The random player's diver is kept alive past the rules after a step, as it was.
            if (sc.keptAlive && d->loop.recorder().position().steps != steps && d->game.phase() == Phase::Dive)
                RandomPlayer::keepAlive(sc.seed, *d);
            steps = d->loop.recorder().position().steps;
        });
        EXPECT_TRUE(d->loop.playbackOver()) << d->loop.playbackProblem();
        EXPECT_EQ(d->loop.playbackProblem(), "");
        rec.finish([&] { d.reset(); });
        std::ifstream in(kDir / (sc.name + ".trace"), std::ios::binary);
        const std::string golden((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(trace::compareWithGolden(golden, rec.lines()), "");
        ++played;
    }
    EXPECT_GE(played, 27u);
}

// The comparison holds a run to the fields the trace recorded, by name: a
// field the run has and the trace does not (an item the game gained since)
// moves nothing, wherever it stands, and a recorded field the run lacks is
// named. A difference is found at its first line and, from the next full
// line, its first field.
TEST(Trace, ComparisonGoesByTheRecordedFieldsAndNamesTheFirstThatMoved) {
    enum Shape { Recorded, Gained, Lost };
    auto line = [](size_t i, const char* life, const std::string& oxygen, Shape shape = Recorded) {
        std::string label = "D";
        label += std::to_string(i + 1);
        trace::Fields f;
        f.reserve(4);
        f.emplace_back("line", label);
        f.emplace_back("Life", life);
        if (shape == Gained) f.emplace_back("newcomer", "0,215,4x4,0,none,000000,");
        if (shape != Lost) f.emplace_back("Oxygen", oxygen);
        return trace::join(f);
    };
    std::vector<std::string> lines, gained, lost;
    for (size_t i = 0; i < 1200; ++i) {
        const std::string oxygen = std::to_string(80 - i / 10);
        lines.push_back(line(i, "200", oxygen));
        gained.push_back(line(i, "200", oxygen, Gained));
        lost.push_back(line(i, "200", oxygen, Lost));
    }
    const std::string golden = trace::goldenText("test", lines);
    EXPECT_EQ(trace::compareWithGolden(golden, lines), "");
    EXPECT_EQ(trace::compareWithGolden(golden, gained), "");
    EXPECT_NE(trace::compareWithGolden(golden, lost).find("no field Oxygen"), std::string::npos);
    std::vector<std::string> moved = gained;
    for (size_t i = 700; i < moved.size(); ++i) moved[i] = line(i, "199", "1", Gained);
    const std::string diff = trace::compareWithGolden(golden, moved);
    EXPECT_NE(diff.find("line 701 (D701"), std::string::npos) << diff;
    EXPECT_NE(diff.find("at full line 1000: Life: expected 200, got 199"), std::string::npos) << diff;
    moved.resize(600);
    EXPECT_NE(trace::compareWithGolden(golden, moved).find("the run ends after 600 lines"), std::string::npos);
}

}  // namespace
