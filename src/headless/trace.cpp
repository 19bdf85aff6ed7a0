#include "headless/trace.h"

#include <cstdio>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>

#include "core/keyed.h"

namespace trace {

namespace {

std::string hex(uint64_t v, int digits) {
    char b[17];
    std::snprintf(b, sizeof b, "%0*llx", digits, static_cast<unsigned long long>(v));
    return b;
}

// FNV-1a, 64 bits.
uint64_t hash64(const std::string& s) {
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

std::string shortHash(const std::string& line) { return hex(hash64(line) >> 16, 12); }

// The moments by name, for saying which were missed.
struct NamedMoment {
    Moment moment;
    const char* name;
};
constexpr NamedMoment kMoments[] = {
    {Moment::rightClickInPlace, "rightClickInPlace"},
    {Moment::releaseBeyond999, "releaseBeyond999"},
    {Moment::swipeAfterSquid, "swipeAfterSquid"},
    {Moment::oxygenCardThenTank, "oxygenCardThenTank"},
    {Moment::upMarkerThirtyTicks, "upMarkerThirtyTicks"},
    {Moment::eventsInsideStartClick, "eventsInsideStartClick"},
    {Moment::eventsInsideMusicChange, "eventsInsideMusicChange"},
    {Moment::clearSequenceToTheEnd, "clearSequenceToTheEnd"},
};
static_assert(std::size(kMoments) == static_cast<size_t>(Moment::Count) &&
              rowsInKeyOrder(kMoments, &NamedMoment::moment));

}  // namespace

Coverage& Coverage::operator|=(const Coverage& other) {
    for (size_t i = 0; i < seen_.size(); ++i) seen_[i] = seen_[i] || other.seen_[i];
    return *this;
}

std::string Coverage::missing() const {
    std::string names;
    for (const NamedMoment& m : kMoments)
        if (!seen_[static_cast<size_t>(m.moment)]) names += std::string(m.name) + " ";
    return names;
}

Fields stateFields(const GameState& s) {
    Fields f;
    forEachStateField(s, [&](const char* name, long long v) { f.emplace_back(name, std::to_string(v)); });
    return f;
}

namespace {

// A line's label: its kind (a phase's letter, or E for events), how many
// steps or events, and "+n" for the events handled inside them.
std::string lineLabel(const char* kind, int count, int nested) {
    std::string label(kind);
    label += std::to_string(count);
    if (nested) {
        label += '+';
        label += std::to_string(nested);
    }
    return label;
}

}  // namespace

// A line is its fields joined by tabs (no value holds a tab).
std::string join(const Fields& f) {
    std::string s;
    for (const auto& [n, v] : f) {
        if (!s.empty()) s += '\t';
        s += n + "=" + v;
    }
    return s;
}

Fields split(const std::string& line) {
    Fields f;
    std::istringstream in(line);
    std::string tok;
    while (std::getline(in, tok, '\t')) {
        const size_t eq = tok.find('=');
        f.emplace_back(tok.substr(0, eq), eq == std::string::npos ? "" : tok.substr(eq + 1));
    }
    return f;
}

namespace {

// Where each field of `fields` stands among `of`; -1 where it is missing.
std::vector<int> placesOf(const std::vector<std::string>& fields, const std::vector<std::string>& of) {
    std::vector<int> at;
    at.reserve(fields.size());
    size_t hint = 0;  // the two lists mostly run in the same order
    for (const std::string& name : fields) {
        int found = -1;
        for (size_t k = 0; k < of.size(); ++k) {
            const size_t j = (hint + k) % of.size();
            if (of[j] == name) {
                found = static_cast<int>(j);
                hint = j + 1;
                break;
            }
        }
        at.push_back(found);
    }
    return at;
}

// The names of a line's fields, in order; each name once.
std::vector<std::string> namesOf(const std::string& line) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const auto& [name, value] : split(line)) {
        if (!seen.insert(name).second) throw std::logic_error("two fields of a trace line are named " + name);
        names.push_back(name);
    }
    return names;
}

}  // namespace

// The first field both lines hold whose values differ, by name.
std::string firstDifference(const std::string& expected, const std::string& actual) {
    const Fields a = split(expected), b = split(actual);
    std::vector<std::string> bNames;
    for (const auto& [name, value] : b) bNames.push_back(name);
    std::vector<std::string> aNames;
    for (const auto& [name, value] : a) aNames.push_back(name);
    const std::vector<int> at = placesOf(aNames, bNames);
    for (size_t i = 0; i < a.size(); ++i)
        if (at[i] >= 0 && b[static_cast<size_t>(at[i])].second != a[i].second)
            return a[i].first + ": expected " + a[i].second + ", got " + b[static_cast<size_t>(at[i])].second;
    return "";
}

std::vector<std::string> fieldsOnlyIn(const std::string& line, const std::string& other) {
    const std::vector<std::string> mine = namesOf(line);
    const std::vector<int> at = placesOf(mine, namesOf(other));
    std::vector<std::string> only;
    for (size_t i = 0; i < mine.size(); ++i)
        if (at[i] < 0) only.push_back(mine[i]);
    return only;
}

