// The one record of every game value, with its start values. The rules read
// and write it directly; the playfield's items hold the rest of a dive.
#pragma once
#include <cstdint>
#include <type_traits>

// The creature being fought. Each kind has its row in core/creatures.h;
// Count only counts them.
enum class CreatureKind : uint8_t { None, Octopus, Crab, Moray, GiantSquid, Count };

// The three lanes a creature and the spear are drawn in, told apart by colour
// alone, in their colour order.
enum class Lane : uint8_t { None, White, Cyan, Red };

// The effects of the effect channel; each is the file "dat/se<number>.wav".
enum class Effect : uint8_t {
    None,
    Tank,    // a vertical swipe opens a tank
    Defeat,  // a creature is beaten
    Card,    // the start click, and a turned card
    Spear,   // a horizontal swipe swings the spear
};

// The pieces of the music channel.
enum class Music : uint8_t { None, DiveTheme, BossTheme };

// The button of the last press or release on the playfield that swipes read;
// the middle button leaves it as it was.
enum class SwipeButton : uint8_t { None, Left, Right };

// The number a code is stored as.
template <class E>
constexpr std::underlying_type_t<E> code(E e) {
    return static_cast<std::underlying_type_t<E>>(e);
}

// Every field of the state record, once, in its order: its type, its name
// and its start value. The record's members are made from this list, and so
// is every list of its fields (the traces' fields, core's forEachStateField),
// so a field cannot be added to one and missed in another.
#define TORVENKA_STATE_FIELDS(X)                                                             \
    X(int32_t, LastTick, 0)     /* clock at the end of the last step that ran */           \
    X(int16_t, Oxygen, 80)      /* shown after "酸素：" */                                  \
    X(int16_t, Life, 200)       /* shown after "命：" */                                    \
    X(int16_t, EnemyLife, 0)    /* the creature panel's value */                           \
    X(int16_t, Tanks, 9)        /* spare tanks, shown after "ボンベ：" */                   \
    X(int16_t, DiveTick, 0)     /* ticks since the start click; the timeline's key */      \
    X(int16_t, OxygenMax, 80)   /* what a tank refills oxygen to */                        \
    X(int16_t, EndTick, 0)      /* step counter of the clear sequence */                   \
    X(int32_t, SwipeDX, 0)      /* |dx| of the last swipe */                               \
    X(int32_t, SwipeDY, 0)      /* |dy| of the last swipe */                               \
    X(int32_t, DownX, 0)        /* where the last swipe started (client) */                \
    X(int32_t, DownY, 0)                                                                   \
    X(int32_t, UpX, 0)          /* where it ended (client) */                              \
    X(int32_t, UpY, 0)                                                                     \
    X(uint32_t, CursorPos, 0)   /* screen position of the event: x low 16, y high 16 */    \
    X(int32_t, PointerX, 0)     /* that position in client coordinates */                  \
    X(int32_t, PointerY, 0)                                                                \
    X(Effect, SeNo, Effect::None)  /* the effect played last */                            \
    X(uint8_t, HalfTick, 0)     /* 1, 2: the drain runs when it reaches 2 */               \
    X(SwipeButton, MouseButton, SwipeButton::None)                                         \
    X(CreatureKind, EnemyKind, CreatureKind::None)                                         \
    X(uint8_t, DealNo, 0)       /* deal whose row can be turned, 0 if none */              \
    X(uint8_t, UpTimer, 0)      /* ticks the "UP !!" marker has been up */                 \
    X(Music, BgmNo, Music::None)  /* the piece started last, None once stopped */          \
    X(bool, Diving, false)      /* from the start click until the squid is beaten */       \
    X(Lane, EnemyLane, Lane::None)  /* the creature's lane; None when none */              \
    X(Lane, SpearLane, Lane::None)  /* None until the spear card */                        \
    X(bool, Bubble1Rising, false)                                                          \
    X(bool, Bubble2Rising, false)                                                          \
    X(bool, EnemyActive, false) /* a creature is on screen and fighting */                 \
    X(bool, UpShown, false)     /* the "UP !!" marker is being timed */                    \
    X(bool, RingOn, false)      /* the ring card has been found */                         \
    X(bool, Cleared, false)     /* the giant squid is beaten: the curtain rises */         \
    X(bool, Striking, false)    /* the pointer rests on the spear */

// Nothing reads the record as bytes: the traces and a record's digest take it
// field by field, so its size and layout are free to change.
struct GameState {
#define TORVENKA_STATE_MEMBER(type, name, start) type name = start;
    TORVENKA_STATE_FIELDS(TORVENKA_STATE_MEMBER)
#undef TORVENKA_STATE_MEMBER

    bool operator==(const GameState&) const = default;
};

// Calls f(name, value) for every field of the record in its order, the
// codes as their numbers and the flags as 0 or 1.
template <class F>
void forEachStateField(const GameState& s, F&& f) {
    auto number = [](auto v) -> long long {
        if constexpr (std::is_enum_v<decltype(v)>)
            return code(v);
        else
            return static_cast<long long>(v);
    };
#define TORVENKA_STATE_VISIT(type, name, start) f(#name, number(s.name));
    TORVENKA_STATE_FIELDS(TORVENKA_STATE_VISIT)
#undef TORVENKA_STATE_VISIT
}

// 16-bit game arithmetic: the sum is taken in int and wrapped back to 16 bits,
// exactly as the signed 16-bit fields of the record behave.
inline int16_t add16(int16_t a, int b) { return static_cast<int16_t>(static_cast<uint16_t>(a + b)); }
