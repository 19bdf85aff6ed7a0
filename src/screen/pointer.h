// Pointer events as the routing sees them, and where they are delivered.
#pragma once
#include <cstdint>

#include "screen/items.h"

enum class Button : uint8_t { Left, Right, Middle };
enum class MouseKind : uint8_t { Down, Up, Move };

struct MouseEvent {
    MouseKind kind;
    Button button;  // Down and Up only
    int x, y;       // client coordinates; may lie outside the client area
};

constexpr int kWindowTarget = -1;  // the window itself (bindings AM)

struct Delivery {
    int item;  // index into the catalogue, or kWindowTarget
    Bind bind;
    MouseKind kind;
    Button button;
    bool click;  // the click that follows a left release on the pressed item
};
