// The dive theme: the diver sinks into dark water. A slow pulse like a
// heartbeat, a warm pad, glints of celesta from above and a flute that sings
// in D minor; a middle section drifts into the Lydian colour of E-flat with a
// choir, before the flute comes back and the piece settles on D.
#include <array>

#include "themes.h"

namespace soundgen {

void setupChannel(Track& t, const Patch& p) {
    t.control(0, p.channel, 0, 0);  // bank select: General MIDI
    t.program(0, p.channel, p.program);
    t.control(0, p.channel, 7, p.volume);
    t.control(0, p.channel, 10, p.pan);
    t.control(0, p.channel, 11, 127);
    t.control(0, p.channel, 91, p.reverb);
    t.control(0, p.channel, 93, p.chorus);
}

namespace {

struct Chord {
    int bass;         // bass root, MIDI key
    const char* pad;  // voicing for pad and arpeggios
};

const Chord kDm9{38, "D3+A3+E4+F4"};  // only where no melody sings above it
const Chord kDm7{38, "D3+A3+C4+F4"};
const Chord kBbMaj7{34, "Bb2+F3+A3+D4"};
const Chord kGm7{31, "G3+Bb3+D4+F4"};
const Chord kAsus{33, "E3+G3+A3+D4"};
const Chord kA7{33, "E3+G3+A3+C#4"};
const Chord kFOverC{36, "C3+F3+A3+E4"};
const Chord kEbMaj7{39, "Eb3+Bb3+D4+G4"};
const Chord kAm7{33, "G3+A3+C4+E4"};
const Chord kBb6{34, "F3+G3+Bb3+D4"};
const Chord kA7b9{33, "G3+C#4+E4+Bb4"};
const Chord kDEnd{38, "D3+A3+E4+F4+A4"};

// Two half-bar chords for every bar.
struct BarChords {
    Chord first, second;
};

constexpr int kIntro = 0, kA = 4, kB = 12, kA2 = 20, kEnd = 26;

const std::array<BarChords, kEnd> kHarmony = {{
    // Intro
    {kDm9, kDm9}, {kBbMaj7, kBbMaj7}, {kGm7, kGm7}, {kAsus, kA7},
    // A
    {kDm7, kDm7}, {kBbMaj7, kBbMaj7}, {kGm7, kGm7}, {kAsus, kA7},
    {kDm7, kDm7}, {kFOverC, kFOverC}, {kBbMaj7, kBbMaj7}, {kAsus, kA7},
    // B
    {kBbMaj7, kBbMaj7}, {kEbMaj7, kEbMaj7}, {kBbMaj7, kBbMaj7}, {kEbMaj7, kEbMaj7},
    {kGm7, kGm7}, {kAm7, kAm7}, {kBb6, kBb6}, {kA7b9, kA7b9},
    // A'
    {kDm7, kDm7}, {kBbMaj7, kBbMaj7}, {kGm7, kGm7}, {kAsus, kA7}, {kDm7, kDm7}, {kDEnd, kDEnd},
}};

bool same(const Chord& a, const Chord& b) { return a.pad == b.pad; }

// A sonar ping from far away, with its echoes a dotted quarter apart.
void sonar(Voice& v, std::uint32_t at, int echoes = 3) {
    const int levels[] = {0, -26, -42, -54};
    for (int i = 0; i <= echoes; ++i) v.hit(at + static_cast<std::uint32_t>(i) * 3 * kPpq / 2, 86, kPpq, levels[i]);
}

}  // namespace

Song diveTheme() {
    Song song("plomvex_s01.mid", "Plomvex - the long dive");
    Track& cond = song.conductor();
    cond.text(0, 0x01, "Torvenka dive theme");
    cond.meta(0, 0x58, {4, 2, 24, 8});  // 4/4
    cond.meta(0, 0x59, {0xFF, 1});      // D minor (one flat)
    song.tempo(0, 74);
    // A gentle ritardando into the last chord.
    song.tempo(bar(24) + 2 * kPpq, 70);
    song.tempo(bar(25), 62);
    song.section("Intro", kIntro, kA);
    song.section("A", kA, kB);
    song.section("B", kB, kA2);
    song.section("A'", kA2, kEnd);
    song.setEnd(bar(kEnd) + kPpq);  // let the last chord ring

    Track& fluteT = song.addTrack("Flute");
    Track& choirT = song.addTrack("Choir");
    Track& padT = song.addTrack("Warm pad");
    Track& celestaT = song.addTrack("Celesta");
    Track& harpT = song.addTrack("Harp");
    Track& bassT = song.addTrack("Acoustic bass");
    Track& sonarT = song.addTrack("Sonar");
    Track& percT = song.addTrack("Percussion");
    setupChannel(fluteT, {0, 73, 124, 70, 80, 10});
    setupChannel(choirT, {1, 52, 112, 54, 105, 30});
    setupChannel(padT, {2, 89, 80, 64, 110, 70});
    setupChannel(celestaT, {3, 8, 108, 92, 95, 20});
    setupChannel(harpT, {4, 46, 118, 38, 90, 10});
    setupChannel(bassT, {5, 32, 118, 64, 35, 0});
    setupChannel(sonarT, {6, 11, 112, 24, 120, 0});
    setupChannel(percT, {kDrumChannel, 0, 120, 64, 70, 0});

    // --- Pad: the floor of the sea. It swells in out of silence.
    Voice pad(padT, 2, 64, 1.0, 11);
    padT.controlRamp(0, bar(2), 2, 11, 30, 118);
    for (int b = 0; b < kEnd; ++b) {
        const BarChords& h = kHarmony[b];
        const std::uint32_t at = bar(b);
        if (same(h.first, h.second)) {
            pad.play(at, std::string(h.first.pad) + "/1");
        } else {
            pad.play(at, std::string(h.first.pad) + "/2");
            pad.play(at + 2 * kPpq, std::string(h.second.pad) + "/2");
        }
    }
    padT.controlRamp(bar(kEnd - 1), bar(kEnd), 2, 11, 118, 70);

    // --- Bass: long notes at first, walking a little in the middle.
    Voice bass(bassT, 5, 90, 0.96, 23);
    for (int b = 0; b < kEnd; ++b) {
        const Chord& c = kHarmony[b].first;
        const std::uint32_t at = bar(b);
        const int r = c.bass;
        if (b < kA || b == kEnd - 1) {
            bass.hit(at, r, kBar - 20);
        } else if (b >= kB && b < kA2) {
            if (b == kA2 - 1) {
                // A7(b9) leading back home: A, E, G, C#.
                bass.hit(at, r, 3 * kPpq / 2 - 20, 4);
                bass.hit(at + 3 * kPpq / 2, r + 7, kPpq / 2 - 20, -8);
                bass.hit(at + 2 * kPpq, r + 10, kPpq - 20, -4);
                bass.hit(at + 3 * kPpq, r + 4, kPpq - 20, -4);
            } else {
                bass.hit(at, r, 3 * kPpq / 2 - 20, 4);
                bass.hit(at + 3 * kPpq / 2, r + 7, kPpq / 2 - 20, -8);
                bass.hit(at + 2 * kPpq, r + 12, kPpq - 20, -4);
                bass.hit(at + 3 * kPpq, r + 7, kPpq - 20, -6);
            }
        } else {
            bass.hit(at, r, 3 * kPpq - 20, 4);
            bass.hit(at + 3 * kPpq, r + 7, kPpq - 20, -8);
        }
    }

    // --- Celesta: light from the surface, rippling above the melody.
    Voice celesta(celestaT, 3, 62, 1.0, 37);
    const int wave[] = {0, 1, 2, 3, 5, 3, 2, 1};  // index 4+ = one octave up
    auto ripple = [&](int b) {
        for (int half = 0; half < 2; ++half) {
            const Chord& c = half == 0 ? kHarmony[b].first : kHarmony[b].second;
            const std::vector<int> keys = parseChord(c.pad);
            for (int s = 0; s < 4; ++s) {
                const int idx = wave[half * 4 + s];
                const int key = idx < 4 ? keys[idx] : keys[idx - 4] + 12;
                const int accent = s == 0 ? 8 : 0;
                celesta.hit(bar(b) + static_cast<std::uint32_t>(half * 4 + s) * kPpq / 2, key + 24,
                            kPpq, accent);
            }
        }
    };
    for (int b = 1; b < kB; ++b) ripple(b);
    for (int b = kA2; b < kEnd - 1; ++b) ripple(b);
    celesta.hit(bar(kEnd - 1), 74 + 12, kBar, 6);  // a last D, high up

    // --- Harp: the middle section rolls in triplets instead.
    Voice harp(harpT, 4, 74, 1.0, 41);
    const int roll[] = {0, 1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1};
    for (int b = kB; b < kA2; ++b) {
        const std::vector<int> keys = parseChord(kHarmony[b].first.pad);
        for (int s = 0; s < 12; ++s) {
            const int idx = roll[s];
            const int key = idx < 4 ? keys[idx] : keys[idx - 4] + 12;
            harp.hit(bar(b) + static_cast<std::uint32_t>(s) * kBar / 12, key + 12, kPpq,
                     s == 0 ? 10 : (s % 3 == 0 ? 3 : -4));
        }
    }

    // --- Flute: the song of the dive.
    Voice flute(fluteT, 0, 94, 0.94, 53);
    flute.play(bar(kA),
               "A4/4. D5/8 F5/4 E5/8 D5/8 | D5/2. r/8 A4/8 | Bb4/4. C5/8 D5/4 F5/4 | "
               "E5/2 D5/8 C#5/8 E5/4 | A5/4. G5/8 F5/4 E5/8 F5/8 | E5/4. C5/8 A4/2 | "
               "D5/4. E5/8 F5/4 G5/8 F5/8 | E5/2. r/4 |");
    // Answers to the choir, soft and high.
    flute.velocity(72);
    flute.play(bar(kB + 1), "r/2 G5/8 A5/8 D6/4 |");
    flute.play(bar(kB + 3), "r/2 Bb5/8 A5/8 G5/4 |");
    flute.velocity(96);
    flute.play(bar(kA2),
               "A4/4. D5/8 F5/4 A5/4 | D6/2 C6/8 A5/8 F5/4 | G5/4. A5/8 Bb5/4 D5/4 | "
               "E5/2 G5/4 C#5/4 | F5/4 E5/4 D5/2 | r/1 |");

    // --- Choir: the deep middle section, and the last chord.
    Voice choir(choirT, 1, 84, 0.98, 59);
    choir.play(bar(kB),
               "D5/2. C5/4 | Bb4/1 | F5/2 G5/4 F5/4 | D5/1 | "
               "D5/4. F5/8 A5/2 | G5/2 E5/2 | F5/4 G5/4 D5/2 | E5/2 C#5/4 Bb4/4 |");
    choir.velocity(66);
    choir.play(bar(kEnd - 1), "D4+A4+D5/1 |");

    // --- Sonar: pings from far off at the start, the turn and the end.
    Voice ping(sonarT, 6, 98, 1.0, 61);
    sonar(ping, bar(0));
    sonar(ping, bar(2));
    sonar(ping, bar(kB));
    sonar(ping, bar(kEnd - 1), 2);  // the last echoes fade with the final chord

    // --- Percussion: a slow heartbeat, a shaker, a triangle now and then.
    Voice heart(percT, kDrumChannel, 88, 1.0, 67);
    Voice shaker(percT, kDrumChannel, 64, 1.0, 71);
    Voice stick(percT, kDrumChannel, 60, 1.0, 73);
    for (int b = kA; b < kEnd - 1; ++b) {
        const std::uint32_t at = bar(b);
        heart.drums(at, {{36, "x..o............"}});
        if (b >= kB && b < kA2) {
            shaker.drums(at, {{82, "oxoxoxoxoxoxoxox"}});
            stick.drums(at, {{37, "............x..."}});
        } else if (b < kEnd - 2) {
            shaker.drums(at, {{82, "..x...x...x...x."}});
        }
    }
    stick.drums(bar(kB), {{81, "x..............."}});
    stick.drums(bar(kB + 4), {{81, "x..............."}});
    stick.drums(bar(kEnd - 1), {{81, "x..............."}, {36, "o..............."}});

    return song;
}

}  // namespace soundgen
