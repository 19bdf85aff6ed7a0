// Pointer events as the game sees them, and where the routing delivers them.
#pragma once
#include <cstdint>

#include "core/playfield.h"

enum class Button : uint8_t { Left, Right, Middle };
enum class MouseKind : uint8_t { Down, Up, Move };

struct PointerEvent {
    MouseKind kind = MouseKind::Move;
    Button button = Button::Left;  // Down and Up only
    int x = 0, y = 0;              // client position; may lie outside the client area
    // The screen position the windowing system recorded for the event, and
    // the screen position of the client area's top-left corner: swipes are
    // measured from these.
    int32_t screenX = 0, screenY = 0;
    int32_t originX = 0, originY = 0;
};

constexpr int kWindowTarget = -1;  // the window itself: bound like the sea

struct Delivery {
    int item;  // index into the playfield, or kWindowTarget
    Binding binding;
    MouseKind kind;
    Button button;
    bool click;  // the click that follows a left release on the pressed item
};
