// Whole-state traces of a dive: one line for every step of every phase and
// for every batch of pointer events handled between steps, holding every
// field of the state record, the random seed, every item of the playfield by
// its catalogue name (position, size, visibility, picture by name, colour,
// text), the caption, the loop's clock and sleeps, and the sound commands
// sent since the line before.
//
// A golden trace file names the fields it recorded, in their order, and keeps
// a short hash of those fields of every line and every 500th line (and the
// last) in full. A run is held to exactly those fields: one the game gained
// since is not in the trace and changes nothing. Comparing a run with it
// names the first line that differs and, from the next full line, the first
// field by name.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "headless/harness.h"

namespace trace {

// The moments the golden traces must pass through between them.
enum class Moment : uint8_t {
    rightClickInPlace,        // a right press and release without moving, tanks left
    releaseBeyond999,         // a right release at a client x or y past 999
    swipeAfterSquid,          // right-button events after the squid is beaten
    oxygenCardThenTank,       // a tank opened after an oxygen card raised the top
    upMarkerThirtyTicks,      // the UP marker shown on one tick, hidden 30 later
    eventsInsideStartClick,   // events handled inside the start click
    eventsInsideMusicChange,  // events handled inside the step of tick 2160
    clearSequenceToTheEnd,    // all 165 steps of the clear sequence
    Count
};

// The moments one run, or several together, passed through.
class Coverage {
public:
    void mark(Moment m) { seen_[static_cast<size_t>(m)] = true; }
    Coverage& operator|=(const Coverage& other);
    // The names of the moments not passed through, each followed by a space;
    // empty once every moment is.
    std::string missing() const;

private:
    std::array<bool, static_cast<size_t>(Moment::Count)> seen_{};
};

using Fields = std::vector<std::pair<std::string, std::string>>;

// The pieces of a line, and the line itself: its fields joined by tabs (no
// name holds a space, '=' or a tab; no value holds a tab).
std::string join(const Fields& f);
Fields split(const std::string& line);
// Every field of the state record, in its order.
Fields stateFields(const GameState& s);
// The first field both lines hold whose values differ, "name: expected a,
// got b"; empty if none does. A field only one of them holds is not compared.
std::string firstDifference(const std::string& expected, const std::string& actual);
// The names of the fields a line holds that the other does not, in order.
std::vector<std::string> fieldsOnlyIn(const std::string& line, const std::string& other);

// Watches a dive through the loop and writes its trace.
class Recorder : public LoopObserver {
public:
    explicit Recorder(Dive& d);
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void beforeEvent(const PlatformEvent& ev) override;
    void afterEvent(const PlatformEvent& ev) override;
    void beforeStep(Phase) override;
    void afterStep(Phase p, bool ran) override;

    // Closes the trace once the play is over: the line of the events still
    // pending, then closeWindow() destroys the dive, and the closing line
    // holds the dive's last state and the commands its game sent as it went
    // (the window's destruction). The dive is not touched again.
    void finish(const std::function<void()>& closeWindow);

    const std::vector<std::string>& lines() const { return lines_; }
    const Coverage& coverage() const { return cover_; }

private:
    void flushEvents();
    void emit(const std::string& label);
    Fields picture(const std::string& label);
    std::string soundSince();
    void watchEvent(const PlatformEvent& ev);
    void watchStep(Phase p);

    Dive& d_;
    bool watching_ = true;
    std::vector<std::string> lines_;
    int sleeps_ = 0;
    size_t sent_ = 0;
    int steps_[4] = {0, 0, 0, 0};
    int depth_ = 0;
    bool inStep_ = false;
    int batch_ = 0;
    int nested_ = 0;
    GameState before_;
    bool upWas_ = false;
    int upSince_ = 0;
    Coverage cover_;
};

// The golden file's text for a run: the names of its fields, a short hash of
// every line, and every 500th line and the last in full.
std::string goldenText(const std::string& title, const std::vector<std::string>& lines);
// Compares a run with a golden file's text, field by field of those the file
// recorded: empty if they agree, else where the run first differs (the line,
// and the first field at the next full line), or the recorded field the run
// does not have.
std::string compareWithGolden(const std::string& golden, const std::vector<std::string>& lines);

}  // namespace trace
