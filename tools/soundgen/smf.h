// A small Standard MIDI File writer and a compact note language for writing
// the game's music by hand.
#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace soundgen {

inline constexpr std::uint32_t kPpq = 480;       // ticks per quarter note
inline constexpr std::uint32_t kBar = 4 * kPpq;  // both themes are in 4/4
inline constexpr int kDrumChannel = 9;           // General MIDI channel 10

inline constexpr std::uint32_t bar(int n) { return static_cast<std::uint32_t>(n) * kBar; }

class Track {
public:
    struct NoteEvent {
        std::uint32_t tick, length;
        int channel, key, velocity;
    };

    explicit Track(std::string name) : name_(std::move(name)) {}
    const std::string& name() const { return name_; }

    void meta(std::uint32_t tick, std::uint8_t type, const std::vector<std::uint8_t>& data);
    void text(std::uint32_t tick, std::uint8_t type, std::string_view s);
    void sysex(std::uint32_t tick, const std::vector<std::uint8_t>& body);
    void program(std::uint32_t tick, int channel, int program);
    void control(std::uint32_t tick, int channel, int controller, int value);
    // A linear controller sweep from `from` to `to`, one message per step.
    void controlRamp(std::uint32_t start, std::uint32_t end, int channel, int controller, int from,
                     int to, std::uint32_t step = kPpq / 4);
    void note(std::uint32_t tick, int channel, int key, int velocity, std::uint32_t length);

    std::uint32_t lastTick() const;
    const std::vector<NoteEvent>& notes() const { return notes_; }
    // The MTrk chunk: the track name, then every event in time order, closed
    // by End of Track at endTick (or at the last event if that is later).
    std::vector<std::uint8_t> encode(std::uint32_t endTick) const;

private:
    struct Event {
        std::uint32_t tick;
        int rank;  // order within one tick: meta, controls, note-offs, note-ons
        std::vector<std::uint8_t> bytes;
    };
    void add(std::uint32_t tick, int rank, std::vector<std::uint8_t> bytes);

    std::string name_;
    std::vector<Event> events_;
    // Notes are kept apart until encoding, so that a key struck again on the
    // same channel before it was released can have its earlier note cut short
    // (otherwise the first release would silence the second note).
    std::vector<NoteEvent> notes_;
};

struct Section {
    std::string name;
    int firstBar, endBar;  // [firstBar, endBar)
};

// One piece: the conductor track (tempo map, metre, key, section markers)
// followed by the instrument tracks.
class Song {
public:
    Song(std::string file, std::string title);
    const std::string& file() const { return file_; }

    Track& conductor() { return tracks_.front(); }
    Track& addTrack(std::string name);
    void tempo(std::uint32_t tick, double bpm);
    void section(std::string name, int firstBar, int endBar);
    void setEnd(std::uint32_t tick) { end_ = tick; }

    double seconds(std::uint32_t tick) const;
    std::uint32_t endTick() const;
    const std::vector<Section>& sections() const { return sections_; }
    const std::deque<Track>& tracks() const { return tracks_; }
    std::vector<std::uint8_t> encode() const;

private:
    std::string file_;
    std::deque<Track> tracks_;  // a deque: references to tracks stay valid
    std::vector<std::pair<std::uint32_t, std::uint32_t>> tempos_;  // tick, µs per quarter
    std::vector<Section> sections_;
    std::uint32_t end_ = 0;
};

// One instrument part. `play` reads the note language:
//   token   := pitches "/" length [modifiers]
//   pitches := "r" (rest) | "-" (tie: lengthen the notes just played)
//            | note ("+" note)*          e.g. "D5", "F#4", "Bb2+F3"
//   length  := 1 | 2 | 4 | 8 | 16 | 32, then "." (dotted) or "t" (triplet)
//   modifiers: "'" staccato, ">" accent, "<" soft
//   A tie works within one call of `play` only.
//   "|" checks that a bar line falls here and throws if it does not.
class Voice {
public:
    Voice(Track& track, int channel, int velocity, double gate, std::uint32_t seed);
    Voice& transpose(int semitones) {
        transpose_ = semitones;
        return *this;
    }
    Voice& velocity(int v) {
        velocity_ = v;
        return *this;
    }
    Voice& gate(double g) {
        gate_ = g;
        return *this;
    }
    // Plays the line from `start` and returns the tick where it ends.
    std::uint32_t play(std::uint32_t start, std::string_view line);
    // One note, with the voice's humanised velocity (offset from its level).
    void hit(std::uint32_t tick, int key, std::uint32_t length, int velocityOffset = 0);
    // A bar of drum steps: each string holds one character per step (16 per
    // bar gives sixteenths, 12 triplet eighths, 32 thirty-seconds):
    // 'X' accent, 'x' normal, 'o' ghost, anything else a rest.
    void drums(std::uint32_t barStart, std::initializer_list<std::pair<int, std::string_view>> lines);

    Track& track() { return track_; }
    int channel() const { return channel_; }

private:
    int humanise(int velocity);

    Track& track_;
    int channel_;
    int velocity_;
    double gate_;
    int transpose_ = 0;
    std::uint32_t rng_;
};

// Parses "C4", "F#3", "Bb5" into a MIDI key number (C4 = 60).
int parseNote(std::string_view name);
// Parses a chord "D3+A3+F4".
std::vector<int> parseChord(std::string_view chord);

}  // namespace soundgen
