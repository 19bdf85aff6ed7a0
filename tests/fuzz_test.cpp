// Hostile pointers: random streams of presses, releases and moves of every
// button, anywhere on (and far off) the screen, over whole dives, with the
// game's invariants checked after every tick.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "headless/harness.h"
#include "headless/random_player.h"
#include "headless/replay.h"
#include "headless/rules.h"
#include "record/record_format.h"

namespace {

struct Reach {
    int deepest = 0;
    int endings = 0;
};

void fuzzOneDive(uint32_t seed, Reach& reach) {
    Dive d(seed);
    RandomPlayer player(seed);
    RuleWatch rules(d.field);
    player.begin(d);
    for (int steps = 0; steps < 20000 && player.turn(d); ++steps) {
        ASSERT_EQ(rules.broken(d), "");
    }
    reach.deepest = std::max<int>(reach.deepest, d.st().DiveTick);
    if (d.game.phase() == Phase::None && d.st().DiveTick > 0) ++reach.endings;
}

// Forty dives under random streams; they must reach the whole script and the
// endings, or they prove little.
TEST(Fuzz, RandomPointerStreamsOverWholeDives) {
    Reach reach;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        fuzzOneDive(seed, reach);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(reach.deepest, 3280);
    EXPECT_GT(reach.endings, 5);
}

// Damaged records, the CRC made good again half the time so that the events
// themselves are read: each is refused with one line, or plays to its end or
// to one line, within a bound on the loop's passes (tools/fuzz/record_fuzzer
// does the same with libFuzzer's inputs).
TEST(Fuzz, DamagedRecordsAreRefusedOrPlayedToOneLine) {
    std::vector<std::vector<uint8_t>> files;
    for (const char* name : {"win.replay", "lose.replay"}) {
        std::ifstream in(std::filesystem::path(TORVENKA_SOURCE_DIR) / "tests" / "replays" / name);
        Replay text;
        ASSERT_FALSE(parseReplay(in, text));
        Dive d(text.seed);
        playReplayIn(d, text, [](int) {});
        files.push_back(writeRecord(d.loop.record()));
    }
    std::mt19937 g(20261208);
    int read = 0, played = 0;
    for (int round = 0; round < 6000; ++round) {
        std::vector<uint8_t> bytes = files[static_cast<size_t>(round) % files.size()];
        for (int k = drawBetween(g, 1, 4); k > 0; --k) {
            const size_t at = static_cast<size_t>(drawBetween(g, 0, static_cast<int>(bytes.size()) - 1));
            switch (drawBetween(g, 0, 3)) {
                case 0: bytes[at] ^= static_cast<uint8_t>(1u << drawBetween(g, 0, 7)); break;
                case 1: bytes[at] = static_cast<uint8_t>(drawBetween(g, 0, 255)); break;
                case 2: bytes.insert(bytes.begin() + static_cast<long>(at), static_cast<uint8_t>(drawBetween(g, 0, 255))); break;
                default: bytes.resize(std::max<size_t>(at, 1)); break;
            }
        }
        if (round % 2 == 0 && bytes.size() > 4) {
            const uint32_t crc = crc32Of(bytes.data(), bytes.size() - 4);
            for (size_t i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<uint8_t>(crc >> (8 * i));
        }
        SCOPED_TRACE("round " + std::to_string(round));
        const RecordRead r = round % 3 == 0 ? readLinkText(linkText(bytes)) : readRecord(bytes);
        ASSERT_NE(r.record.has_value(), !r.error.empty());
        ASSERT_EQ(r.error.find('\n'), std::string::npos);
        if (!r.record) continue;
        ++read;
        Dive d(r.record->seed);
        playRecordIn(d, *r.record, [] {}, 2'000'000);
        ASSERT_TRUE(d.loop.playbackOver() || !d.loop.playbackProblem().empty());
        if (d.loop.playbackOver() && d.loop.playbackProblem().empty()) ++played;
    }
    // Enough of them got past the CRC to read the events and play.
    EXPECT_GT(read, 100);
    std::printf("damaged records: %d of 6000 read, %d played to their end\n", read, played);
}

}  // namespace
