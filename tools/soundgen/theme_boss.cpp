// The giant squid's theme: E minor at 140 bpm. Timpani and tremolo strings
// rise out of the dark, a galloping riff sets off, and the lead states the
// motif (E E B, A G F# G) over Em - C - Am - B. A broad half-time middle
// section, a breakdown with a square-wave arpeggio, then the motif again,
// heavier, lifting a semitone to F minor for the last stand.
#include <array>
#include <string>

#include "themes.h"

namespace soundgen {
namespace {

constexpr int kIntro = 0, kRiff = 6, kA = 14, kB = 30, kBreak = 38, kA2 = 46, kLift = 53, kEnd = 62,
              kFinish = 68;

struct Chord {
    int root;           // bass key, E1 .. D#2
    const char* upper;  // string voicing around the fourth octave
    int fifth = 7;      // the guitar's fifth above the root
};

const Chord kEm{28, "E4+G4+B4"};
const Chord kC{36, "E4+G4+C5"};
const Chord kAm{33, "E4+A4+C5"};
const Chord kB_{35, "D#4+F#4+B4"};
const Chord kF{29, "F4+A4+C5"};
const Chord kB7{35, "D#4+A4+B4"};
const Chord kD{38, "D4+F#4+A4"};
const Chord kBm{35, "D4+F#4+B4"};
const Chord kDsDim{39, "D#4+F#4+A4+C5", 6};

const std::array<Chord, 8> kCycle = {kEm, kC, kAm, kB_, kEm, kC, kF, kB7};

const std::array<const char*, 8> kMotif = {
    "E5/8 E5/8 B5/4 A5/8 G5/8 F#5/8 G5/8 |", "E5/4. r/8 E5/8 G5/8 C6/8 B5/8 |",
    "A5/8 A5/8 E6/4 D6/8 C6/8 B5/8 C6/8 |",  "B5/2 D#5/4 F#5/4 |",
    "E5/8 E5/8 B5/4 A5/8 G5/8 F#5/8 G5/8 |", "E6/4. D6/8 C6/8 B5/8 A5/8 G5/8 |",
    "A5/8 G5/8 F5/4 C6/4 A5/4 |",            "B5/4. A5/8 F#5/8 D#5/8 B4/4 |",
};

// The strings' counter-line under the second statement of the motif.
const std::array<const char*, 8> kCounter = {
    "B4/2 G4/2 |", "C5/2 G4/2 |", "A4/2 C5/2 |",  "B4/2 F#4/2 |",
    "G4/2 B4/2 |", "C5/2 E5/2 |", "F5/2 C5/2 |", "D#5/2 B4/2 |",
};

// The galloping riff, in eighths, bass octave.
const std::array<int, 16> kRiffKeys = {28, 28, 40, 28, 31, 28, 34, 33, 28, 28, 40, 28, 38, 28, 35, 31};

const std::array<int, 4> kRiffTurn = {38, 39, 40, 35};  // D2 D#2 E2 B1

Chord chordAt(int b) {
    if (b < kRiff) {
        const Chord intro[] = {kEm, kEm, kEm, {28, "E4+A4+C5"}, kEm, {27, "D#4+F#4+B4"}};
        return intro[b];
    }
    if (b < kA) return kEm;
    if (b < kB) return kCycle[(b - kA) % 8];
    if (b < kBreak) {
        const Chord mid[] = {kC, kD, kBm, kEm, kC, kD, kDsDim, kB7};
        return mid[b - kB];
    }
    if (b < kA2) {
        const Chord brk[] = {kEm, kEm, kC, kC, kAm, kAm, kB_, kB_};
        return brk[b - kBreak];
    }
    if (b < kEnd) return kCycle[(b - kA2) % 8];
    return kEm;
}

// From the last bar of the first phrase of the reprise on, everything is a
// semitone higher.
int liftAt(int b) { return b >= kLift ? 1 : 0; }

std::string upperLine(const Chord& c, const char* length) { return std::string(c.upper) + "/" + length; }

// A snare (or timpani) roll that swells from one level to another.
void roll(Voice& v, std::uint32_t start, std::uint32_t length, std::uint32_t step, int key, int from,
          int to) {
    const std::uint32_t n = length / step;
    for (std::uint32_t i = 0; i < n; ++i) {
        const int offset = from + static_cast<int>((to - from) * static_cast<long>(i) / static_cast<long>(n));
        v.hit(start + i * step, key, step, offset);
    }
}

}  // namespace

Song bossTheme() {
    Song song("ravederu.mid", "Ravederu - the giant squid");
    Track& cond = song.conductor();
    cond.text(0, 0x01, "Torvenka boss theme");
    cond.meta(0, 0x58, {4, 2, 24, 8});
    cond.meta(0, 0x59, {1, 1});                           // E minor
    cond.meta(bar(kLift + 1), 0x59, {0xFC, 1});           // F minor
    song.tempo(0, 140);
    song.section("Intro", kIntro, kRiff);
    song.section("Riff", kRiff, kA);
    song.section("A", kA, kB);
    song.section("B", kB, kBreak);
    song.section("Breakdown", kBreak, kA2);
    song.section("A'", kA2, kEnd);
    song.section("Ending", kEnd, kFinish);
    song.setEnd(bar(kFinish));

    Track& leadT = song.addTrack("Lead");
    Track& brassT = song.addTrack("Brass");
    Track& stringsT = song.addTrack("Strings");
    Track& tremT = song.addTrack("Tremolo strings");
    Track& guitarT = song.addTrack("Distortion guitar");
    Track& bassT = song.addTrack("Synth bass");
    Track& arpT = song.addTrack("Square arpeggio");
    Track& timpT = song.addTrack("Timpani");
    Track& drumT = song.addTrack("Drums");
    setupChannel(leadT, {0, 81, 74, 70, 50, 25});
    setupChannel(brassT, {1, 61, 100, 50, 60, 0});
    setupChannel(stringsT, {2, 48, 104, 80, 80, 20});
    setupChannel(tremT, {3, 44, 84, 40, 80, 20});
    setupChannel(guitarT, {4, 30, 96, 28, 40, 0});
    setupChannel(bassT, {5, 38, 108, 64, 20, 0});
    setupChannel(arpT, {6, 80, 62, 100, 60, 30});
    setupChannel(timpT, {7, 47, 104, 64, 70, 0});
    setupChannel(drumT, {kDrumChannel, 0, 124, 64, 45, 0});

    Voice lead(leadT, 0, 88, 0.86, 101);
    Voice brass(brassT, 1, 80, 0.9, 103);
    Voice strings(stringsT, 2, 76, 0.97, 107);
    Voice trem(tremT, 3, 70, 0.99, 109);
    Voice guitar(guitarT, 4, 84, 0.95, 113);
    Voice bass(bassT, 5, 96, 0.8, 127);
    Voice arp(arpT, 6, 66, 0.7, 131);
    Voice timp(timpT, 7, 90, 1.0, 137);
    Voice drums(drumT, kDrumChannel, 92, 1.0, 139);
    constexpr std::uint32_t e8 = kPpq / 2;  // an eighth

    // ---- Intro: the deep stirs.
    tremT.controlRamp(0, bar(kRiff), 3, 11, 36, 127, kPpq);
    for (int b = kIntro; b < kRiff; ++b) trem.play(bar(b), std::string(chordAt(b).upper) + "/1");
    timp.hit(bar(0), 40, kBar, 10);
    timp.hit(bar(2), 40, kBar, 14);
    timp.hit(bar(4), 40, kPpq * 2, 16);
    timp.hit(bar(4) + 2 * kPpq, 35, kPpq * 2, 10);
    roll(timp, bar(5), kBar, kPpq / 8, 40, -40, 24);
    brass.velocity(66);
    brass.play(bar(2), "E4/2 B4/2 | A4/4 G4/4 F#4/2 | E4/2 B4/2 | C5/2 B4/2 |");
    bass.velocity(70);
    for (int b = 2; b < kRiff; ++b)
        for (int s = 0; s < 8; ++s) bass.hit(bar(b) + s * e8, chordAt(b).root, e8 / 2, (b - 2) * 5 + (s % 2 ? -6 : 0));
    drums.drums(bar(4), {{42, "o.o.o.o.o.o.o.o."}, {36, "o...o...o...o..."}});
    roll(drums, bar(5), kBar, kPpq / 4, 38, -50, 8);
    drums.drums(bar(5), {{36, "x...x...x...x..."}});

    // ---- Riff: guitar and bass together, drums drive.
    bass.velocity(98);
    guitar.velocity(82);
    for (int b = kRiff; b < kA; ++b) {
        const int half = (b - kRiff) % 2;
        for (int s = 0; s < 8; ++s) {
            // The last bar turns chromatically up into the motif.
            const int k = b == kA - 1 && s >= 4 ? kRiffTurn[s - 4] : kRiffKeys[half * 8 + s];
            const bool move = k != 28;
            const std::uint32_t at = bar(b) + s * e8;
            bass.hit(at, k, e8 * 3 / 4, move ? 10 : 0);
            guitar.hit(at, k + 12, e8 / 2, move ? 14 : -6);
            guitar.hit(at, k + 19, e8 / 2, move ? 10 : -10);
        }
    }
    trem.velocity(56);
    for (int b = kRiff; b < kA; b += 2) trem.play(bar(b), "E5+B5/1 | -/1 |");
    // Second time round, the lead rises over the riff: a foretaste of the motif.
    lead.velocity(74);
    lead.play(bar(kRiff + 4), "B4/1 | A4/2 G4/2 | F#4/1 | D#4/2 F#4/4 B4/4 |");
    lead.velocity(88);
    for (int b : {kRiff, kRiff + 4}) {
        brass.velocity(92);
        brass.play(bar(b), "E3+B3+E4/4'> r/2. |");
        timp.hit(bar(b), 40, kPpq, 20);
    }

    // ---- Drums for everything from the riff to the end of the reprise.
    for (int b = kRiff; b < kEnd; ++b) {
        const std::uint32_t at = bar(b);
        const bool phraseStart = (b - kRiff) % 4 == 0;
        const bool fill = (b - kRiff) % 4 == 3 && b != kB - 1 && b != kA2 - 1;
        if (b >= kB && b < kBreak) {
            // Half time: wide and heavy.
            drums.drums(at, {{36, "X.........x....."}, {38, "........X......."}, {51, "x...x...x...x..."}});
            if (b == kB || b == kB + 4) drums.drums(at, {{49, "X..............."}});
            if (b == kBreak - 1) roll(drums, at + 2 * kPpq, 2 * kPpq, kPpq / 4, 38, -30, 20);
            continue;
        }
        if (b >= kBreak && b < kA2) {
            const int k = b - kBreak;
            if (k < 4) {
                drums.drums(at, {{36, "x.......x......."}, {42, "oxoxoxoxoxoxoxox"}});
            } else if (k < 6) {
                drums.drums(at, {{36, "x...x...x...x..."}, {42, "oxoxoxoxoxoxoxox"}});
            } else if (k == 6) {
                drums.drums(at, {{36, "x...x...x...x..."}});
                roll(drums, at, kBar, kPpq / 2, 38, -40, -10);
            } else {
                drums.drums(at, {{36, "x...x...x...x..."}});
                roll(drums, at, 3 * kPpq, kPpq / 4, 38, -20, 22);
                drums.drums(at, {{50, "............X..."}, {48, ".............X.."}, {45, "..............X."}, {43, "...............X"}});
            }
            continue;
        }
        const bool heavy = b >= kA2;
        const char* hat = heavy ? "x.x.x.x.x.x.x.x." : "x.o.x.o.x.o.x.o.";
        const int hatKey = heavy ? 51 : 42;
        if (fill) {
            const std::string hatFill = std::string(hat).substr(0, 12) + "....";
            drums.drums(at, {{36, "X.....x.X.x...X."}, {38, "....X..........."}, {hatKey, hatFill},
                             {50, "............X..."}, {48, ".............X.."}, {45, "..............X."},
                             {43, "...............X"}});
        } else {
            drums.drums(at, {{36, heavy ? "X.x...x.X.x...x." : "X.....x.X.x....."}, {38, "....X.......X..."}, {hatKey, hat}});
            if (heavy) drums.drums(at, {{46, "..............x."}});
        }
        if (phraseStart || (heavy && (b - kA2) % 2 == 0)) drums.drums(at, {{49, "X..............."}});
    }

    // ---- A and its reprise: the motif, with guitar chugs and a running bass.
    auto chug = [&](int b) {
        const Chord c = chordAt(b);
        const int lift = liftAt(b);
        for (int s = 0; s < 8; ++s) {
            const bool accent = s == 0 || s == 3 || s == 6;
            const std::uint32_t at = bar(b) + s * e8;
            guitar.hit(at, c.root + 12 + lift, e8 / 2, accent ? 14 : -8);
            guitar.hit(at, c.root + 19 + lift, e8 / 2, accent ? 10 : -12);
        }
    };
    auto runningBass = [&](int b) {
        const int r = chordAt(b).root + liftAt(b);
        const int next = chordAt(b + 1).root + liftAt(b + 1);
        const int keys[8] = {r, r, r + 12, r, r, r + 12, r, next != r ? next - 1 : r + 7};
        for (int s = 0; s < 8; ++s) {
            const bool accent = s == 0 || s == 3 || s == 6;
            bass.hit(bar(b) + s * e8, keys[s], e8 * 3 / 4, accent ? 10 : -4);
        }
    };
    auto motifBar = [&](Voice& v, int b, int octave) {
        v.transpose(liftAt(b) + octave);
        v.play(bar(b), kMotif[(b - (b >= kA2 ? kA2 : kA)) % 8]);
        v.transpose(0);
    };
    for (int b = kA; b < kB; ++b) {
        chug(b);
        runningBass(b);
        motifBar(lead, b, 0);
        if (b >= kA + 8) {
            brass.velocity(74);
            motifBar(brass, b, -12);
        } else {
            strings.velocity(58);
            strings.play(bar(b), upperLine(chordAt(b), "1"));
        }
        if ((b - kA) % 8 == 0) timp.hit(bar(b), 40, kPpq, 8);
    }
    for (int b = kA + 8; b < kB; ++b) {
        strings.velocity(70);
        strings.play(bar(b), kCounter[(b - kA) % 8]);
    }

    // ---- B: half time, the strings and brass sing a broad tune.
    const char* broad =
        "G5/2 E5/4 G5/4 | F#5/2. A5/4 | B5/2 F#5/4 D5/4 | E5/1 | G5/2 C6/2 | A5/2 D6/2 | "
        "C6/2 A5/4 F#5/4 | B5/1 |";
    strings.velocity(84);
    strings.play(bar(kB), broad);
    brass.velocity(72);
    brass.transpose(-12).play(bar(kB), broad);
    brass.transpose(0);
    trem.velocity(60);
    guitar.velocity(74);
    bass.velocity(94);
    for (int b = kB; b < kBreak; ++b) {
        const Chord c = chordAt(b);
        trem.play(bar(b), upperLine(c, "1"));
        guitar.hit(bar(b), c.root + 12, kBar - 30);
        guitar.hit(bar(b), c.root + 12 + c.fifth, kBar - 30);
        if (b == kBreak - 1) {
            bass.play(bar(b), "B1/4 D#2/4 F#2/4 A2/4 |");
        } else {
            for (int s = 0; s < 4; ++s) bass.hit(bar(b) + s * kPpq, c.root, kPpq * 7 / 8, s == 0 ? 8 : 0);
        }
    }
    timp.hit(bar(kB), 36, kPpq, 10);
    timp.hit(bar(kB + 4), 36, kPpq, 10);

    // ---- Breakdown: the floor drops away; an arpeggio spins, the motif echoes.
    tremT.control(bar(kBreak), 3, 11, 70);
    tremT.controlRamp(bar(kBreak + 4), bar(kA2), 3, 11, 70, 127, kPpq);
    tremT.control(bar(kA2), 3, 11, 127);
    const int spin[16] = {0, 1, 2, 1, 3, 1, 2, 1, 0, 1, 2, 1, 3, 2, 1, 2};
    for (int b = kBreak; b < kA2; ++b) {
        const Chord c = chordAt(b);
        const std::vector<int> keys = parseChord(c.upper);
        for (int s = 0; s < 16; ++s) {
            const int idx = spin[s];
            const int key = idx < 3 ? keys[idx] : keys[0] + 12;
            arp.hit(bar(b) + s * kPpq / 4, key, kPpq / 4, (s % 4 == 0 ? 10 : 0) + (b - kBreak) * 2);
        }
        trem.velocity(52);
        trem.play(bar(b), upperLine(c, "1"));
        bass.velocity(80);
        for (int s = 0; s < 8; ++s) bass.hit(bar(b) + s * e8, c.root, e8 / 2, s % 2 ? -8 : 0);
        if (b >= kBreak + 4) {
            guitar.velocity(70);
            for (int s = 0; s < 4; ++s) guitar.hit(bar(b) + s * kPpq, c.root + 12, kPpq / 3, (b - kBreak - 4) * 6);
        }
    }
    // The motif drifts by in pieces: its opening over E minor and A minor,
    // its answers over C and B.
    lead.velocity(70);
    lead.play(bar(kBreak), kMotif[0]);
    lead.play(bar(kBreak + 2), kMotif[1]);
    lead.transpose(5).play(bar(kBreak + 4), kMotif[0]);
    lead.transpose(0).play(bar(kBreak + 6), kMotif[3]);
    lead.velocity(88);
    roll(timp, bar(kA2 - 1), kBar, kPpq / 8, 35, -40, 26);

    // ---- The reprise: motif doubled by brass, strings' counter-line, and
    // a lift to F minor for the second half.
    strings.velocity(72);
    trem.velocity(54);
    arp.velocity(50);
    for (int b = kA2; b < kEnd; ++b) {
        chug(b);
        runningBass(b);
        motifBar(lead, b, 0);
        brass.velocity(80);
        motifBar(brass, b, -12);
        strings.transpose(liftAt(b)).play(bar(b), kCounter[(b - kA2) % 8]);
        strings.transpose(0);
        if (b > kLift) {
            // Tension: tremolo chords and a quiet spinning arpeggio above.
            trem.transpose(1).play(bar(b), upperLine(chordAt(b), "1"));
            trem.transpose(0);
            const std::vector<int> keys = parseChord(chordAt(b).upper);
            for (int s = 0; s < 16; ++s) {
                const int idx = spin[s];
                arp.hit(bar(b) + s * kPpq / 4, (idx < 3 ? keys[idx] : keys[0] + 12) + 13, kPpq / 4, s % 4 == 0 ? 8 : 0);
            }
        }
        if ((b - kA2) % 4 == 0) timp.hit(bar(b), 40 + liftAt(b), kPpq, 12);
    }

    // ---- Ending, in F minor: the riff once more, hits, and a last chord.
    bass.velocity(100);
    guitar.velocity(84);
    for (int b = kEnd; b < kEnd + 2; ++b) {
        for (int s = 0; s < 8; ++s) {
            const int k = kRiffKeys[(b - kEnd) * 8 + s] + 1;
            const bool move = k != 29;
            const std::uint32_t at = bar(b) + s * e8;
            bass.hit(at, k, e8 * 3 / 4, move ? 10 : 0);
            guitar.hit(at, k + 12, e8 / 2, move ? 14 : -6);
            guitar.hit(at, k + 19, e8 / 2, move ? 10 : -10);
        }
        drums.drums(bar(b), {{36, "X.x...x.X.x...x."}, {38, "....X.......X..."}, {51, "x.x.x.x.x.x.x.x."}});
    }
    drums.drums(bar(kEnd), {{49, "X..............."}});
    lead.transpose(1).play(bar(kEnd), "E5/8 E5/8 B5/4 A5/8 G5/8 F#5/8 G5/8 | E5/2 r/2 |");
    lead.transpose(0);

    // Hits: Fm, Db, Eb | Db, Eb, C ... then Fm for good.
    struct Hit {
        int bar;
        std::uint32_t at, length;
        Chord chord;
    };
    const Hit hits[] = {
        {kEnd + 2, 0, kPpq, kEm},           {kEnd + 2, 3 * e8, kPpq, kC},
        {kEnd + 2, 3 * kPpq, kPpq, kD},     {kEnd + 3, 0, kPpq, kC},
        {kEnd + 3, kPpq, kPpq, kD},         {kEnd + 3, 2 * kPpq, 2 * kPpq, kB_},
        {kEnd + 4, 0, kBar + 2 * kPpq, kEm},
    };
    for (const Hit& h : hits) {
        const std::uint32_t at = bar(h.bar) + h.at;
        const int r = h.chord.root + 1;
        const std::uint32_t len = h.length - kPpq / 8;
        bass.hit(at, r, len, 14);
        guitar.hit(at, r + 12, len, 16);
        guitar.hit(at, r + 19, len, 12);
        for (int k : parseChord(h.chord.upper)) {
            strings.hit(at, k + 1, len, 16);
            brass.hit(at, k + 1 - 12, len, 14);
        }
        timp.hit(at, r < 36 ? r + 12 : r, kPpq / 2, 18);
        drums.hit(at, 36, kPpq / 4, 10);
        drums.hit(at, 49, kPpq / 4, 10);
    }
    roll(drums, bar(kEnd + 3) + 2 * kPpq, 2 * kPpq, kPpq / 4, 38, -20, 24);
    roll(timp, bar(kEnd + 4), kBar, kPpq / 8, 41, -30, 20);
    timp.hit(bar(kEnd + 5), 41, kPpq, 30);
    drums.hit(bar(kEnd + 5), 57, kPpq, 20);
    trem.transpose(1).play(bar(kEnd + 4), "E4+B4+E5+G5/1 | -/2");
    trem.transpose(0);

    return song;
}

}  // namespace soundgen