Recorder::Recorder(Dive& d) : d_(d) {
    d_.loop.setObserver(this);
    sleeps_ = d_.plat.sleeps;
    sent_ = d_.sound.log.size();
}
Recorder::~Recorder() {
    if (watching_) d_.loop.setObserver(nullptr);
}
void Recorder::beforeEvent(const PlatformEvent& ev) {
    const bool nested = depth_ > 0 || inStep_;
    ++depth_;
    if (nested) {
        ++nested_;
        const GameState& s = d_.st();
        if (!inStep_ && s.Diving && s.DiveTick == 0) cover_.mark(Moment::eventsInsideStartClick);
        if (inStep_ && s.DiveTick == 2160 && d_.game.phase() == Phase::Dive)
            cover_.mark(Moment::eventsInsideMusicChange);
    } else {
        ++batch_;
    }
    before_ = d_.st();
    (void)ev;
}

void Recorder::afterEvent(const PlatformEvent& ev) {
    --depth_;
    watchEvent(ev);
}

void Recorder::beforeStep(Phase) {
    flushEvents();
    inStep_ = true;
    nested_ = 0;
}

void Recorder::afterStep(Phase p, bool ran) {
    inStep_ = false;
    if (!ran) return;
    const int n = ++steps_[static_cast<int>(p)];
    emit(lineLabel(phaseLetter(p), n, nested_));
    nested_ = 0;
    watchStep(p);
}

void Recorder::finish(const std::function<void()>& closeWindow) {
    // The closing line is the line of the events still pending, or else an
    // "end" line if anything was sent or slept since the line before: the
    // dive's last picture, then the commands sent since the line before and
    // those the game sends as it is destroyed.
    const bool pending = batch_ > 0;
    Fields f = picture(pending ? lineLabel("E", batch_, nested_) : "end");
    std::string sound = soundSince();
    const bool slept = d_.plat.sleeps != sleeps_;
    d_.loop.setObserver(nullptr);
    watching_ = false;
    d_.sound.onSend = [&sound](const std::string& c) { sound += (sound.empty() ? "" : ";") + c; };
    closeWindow();  // the dive is gone from here on
    if (!pending && sound.empty() && !slept) return;
    f.emplace_back("sound", sound);
    lines_.push_back(join(f));
}

void Recorder::flushEvents() {
    if (batch_ == 0) return;
    const std::string label = lineLabel("E", batch_, nested_);
    batch_ = 0;
    nested_ = 0;
    emit(label);
}

void Recorder::emit(const std::string& label) {
    Fields f = picture(label);
    f.emplace_back("sound", soundSince());
    sleeps_ = d_.plat.sleeps;
    lines_.push_back(join(f));
}

// Everything a line holds but the sound.
Fields Recorder::picture(const std::string& label) {
    Fields f = {{"line", label},
                {"clock", std::to_string(d_.plat.clock())},
                {"sleeps", std::to_string(d_.plat.sleeps - sleeps_)},
                {"phase", phaseLetter(d_.game.phase())}};
    f.reserve(128);
    for (auto& kv : stateFields(d_.st())) f.push_back(kv);
    f.emplace_back("seed", std::to_string(d_.game.view().dice.seed()));
    f.emplace_back("caption", d_.field.caption());
    // Each item under its catalogue name: left,top,WxH,visible,picture,colour,text.
    for (const ItemState& it : d_.field.items())
        f.emplace_back(it.name, std::to_string(it.left) + "," + std::to_string(it.top) + "," +
                                    std::to_string(it.width) + "x" + std::to_string(it.height) + "," +
                                    (it.visible ? "1" : "0") + "," + pictureName(it.picture) + "," +
                                    hex(it.color, 6) + "," + it.text);
    return f;
}

// The commands sent since the line before, joined by ';'.
std::string Recorder::soundSince() {
    std::string sound;
    for (size_t i = sent_; i < d_.sound.log.size(); ++i) {
        if (i > sent_) sound += ';';
        sound += d_.sound.log[i];
    }
    sent_ = d_.sound.log.size();
    return sound;
}

void Recorder::watchEvent(const PlatformEvent& ev) {
    const GameState& s = d_.st();
    const PointerEvent& m = ev.pointer;
    if (m.button != Button::Right || m.kind == MouseKind::Move) return;
    if (s.Cleared && s.Life > 0) cover_.mark(Moment::swipeAfterSquid);
    if (m.kind != MouseKind::Up || !s.Diving || s.Life <= 0 || s.MouseButton != SwipeButton::Right) return;
    if (s.UpX > 999 || s.UpY > 999) cover_.mark(Moment::releaseBeyond999);
    if (s.UpX == s.DownX && s.UpY == s.DownY && s.PointerX == s.UpX && before_.Tanks > 0 &&
        s.Tanks == before_.Tanks)
        cover_.mark(Moment::rightClickInPlace);
    if (s.Tanks < before_.Tanks && s.OxygenMax > 80 && s.Oxygen == s.OxygenMax) cover_.mark(Moment::oxygenCardThenTank);
}

