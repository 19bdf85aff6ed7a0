// The one record of every game value, with its start values. The rules read
// and write it directly; the playfield's items hold the rest of a dive.
#pragma once
#include <cstdint>

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
    uint8_t SeNo = 0;          // effect to play next: 1 tank, 2 defeat, 3 card/start, 4 spear
    uint8_t HalfTick = 0;      // 1, 2: the drain runs when it reaches 2
    uint8_t MouseButton = 0;   // 1 left, 2 right
    uint8_t EnemyKind = 0;     // 0 none, 1 octopus, 2 crab, 3 moray, 4 giant squid
    uint8_t DealNo = 0;        // deal whose row can be turned, 0 if none
    uint8_t UpTimer = 0;       // ticks the "UP !!" marker has been up
    uint8_t BgmNo = 0;         // 0 none, 1 dive theme, 2 boss theme
    uint8_t Diving = 0;        // 1 from the start click until the squid is beaten
    uint8_t EnemyLane = 0;     // 1 white, 2 cyan, 3 red; 0 when none
    uint8_t SpearLane = 0;     // 0 until the spear card, else 1..3
    uint8_t Bubble1Rising = 0;
    uint8_t Bubble2Rising = 0;
    uint8_t EnemyActive = 0;   // a creature is on screen and fighting
    uint8_t UpShown = 0;       // the "UP !!" marker is being timed
    uint8_t RingOn = 0;        // the ring card has been found
    uint8_t Cleared = 0;       // the giant squid is beaten: the curtain rises
    uint8_t Striking = 0;      // the pointer rests on the spear
};

// 16-bit game arithmetic: the sum is taken in int and wrapped back to 16 bits,
// exactly as the signed 16-bit fields of the record behave.
inline int16_t add16(int16_t a, int b) { return static_cast<int16_t>(static_cast<uint16_t>(a + b)); }
