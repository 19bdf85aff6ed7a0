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
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/texts.h"
#include "headless/harness.h"

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

inline bool parseReplay(std::istream& in, Replay& r, std::string& err) {
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        ++n;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        std::string first;
        ls >> first;
        if (first == "seed") {
            ls >> r.seed;
        } else if (first == "check") {
            int tick;
            ls >> tick;
            std::string rest;
            std::getline(ls, rest);
            r.checks[tick] = rest.substr(rest.find_first_not_of(' '));
        } else if (first == "end") {
            ls >> r.end;
        } else {
            ReplayEvent e{};
            std::string kind, button;
            e.tick = std::stoi(first);
            ls >> kind >> button >> e.x >> e.y;
            e.kind = kind == "down" ? MouseKind::Down : kind == "up" ? MouseKind::Up : MouseKind::Move;
            e.button = button == "right" ? Button::Right : button == "middle" ? Button::Middle : Button::Left;
            if (!ls || (kind != "down" && kind != "up" && kind != "move")) {
                err = "line " + std::to_string(n) + ": " + line;
                return false;
            }
            r.events.push_back(e);
        }
    }
    return true;
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
