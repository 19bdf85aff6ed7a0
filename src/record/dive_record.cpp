#include "record/dive_record.h"

#include <algorithm>
#include <string_view>

#include "record/record_bytes.h"

using namespace record_bytes;

uint32_t stateDigest(const GameView& v) {
    const GameState& s = v.state;
    uint32_t h = 2166136261u;  // FNV-1a over each value's 32 bits
    auto add = [&h](int64_t value) {
        const uint32_t u = static_cast<uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            h ^= (u >> (8 * i)) & 0xFFu;
            h *= 16777619u;
        }
    };
    // Every field but the clock, which a replay does not keep (its steps
    // come at their own pace), then the phase.
    forEachStateField(s, [&add](std::string_view name, long long value) {
        if (name != "LastTick") add(value);
    });
    add(static_cast<int>(v.phase));
    add(v.dice.seed());
    for (const ItemState& it : v.playfield.items()) add(it.left), add(it.top), add(it.visible);
    return h;
}

// ---- writing ----

void DiveRecorder::handling(const PointerEvent& e) {
    writePendingMove();  // an event inside a move's handling: that move did something
    if (e.kind == MouseKind::Move) {
        pendingMove_ = e;
        movePending_ = true;
    } else {
        write(e, false);
    }
}

void DiveRecorder::handled(bool quiet) {
    if (!movePending_) return;
    movePending_ = false;
    write(pendingMove_, quiet);
}

void DiveRecorder::writePendingMove() {
    if (movePending_) handled(false);
}

void DiveRecorder::write(const PointerEvent& e, bool quiet) {
    if (!open()) return;
    if (++events_ > kMostRecordEvents) {
        dropped_ = true;
        return;
    }
    std::vector<uint8_t>& out = record_.body;
    if (live_.messageCalls != written_.messageCalls || live_.depth != written_.depth) {
        flush(out, lead_, run_);
        out.push_back(kSeam);
        putVarint(out, live_.messageCalls - written_.messageCalls);
        putVarint(out, live_.depth);
        written_ = live_;
    }
    if (quiet) {
        if (run_.empty()) {
            ++lead_;
        } else if (run_.back() < 255) {
            ++run_.back();
        } else {
            flush(out, lead_, run_);
            lead_ = 1;
        }
        return grow();
    }
    flush(out, lead_, run_);
    if (e.originX != originX_ || e.originY != originY_) {
        out.push_back(kFrame | kFrameOrigin << 3);
        putSigned(out, wrapDelta(e.originX, originX_));
        putSigned(out, wrapDelta(e.originY, originY_));
        originX_ = e.originX;
        originY_ = e.originY;
    }
    const int32_t skewX = wrapDelta(wrapDelta(e.screenX, e.originX), e.x);
    const int32_t skewY = wrapDelta(wrapDelta(e.screenY, e.originY), e.y);
    if (skewX != skewX_ || skewY != skewY_) {
        out.push_back(kFrame | kFrameSkew << 3);
        putSigned(out, skewX);
        putSigned(out, skewY);
        skewX_ = skewX;
        skewY_ = skewY;
    }
    const uint8_t type = e.kind == MouseKind::Move ? kMove : e.kind == MouseKind::Down ? kDown : kUp;
    const uint8_t button = e.kind == MouseKind::Move ? 0 : static_cast<uint8_t>(e.button);
    Spot& last = lastOf_[lastIndex(type, button)];
    if (last.x == e.x && last.y == e.y) {
        out.push_back(static_cast<uint8_t>(type | (button | kAgain) << 3));
    } else {
        out.push_back(static_cast<uint8_t>(type | button << 3));
        putSigned(out, wrapDelta(e.x, x_));
        putSigned(out, wrapDelta(e.y, y_));
    }
    last = {e.x, e.y};
    x_ = e.x;
    y_ = e.y;
    grow();
}

void DiveRecorder::stepped() {
    ++live_.steps;
    if (!open()) return;
    run_.push_back(0);
    if (run_.size() >= 4096) flush(record_.body, lead_, run_);
    grow();
}

void DiveRecorder::enterMessages() {
    writePendingMove();
    ++live_.messageCalls;
    ++live_.depth;
}

void DiveRecorder::leaveMessages() { --live_.depth; }

void DiveRecorder::close(const GameView& v) {
    if (closed_) return;
    writePendingMove();
    flush(record_.body, lead_, run_);
    record_.endSteps = live_.steps;
    record_.ended = v.phase == Phase::None;
    record_.endDigest = stateDigest(v);
    closed_ = true;
}

DiveRecord DiveRecorder::record() const {
    DiveRecord r = record_;
    if (!closed_) {
        uint32_t lead = lead_;
        std::vector<uint8_t> run = run_;
        flush(r.body, lead, run);
        r.endSteps = live_.steps;
    }
    return r;
}

void DiveRecorder::grow() {
    if (record_.body.size() + run_.size() > kMostRecordBodyBytes) {
        dropped_ = true;
        record_.body = {};
        run_ = {};
    }
}

