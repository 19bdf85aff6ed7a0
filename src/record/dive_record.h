// A dive as it was played: its seed and the pointer events the game handled,
// each at the place in the loop where it was handled, written down as the
// dive goes and played back to the same end.
//
// The place of an event is counted by the loop, not by the clock: how many
// steps had run (of any phase), how many times the game had asked the loop
// to handle its waiting events in the middle of a click or a step, and how
// deep in such calls the event came. The rules see time only through the
// steps, so the same events at the same places make the same dive.
//
// The events are kept encoded as they come (record_bytes.h describes the
// bytes): steps without events cost a byte or two together, steps with
// moves that changed nothing at most half a byte each, an event one to a
// few bytes. A move
// that changed nothing at all -- the state record and the playfield stood as
// they were -- is kept without its position: played back as a move off the
// window, it changes nothing either (a move's rule never reads where the
// pointer is, only what it is over, and off the window it is over nothing
// unless the left button holds an item, which takes it the same way).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/game.h"
#include "core/pointer.h"
#include "core/state.h"
#include "record/record_bytes.h"

// Where in the loop an event was handled.
struct RecordPosition {
    uint32_t steps = 0;         // steps run so far, of every phase
    uint32_t messageCalls = 0;  // calls to handle the waiting events inside a click or a step
    uint32_t depth = 0;         // how many of those calls the event came inside
    bool operator==(const RecordPosition&) const = default;
};

// The most a dive's record holds: past this the record is dropped, not kept
// short (a dive a few minutes long holds a few kilobytes).
inline constexpr size_t kMostRecordBodyBytes = 1u << 20;
inline constexpr uint32_t kMostRecordEvents = 4'000'000;
inline constexpr uint32_t kMostRecordSteps = 2'000'000;

// A dive's record, ready to be written or played.
struct DiveRecord {
    uint32_t seed = 0;
    uint32_t endSteps = 0;   // steps run when the record closed
    bool ended = false;      // the dive reached its end (else the window closed first)
    uint32_t endDigest = 0;  // stateDigest at the close
    std::vector<uint8_t> body;
};

// A hash of everything in the state record but the clock's reading, the
// phase, the dice and where each item stands and whether it shows: the
// dive's last state, for a replay to prove it came to the same end.
uint32_t stateDigest(const GameView& v);

// Writes a dive down as the loop handles it.
class DiveRecorder {
public:
    explicit DiveRecorder(uint32_t seed) { record_.seed = seed; }

    // An event the game is about to handle at position(), and, once it has,
    // whether it changed nothing (only a move is ever kept as quiet).
    void handling(const PointerEvent& e);
    void handled(bool quiet);
    void stepped();
    void enterMessages();
    void leaveMessages();
    // The dive is over (its end, or the window closed): nothing more is written.
    void close(const GameView& v);

    bool open() const { return !closed_ && !dropped_; }
    bool closed() const { return closed_; }
    // The record outgrew kMostRecordBodyBytes or kMostRecordEvents and is not kept.
    bool dropped() const { return dropped_; }
    const RecordPosition& position() const { return live_; }
    // The record so far (closed or not), with every pending step written out.
    DiveRecord record() const;
    // The memory the record holds now.
    size_t bytesHeld() const { return record_.body.capacity() + run_.capacity(); }

private:
    void write(const PointerEvent& e, bool quiet);
    void writePendingMove();
    void flush(std::vector<uint8_t>& out, uint32_t& lead, std::vector<uint8_t>& run) const;
    void grow();

    DiveRecord record_;
    RecordPosition live_;
    RecordPosition written_;
    uint32_t lead_ = 0;          // quiet moves at the written position, not yet written
    std::vector<uint8_t> run_;   // steps not yet written, each with its quiet moves
    int32_t x_ = 0, y_ = 0;      // the last event written
    std::array<record_bytes::Spot, 9> lastOf_{};  // the last of each kind and button
    int32_t originX_ = 0, originY_ = 0;
    int32_t skewX_ = 0, skewY_ = 0;  // screen - origin - client, normally 0
    uint32_t events_ = 0;
    PointerEvent pendingMove_;   // a move being handled, quiet or not
    bool movePending_ = false;
    bool closed_ = false;
    bool dropped_ = false;
};

// An event read back from a record.
struct RecordedEvent {
    RecordPosition at;
    PointerEvent pointer;
};

// Reads a record's events in order. A body that does not read ends the
// events with error() set.
class RecordReader {
public:
    explicit RecordReader(const std::vector<uint8_t>& body) : body_(body) {}
    bool next(RecordedEvent& out);
    // Where the body left the loop: after the last event, the steps after it.
    const RecordPosition& position() const { return pos_; }
    const std::string& error() const { return error_; }
    uint32_t events() const { return events_; }

private:
    bool fail(const char* why);
    bool byte(uint8_t& b);
    bool varint(uint32_t& v);
    bool signedVarint(int32_t& v);
    bool stepOn(uint32_t n);
    RecordedEvent quietMove();

    const std::vector<uint8_t>& body_;
    size_t at_ = 0;
    RecordPosition pos_;
    int32_t x_ = 0, y_ = 0, originX_ = 0, originY_ = 0, skewX_ = 0, skewY_ = 0;
    std::array<record_bytes::Spot, 9> lastOf_{};
    uint32_t quiet_ = 0;        // quiet moves left at this position
    uint32_t spanLeft_ = 0;     // steps left in a span
    size_t spanBit_ = 0;        // where the span's next count lies, in bits from the body's start
    uint32_t spanWidth_ = 0;    // bits a count
    uint32_t spanBase_ = 0;     // what each count adds to its bits
    uint32_t events_ = 0;
    std::string error_;
};

// Hands a record's events to the loop at their places, and says when the
// replay went where its dive did not.
class RecordPlayer {
public:
    explicit RecordPlayer(DiveRecord r);
    RecordPlayer(const RecordPlayer&) = delete;  // its reader reads its own record
    RecordPlayer& operator=(const RecordPlayer&) = delete;
    // The event due at the live position, if one is.
    bool due(const RecordPosition& live, PointerEvent& out);
    // Whether the loop may run its next step from the live position.
    bool mayStep(const RecordPosition& live) const { return live.steps < record_.endSteps && !problem_.size(); }
    // Checks the replay against its record once the loop has moved on:
    // the dive ending before its record does, the record's end reached.
    void check(const RecordPosition& live, const GameView& v);
    // The loop has nothing to do but wait for the player, and the record is
    // not over: it cannot go on.
    void stalled(const RecordPosition& live, Phase phase);
    // Every event handed over and the record's last step run.
    bool over() const { return over_; }
    // Empty, or the one line that says how the replay went wrong.
    const std::string& problem() const { return problem_; }
    const DiveRecord& record() const { return record_; }

private:
    DiveRecord record_;
    RecordReader reader_{record_.body};
    RecordedEvent next_;
    bool hasNext_ = false;
    bool over_ = false;
    std::string problem_;
};
