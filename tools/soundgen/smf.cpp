#include "smf.h"

#include <algorithm>
#include <stdexcept>

namespace soundgen {
namespace {

void putVarLen(std::vector<std::uint8_t>& out, std::uint32_t v) {
    std::uint8_t buf[5];
    int n = 0;
    buf[n++] = static_cast<std::uint8_t>(v & 0x7F);
    while ((v >>= 7) != 0) buf[n++] = static_cast<std::uint8_t>((v & 0x7F) | 0x80);
    while (n > 0) out.push_back(buf[--n]);
}

void putBE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

std::uint8_t data7(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 127)); }

[[noreturn]] void fail(std::string_view line, std::size_t at, const char* what) {
    throw std::invalid_argument(std::string(what) + " at column " + std::to_string(at) + " of \"" +
                                std::string(line) + "\"");
}

}  // namespace

// ---- Track ----------------------------------------------------------------

void Track::add(std::uint32_t tick, int rank, std::vector<std::uint8_t> bytes) {
    events_.push_back({tick, rank, std::move(bytes)});
}

void Track::meta(std::uint32_t tick, std::uint8_t type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> b{0xFF, type};
    putVarLen(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    add(tick, 0, std::move(b));
}

void Track::text(std::uint32_t tick, std::uint8_t type, std::string_view s) {
    meta(tick, type, std::vector<std::uint8_t>(s.begin(), s.end()));
}

void Track::sysex(std::uint32_t tick, const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> b{0xF0};
    putVarLen(b, static_cast<std::uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    add(tick, 0, std::move(b));
}

void Track::program(std::uint32_t tick, int channel, int program) {
    add(tick, 1, {static_cast<std::uint8_t>(0xC0 | channel), data7(program)});
}

void Track::control(std::uint32_t tick, int channel, int controller, int value) {
    add(tick, 1, {static_cast<std::uint8_t>(0xB0 | channel), data7(controller), data7(value)});
}

void Track::controlRamp(std::uint32_t start, std::uint32_t end, int channel, int controller, int from,
                        int to, std::uint32_t step) {
    int last = -1;
    for (std::uint32_t t = start; t <= end; t += step) {
        const long num = static_cast<long>(to - from) * static_cast<long>(t - start);
        const int v = from + static_cast<int>(num / static_cast<long>(std::max<std::uint32_t>(1, end - start)));
        if (v != last) control(t, channel, controller, v);
        last = v;
    }
    if (last != to) control(end, channel, controller, to);
}

void Track::note(std::uint32_t tick, int channel, int key, int velocity, std::uint32_t length) {
    if (key < 0 || key > 127) throw std::out_of_range("note out of MIDI range in track " + name_);
    notes_.push_back({tick, std::max<std::uint32_t>(length, 1), channel, key, std::clamp(velocity, 1, 127)});
}

std::uint32_t Track::lastTick() const {
    std::uint32_t t = 0;
    for (const Event& e : events_) t = std::max(t, e.tick);
    for (const NoteEvent& n : notes_) t = std::max(t, n.tick + n.length);
    return t;
}

std::vector<std::uint8_t> Track::encode(std::uint32_t endTick) const {
    std::vector<Event> ev = events_;
    std::vector<NoteEvent> notes = notes_;
    std::stable_sort(notes.begin(), notes.end(), [](const NoteEvent& a, const NoteEvent& b) {
        if (a.tick != b.tick) return a.tick < b.tick;
        if (a.channel != b.channel) return a.channel < b.channel;
        return a.key < b.key;
    });
    for (std::size_t i = 0; i < notes.size(); ++i) {
        NoteEvent& n = notes[i];
        for (std::size_t j = i + 1; j < notes.size() && notes[j].tick < n.tick + n.length; ++j) {
            if (notes[j].channel == n.channel && notes[j].key == n.key && notes[j].tick > n.tick) {
                n.length = notes[j].tick - n.tick;
                break;
            }
        }
    }
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const NoteEvent& n = notes[i];
        // Two strikes of one key at the same tick sound as one.
        if (i > 0 && notes[i - 1].tick == n.tick && notes[i - 1].channel == n.channel && notes[i - 1].key == n.key)
            continue;
        ev.push_back({n.tick, 3, {static_cast<std::uint8_t>(0x90 | n.channel), data7(n.key), data7(n.velocity)}});
        ev.push_back({n.tick + n.length, 2, {static_cast<std::uint8_t>(0x80 | n.channel), data7(n.key), 64}});
    }
    std::stable_sort(ev.begin(), ev.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.rank < b.rank;
    });
    std::vector<std::uint8_t> body;
    // Track name first.
    body.push_back(0x00);
    body.push_back(0xFF);
    body.push_back(0x03);
    putVarLen(body, static_cast<std::uint32_t>(name_.size()));
    body.insert(body.end(), name_.begin(), name_.end());
    std::uint32_t now = 0;
    for (const Event& e : ev) {
        putVarLen(body, e.tick - now);
        now = e.tick;
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    putVarLen(body, std::max(endTick, now) - now);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});

    std::vector<std::uint8_t> out{'M', 'T', 'r', 'k'};
    putBE(out, static_cast<std::uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// ---- Song -----------------------------------------------------------------

Song::Song(std::string file, std::string title) : file_(std::move(file)) {
    tracks_.emplace_back(std::move(title));
    // General MIDI System On, so any GM player starts from a known state.
    tracks_.front().sysex(0, {0x7E, 0x7F, 0x09, 0x01, 0xF7});
}

Track& Song::addTrack(std::string name) {
    tracks_.emplace_back(std::move(name));
    return tracks_.back();
}

void Song::tempo(std::uint32_t tick, double bpm) {
    const auto us = static_cast<std::uint32_t>(60000000.0 / bpm + 0.5);
    conductor().meta(tick, 0x51, {static_cast<std::uint8_t>(us >> 16), static_cast<std::uint8_t>(us >> 8),
                                  static_cast<std::uint8_t>(us)});
    tempos_.emplace_back(tick, us);
    std::stable_sort(tempos_.begin(), tempos_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

void Song::section(std::string name, int firstBar, int endBar) {
    conductor().text(bar(firstBar), 0x06, name);
    sections_.push_back({std::move(name), firstBar, endBar});
}

double Song::seconds(std::uint32_t tick) const {
    double s = 0.0;
    std::uint32_t at = 0, us = 500000;  // 120 bpm until the first tempo event
    for (const auto& [t, v] : tempos_) {
        if (t >= tick) break;
        s += static_cast<double>(t - at) * us / (1e6 * kPpq);
        at = t;
        us = v;
    }
    return s + static_cast<double>(tick - at) * us / (1e6 * kPpq);
}

std::uint32_t Song::endTick() const {
    std::uint32_t e = end_;
    for (const Track& t : tracks_) e = std::max(e, t.lastTick());
    return e;
}

std::vector<std::uint8_t> Song::encode() const {
    std::vector<std::uint8_t> out{'M', 'T', 'h', 'd'};
    putBE(out, 6, 4);
    putBE(out, 1, 2);  // format 1: simultaneous tracks
    putBE(out, static_cast<std::uint32_t>(tracks_.size()), 2);
    putBE(out, kPpq, 2);
    const std::uint32_t end = endTick();
    for (const Track& t : tracks_) {
        const auto chunk = t.encode(end);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

// ---- Note language ----------------------------------------------------------

int parseNote(std::string_view s) {
    static constexpr int kSteps[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (s.size() < 2 || s[0] < 'A' || s[0] > 'G') throw std::invalid_argument("bad note " + std::string(s));
    int key = kSteps[s[0] - 'A'];
    std::size_t i = 1;
    if (s[i] == '#') ++key, ++i;
    else if (s[i] == 'b') --key, ++i;
    bool neg = false;
    if (i < s.size() && s[i] == '-') neg = true, ++i;
    if (i + 1 != s.size() || s[i] < '0' || s[i] > '9') throw std::invalid_argument("bad note " + std::string(s));
    const int octave = (s[i] - '0') * (neg ? -1 : 1);
    return key + 12 * (octave + 1);
}

std::vector<int> parseChord(std::string_view chord) {
    std::vector<int> keys;
    std::size_t from = 0;
    while (from <= chord.size()) {
        const std::size_t plus = chord.find('+', from);
        const std::size_t to = plus == std::string_view::npos ? chord.size() : plus;
        keys.push_back(parseNote(chord.substr(from, to - from)));
        if (plus == std::string_view::npos) break;
        from = plus + 1;
    }
    return keys;
}

Voice::Voice(Track& track, int channel, int velocity, double gate, std::uint32_t seed)
    : track_(track), channel_(channel), velocity_(velocity), gate_(gate), rng_(seed ? seed : 1) {}

int Voice::humanise(int velocity) {
    rng_ = rng_ * 1664525u + 1013904223u;
    const int jitter = static_cast<int>((rng_ >> 24) % 9) - 4;  // -4 .. +4
    return std::clamp(velocity + jitter, 1, 127);
}

void Voice::hit(std::uint32_t tick, int key, std::uint32_t length, int velocityOffset) {
    track_.note(tick, channel_, key + transpose_, humanise(velocity_ + velocityOffset), length);
}

std::uint32_t Voice::play(std::uint32_t start, std::string_view line) {
    struct Pending {
        std::uint32_t tick, length;
        std::vector<int> keys;
        int velocity;
        bool staccato;
    };
    std::vector<Pending> notes;
    std::uint32_t now = start;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        if (line[i] == '|') {
            if (now % kBar != 0) fail(line, i, "bar line off the beat");
            ++i;
            continue;
        }
        const std::size_t tokenStart = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '|') ++i;
        const std::string_view tok = line.substr(tokenStart, i - tokenStart);
        const std::size_t slash = tok.find('/');
        if (slash == std::string_view::npos || slash + 1 >= tok.size()) fail(line, tokenStart, "missing length");
        const std::string_view pitch = tok.substr(0, slash);
        std::size_t j = slash + 1;
        int div = 0;
        while (j < tok.size() && tok[j] >= '0' && tok[j] <= '9') div = div * 10 + (tok[j++] - '0');
        if (div != 1 && div != 2 && div != 4 && div != 8 && div != 16 && div != 32)
            fail(line, tokenStart, "bad length");
        std::uint32_t len = kBar / static_cast<std::uint32_t>(div);
        int vel = velocity_;
        bool staccato = false;
        for (; j < tok.size(); ++j) {
            switch (tok[j]) {
                case '.': len += len / 2; break;
                case 't': len = len * 2 / 3; break;
                case '\'': staccato = true; break;
                case '>': vel += 18; break;
                case '<': vel -= 18; break;
                default: fail(line, tokenStart + j, "bad modifier");
            }
        }
        if (pitch == "-") {
            if (notes.empty() || notes.back().tick + notes.back().length != now)
                fail(line, tokenStart, "tie without a note before it");
            notes.back().length += len;
        } else if (pitch != "r") {
            // A little weight on the strong beats.
            const std::uint32_t inBar = now % kBar;
            if (inBar == 0) vel += 6;
            else if (inBar == kBar / 2) vel += 3;
            else if (inBar % kPpq != 0) vel -= 3;
            notes.push_back({now, len, parseChord(pitch), vel, staccato});
        }
        now += len;
    }
    for (const Pending& n : notes) {
        const double g = n.staccato ? 0.45 : gate_;
        const auto sounding = static_cast<std::uint32_t>(n.length * g);
        for (int k : n.keys) track_.note(n.tick, channel_, k + transpose_, humanise(n.velocity), sounding);
    }
    return now;
}

void Voice::drums(std::uint32_t barStart,
                  std::initializer_list<std::pair<int, std::string_view>> lines) {
    for (const auto& [key, steps] : lines) {
        if (steps.empty() || kBar % steps.size() != 0) throw std::invalid_argument("bad drum step count");
        const std::uint32_t step = kBar / static_cast<std::uint32_t>(steps.size());
        for (std::size_t s = 0; s < steps.size(); ++s) {
            int offset;
            switch (steps[s]) {
                case 'X': offset = 22; break;
                case 'x': offset = 0; break;
                case 'o': offset = -28; break;
                default: continue;
            }
            track_.note(barStart + static_cast<std::uint32_t>(s) * step, channel_, key,
                        humanise(velocity_ + offset), std::min<std::uint32_t>(step, kPpq / 4));
        }
    }
}

}  // namespace soundgen
