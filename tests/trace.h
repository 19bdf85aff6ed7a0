// Whole-state traces of a dive: one line for every step of every phase and
// for every batch of pointer events handled between steps, holding every
// field of the state record, the random seed, every item of the playfield
// (position, size, visibility, picture, colour, text), the caption, the loop's
// clock and sleeps, and the sound commands sent since the line before.
//
// A golden trace file keeps a short hash of every line and every 500th line
// (and the last) in full; comparing a run with it names the first line that
// differs and, from the next full line, the first field.
#pragma once
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

namespace trace {

// The moments the golden traces must pass through between them.
struct Coverage {
    bool rightClickInPlace = false;     // a right press and release without moving, tanks left
    bool releaseBeyond999 = false;      // a right release at a client x or y past 999
    bool swipeAfterSquid = false;       // right-button events after the squid is beaten
    bool oxygenCardThenTank = false;    // a tank opened after an oxygen card raised the top
    bool upMarkerThirtyTicks = false;   // the UP marker shown on one tick, hidden 30 later
    bool eventsInsideStartClick = false;
    bool eventsInsideMusicChange = false;  // inside the step of tick 2160
    bool clearSequenceToTheEnd = false;    // all 165 steps of the clear sequence
};

using Fields = std::vector<std::pair<std::string, std::string>>;

inline std::string hex(uint64_t v, int digits) {
    char b[17];
    std::snprintf(b, sizeof b, "%0*llx", digits, static_cast<unsigned long long>(v));
    return b;
}

// FNV-1a, 64 bits.
inline uint64_t hash64(const std::string& s) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

inline std::string shortHash(const std::string& line) { return hex(hash64(line) >> 16, 12); }

// Every field of the state record, in its order.
inline Fields stateFields(const GameState& s) {
    Fields f;
    auto add = [&](const char* n, long long v) { f.emplace_back(n, std::to_string(v)); };
    add("LastTick", s.LastTick);
    add("Oxygen", s.Oxygen);
    add("Life", s.Life);
    add("EnemyLife", s.EnemyLife);
    add("Tanks", s.Tanks);
    add("DiveTick", s.DiveTick);
    add("OxygenMax", s.OxygenMax);
    add("EndTick", s.EndTick);
    add("SwipeDX", s.SwipeDX);
    add("SwipeDY", s.SwipeDY);
    add("DownX", s.DownX);
    add("DownY", s.DownY);
    add("UpX", s.UpX);
    add("UpY", s.UpY);
    add("CursorPos", s.CursorPos);
    add("PointerX", s.PointerX);
    add("PointerY", s.PointerY);
    add("SeNo", s.SeNo);
    add("HalfTick", s.HalfTick);
    add("MouseButton", s.MouseButton);
    add("EnemyKind", s.EnemyKind);
    add("DealNo", s.DealNo);
    add("UpTimer", s.UpTimer);
    add("BgmNo", s.BgmNo);
    add("Diving", s.Diving);
    add("EnemyLane", s.EnemyLane);
    add("SpearLane", s.SpearLane);
    add("Bubble1Rising", s.Bubble1Rising);
    add("Bubble2Rising", s.Bubble2Rising);
    add("EnemyActive", s.EnemyActive);
    add("UpShown", s.UpShown);
    add("RingOn", s.RingOn);
    add("Cleared", s.Cleared);
    add("Striking", s.Striking);
    return f;
}

inline int pictureIndex(const Picture* p) {
    if (!p) return -1;
    for (int i = 0; i < static_cast<int>(Pic::Count); ++i)
        if (&picture(static_cast<Pic>(i)) == p) return i;
    return -2;
}

inline const char* phaseName(Phase p) {
    switch (p) {
        case Phase::Dive: return "D";
        case Phase::Over: return "O";
        case Phase::Clear: return "C";
        case Phase::None: break;
    }
    return "N";
}

// A line is its fields joined by tabs (no value holds a tab).
inline std::string join(const Fields& f) {
    std::string s;
    for (const auto& [n, v] : f) {
        if (!s.empty()) s += '\t';
        s += n + "=" + v;
    }
    return s;
}

inline Fields split(const std::string& line) {
    Fields f;
    std::istringstream in(line);
    std::string tok;
    while (std::getline(in, tok, '\t')) {
        const size_t eq = tok.find('=');
        f.emplace_back(tok.substr(0, eq), eq == std::string::npos ? "" : tok.substr(eq + 1));
    }
    return f;
}

// The first field in which two full lines differ, as "name: a -> b".
inline std::string firstDifference(const std::string& expected, const std::string& actual) {
    const Fields a = split(expected), b = split(actual);
    for (size_t i = 0; i < a.size() || i < b.size(); ++i) {
        const std::string na = i < a.size() ? a[i].first : "(none)", nb = i < b.size() ? b[i].first : "(none)";
        const std::string va = i < a.size() ? a[i].second : "", vb = i < b.size() ? b[i].second : "";
        if (na != nb) return "field " + std::to_string(i) + " is " + nb + ", expected " + na;
        if (va != vb) return na + ": expected " + va + ", got " + vb;
    }
    return "";
}

// Watches a dive through the loop and writes its trace.
class Recorder : public LoopObserver {
public:
    explicit Recorder(Dive& d) : d_(d) {
        d_.loop.setObserver(this);
        sleeps_ = d_.plat.sleeps;
        sent_ = d_.sound.log.size();
    }
    ~Recorder() override { d_.loop.setObserver(nullptr); }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void beforeEvent(const PlatformEvent& ev) override {
        const bool nested = depth_ > 0 || inStep_;
        ++depth_;
        if (nested) {
            ++nested_;
            const GameState& s = d_.st();
            if (!inStep_ && s.Diving == 1 && s.DiveTick == 0) cover_.eventsInsideStartClick = true;
            if (inStep_ && s.DiveTick == 2160 && d_.loop.phase() == Phase::Dive) cover_.eventsInsideMusicChange = true;
        } else {
            ++batch_;
        }
        before_ = d_.st();
        (void)ev;
    }

