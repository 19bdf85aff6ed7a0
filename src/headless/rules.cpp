#include "headless/rules.h"

#include <vector>

#include "core/creatures.h"
#include "core/lane.h"

namespace {

bool inClient(const ItemState& it) {
    return it.visible && it.left < kClientW && it.top < kClientH && it.left + it.width > 0 && it.top + it.height > 0;
}

}  // namespace

RuleWatch::RuleWatch(const Playfield& f) {
    for (const ItemState& it : f.items()) names_.emplace_back(it.name);
}

std::string RuleWatch::broken(const Dive& d) {
    const GameState& s = d.st();
    const Playfield& f = d.field;
    const std::string at = " at tick " + std::to_string(s.DiveTick);
    for (Label l : {Label::lifeValue, Label::oxygenValue, Label::tanksValue, Label::creatureLifeValue})
        for (Item i : {Playfield::front(l), Playfield::shadow(l)})
            if (f[i].text.empty() || f[i].text[0] == '-') return std::string(f[i].name) + " reads '" + f[i].text + "'" + at;
    // At most one colour of a creature or of the spear is in view.
    std::vector<LaneSprites> sets = {kSpear};
    for (const Creature& c : kCreatures) sets.push_back(spritesOf(c));
    for (const LaneSprites& set : sets) {
        int seen = 0;
        for (Lane l : kLanes) seen += inClient(f[set.in(l)]);
        if (seen > 1) return std::string(f[set.white].name) + ": " + std::to_string(seen) + " colours in view" + at;
    }
    if (f.items().size() != names_.size()) return "the playfield's item count changed" + at;
    for (size_t i = 0; i < names_.size(); ++i)
        if (names_[i] != f.items()[i].name) return "the drawing order changed at item " + std::to_string(i) + at;
    if (s.DiveTick < lastTick_) return "DiveTick went back" + at;
    lastTick_ = s.DiveTick;
    // No 16-bit field has wrapped round.
    if (s.Life < 0 || s.Oxygen < 0 || s.Tanks < 0 || s.EnemyLife < 0 || s.EndTick < 0 || s.OxygenMax < 80)
        return "a gauge went negative" + at;
    if (code(s.SpearLane) > code(Lane::Red) || code(s.EnemyLane) > code(Lane::Red)) return "a lane past 3" + at;
    return "";
}
