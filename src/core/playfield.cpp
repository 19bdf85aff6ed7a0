#include "core/playfield.h"

#include <array>
#include <iterator>
#include <string_view>

#include "core/keyed.h"
#include "core/texts.h"

namespace {

struct Row {
    Item item;
    const char* name;
    int left, top;
    bool visible;
    Draw draw;
    Binding binding;
    Picture picture;
    const char* text;  // labels
    uint32_t color;    // labels
    Size box;          // stretched items and empty card slots; the others take
                       // the size of their picture or text
};

// The catalogue, in drawing order: later rows are drawn over earlier ones.
// The card faces' holders and the creatures' sprites are made from their
// rows below.
constexpr Row kOwnRows[] = {
    {Item::sea, "sea", 0, 0, false, Draw::Stretched, Binding::SwipesAndSea, Picture::sea, "", 0, {194, 3200}},
    {Item::lifeCaptionShadow, "lifeCaptionShadow", 5, 165, false, Draw::Text, Binding::Swipes, Picture::None, "命：", kRed, {}},
    {Item::lifeCaption, "lifeCaption", 4, 164, false, Draw::Text, Binding::Swipes, Picture::None, "命：", kWhite, {}},
    {Item::oxygenCaptionShadow, "oxygenCaptionShadow", 5, 180, false, Draw::Text, Binding::Swipes, Picture::None, "酸素：", kRed, {}},
    {Item::oxygenCaption, "oxygenCaption", 4, 179, false, Draw::Text, Binding::Swipes, Picture::None, "酸素：", kWhite, {}},
    {Item::lifeValueShadow, "lifeValueShadow", 25, 165, false, Draw::Text, Binding::Swipes, Picture::None, "00", kRed, {}},
    {Item::lifeValue, "lifeValue", 24, 164, false, Draw::Text, Binding::Swipes, Picture::None, "00", kWhite, {}},
    {Item::oxygenValueShadow, "oxygenValueShadow", 36, 180, false, Draw::Text, Binding::Swipes, Picture::None, "00", kRed, {}},
    {Item::oxygenValue, "oxygenValue", 35, 179, false, Draw::Text, Binding::Swipes, Picture::None, "00", kWhite, {}},
    {Item::tanksCaptionShadow, "tanksCaptionShadow", 5, 195, false, Draw::Text, Binding::Swipes, Picture::None, "ボンベ：", kRed, {}},
    {Item::tanksCaption, "tanksCaption", 4, 194, false, Draw::Text, Binding::Swipes, Picture::None, "ボンベ：", kWhite, {}},
    {Item::tanksValueShadow, "tanksValueShadow", 44, 195, false, Draw::Text, Binding::Swipes, Picture::None, "00", kRed, {}},
    {Item::tanksValue, "tanksValue", 43, 194, false, Draw::Text, Binding::Swipes, Picture::None, "00", kWhite, {}},
    {Item::creatureNameShadow, "creatureNameShadow", 115, 5, false, Draw::Text, Binding::Swipes, Picture::None, "名前", kRed, {}},
    {Item::creatureName, "creatureName", 114, 4, false, Draw::Text, Binding::Swipes, Picture::None, "名前", kWhite, {}},
    {Item::creatureLifeCaptionShadow, "creatureLifeCaptionShadow", 120, 20, false, Draw::Text, Binding::Swipes, Picture::None, "命：", kRed, {}},
    {Item::creatureLifeCaption, "creatureLifeCaption", 119, 19, false, Draw::Text, Binding::Swipes, Picture::None, "命：", kWhite, {}},
    {Item::creatureLifeValueShadow, "creatureLifeValueShadow", 140, 20, false, Draw::Text, Binding::Swipes, Picture::None, "00", kRed, {}},
    {Item::creatureLifeValue, "creatureLifeValue", 139, 19, false, Draw::Text, Binding::Swipes, Picture::None, "00", kWhite, {}},
    {Item::spearWhite, "spearWhite", 130, 182, false, Draw::Keyed, Binding::SwipesAndSpear, Picture::spearWhite, "", 0, {}},
    {Item::cardSlot1, "cardSlot1", 10, 75, false, Draw::Keyed, Binding::Card1, Picture::None, "", 0, {50, 51}},
    {Item::cardSlot2, "cardSlot2", 71, 75, false, Draw::Keyed, Binding::Card2, Picture::None, "", 0, {50, 51}},
    {Item::cardSlot3, "cardSlot3", 132, 75, false, Draw::Keyed, Binding::Card3, Picture::None, "", 0, {50, 51}},
    {Item::hitMarkerShadow, "hitMarkerShadow", 140, 167, false, Draw::Text, Binding::Swipes, Picture::None, "!!", kRed, {}},
    {Item::hitMarker, "hitMarker", 139, 166, false, Draw::Text, Binding::Swipes, Picture::None, "!!", kWhite, {}},
    {Item::upMarkerShadow, "upMarkerShadow", 62, 195, false, Draw::Text, Binding::Swipes, Picture::None, "UP !!", kRed, {}},
    {Item::upMarker, "upMarker", 61, 194, false, Draw::Text, Binding::Swipes, Picture::None, "UP !!", kYellow, {}},
    {Item::ring, "ring", 155, 186, false, Draw::Keyed, Binding::SwipesAndSea, Picture::ring, "", 0, {}},
    {Item::titleWordShadow, "titleWordShadow", 84, 96, true, Draw::Text, Binding::None, Picture::None, "潜行", kRed, {}},
    {Item::titleWord, "titleWord", 83, 95, true, Draw::Text, Binding::TitleWord, Picture::None, "潜行", kWhite, {}},
    {Item::spearCyan, "spearCyan", 130, 182, false, Draw::Keyed, Binding::SwipesAndSpear, Picture::spearCyan, "", 0, {}},
    {Item::spearRed, "spearRed", 130, 182, false, Draw::Keyed, Binding::SwipesAndSpear, Picture::spearRed, "", 0, {}},
    {Item::curtain, "curtain", 0, 215, true, Draw::Stretched, Binding::Swipes, Picture::curtain, "", 0, {200, 240}},
    {Item::grilledSquid, "grilledSquid", 30, 35, false, Draw::Opaque, Binding::None, Picture::grilledSquid, "", 0, {}},
    {Item::biggestSquidMessage, "biggestSquidMessage", 35, 130, false, Draw::Opaque, Binding::None, Picture::biggestSquidMessage, "", 0, {}},
    {Item::tastyMessage, "tastyMessage", 45, 175, false, Draw::Opaque, Binding::None, Picture::tastyMessage, "", 0, {}},
    {Item::gameOver, "gameOver", 43, 92, false, Draw::Opaque, Binding::None, Picture::gameOver, "", 0, {}},
    {Item::bubble1, "bubble1", 40, 211, false, Draw::Keyed, Binding::Swipes, Picture::bubble, "", 0, {}},
    {Item::bubble2, "bubble2", 120, 211, false, Draw::Keyed, Binding::Swipes, Picture::bubble, "", 0, {}},
};

// A card face's holder waits hidden on the first row below the window; a
// creature's sprite is keyed, takes swipes and waits where its row says.
constexpr auto kRows = [] {
    std::array<Row, kItemCount> rows{};
    for (const Row& r : kOwnRows) rows[static_cast<size_t>(r.item)] = r;
    for (const CardFaceRow& f : kCardFaces)
        rows[static_cast<size_t>(cardHolder(f.face))] = {cardHolder(f.face), f.name, 0, kClientH, false, Draw::Keyed,
                                                          Binding::None, cardPicture(f.face), "", 0, {}};
    for (const Creature& c : kCreatures)
        for (Lane l : {Lane::White, Lane::Cyan, Lane::Red}) {
            const Waiting& w = c.waiting[static_cast<size_t>(code(l) - code(Lane::White))];
            const Item i = creatureSprite(c.kind, l);
            rows[static_cast<size_t>(i)] = {i, creatureLaneName(c.kind, l), w.left, w.top, w.visible, Draw::Keyed,
                                             Binding::Swipes, creaturePicture(c.kind, l), "", 0, {}};
        }
    return rows;
}();
static_assert(std::size(kOwnRows) + kCardFaceCount + 3 * kCreatureCount == kItemCount && rowsInKeyOrder(kRows, &Row::item));

// Every item has a name of its own: the traces and the tools know items by it.
constexpr bool namesAreUnique() {
    for (size_t i = 0; i < std::size(kRows); ++i)
        for (size_t j = i + 1; j < std::size(kRows); ++j)
            if (std::string_view(kRows[i].name) == kRows[j].name) return false;
    return true;
}
static_assert(namesAreUnique());

// A picture's own property says whether it is drawn keyed; every row that
// shows a picture draws it that way (stretched and opaque pictures are not
// keyed). The card slots start empty and take the keyed card faces.
constexpr bool drawModesAgreeWithPictures() {
    for (const Row& r : kRows) {
        if (r.picture == Picture::None) {
            if (r.draw == Draw::Opaque || r.draw == Draw::Stretched) return false;
        } else if ((r.draw == Draw::Keyed) != pictureIsKeyed(r.picture) || r.draw == Draw::Text) {
            return false;
        }
    }
    return true;
}
static_assert(drawModesAgreeWithPictures());

struct Pair {
    Label label;
    Item front, shadow;
};
constexpr Pair kPairs[] = {
    {Label::lifeCaption, Item::lifeCaption, Item::lifeCaptionShadow},
    {Label::lifeValue, Item::lifeValue, Item::lifeValueShadow},
    {Label::oxygenCaption, Item::oxygenCaption, Item::oxygenCaptionShadow},
    {Label::oxygenValue, Item::oxygenValue, Item::oxygenValueShadow},
    {Label::tanksCaption, Item::tanksCaption, Item::tanksCaptionShadow},
    {Label::tanksValue, Item::tanksValue, Item::tanksValueShadow},
    {Label::creatureName, Item::creatureName, Item::creatureNameShadow},
    {Label::creatureLifeCaption, Item::creatureLifeCaption, Item::creatureLifeCaptionShadow},
    {Label::creatureLifeValue, Item::creatureLifeValue, Item::creatureLifeValueShadow},
    {Label::hitMarker, Item::hitMarker, Item::hitMarkerShadow},
    {Label::upMarker, Item::upMarker, Item::upMarkerShadow},
    {Label::titleWord, Item::titleWord, Item::titleWordShadow},
};
static_assert(std::size(kPairs) == static_cast<size_t>(Label::Count) && rowsInKeyOrder(kPairs, &Pair::label));

// Both copies of a pair are texts with the same text and visibility, the
// shadow red and one pixel right of and below its front copy.
constexpr bool pairsAreShadowedTexts() {
    for (const Pair& p : kPairs) {
        const Row& f = kRows[static_cast<size_t>(p.front)];
        const Row& s = kRows[static_cast<size_t>(p.shadow)];
        if (f.draw != Draw::Text || s.draw != Draw::Text || s.color != kRed || s.left != f.left + 1 ||
            s.top != f.top + 1 || std::string_view(s.text) != f.text || s.visible != f.visible)
            return false;
    }
    return true;
}
static_assert(pairsAreShadowedTexts());

}  // namespace