    void afterEvent(const PlatformEvent& ev) override {
        --depth_;
        watchEvent(ev);
    }

    void beforeStep(Phase) override { flushEvents(); inStep_ = true; nested_ = 0; }

    void afterStep(Phase p, bool ran) override {
        inStep_ = false;
        if (!ran) return;
        const int n = ++steps_[static_cast<int>(p)];
        std::string label = std::string(phaseName(p)) + std::to_string(n);
        if (nested_) label += "+" + std::to_string(nested_);
        nested_ = 0;
        emit(label);
        watchStep(p);
    }

    // Closes the trace: pending events, and whatever was sent after them
    // (the window's destruction).
    void finish() {
        flushEvents();
        if (d_.sound.log.size() > sent_ || d_.plat.sleeps != sleeps_) emit("end");
    }

    const std::vector<std::string>& lines() const { return lines_; }
    const Coverage& coverage() const { return cover_; }

private:
    void flushEvents() {
        if (batch_ == 0) return;
        std::string label = "E" + std::to_string(batch_);
        if (nested_) label += "+" + std::to_string(nested_);
        batch_ = 0;
        nested_ = 0;
        emit(label);
    }

    void emit(const std::string& label) {
        Fields f;
        f.reserve(128);
        f.emplace_back("line", label);
        f.emplace_back("clock", std::to_string(d_.plat.now));
        f.emplace_back("sleeps", std::to_string(d_.plat.sleeps - sleeps_));
        f.emplace_back("phase", phaseName(d_.loop.phase()));
        for (auto& kv : stateFields(d_.st())) f.push_back(kv);
        f.emplace_back("seed", std::to_string(d_.form.rng().seed()));
        f.emplace_back("caption", d_.screen.caption());
        const auto& items = d_.screen.items();
        for (size_t i = 0; i < items.size(); ++i) {
            const Item& it = items[i];
            f.emplace_back("item" + std::to_string(i),
                           std::to_string(it.left) + "," + std::to_string(it.top) + "," + std::to_string(it.width) +
                               "x" + std::to_string(it.height) + "," + (it.visible ? "1" : "0") + "," +
                               std::to_string(pictureIndex(it.pic)) + "," + hex(it.color, 6) + "," + it.text);
        }
        std::string sound;
        for (size_t i = sent_; i < d_.sound.log.size(); ++i) {
            if (i > sent_) sound += ';';
            sound += d_.sound.log[i];
        }
        f.emplace_back("sound", sound);
        sent_ = d_.sound.log.size();
        sleeps_ = d_.plat.sleeps;
        lines_.push_back(join(f));
    }

