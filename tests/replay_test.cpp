// Recorded dives played back headless and compared with what they showed
// when they were recorded. To re-record after a deliberate change of the
// game, run the tests with TORVENKA_UPDATE_REPLAYS=1: the bots play again and
// the files are rewritten (never edit the check lines by hand).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "headless/bots.h"
#include "headless/replay.h"

namespace fs = std::filesystem;

namespace {

const fs::path kDir = fs::path(TORVENKA_SOURCE_DIR) / "tests" / "replays";

bool updating() {
    const char* u = std::getenv("TORVENKA_UPDATE_REPLAYS");
    return u && *u == '1';
}

// A dive whose pointer events are written down as they are made.
struct Recorder {
    Dive d;
    std::vector<std::string> lines;
    explicit Recorder(uint32_t seed) : d(seed) {}
    void ev(MouseKind k, Button b, int x, int y) {
        static const char* kinds[] = {"down", "up", "move"};
        static const char* buttons[] = {"left", "right", "middle"};
        lines.push_back(std::to_string(d.st().DiveTick) + " " + kinds[static_cast<int>(k)] + " " +
                        (k == MouseKind::Move ? "-" : buttons[static_cast<int>(b)]) + " " + std::to_string(x) + " " +
                        std::to_string(y));
        d.mouse(k, b, x, y);
    }
    void click(int x, int y) {
        ev(MouseKind::Down, Button::Left, x, y);
        ev(MouseKind::Up, Button::Left, x, y);
    }
    void swipe(int x0, int y0, int x1, int y1) {
        ev(MouseKind::Down, Button::Right, x0, y0);
        ev(MouseKind::Up, Button::Right, x1, y1);
    }
    void move(int x, int y) { ev(MouseKind::Move, Button::Left, x, y); }
};

// Plays a whole dive with a bot and returns the events it made.
template <class Bot>
std::vector<std::string> playBot(uint32_t seed) {
    Recorder r(seed);
    Bot bot;
    r.move(90, 100);
    r.click(90, 100);
    r.d.settle();
    r.d.play(bot, r);
    return r.lines;
}

// Ticks worth checking: arrivals, defeats and departures, and every 500th.
std::vector<int> interesting(const std::map<int, std::string>& perTick) {
    std::vector<int> ticks;
    std::string prevEnemy;
    for (const auto& [t, line] : perTick) {
        const std::string enemy = line.substr(line.find("EnemyLife="));
        if (t % 500 == 0 || (enemy != prevEnemy && (enemy == "EnemyLife=0" || prevEnemy == "EnemyLife=0")) ||
            t == 200 || t == 580 || t == 1280 || t == 2230 || t == 3280)
            ticks.push_back(t);
        prevEnemy = enemy;
    }
    return ticks;
}

void writeReplay(const fs::path& file, uint32_t seed, bool good) {
    Replay r;
    r.seed = seed;
    std::ostringstream events;
    for (const std::string& l : good ? playBot<GoodDiver>(seed) : playBot<CarelessDiver>(seed)) events << l << "\n";
    std::istringstream in(events.str());
    const auto err = parseReplay(in, r);
    ASSERT_FALSE(err) << err->describe();
    std::vector<int> all(7000);
    for (int i = 0; i < 7000; ++i) all[static_cast<size_t>(i)] = i + 1;
    const ReplayRun full = playReplay(r, all);
    std::ofstream out(file);
    out << "# " << (good ? "A diver who plays well and wins." : "A diver who never turns a card and dies.") << "\n"
        << "# Recorded by tests/replay_test.cpp (TORVENKA_UPDATE_REPLAYS=1).\n"
        << "seed " << seed << "\n# tick kind button x y\n"
        << events.str();
    for (int t : interesting(full.seen)) out << "check " << t << " " << full.seen.at(t) << "\n";
    out << "end " << full.end << "\n";
}

TEST(Replays, RecordedDivesPlayBackTheSame) {
    if (updating()) {
        fs::create_directories(kDir);
        writeReplay(kDir / "win.replay", 4242, true);
        writeReplay(kDir / "lose.replay", 777, false);
    }
    int files = 0;
    for (const auto& entry : fs::directory_iterator(kDir)) {
        if (entry.path().extension() != ".replay") continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path());
        Replay r;
        const auto err = parseReplay(in, r);
        ASSERT_FALSE(err) << err->describe();
        ASSERT_FALSE(r.checks.empty());
        const ReplayRun run = playReplay(r);
        for (const auto& [tick, expect] : r.checks) {
            ASSERT_TRUE(run.seen.count(tick)) << "the dive ended before tick " << tick;
            EXPECT_EQ(run.seen.at(tick), expect) << "at tick " << tick;
        }
        EXPECT_EQ(run.end, r.end);
    }
    EXPECT_GE(files, 2);
}

TEST(Replays, TheTwoRecordedEndings) {
    std::ifstream win(kDir / "win.replay"), lose(kDir / "lose.replay");
    Replay w, l;
    const auto winErr = parseReplay(win, w), loseErr = parseReplay(lose, l);
    ASSERT_FALSE(winErr) << winErr->describe();
    ASSERT_FALSE(loseErr) << loseErr->describe();
    EXPECT_EQ(w.end, "clear");
    EXPECT_EQ(l.end, "over");
    // The winning dive beats all five visits: five checks show a creature at 0.
    int beaten = 0;
    std::string prev;
    for (const auto& [t, line] : w.checks) {
        const bool zero = line.find("EnemyLife=0") != std::string::npos;
        if (zero && !prev.empty() && prev.find("EnemyLife=0") == std::string::npos) ++beaten;
        prev = line;
    }
    EXPECT_EQ(beaten, 5);
}

// A line the reader does not understand is reported with its number and
// what is wrong with it, not thrown.
TEST(Replays, ABadLineIsReportedWithItsNumber) {
    struct Case {
        const char* bad;
        const char* reason;
    };
    for (const Case c : {Case{"12 down left 10", "five words"}, Case{"x1 move - 90 100", "'x1' is not a tick"},
                         Case{"3 hop left 1 2", "'hop' is not down, up or move"},
                         Case{"3 down - 1 2", "'-' is not a button for down"},
                         Case{"3 up right 1 2y", "is not a position"}, Case{"check 200", "a check line"},
                         Case{"seed", "a seed line"}, Case{"end", "an end line"}}) {
        SCOPED_TRACE(c.bad);
        std::istringstream in(std::string("seed 7\n# a comment\n0 move - 90 100\n") + c.bad + "\nend over\n");
        Replay r;
        const auto err = parseReplay(in, r);
        ASSERT_TRUE(err);
        EXPECT_EQ(err->line, 4);
        EXPECT_NE(err->reason.find(c.reason), std::string::npos) << err->reason;
    }
}

}  // namespace