Playfield::Playfield(TextMeasure& font) : caption_(kGameName), font_(font) {
    for (const Row& r : kRows) {
        ItemState& it = items_[idx(r.item)];
        it.name = r.name;
        it.left = r.left;
        it.top = r.top;
        const Size size = r.draw == Draw::Stretched || r.picture == Picture::None ? r.box : pictureSize(r.picture);
        it.width = size.w;
        it.height = size.h;
        it.visible = r.visible;
        it.draw = r.draw;
        it.binding = r.binding;
        it.picture = r.picture;
        it.color = r.color;
        if (r.draw == Draw::Text) setText(r.item, r.text);
    }
}

void Playfield::touch(Item i) {
    ++changes_;
    // Only a change to something that may be seen needs a repaint.
    if (items_[idx(i)].visible) dirty_ = true;
}

void Playfield::setVisible(Item i, bool v) {
    ItemState& it = items_[idx(i)];
    if (it.visible != v) {
        it.visible = v;
        dirty_ = true;
        ++changes_;
    }
}

void Playfield::setLeft(Item i, int left) {
    ItemState& it = items_[idx(i)];
    if (it.left != left) {
        it.left = left;
        touch(i);
    }
}

void Playfield::setTop(Item i, int top) {
    ItemState& it = items_[idx(i)];
    if (it.top != top) {
        it.top = top;
        touch(i);
    }
}