    void watchEvent(const PlatformEvent& ev) {
        const GameState& s = d_.st();
        const MouseEvent& m = ev.mouse;
        if (m.button != Button::Right || m.kind == MouseKind::Move) return;
        if (s.Cleared == 1 && s.Life > 0) cover_.swipeAfterSquid = true;
        if (m.kind != MouseKind::Up || s.Diving != 1 || s.Life <= 0 || s.MouseButton != 2) return;
        if (s.UpX > 999 || s.UpY > 999) cover_.releaseBeyond999 = true;
        if (s.UpX == s.DownX && s.UpY == s.DownY && s.PointerX == s.UpX && before_.Tanks > 0 &&
            s.Tanks == before_.Tanks)
            cover_.rightClickInPlace = true;
        if (s.Tanks < before_.Tanks && s.OxygenMax > 80 && s.Oxygen == s.OxygenMax) cover_.oxygenCardThenTank = true;
    }

    void watchStep(Phase p) {
        const GameState& s = d_.st();
        const bool up = d_.screen.visible(Id::LabelUP1);
        if (p == Phase::Dive) {
            if (up && !upWas_) upSince_ = s.DiveTick;
            if (!up && upWas_ && s.DiveTick - upSince_ == 30) cover_.upMarkerThirtyTicks = true;
            upWas_ = up;
        }
        if (p == Phase::Clear && s.EndTick == 165 && d_.loop.phase() == Phase::None) cover_.clearSequenceToTheEnd = true;
    }

    Dive& d_;
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

constexpr int kFullEvery = 500;

// The golden file's text for a run.
inline std::string goldenText(const std::string& title, const std::vector<std::string>& lines) {
    std::string out = "# Torvenka whole-state trace: " + title +
                      "\n# A line: label and hash; every 500th line and the last in full after '= '.\n"
                      "# Re-record only with TORVENKA_UPDATE_TRACES=1, after a deliberate change of the game.\n";
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        out += l.substr(5, l.find('\t') - 5) + " " + shortHash(l) + "\n";
        if ((i + 1) % kFullEvery == 0 || i + 1 == lines.size()) out += "= " + l + "\n";
    }
    return out;
}

// Compares a run with a golden file's text: empty if they agree, else where
// the run first differs.
inline std::string compareWithGolden(const std::string& golden, const std::vector<std::string>& lines) {
    std::istringstream in(golden);
    std::string g;
    std::vector<std::string> hashes;
    std::vector<std::pair<size_t, std::string>> full;  // line index -> full line
    while (std::getline(in, g)) {
        if (g.empty() || g[0] == '#') continue;
        if (g.rfind("= ", 0) == 0) {
            full.emplace_back(hashes.size() - 1, g.substr(2));
            continue;
        }
        hashes.push_back(g);
    }
    for (size_t i = 0; i < hashes.size() || i < lines.size(); ++i) {
        if (i >= lines.size()) return "the run ends after " + std::to_string(lines.size()) + " lines, the trace goes on";
        const std::string& l = lines[i];
        const std::string mine = l.substr(5, l.find('\t') - 5) + " " + shortHash(l);
        if (i < hashes.size() && hashes[i] == mine) continue;
        std::string where = "line " + std::to_string(i + 1) + " (" + (i < hashes.size() ? hashes[i] : "past the end") +
                            ", the run has " + mine.substr(0, mine.find(' ')) + ")";
        for (const auto& [at, text] : full)
            if (at >= i && at < lines.size()) {
                const std::string diff = firstDifference(text, lines[at]);
                return where + "; at full line " + std::to_string(at + 1) + ": " +
                       (diff.empty() ? "no field differs there" : diff);
            }
        return where;
    }
    return "";
}

}  // namespace trace
