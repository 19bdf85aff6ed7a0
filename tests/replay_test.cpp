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
#include "record/record_bytes.h"
#include "record/record_format.h"

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
    r.move(titleClick(r.d.field).x, titleClick(r.d.field).y);
    r.click(titleClick(r.d.field).x, titleClick(r.d.field).y);
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

// The record the loop kept of a dive played from a text replay.
DiveRecord recordOf(const char* name) {
    std::ifstream in(kDir / name);
    Replay r;
    if (const auto err = parseReplay(in, r)) ADD_FAILURE() << err->describe();
    Dive d(r.seed);
    playReplayIn(d, r, [](int) {});
    return d.loop.record();
}

// The file's bytes with their CRC made good again, as a forger would.
std::vector<uint8_t> signedAgain(std::vector<uint8_t> bytes) {
    bytes.resize(bytes.size() - 4);
    const uint32_t crc = crc32Of(bytes.data(), bytes.size());
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    return bytes;
}

// What playing a record back comes to: "" once it is over, else its problem.
std::string playedBack(const DiveRecord& r) {
    Dive d(r.seed);
    playRecordIn(d, r, [] {});
    EXPECT_TRUE(d.loop.playbackOver() || !d.loop.playbackProblem().empty());
    return d.loop.playbackProblem();
}

// A record that is not whole, not a replay, from other rules, too large, or
// whose events go where its dive does not is refused with one line, before
// anything is played or while it plays; never a crash, nor another dive.
TEST(Replays, BadRecordsGetOneLineAndNothingElse) {
    EXPECT_EQ(crc32Of(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xCBF43926u);  // zlib's check value
    const DiveRecord lose = recordOf("lose.replay");
    const std::vector<uint8_t> file = writeRecord(lose);
    const std::string link = linkText(file);
    ASSERT_TRUE(readRecord(file).record);
    EXPECT_EQ(playedBack(*readLinkText(link).record), "");

    auto refused = [](const RecordRead& r) {
        EXPECT_FALSE(r.record);
        EXPECT_EQ(r.error.find('\n'), std::string::npos);
        return r.error;
    };
    EXPECT_EQ(refused(readRecord(nullptr, 0)), "the replay is empty");
    EXPECT_EQ(refused(readLinkText("")), "the replay is empty");
    EXPECT_EQ(refused(readLinkText(std::string(8 << 20, 'A'))), "the replay is too large to be a dive");
    EXPECT_EQ(refused(readRecord(std::vector<uint8_t>(3 << 20, 'T'))), "the replay is too large to be a dive");
    EXPECT_EQ(refused(readLinkText("hello, world")), "this is not a Torvenka replay");
    const std::string text = "seed 777\n0 move - 90 100\n";
    EXPECT_EQ(refused(readRecord(std::vector<uint8_t>(text.begin(), text.end()))), "this is not a Torvenka replay");

    const std::string damaged = "the replay is damaged: cut short or altered";
    for (size_t cut : {size_t{4}, size_t{5}, file.size() / 2, file.size() - 1}) {
        SCOPED_TRACE("cut to " + std::to_string(cut));
        EXPECT_EQ(refused(readRecord(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(cut)))),
                  damaged);
    }
    EXPECT_EQ(refused(readLinkText(link.substr(0, link.size() - 3))), damaged);
    std::string alteredLink = link;
    alteredLink[link.size() / 2] = alteredLink[link.size() / 2] == 'B' ? 'C' : 'B';
    EXPECT_EQ(refused(readLinkText(alteredLink)), damaged);

    // Where the fields lie: "Tvk", the form, the version's length and text, the rules.
    const size_t rulesAt = 5 + file[4];
    std::vector<uint8_t> otherRules = file;
    otherRules[rulesAt] ^= 1;
    EXPECT_EQ(refused(readRecord(signedAgain(otherRules))),
              "recorded by Torvenka " + gameVersion() + ", which plays differently");
    std::vector<uint8_t> otherForm = file;
    otherForm[3] = kRecordFormat + 1;
    EXPECT_EQ(refused(readRecord(signedAgain(otherForm))),
              "recorded by Torvenka " + gameVersion() + ", whose replays this version cannot read");

    // Forged with a good CRC: the events end before the steps do, or past them.
    DiveRecord shorter = lose;
    shorter.endSteps -= 10;
    EXPECT_EQ(refused(readRecord(writeRecord(shorter))), "the replay's events run past the end of its dive");
    DiveRecord longer = lose;
    record_bytes::putCounted(longer.body, record_bytes::kAdvance, 40);
    longer.endSteps += 40;
    ASSERT_TRUE(readRecord(writeRecord(longer)).record);
    EXPECT_EQ(playedBack(longer), "the replay's events run past the end of its dive");
    DiveRecord garbled = lose;
    garbled.body.push_back(record_bytes::kSeam | 8);
    EXPECT_EQ(refused(readRecord(writeRecord(garbled))), "the replay is damaged: an unknown kind of entry");

    // Another seed, or an event moved, is another dive: played, it is named, never passed off.
    DiveRecord otherSeed = lose;
    ++otherSeed.seed;
    EXPECT_EQ(playedBack(*readRecord(writeRecord(otherSeed)).record), "the replay went differently from its dive");
    DiveRecord neverStarted = lose;
    neverStarted.body.assign(lose.body.begin() + 1, lose.body.end());  // the first move is gone
    const RecordRead started = readRecord(writeRecord(neverStarted));
    if (started.record) {
        EXPECT_EQ(playedBack(*started.record), "the replay went differently from its dive");
    }
}

}  // namespace