void Playfield::copyPicture(Item to, Item from) {
    ItemState& dst = items_[idx(to)];
    const Picture p = items_[idx(from)].picture;
    dst.picture = p;
    if (p != Picture::None && dst.draw != Draw::Stretched) {
        const Size s = pictureSize(p);
        dst.width = s.w;
        dst.height = s.h;
    }
    touch(to);
}

void Playfield::setText(Item i, const std::string& text) {
    ItemState& it = items_[idx(i)];
    if (it.text == text && it.width > 0) return;
    it.text = text;
    auto [w, h] = font_.measure(text);
    it.width = w;
    it.height = h;
    touch(i);
}

void Playfield::setColor(Item i, uint32_t rgb) {
    ItemState& it = items_[idx(i)];
    if (it.color != rgb) {
        it.color = rgb;
        touch(i);
    }
}

Item Playfield::front(Label l) { return kPairs[static_cast<size_t>(l)].front; }
Item Playfield::shadow(Label l) { return kPairs[static_cast<size_t>(l)].shadow; }

void Playfield::show(Label l) {
    show(front(l));
    show(shadow(l));
}

void Playfield::hide(Label l) {
    hide(front(l));
    hide(shadow(l));
}

void Playfield::move(Label l, int left, int top) {
    move(front(l), left, top);
    move(shadow(l), left + 1, top + 1);
}

void Playfield::write(Label l, const std::string& text) {
    setText(front(l), text);
    setText(shadow(l), text);
}

void Playfield::setCaption(const std::string& c) {
    if (caption_ != c) {
        caption_ = c;
        ++changes_;
        dirty_ = true;  // the window picks the caption up with its next repaint
    }
}