void Recorder::watchStep(Phase p) {
    const GameState& s = d_.st();
    const bool up = d_.field.visible(Item::upMarker);
    if (p == Phase::Dive) {
        if (up && !upWas_) upSince_ = s.DiveTick;
        if (!up && upWas_ && s.DiveTick - upSince_ == 30) cover_.mark(Moment::upMarkerThirtyTicks);
        upWas_ = up;
    }
    if (p == Phase::Clear && s.EndTick == 165 && d_.game.phase() == Phase::None)
        cover_.mark(Moment::clearSequenceToTheEnd);
}


namespace {

constexpr int kFullEvery = 500;
constexpr char kFieldsTag[] = "fields ";

// A hash line: the line's label (the value of its first field, "line") and
// the short hash of the fields the trace recorded.
std::string hashLine(const std::string& line, const std::string& recorded) {
    return line.substr(5, line.find('\t') - 5) + " " + shortHash(recorded);
}

}  // namespace

// The golden file's text for a run.
std::string goldenText(const std::string& title, const std::vector<std::string>& lines) {
    std::string out = "# Torvenka whole-state trace: " + title +
                      "\n# The fields line names what each line holds, in order. A line: its label and the hash of\n"
                      "# those fields; every 500th line and the last in full after '= '. A field the game gains\n"
                      "# later is not recorded here and is not compared.\n"
                      "# Re-record only with TORVENKA_UPDATE_TRACES=1, after a deliberate change of the game.\n";
    std::string names;
    for (const std::string& n : lines.empty() ? std::vector<std::string>{} : namesOf(lines.front()))
        names += (names.empty() ? "" : " ") + n;
    out += kFieldsTag + names + "\n";
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        out += hashLine(l, l) + "\n";
        if ((i + 1) % kFullEvery == 0 || i + 1 == lines.size()) out += "= " + l + "\n";
    }
    return out;
}

// Compares a run with a golden file's text: empty if they agree, else where
// the run first differs.
std::string compareWithGolden(const std::string& golden, const std::vector<std::string>& lines) {
    std::istringstream in(golden);
    std::string g;
    std::vector<std::string> recorded;  // the fields the trace holds, in order
    bool named = false;
    std::vector<std::string> hashes;
    std::vector<std::pair<size_t, std::string>> full;  // line index -> full line
    while (std::getline(in, g)) {
        if (g.empty() || g[0] == '#') continue;
        if (g.rfind(kFieldsTag, 0) == 0) {
            std::istringstream names(g.substr(sizeof kFieldsTag - 1));
            for (std::string n; names >> n;) recorded.push_back(n);
            named = true;
            continue;
        }
        if (g.rfind("= ", 0) == 0) {
            full.emplace_back(hashes.size() - 1, g.substr(2));
            continue;
        }
        hashes.push_back(g);
    }
    if (!named) return "the trace names no fields";
    // The run's lines all hold the same fields; where they are the recorded
    // ones in the same order, a line is hashed as it stands.
    const std::vector<std::string> runNames = lines.empty() ? std::vector<std::string>{} : namesOf(lines.front());
    const std::vector<int> at = placesOf(recorded, runNames);
    if (!lines.empty())
        for (size_t k = 0; k < recorded.size(); ++k)
            if (at[k] < 0) return "the run has no field " + recorded[k] + ", which the trace recorded";
    const bool asItStands = runNames == recorded;
    auto recordedPart = [&](const std::string& line) {
        if (asItStands) return line;
        const Fields f = split(line);
        Fields kept;
        kept.reserve(recorded.size());
        for (size_t k = 0; k < recorded.size(); ++k) {
            const size_t j = static_cast<size_t>(at[k]);
            kept.emplace_back(recorded[k], j < f.size() ? f[j].second : "");
        }
        return join(kept);
    };
    for (size_t i = 0; i < hashes.size() || i < lines.size(); ++i) {
        if (i >= lines.size()) return "the run ends after " + std::to_string(lines.size()) + " lines, the trace goes on";
        const std::string& l = lines[i];
        const std::string mine = hashLine(l, recordedPart(l));
        if (i < hashes.size() && hashes[i] == mine) continue;
        std::string where = "line " + std::to_string(i + 1) + " (" + (i < hashes.size() ? hashes[i] : "past the end") +
                            ", the run has " + mine.substr(0, mine.find(' ')) + ")";
        for (const auto& [line, text] : full)
            if (line >= i && line < lines.size()) {
                const std::string diff = firstDifference(text, lines[line]);
                return where + "; at full line " + std::to_string(line + 1) + ": " +
                       (diff.empty() ? "no field differs there" : diff);
            }
        return where;
    }
    return "";
}

}  // namespace trace
