// The 56 items of the main window, in drawing order, and the few operations
// the game performs on them. Nothing here knows about SDL.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "screen/pictures.h"

enum class Id : uint8_t {
    card, cardox, cardb, cardwp, cardsk, back, taco, cani, utsu, velmo,
    LabelHP1, LabelHP2, LabelOX1, LabelOX2, LbHP2, LbHP1, LbOX2, LbOX1,
    LabelBMB1, LabelBMB2, LbBMB2, LbBMB1, LabelNM1, LabelNM2, LabelHP3, LabelHP4,
    LbHP4, LbHP3, spear, card1, card2, card3, LabelHT2, LabelHT1, LabelUP2, LabelUP1,
    ring, Label1, Label2, cani2, cani3, taco2, taco3, utsu2, utsu3, velmo2, velmo3,
    spear2, spear3, waku, ikayaki, mes1, mes2, over, awa1, awa2,
    Count
};
constexpr int kItemCount = static_cast<int>(Id::Count);
static_assert(kItemCount == 56);

constexpr int kClientW = 194;
constexpr int kClientH = 215;

enum class Kind : uint8_t { Picture, Label };
enum class Draw : uint8_t { Opaque, Stretched, Key, Text };
// Pointer bindings: which handlers an item passes its events to.
enum class Bind : uint8_t { None, A, AM, AS, C1, C2, C3, T };

struct Item {
    const char* name;
    Kind kind;
    int left, top, width, height;
    bool visible;
    Draw draw;
    Bind bind;
    const Picture* pic;   // pictures only; nullptr = no picture (card slots)
    std::string text;     // labels only
    uint32_t color;       // labels only, 0xRRGGBB
};

// How big a one-line text is in the game's font.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual std::pair<int, int> measure(const std::string& utf8) = 0;
};

class Screen {
public:
    explicit Screen(TextMeasure& font);

    const Item& operator[](Id id) const { return items_[idx(id)]; }
    const std::array<Item, kItemCount>& items() const { return items_; }

    void show(Id id) { setVisible(id, true); }
    void hide(Id id) { setVisible(id, false); }
    void setVisible(Id id, bool v);
    void setLeft(Id id, int left);
    void setTop(Id id, int top);
    void move(Id id, int left, int top) { setLeft(id, left); setTop(id, top); }
    int left(Id id) const { return items_[idx(id)].left; }
    int top(Id id) const { return items_[idx(id)].top; }
    bool visible(Id id) const { return items_[idx(id)].visible; }
    // Give a picture item the picture of another item; it takes that
    // picture's size unless it is stretched.
    void copyPicture(Id to, Id from);
    void setText(Id id, const std::string& text);
    void setColor(Id id, uint32_t rgb);
    void setCaption(const std::string& c);
    const std::string& caption() const { return caption_; }

    // Set when anything visible may have changed; the loop repaints then.
    bool dirty() const { return dirty_; }
    void markDirty() { dirty_ = true; }
    void clearDirty() { dirty_ = false; }

    static size_t idx(Id id) { return static_cast<size_t>(id); }

private:
    void touch(Id id);
    std::array<Item, kItemCount> items_;
    std::string caption_;
    TextMeasure& font_;
    bool dirty_ = true;
};

// The label pair a value is shown in: both copies get the same text.
inline void writeValue(Screen& s, Id a, Id b, int value) {
    const std::string t = std::to_string(value);
    s.setText(a, t);
    s.setText(b, t);
}
