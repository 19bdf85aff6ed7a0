#include "core/texts.h"

#include <utility>

#include "core/creatures.h"
#include "core/playfield.h"

namespace {

// A fresh playfield holds the catalogue's texts; their sizes do not matter
// here.
struct NoMeasure : TextMeasure {
    std::pair<int, int> measure(const std::string&) override { return {1, 1}; }
};

}  // namespace

std::vector<std::string> everyGameText() {
    NoMeasure none;
    const Playfield designed(none);
    std::vector<std::string> out;
    for (const ItemState& it : designed.items())
        if (it.draw == Draw::Text) out.push_back(it.text);
    for (const Creature& c : kCreatures) out.emplace_back(c.name);
    out.emplace_back("-0123456789");  // the values are written in decimal
    out.push_back(designed.caption());
    out.emplace_back(kClearCaption);
    return out;
}