// The steps not yet written, each with the quiet moves after it: a stretch
// of quiet steps is an advance, the rest spans of half a byte a step.
void DiveRecorder::flush(std::vector<uint8_t>& out, uint32_t& lead, std::vector<uint8_t>& run) const {
    if (lead > 0) putCounted(out, kQuiet, lead);
    lead = 0;
    const size_t n = run.size();
    auto zerosFrom = [&](size_t i) {
        size_t j = i;
        while (j < n && run[j] == 0) ++j;
        return j - i;
    };
    size_t i = 0;
    while (i < n) {
        const size_t z = zerosFrom(i);
        if (z >= 4 || (z > 0 && i + z == n)) {
            putCounted(out, kAdvance, static_cast<uint32_t>(z));
            i += z;
            continue;
        }
        // A span: as many steps as keep their counts within 15 of each other,
        // each written as its count less the least, in as few bits as that takes.
        size_t j = i;
        int lo = 255, hi = 0;
        while (j < n) {
            const size_t zj = zerosFrom(j);
            // A stretch of quiet steps long enough to count, or the one that
            // ends the run (the step before an event), is an advance.
            if (zj >= 4 || (zj > 0 && j + zj == n)) break;
            const int c = zj > 0 ? 0 : run[j];
            if (std::max(hi, c) - std::min(lo, c) > 15) break;
            lo = std::min(lo, c);
            hi = std::max(hi, c);
            j += zj > 0 ? zj : 1;
        }
        const int width = hi == lo ? 0 : hi - lo <= 1 ? 1 : hi - lo <= 3 ? 2 : 4;
        const bool smallBase = lo < kSpanBaseFollows;
        out.push_back(static_cast<uint8_t>(kSpan | (spanCode(width) | (smallBase ? lo : kSpanBaseFollows) << 2) << 3));
        putVarint(out, static_cast<uint32_t>(j - i - 1));
        if (!smallBase) putVarint(out, static_cast<uint32_t>(lo));
        uint32_t bits = 0;
        int held = 0;
        for (size_t k = i; k < j && width > 0; ++k) {
            bits |= static_cast<uint32_t>(run[k] - lo) << held;
            held += width;
            if (held >= 8) {
                out.push_back(static_cast<uint8_t>(bits));
                bits >>= 8;
                held -= 8;
            }
        }
        if (held > 0) out.push_back(static_cast<uint8_t>(bits));
        i = j;
    }
    run.clear();
}

// ---- playing ----

namespace {

constexpr char kWentElsewhere[] = "the replay went differently from its dive";
constexpr char kPastTheEnd[] = "the replay's events run past the end of its dive";

// Whether an event's place lies behind the live one: the loop has gone past it.
bool behind(const RecordPosition& at, const RecordPosition& live) {
    if (at.steps != live.steps) return at.steps < live.steps;
    if (at.messageCalls != live.messageCalls) return at.messageCalls < live.messageCalls;
    return at.depth > live.depth;
}

}  // namespace

RecordPlayer::RecordPlayer(DiveRecord r) : record_(std::move(r)) {
    hasNext_ = reader_.next(next_);
}

bool RecordPlayer::due(const RecordPosition& live, PointerEvent& out) {
    if (!hasNext_ || !problem_.empty()) return false;
    if (next_.at == live) {
        out = next_.pointer;
        hasNext_ = reader_.next(next_);
        if (!reader_.error().empty()) problem_ = "the replay is damaged: " + reader_.error();
        return true;
    }
    if (behind(next_.at, live)) problem_ = kWentElsewhere;
    return false;
}

void RecordPlayer::check(const RecordPosition& live, const GameView& v) {
    const Phase phase = v.phase;
    if (over_ || !problem_.empty()) return;
    if (hasNext_ && behind(next_.at, live)) {
        problem_ = kWentElsewhere;
    } else if (!hasNext_ && live.steps == record_.endSteps && live.depth == 0) {
        over_ = true;
        if (stateDigest(v) != record_.endDigest || record_.ended != (phase == Phase::None))
            problem_ = kWentElsewhere;
    } else if (phase == Phase::None && live.steps > 0 && live.depth == 0) {
        problem_ = kPastTheEnd;  // the dive is over and its record is not
    }
}

void RecordPlayer::stalled(const RecordPosition& live, Phase phase) {
    if (over_ || !problem_.empty()) return;
    problem_ = phase == Phase::None && live.steps > 0 ? kPastTheEnd : kWentElsewhere;
}

// ---- reading ----

bool RecordReader::fail(const char* why) {
    if (error_.empty()) error_ = why;
    at_ = body_.size();
    quiet_ = spanLeft_ = 0;
    return false;
}

bool RecordReader::byte(uint8_t& b) {
    if (at_ >= body_.size()) return fail("the events stop in the middle of one");
    b = body_[at_++];
    return true;
}

bool RecordReader::varint(uint32_t& v) {
    v = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        uint8_t b;
        if (!byte(b)) return false;
        if (shift == 28 && b > 0x0F) return fail("a number is too large");
        v |= static_cast<uint32_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) return true;
    }
    return fail("a number is too large");
}

