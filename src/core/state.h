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

struct GameState {
    int32_t LastTick = 0;      // clock at the end of the last step that ran
    int16_t Oxygen = 80;       // shown after "酸素："
    int16_t Life = 200;        // shown after "命："
    int16_t EnemyLife = 0;     // the creature panel's value
    int16_t Tanks = 9;         // spare tanks, shown after "ボンベ："
    int16_t DiveTick = 0;      // ticks since the start click; the timeline's key
    int16_t OxygenMax = 80;    // what a tank refills oxygen to
    int16_t EndTick = 0;       // step counter of the clear sequence
    int32_t SwipeDX = 0;       // |dx| of the last swipe
    int32_t SwipeDY = 0;       // |dy| of the last swipe
    int32_t DownX = 0, DownY = 0;  // where the last swipe started (client)
    int32_t UpX = 0, UpY = 0;      // where it ended (client)
    uint32_t CursorPos = 0;    // screen position of the event: x low 16, y high 16
    int32_t PointerX = 0, PointerY = 0;  // that position in client coordinates
    Effect SeNo = Effect::None;          // the effect played last
    uint8_t HalfTick = 0;                // 1, 2: the drain runs when it reaches 2
    SwipeButton MouseButton = SwipeButton::None;
    CreatureKind EnemyKind = CreatureKind::None;
    uint8_t DealNo = 0;        // deal whose row can be turned, 0 if none
    uint8_t UpTimer = 0;       // ticks the "UP !!" marker has been up
    Music BgmNo = Music::None; // the piece started last, None once stopped
    bool Diving = false;       // from the start click until the squid is beaten
    Lane EnemyLane = Lane::None;  // the creature's lane; None when none
    Lane SpearLane = Lane::None;  // None until the spear card
    bool Bubble1Rising = false;
    bool Bubble2Rising = false;
    bool EnemyActive = false;  // a creature is on screen and fighting
    bool UpShown = false;      // the "UP !!" marker is being timed
    bool RingOn = false;       // the ring card has been found
    bool Cleared = false;      // the giant squid is beaten: the curtain rises
    bool Striking = false;     // the pointer rests on the spear

    bool operator==(const GameState&) const = default;
};

// The record keeps the layout it has always had: every code and flag is one
// byte, in the same place, and the whole record is 76 bytes.
static_assert(sizeof(GameState::SeNo) == 1 && sizeof(GameState::MouseButton) == 1 &&
              sizeof(GameState::EnemyKind) == 1 && sizeof(GameState::BgmNo) == 1 && sizeof(GameState::Diving) == 1 &&
              sizeof(GameState::EnemyLane) == 1 && sizeof(GameState::SpearLane) == 1 &&
              sizeof(GameState::Bubble1Rising) == 1 && sizeof(GameState::Bubble2Rising) == 1 &&
              sizeof(GameState::EnemyActive) == 1 && sizeof(GameState::UpShown) == 1 &&
              sizeof(GameState::RingOn) == 1 && sizeof(GameState::Cleared) == 1 && sizeof(GameState::Striking) == 1);
static_assert(sizeof(GameState) == 76);

// 16-bit game arithmetic: the sum is taken in int and wrapped back to 16 bits,
// exactly as the signed 16-bit fields of the record behave.
inline int16_t add16(int16_t a, int b) { return static_cast<int16_t>(static_cast<uint16_t>(a + b)); }
