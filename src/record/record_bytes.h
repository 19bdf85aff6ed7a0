// The bytes of a record's events (see record_format.h for the whole file),
// shared by the writer and the reader. Each entry starts with one byte: its
// kind in the low three bits, a small argument in the high five.
#pragma once
#include <cstddef>
#include <cstdint>
#include <array>
#include <vector>

namespace record_bytes {

enum : uint8_t {
    kQuiet = 0,    // n moves that changed nothing, at this place
    kMove = 1,     // a move: dx, dy from the event before; or, with kAgain, where the last move was
    kDown = 2,     // a press: the argument is the button, dx, dy follow; or, with kAgain, where
                   // the last press of that button was
    kUp = 3,       // a release: likewise
    kAdvance = 4,  // n steps with no event after them
    kSpan = 5,     // steps, each followed by quiet moves: the argument's low two bits say how
                   // many bits a step (spanWidth), its high three the base (7: a varint
                   // after); then varint steps - 1, and each step's count less the base,
                   // low bits first
    kSeam = 6,     // the calls to handle events inside a click or a step: how many more, how deep
    kFrame = 7,    // argument kFrameOrigin: the client area's corner moved by dx, dy;
                   // kFrameSkew: the screen position lies sx, sy off corner + client position
};
enum : uint8_t { kFrameOrigin = 0, kFrameSkew = 1 };
enum : uint8_t { kAgain = 4, kSpanBaseFollows = 7 };

// The last place of each kind of event and button, for kAgain.
struct Spot {
    int32_t x = 0, y = 0;
};
inline size_t lastIndex(uint8_t type, uint8_t button) { return static_cast<size_t>((type - kMove) * 3 + button); }

// The bits a step of a span takes, by its argument, and back.
inline uint32_t spanWidth(uint8_t code) { return code == 3 ? 0 : 1u << code; }
inline uint8_t spanCode(int width) { return width == 0 ? 3 : width == 1 ? 0 : width == 2 ? 1 : 2; }

// A count n >= 1: in the argument when below 32, else 31 and n - 32 after.
inline void putVarint(std::vector<uint8_t>& out, uint32_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<uint8_t>(v));
}
inline uint32_t zigzag(int32_t v) { return (static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v >> 31); }
inline int32_t unzigzag(uint32_t u) { return static_cast<int32_t>((u >> 1) ^ (0u - (u & 1))); }
inline void putSigned(std::vector<uint8_t>& out, int32_t v) { putVarint(out, zigzag(v)); }
inline void putCounted(std::vector<uint8_t>& out, uint8_t kind, uint32_t n) {
    if (n <= 31) {
        out.push_back(static_cast<uint8_t>(kind | (n - 1) << 3));
    } else {
        out.push_back(static_cast<uint8_t>(kind | 31 << 3));
        putVarint(out, n - 32);
    }
}
// Positions are 32-bit and their differences wrap, so any position is written exactly.
inline int32_t wrapDelta(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
inline int32_t wrapAdd(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }

}  // namespace record_bytes