bool RecordReader::signedVarint(int32_t& v) {
    uint32_t u;
    if (!varint(u)) return false;
    v = unzigzag(u);
    return true;
}

bool RecordReader::stepOn(uint32_t n) {
    if (n > kMostRecordSteps - pos_.steps) return fail("the dive is longer than any dive");
    pos_.steps += n;
    return true;
}

RecordedEvent RecordReader::quietMove() {
    ++events_;
    // Off the window, where a move reaches nothing but the item the left
    // button holds, if any.
    const int32_t x = -1, y = -1;
    return {pos_, PointerEvent{MouseKind::Move, Button::Left, x, y, wrapAdd(originX_, wrapAdd(skewX_, x)),
                               wrapAdd(originY_, wrapAdd(skewY_, y)), originX_, originY_}};
}

bool RecordReader::next(RecordedEvent& out) {
    for (;;) {
        if (quiet_ > 0) {
            --quiet_;
            out = quietMove();
            return true;
        }
        if (spanLeft_ > 0) {
            uint32_t value = 0;
            if (spanWidth_ > 0) {
                value = (body_[spanBit_ / 8] >> (spanBit_ % 8)) & ((1u << spanWidth_) - 1);
                spanBit_ += spanWidth_;
            }
            --spanLeft_;
            if (!stepOn(1)) return false;
            const uint32_t count = spanBase_ + value;
            if (count > kMostRecordEvents - events_) return fail("the record holds more events than any dive");
            quiet_ = count;
            continue;
        }
        if (at_ >= body_.size()) return false;
        const uint8_t h = body_[at_++];
        const uint8_t type = h & 7, arg = h >> 3;
        auto counted = [&](uint32_t& n) {
            if (arg < 31) {
                n = arg + 1u;
                return true;
            }
            if (!varint(n)) return false;
            if (n > 0xFFFFFFFFu - 32u) return fail("a number is too large");
            n += 32;
            return true;
        };
        uint32_t n = 0;
        switch (type) {
            case kQuiet:
                if (!counted(n)) return false;
                if (n > kMostRecordEvents - events_) return fail("the record holds more events than any dive");
                quiet_ = n;
                continue;
            case kMove:
            case kDown:
            case kUp: {
                const uint8_t button = arg & 3;
                if ((type == kMove && button != 0) || button > 2 || arg > (kAgain | 3))
                    return fail("an event names no button the game knows");
                Spot& last = lastOf_[lastIndex(type, button)];
                if (arg & kAgain) {
                    x_ = last.x;
                    y_ = last.y;
                } else {
                    int32_t dx, dy;
                    if (!signedVarint(dx) || !signedVarint(dy)) return false;
                    x_ = wrapAdd(x_, dx);
                    y_ = wrapAdd(y_, dy);
                }
                last = {x_, y_};
                if (events_ >= kMostRecordEvents) return fail("the record holds more events than any dive");
                ++events_;
                const MouseKind kind = type == kMove ? MouseKind::Move : type == kDown ? MouseKind::Down : MouseKind::Up;
                out = {pos_, PointerEvent{kind, static_cast<Button>(button), x_, y_, wrapAdd(originX_, wrapAdd(skewX_, x_)),
                                          wrapAdd(originY_, wrapAdd(skewY_, y_)), originX_, originY_}};
                return true;
            }
            case kAdvance:
                if (!counted(n) || !stepOn(n)) return false;
                continue;
            case kSpan: {
                const uint32_t width = spanWidth(arg & 3);
                uint32_t steps, base = arg >> 2;
                if (!varint(steps) || (base == kSpanBaseFollows && !varint(base))) return false;
                if (steps >= kMostRecordSteps - pos_.steps) return fail("the dive is longer than any dive");
                if (base > 255) return fail("a span of steps is not written as one");
                ++steps;
                const size_t bits = static_cast<size_t>(steps) * width, bytes = (bits + 7) / 8;
                if (bytes > body_.size() - at_) return fail("the events stop in the middle of one");
                if (bits % 8 && (body_[at_ + bytes - 1] >> (bits % 8)) != 0)
                    return fail("a span of steps is not written as one");
                spanBit_ = at_ * 8;
                spanWidth_ = width;
                spanBase_ = base;
                spanLeft_ = steps;
                at_ += bytes;
                continue;
            }
            case kSeam: {
                uint32_t calls, depth;
                if (arg != 0) return fail("an unknown kind of entry");
                if (!varint(calls) || !varint(depth)) return false;
                if (calls > 0xFFFFFFFFu - pos_.messageCalls || depth > 1000)
                    return fail("an event lies where no dive goes");
                pos_.messageCalls += calls;
                pos_.depth = depth;
                continue;
            }
            case kFrame: {
                int32_t a, b;
                if (arg > kFrameSkew) return fail("an unknown kind of entry");
                if (!signedVarint(a) || !signedVarint(b)) return false;
                if (arg == kFrameOrigin) {
                    originX_ = wrapAdd(originX_, a);
                    originY_ = wrapAdd(originY_, b);
                } else {
                    skewX_ = a;
                    skewY_ = b;
                }
                continue;
            }
        }
    }
}
