// The playfield: the items of the game's window as plain data, in drawing
// order, and the few things the rules do with them (show, hide, move, read a
// position back, give an item another item's picture, rewrite a label). The
// rules treat some positions as game values: the sea's top is the depth, the
// curtain's top says when an ending takes over, the bubbles' tops say when
// they burst. Nothing here draws; the screen layer does that.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "core/pictures.h"

// Every item, in drawing order: a later item covers an earlier one and takes
// the pointer first. Each creature and the spear is three sprites, one per
// lane colour, standing on the same spot; every text is a front copy over a
// red shadow one pixel right and down. The creatures' sprites are not named
// here: each creature of core/creatures.h has its white sprite in the block
// from whiteCreatures on, under the cards, and its cyan and red ones in the
// block from cyanAndRedCreatures on, over them (creatureSprite below).
enum class Item : uint8_t {
    // Picture holders, never shown: the cards' faces that a turned card
    // takes, one for each face in the order of CardFace (cardHolder below).
    firstCardHolder,
    sea = firstCardHolder + kCardFaceCount,
    whiteCreatures,
    lifeCaptionShadow = whiteCreatures + kCreatureCount, lifeCaption, oxygenCaptionShadow, oxygenCaption,
    lifeValueShadow, lifeValue, oxygenValueShadow, oxygenValue,
    tanksCaptionShadow, tanksCaption, tanksValueShadow, tanksValue,
    creatureNameShadow, creatureName, creatureLifeCaptionShadow, creatureLifeCaption,
    creatureLifeValueShadow, creatureLifeValue,
    spearWhite,
    cardSlot1, cardSlot2, cardSlot3,
    hitMarkerShadow, hitMarker, upMarkerShadow, upMarker,
    ring,
    titleWordShadow, titleWord,
    cyanAndRedCreatures,
    spearCyan = cyanAndRedCreatures + 2 * kCreatureCount, spearRed,
    curtain,  // solid black, waiting below the window until a dive ends
    grilledSquid, biggestSquidMessage, tastyMessage, gameOver,  // the endings' pictures
    bubble1, bubble2,
    Count
};
constexpr int kItemCount = static_cast<int>(Item::Count);

// The hidden item that holds a card face's picture.
constexpr Item cardHolder(CardFace f) { return static_cast<Item>(code(Item::firstCardHolder) + code(f)); }

// The sprite of a creature in a lane (White, Cyan or Red).
constexpr Item creatureSprite(CreatureKind k, Lane l) {
    const int at = creatureIndex(k);
    if (l == Lane::White) return static_cast<Item>(code(Item::whiteCreatures) + at);
    return static_cast<Item>(code(Item::cyanAndRedCreatures) + 2 * at + (l == Lane::Red ? 1 : 0));
}

// One drawing in the three lane colours: three sprites on one spot, of which
// at most one is seen.
struct LaneSprites {
    Item white, cyan, red;
    // The sprite of a lane; no lane has no sprite, and nobody asks for one.
    constexpr Item in(Lane l) const {
        switch (l) {
            case Lane::Cyan: return cyan;
            case Lane::Red: return red;
            case Lane::White: case Lane::None: break;
        }
        return white;
    }
};
constexpr LaneSprites spritesOf(const Creature& c) {
    return {creatureSprite(c.kind, Lane::White), creatureSprite(c.kind, Lane::Cyan), creatureSprite(c.kind, Lane::Red)};
}
constexpr LaneSprites kSpear = {Item::spearWhite, Item::spearCyan, Item::spearRed};

// The texts, each a front copy and its shadow treated as one.
enum class Label : uint8_t {
    lifeCaption, lifeValue, oxygenCaption, oxygenValue, tanksCaption, tanksValue,  // the diver's gauges
    creatureName, creatureLifeCaption, creatureLifeValue,                          // the creature panel
    hitMarker, upMarker, titleWord,
    Count
};

// The window's client area. The curtain and the picture holders wait on the
// first row below it.
constexpr int kClientW = 194;
constexpr int kClientH = 215;

enum class Draw : uint8_t {
    Opaque,     // the picture as it is
    Stretched,  // scaled to the item's box, nearest neighbour
    Keyed,      // every pixel but the key colour (the bottom-left pixel's)
    Text,       // a label: its text in its colour, no background
};

// Which of the game's pointer handlers an item passes its events to.
enum class Binding : uint8_t {
    None,            // takes events and does nothing with them
    Swipes,          // presses and releases: the swipe handlers
    SwipesAndSea,    // ...and moves: the pointer is off the spear (the sea, the ring, the bare window)
    SwipesAndSpear,  // ...and moves: the pointer rests on the spear
    Card1, Card2, Card3,  // a press turns the card; the release ends a swipe
    TitleWord,       // moves light it up; a click starts the dive
};

struct ItemState {
    const char* name;
    int left, top, width, height;
    bool visible;
    Draw draw;
    Binding binding;
    Picture picture;  // Picture::None for labels and empty card slots
    std::string text;  // labels only
    uint32_t color;    // labels only, 0xRRGGBB
};

// How big a one-line text is in the game's font.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual std::pair<int, int> measure(const std::string& utf8) = 0;
};

class Playfield {
public:
    explicit Playfield(TextMeasure& font);

    const ItemState& operator[](Item i) const { return items_[idx(i)]; }
    const std::array<ItemState, kItemCount>& items() const { return items_; }

    void show(Item i) { setVisible(i, true); }
    void hide(Item i) { setVisible(i, false); }
    void setVisible(Item i, bool v);
    void setLeft(Item i, int left);
    void setTop(Item i, int top);
    void move(Item i, int left, int top) {
        setLeft(i, left);
        setTop(i, top);
    }
    int left(Item i) const { return items_[idx(i)].left; }
    int top(Item i) const { return items_[idx(i)].top; }
    bool visible(Item i) const { return items_[idx(i)].visible; }
    // Give an item the picture of another; it takes that picture's size
    // unless it is stretched.
    void copyPicture(Item to, Item from);
    // A label takes the size of its text; left and top stay, so it grows
    // to the right.
    void setText(Item i, const std::string& text);
    void setColor(Item i, uint32_t rgb);

    // A text pair: both copies get the same text and visibility, and the
    // shadow stays one pixel right of and below the front copy.
    static Item front(Label l);
    static Item shadow(Label l);
    void show(Label l);
    void hide(Label l);
    void move(Label l, int left, int top);
    void write(Label l, const std::string& text);
    void write(Label l, int value) { write(l, std::to_string(value)); }

    void setCaption(const std::string& c);
    const std::string& caption() const { return caption_; }

    // Becomes another playfield measured with the same font: its items and
    // its caption (a test player that takes up a dive where another left it).
    void copyFrom(const Playfield& other) {
        items_ = other.items_;
        caption_ = other.caption_;
        dirty_ = true;
        ++changes_;
    }

    // Set when anything that may be seen has changed; the loop repaints then.
    bool dirty() const { return dirty_; }
    void markDirty() { dirty_ = true; }
    void clearDirty() { dirty_ = false; }
    // Counts the calls that may have changed an item or the caption (a call
    // that changes nothing may count too): equal counts, nothing changed.
    uint32_t changes() const { return changes_; }

    static size_t idx(Item i) { return static_cast<size_t>(i); }

private:
    void touch(Item i);
    std::array<ItemState, kItemCount> items_;
    std::string caption_;
    TextMeasure& font_;
    bool dirty_ = true;
    uint32_t changes_ = 0;
};
