#include "core/router.h"

namespace {

bool inClient(int x, int y) { return x >= 0 && y >= 0 && x < kClientW && y < kClientH; }

bool inBox(const ItemState& it, int x, int y) {
    return x >= it.left && y >= it.top && x < it.left + it.width && y < it.top + it.height;
}

Binding bindOf(const Playfield& s, int target) {
    return target == kWindowTarget ? Binding::SwipesAndSea : s.items()[static_cast<size_t>(target)].binding;
}

}  // namespace

int Router::hit(const Playfield& s, int x, int y) {
    if (!inClient(x, y)) return kWindowTarget;
    const auto& items = s.items();
    for (int i = kItemCount - 1; i >= 0; --i) {
        const ItemState& it = items[static_cast<size_t>(i)];
        if (it.visible && inBox(it, x, y)) return i;
    }
    return kWindowTarget;
}

int Router::route(const Playfield& s, const PointerEvent& e, Delivery out[2]) {
    if (captured_ != kNoCapture) {
        // The left button is held: the pressed item takes everything.
        const int target = captured_;
        out[0] = {target, bindOf(s, target), e.kind, e.button, false};
        int n = 1;
        if (e.kind == MouseKind::Up && e.button == Button::Left) {
            captured_ = kNoCapture;
            const bool still = target == kWindowTarget
                                   ? inClient(e.x, e.y)
                                   : (s.items()[static_cast<size_t>(target)].visible &&
                                      inBox(s.items()[static_cast<size_t>(target)], e.x, e.y));
            if (still) out[n++] = {target, bindOf(s, target), MouseKind::Up, Button::Left, true};
        }
        return n;
    }
    // Nothing captured: events outside the client area never reach the game.
    if (!inClient(e.x, e.y)) return 0;
    const int target = hit(s, e.x, e.y);
    if (e.kind == MouseKind::Down && e.button == Button::Left) captured_ = target;
    out[0] = {target, bindOf(s, target), e.kind, e.button, false};
    return 1;
}
