#include "core/playfield.h"

namespace {

struct Row {
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
const Row kRows[kItemCount] = {
    {"faceDownCard", 0, 215, false, Draw::Keyed, Binding::None, Picture::faceDownCard, "", 0, {}},
    {"oxygenCard", 0, 215, false, Draw::Keyed, Binding::None, Picture::oxygenCard, "", 0, {}},
    {"tanksCard", 0, 215, false, Draw::Keyed, Binding::None, Picture::tanksCard, "", 0, {}},
    {"weaponCard", 0, 215, false, Draw::Keyed, Binding::None, Picture::weaponCard, "", 0, {}},
    {"blankCard", 0, 215, false, Draw::Keyed, Binding::None, Picture::blankCard, "", 0, {}},
    {"sea", 0, 0, false, Draw::Stretched, Binding::SwipesAndSea, Picture::sea, "", 0, {194, 3200}},
    {"octopusWhite", 195, 0, false, Draw::Keyed, Binding::Swipes, Picture::octopusWhite, "", 0, {}},
    {"crabWhite", 240, 0, false, Draw::Keyed, Binding::Swipes, Picture::crabWhite, "", 0, {}},
    {"morayWhite", 195, 51, false, Draw::Keyed, Binding::Swipes, Picture::morayWhite, "", 0, {}},
    {"squidWhite", 195, 175, true, Draw::Keyed, Binding::Swipes, Picture::squidWhite, "", 0, {}},
    {"lifeCaptionShadow", 5, 165, false, Draw::Text, Binding::Swipes, Picture::None, "命：", kRed, {}},
    {"lifeCaption", 4, 164, false, Draw::Text, Binding::Swipes, Picture::None, "命：", kWhite, {}},
    {"oxygenCaptionShadow", 5, 180, false, Draw::Text, Binding::Swipes, Picture::None, "酸素：", kRed, {}},
    {"oxygenCaption", 4, 179, false, Draw::Text, Binding::Swipes, Picture::None, "酸素：", kWhite, {}},
    {"lifeValueShadow", 25, 165, false, Draw::Text, Binding::Swipes, Picture::None, "00", kRed, {}},
    {"lifeValue", 24, 164, false, Draw::Text, Binding::Swipes, Picture::None, "00", kWhite, {}},
    {"oxygenValueShadow", 36, 180, false, Draw::Text, Binding::Swipes, Picture::None, "00", kRed, {}},
    {"oxygenValue", 35, 179, false, Draw::Text, Binding::Swipes, Picture::None, "00", kWhite, {}},
    {"tanksCaptionShadow", 5, 195, false, Draw::Text, Binding::Swipes, Picture::None, "ボンベ：", kRed, {}},
    {"tanksCaption", 4, 194, false, Draw::Text, Binding::Swipes, Picture::None, "ボンベ：", kWhite, {}},
    {"tanksValueShadow", 44, 195, false, Draw::Text, Binding::Swipes, Picture::None, "00", kRed, {}},
    {"tanksValue", 43, 194, false, Draw::Text, Binding::Swipes, Picture::None, "00", kWhite, {}},
    {"creatureNameShadow", 115, 5, false, Draw::Text, Binding::Swipes, Picture::None, "名前", kRed, {}},
    {"creatureName", 114, 4, false, Draw::Text, Binding::Swipes, Picture::None, "名前", kWhite, {}},
    {"creatureLifeCaptionShadow", 120, 20, false, Draw::Text, Binding::Swipes, Picture::None, "命：", kRed, {}},
    {"creatureLifeCaption", 119, 19, false, Draw::Text, Binding::Swipes, Picture::None, "命：", kWhite, {}},
    {"creatureLifeValueShadow", 140, 20, false, Draw::Text, Binding::Swipes, Picture::None, "00", kRed, {}},
    {"creatureLifeValue", 139, 19, false, Draw::Text, Binding::Swipes, Picture::None, "00", kWhite, {}},
    {"spearWhite", 130, 182, false, Draw::Keyed, Binding::SwipesAndSpear, Picture::spearWhite, "", 0, {}},
    {"cardSlot1", 10, 75, false, Draw::Keyed, Binding::Card1, Picture::None, "", 0, {50, 51}},
    {"cardSlot2", 71, 75, false, Draw::Keyed, Binding::Card2, Picture::None, "", 0, {50, 51}},
    {"cardSlot3", 132, 75, false, Draw::Keyed, Binding::Card3, Picture::None, "", 0, {50, 51}},
    {"hitMarkerShadow", 140, 167, false, Draw::Text, Binding::Swipes, Picture::None, "!!", kRed, {}},
    {"hitMarker", 139, 166, false, Draw::Text, Binding::Swipes, Picture::None, "!!", kWhite, {}},
    {"upMarkerShadow", 62, 195, false, Draw::Text, Binding::Swipes, Picture::None, "UP !!", kRed, {}},
    {"upMarker", 61, 194, false, Draw::Text, Binding::Swipes, Picture::None, "UP !!", kYellow, {}},
    {"ring", 155, 186, false, Draw::Keyed, Binding::SwipesAndSea, Picture::ring, "", 0, {}},
    {"titleWordShadow", 84, 96, true, Draw::Text, Binding::None, Picture::None, "潜行", kRed, {}},
    {"titleWord", 83, 95, true, Draw::Text, Binding::TitleWord, Picture::None, "潜行", kWhite, {}},
    {"crabCyan", 240, 0, false, Draw::Keyed, Binding::Swipes, Picture::crabCyan, "", 0, {}},
    {"crabRed", 240, 0, false, Draw::Keyed, Binding::Swipes, Picture::crabRed, "", 0, {}},
    {"octopusCyan", 195, 0, false, Draw::Keyed, Binding::Swipes, Picture::octopusCyan, "", 0, {}},
    {"octopusRed", 195, 0, false, Draw::Keyed, Binding::Swipes, Picture::octopusRed, "", 0, {}},
    {"morayCyan", 195, 51, false, Draw::Keyed, Binding::Swipes, Picture::morayCyan, "", 0, {}},
    {"morayRed", 195, 51, false, Draw::Keyed, Binding::Swipes, Picture::morayRed, "", 0, {}},
    {"squidCyan", 195, 173, true, Draw::Keyed, Binding::Swipes, Picture::squidCyan, "", 0, {}},
    {"squidRed", 195, 173, true, Draw::Keyed, Binding::Swipes, Picture::squidRed, "", 0, {}},
    {"spearCyan", 130, 182, false, Draw::Keyed, Binding::SwipesAndSpear, Picture::spearCyan, "", 0, {}},
    {"spearRed", 130, 182, false, Draw::Keyed, Binding::SwipesAndSpear, Picture::spearRed, "", 0, {}},
    {"curtain", 0, 215, true, Draw::Stretched, Binding::Swipes, Picture::curtain, "", 0, {200, 240}},
    {"grilledSquid", 30, 35, false, Draw::Opaque, Binding::None, Picture::grilledSquid, "", 0, {}},
    {"biggestSquidMessage", 35, 130, false, Draw::Opaque, Binding::None, Picture::biggestSquidMessage, "", 0, {}},
    {"tastyMessage", 45, 175, false, Draw::Opaque, Binding::None, Picture::tastyMessage, "", 0, {}},
    {"gameOver", 43, 92, false, Draw::Opaque, Binding::None, Picture::gameOver, "", 0, {}},
    {"bubble1", 40, 211, false, Draw::Keyed, Binding::Swipes, Picture::bubble, "", 0, {}},
    {"bubble2", 120, 211, false, Draw::Keyed, Binding::Swipes, Picture::bubble, "", 0, {}},};

struct Pair {
    Item front, shadow;
};
constexpr Pair kPairs[static_cast<int>(Label::Count)] = {
    {Item::lifeCaption, Item::lifeCaptionShadow},
    {Item::lifeValue, Item::lifeValueShadow},
    {Item::oxygenCaption, Item::oxygenCaptionShadow},
    {Item::oxygenValue, Item::oxygenValueShadow},
    {Item::tanksCaption, Item::tanksCaptionShadow},
    {Item::tanksValue, Item::tanksValueShadow},
    {Item::creatureName, Item::creatureNameShadow},
    {Item::creatureLifeCaption, Item::creatureLifeCaptionShadow},
    {Item::creatureLifeValue, Item::creatureLifeValueShadow},
    {Item::hitMarker, Item::hitMarkerShadow},
    {Item::upMarker, Item::upMarkerShadow},
    {Item::titleWord, Item::titleWordShadow},
};

}  // namespace

Playfield::Playfield(TextMeasure& font) : caption_("Torvenka"), font_(font) {
    for (int i = 0; i < kItemCount; ++i) {
        const Row& r = kRows[i];
        ItemState& it = items_[static_cast<size_t>(i)];
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
        if (r.draw == Draw::Text) setText(static_cast<Item>(i), r.text);
    }
}

void Playfield::touch(Item i) {
    // Only a change to something that may be seen needs a repaint.
    if (items_[idx(i)].visible) dirty_ = true;
}

void Playfield::setVisible(Item i, bool v) {
    ItemState& it = items_[idx(i)];
    if (it.visible != v) {
        it.visible = v;
        dirty_ = true;
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
        dirty_ = true;  // the window picks the caption up with its next repaint
    }
}
