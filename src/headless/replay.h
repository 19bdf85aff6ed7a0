// Recorded dives: a replay is a small text file of tick-stamped pointer
// events and the values the dive is expected to show along the way.
//
//   seed 4242
//   # tick kind button x y        (events handled after that tick's step;
//   0 move - 90 100                tick 0 is the title screen)
//   0 down left 90 100
//   0 up left 90 100
//   check 200 Life=181 Oxygen=0 Tanks=9 EnemyLife=90
//   end clear                     (or: end over)
//
// check lines compare the state after the step of their tick, before that
// tick's events are handled.
#pragma once
#include <algorithm>
#include <charconv>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/texts.h"
#include "headless/harness.h"
#include "record/dive_record.h"

struct ReplayEvent {
    int tick;
    MouseKind kind;
    Button button;
    int x, y;
};

struct Replay {
    uint32_t seed = 0;
    std::vector<ReplayEvent> events;
    std::map<int, std::string> checks;  // tick -> "Life=.. Oxygen=.. ..."
    std::string end;                    // "clear" or "over"
};

inline std::string checkLine(const GameState& s) {
    return "Life=" + std::to_string(s.Life) + " Oxygen=" + std::to_string(s.Oxygen) +
           " Tanks=" + std::to_string(s.Tanks) + " EnemyLife=" + std::to_string(s.EnemyLife);
}

// Why a replay could not be read: the first line (counted from 1) that is
// not understood, and what is wrong with it.
struct ReplayError {
    int line = 0;
    std::string reason;
    std::string describe() const { return "line " + std::to_string(line) + ": " + reason; }
};

namespace replay_detail {

// A whole word as a number, or nothing.
template <class Int>
std::optional<Int> number(const std::string& word) {
    Int v{};
    const char* end = word.data() + word.size();
    const auto [p, ec] = std::from_chars(word.data(), end, v);
    if (ec != std::errc() || p != end || word.empty()) return std::nullopt;
    return v;
}

// The words of a line, split at spaces.
inline std::vector<std::string> words(const std::string& line) {
    std::istringstream ls(line);
    std::vector<std::string> w;
    for (std::string x; ls >> x;) w.push_back(x);
    return w;
}

// One event line, "tick kind button x y"; the reason it is wrong, if it is.
inline std::string event(const std::vector<std::string>& w, ReplayEvent& e) {
    if (w.size() != 5) return "an event has five words: tick kind button x y";
    const auto tick = number<int>(w[0]);
    if (!tick || *tick < 0) return "'" + w[0] + "' is not a tick";
    e.tick = *tick;
    if (w[1] == "down") e.kind = MouseKind::Down;
    else if (w[1] == "up") e.kind = MouseKind::Up;
    else if (w[1] == "move") e.kind = MouseKind::Move;
    else return "'" + w[1] + "' is not down, up or move";
    // A move names no button.
    if (e.kind == MouseKind::Move && w[2] == "-") e.button = Button::Left;
    else if (e.kind != MouseKind::Move && w[2] == "left") e.button = Button::Left;
    else if (e.kind != MouseKind::Move && w[2] == "right") e.button = Button::Right;
    else if (e.kind != MouseKind::Move && w[2] == "middle") e.button = Button::Middle;
    else return "'" + w[2] + "' is not a button for " + w[1];
    const auto x = number<int>(w[3]), y = number<int>(w[4]);
    if (!x || !y) return "'" + w[3] + " " + w[4] + "' is not a position";
    e.x = *x;
    e.y = *y;
    return "";
}

}  // namespace replay_detail

// Reads a replay into r; on a line it does not understand it stops and says
// which and why.
inline std::optional<ReplayError> parseReplay(std::istream& in, Replay& r) {
    using namespace replay_detail;
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        ++n;
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> w = words(line);
        if (w.empty()) continue;
        if (w[0] == "seed") {
            const auto seed = w.size() == 2 ? number<uint32_t>(w[1]) : std::nullopt;
            if (!seed) return ReplayError{n, "a seed line is 'seed' and one number"};
            r.seed = *seed;
        } else if (w[0] == "check") {
            const auto tick = w.size() > 2 ? number<int>(w[1]) : std::nullopt;
            if (!tick) return ReplayError{n, "a check line is 'check', a tick and the values"};
            std::string values;
            for (size_t i = 2; i < w.size(); ++i) values += (i > 2 ? " " : "") + w[i];
            r.checks[*tick] = values;
        } else if (w[0] == "end") {
            if (w.size() != 2) return ReplayError{n, "an end line is 'end' and one word"};
            r.end = w[1];
        } else {
            ReplayEvent e{};
            const std::string why = event(w, e);
            if (!why.empty()) return ReplayError{n, why};
            r.events.push_back(e);
        }
    }
    return std::nullopt;
}

// Plays a replay in a dive to its end: each tick's events are handled after
// that tick's step, and afterStep(t) looks at the dive in between.
template <class AfterStep>
void playReplayIn(Dive& d, const Replay& r, AfterStep afterStep) {
    size_t next = 0;
    auto queueFor = [&](int tick) {
        while (next < r.events.size() && r.events[next].tick <= tick) {
            const ReplayEvent& e = r.events[next++];
            d.mouse(e.kind, e.button, e.x, e.y);
        }
        d.settle();
    };
    queueFor(0);
    while (d.game.phase() == Phase::Dive) {
        const int t = d.st().DiveTick + 1;
        d.runTo(t);
        afterStep(t);
        queueFor(t);
    }
    d.runOut();
}

// Plays a replay; returns the values seen at every check tick (and at every
// tick in `recordAt`), and the ending reached.
struct ReplayRun {
    std::map<int, std::string> seen;
    std::string end;
};

inline ReplayRun playReplay(const Replay& r, const std::vector<int>& recordAt = {}) {
    ReplayRun out;
    Dive d(r.seed);
    playReplayIn(d, r, [&](int t) {
        if (r.checks.count(t) || std::find(recordAt.begin(), recordAt.end(), t) != recordAt.end())
            out.seen[t] = checkLine(d.st());
    });
    out.end = d.field.caption() == kClearCaption ? "clear" : d.shown(Item::gameOver) ? "over" : "none";
    return out;
}

// Plays a dive's record back in d, a window made with the record's seed that
// has handled nothing yet: pass by pass, until the record is over, the replay
// found a problem or the window closed. afterPass() acts between passes.
template <class AfterPass>
void playRecordIn(Dive& d, const DiveRecord& r, AfterPass afterPass, long passes = 50'000'000) {
    d.loop.playBack(r);
    while (passes-- > 0 && !d.loop.playbackOver() && d.loop.playbackProblem().empty() && !d.loop.closed()) {
        d.pass();
        afterPass();
    }
}
