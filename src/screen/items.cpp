#include "screen/items.h"

namespace {

struct Row {
    const char* name;
    Kind kind;
    int w, h;  // box for stretched items and empty card slots
    int left, top;
    bool visible;
    Draw draw;
    Bind bind;
    Pic pic;           // Pic::Count = no picture
    const char* text;  // labels
    uint32_t color;
};

constexpr Pic kNone = Pic::Count;
constexpr Kind P = Kind::Picture;
constexpr Kind L = Kind::Label;

// The catalogue, in drawing order: later rows are drawn over earlier ones.
const Row kRows[kItemCount] = {
    {"card", P, 50, 51, 0, 215, false, Draw::Key, Bind::None, Pic::card, "", 0},
    {"cardox", P, 50, 51, 0, 215, false, Draw::Key, Bind::None, Pic::cardox, "", 0},
    {"cardb", P, 50, 51, 0, 215, false, Draw::Key, Bind::None, Pic::cardb, "", 0},
    {"cardwp", P, 50, 51, 0, 215, false, Draw::Key, Bind::None, Pic::cardwp, "", 0},
    {"cardsk", P, 50, 51, 0, 215, false, Draw::Key, Bind::None, Pic::cardsk, "", 0},
    {"back", P, 194, 3200, 0, 0, false, Draw::Stretched, Bind::AM, Pic::back, "", 0},
    {"taco", P, 43, 49, 195, 0, false, Draw::Key, Bind::A, Pic::taco, "", 0},
    {"cani", P, 106, 92, 240, 0, false, Draw::Key, Bind::A, Pic::cani, "", 0},
    {"utsu", P, 173, 119, 195, 51, false, Draw::Key, Bind::A, Pic::utsu, "", 0},
    {"velmo", P, 200, 116, 195, 175, true, Draw::Key, Bind::A, Pic::velmo, "", 0},
    {"LabelHP1", L, 18, 12, 5, 165, false, Draw::Text, Bind::A, kNone, "命：", kRed},
    {"LabelHP2", L, 18, 12, 4, 164, false, Draw::Text, Bind::A, kNone, "命：", kWhite},
    {"LabelOX1", L, 30, 12, 5, 180, false, Draw::Text, Bind::A, kNone, "酸素：", kRed},
    {"LabelOX2", L, 30, 12, 4, 179, false, Draw::Text, Bind::A, kNone, "酸素：", kWhite},
    {"LbHP2", L, 12, 12, 25, 165, false, Draw::Text, Bind::A, kNone, "00", kRed},
    {"LbHP1", L, 12, 12, 24, 164, false, Draw::Text, Bind::A, kNone, "00", kWhite},
    {"LbOX2", L, 12, 12, 36, 180, false, Draw::Text, Bind::A, kNone, "00", kRed},
    {"LbOX1", L, 12, 12, 35, 179, false, Draw::Text, Bind::A, kNone, "00", kWhite},
    {"LabelBMB1", L, 38, 12, 5, 195, false, Draw::Text, Bind::A, kNone, "ボンベ：", kRed},
    {"LabelBMB2", L, 38, 12, 4, 194, false, Draw::Text, Bind::A, kNone, "ボンベ：", kWhite},
    {"LbBMB2", L, 12, 12, 44, 195, false, Draw::Text, Bind::A, kNone, "00", kRed},
    {"LbBMB1", L, 12, 12, 43, 194, false, Draw::Text, Bind::A, kNone, "00", kWhite},
    {"LabelNM1", L, 24, 12, 115, 5, false, Draw::Text, Bind::A, kNone, "名前", kRed},
    {"LabelNM2", L, 24, 12, 114, 4, false, Draw::Text, Bind::A, kNone, "名前", kWhite},
    {"LabelHP3", L, 18, 12, 120, 20, false, Draw::Text, Bind::A, kNone, "命：", kRed},
    {"LabelHP4", L, 18, 12, 119, 19, false, Draw::Text, Bind::A, kNone, "命：", kWhite},
    {"LbHP4", L, 12, 12, 140, 20, false, Draw::Text, Bind::A, kNone, "00", kRed},
    {"LbHP3", L, 12, 12, 139, 19, false, Draw::Text, Bind::A, kNone, "00", kWhite},
    {"spear", P, 23, 23, 130, 182, false, Draw::Key, Bind::AS, Pic::spear, "", 0},
    {"card1", P, 50, 51, 10, 75, false, Draw::Key, Bind::C1, kNone, "", 0},
    {"card2", P, 50, 51, 71, 75, false, Draw::Key, Bind::C2, kNone, "", 0},
    {"card3", P, 50, 51, 132, 75, false, Draw::Key, Bind::C3, kNone, "", 0},
    {"LabelHT2", L, 6, 12, 140, 167, false, Draw::Text, Bind::A, kNone, "!!", kRed},
    {"LabelHT1", L, 6, 12, 139, 166, false, Draw::Text, Bind::A, kNone, "!!", kWhite},
    {"LabelUP2", L, 25, 12, 62, 195, false, Draw::Text, Bind::A, kNone, "UP !!", kRed},
    {"LabelUP1", L, 25, 12, 61, 194, false, Draw::Text, Bind::A, kNone, "UP !!", kYellow},
    {"ring", P, 19, 19, 155, 186, false, Draw::Key, Bind::AM, Pic::ring, "", 0},
    {"Label1", L, 24, 12, 84, 96, true, Draw::Text, Bind::None, kNone, "潜行", kRed},
    {"Label2", L, 24, 12, 83, 95, true, Draw::Text, Bind::T, kNone, "潜行", kWhite},
    {"cani2", P, 106, 92, 240, 0, false, Draw::Key, Bind::A, Pic::cani2, "", 0},
    {"cani3", P, 106, 92, 240, 0, false, Draw::Key, Bind::A, Pic::cani3, "", 0},
    {"taco2", P, 43, 49, 195, 0, false, Draw::Key, Bind::A, Pic::taco2, "", 0},
    {"taco3", P, 43, 49, 195, 0, false, Draw::Key, Bind::A, Pic::taco3, "", 0},
    {"utsu2", P, 173, 119, 195, 51, false, Draw::Key, Bind::A, Pic::utsu2, "", 0},
    {"utsu3", P, 173, 119, 195, 51, false, Draw::Key, Bind::A, Pic::utsu3, "", 0},
    {"velmo2", P, 200, 116, 195, 173, true, Draw::Key, Bind::A, Pic::velmo2, "", 0},
    {"velmo3", P, 200, 116, 195, 173, true, Draw::Key, Bind::A, Pic::velmo3, "", 0},
    {"spear2", P, 23, 23, 130, 182, false, Draw::Key, Bind::AS, Pic::spear2, "", 0},
    {"spear3", P, 23, 23, 130, 182, false, Draw::Key, Bind::AS, Pic::spear3, "", 0},
    {"waku", P, 200, 240, 0, 215, true, Draw::Stretched, Bind::A, Pic::waku, "", 0},
    {"ikayaki", P, 136, 85, 30, 35, false, Draw::Opaque, Bind::None, Pic::ikayaki, "", 0},
    {"mes1", P, 121, 44, 35, 130, false, Draw::Opaque, Bind::None, Pic::mes1, "", 0},
    {"mes2", P, 98, 32, 45, 175, false, Draw::Opaque, Bind::None, Pic::mes2, "", 0},
    {"over", P, 103, 17, 43, 92, false, Draw::Opaque, Bind::None, Pic::over, "", 0},
    {"awa1", P, 4, 4, 40, 211, false, Draw::Key, Bind::A, Pic::awa, "", 0},
    {"awa2", P, 4, 4, 120, 211, false, Draw::Key, Bind::A, Pic::awa, "", 0},
};

}  // namespace

Screen::Screen(TextMeasure& font) : caption_("Torvenka"), font_(font) {
    for (int i = 0; i < kItemCount; ++i) {
        const Row& r = kRows[i];
        Item& it = items_[i];
        it.name = r.name;
        it.kind = r.kind;
        it.left = r.left;
        it.top = r.top;
        it.width = r.w;
        it.height = r.h;
        it.visible = r.visible;
        it.draw = r.draw;
        it.bind = r.bind;
        it.pic = r.pic == kNone ? nullptr : &picture(r.pic);
        it.color = r.color;
        if (it.pic && it.draw != Draw::Stretched) {
            it.width = it.pic->w;
            it.height = it.pic->h;
        }
        if (r.kind == Kind::Label) setText(static_cast<Id>(i), r.text);
    }
    dirty_ = true;
}

void Screen::touch(Id id) {
    // Only a change to something that may be seen needs a repaint.
    if (items_[idx(id)].visible) dirty_ = true;
}

void Screen::setVisible(Id id, bool v) {
    Item& it = items_[idx(id)];
    if (it.visible != v) {
        it.visible = v;
        dirty_ = true;
    }
}

void Screen::setLeft(Id id, int left) {
    Item& it = items_[idx(id)];
    if (it.left != left) {
        it.left = left;
        touch(id);
    }
}

void Screen::setTop(Id id, int top) {
    Item& it = items_[idx(id)];
    if (it.top != top) {
        it.top = top;
        touch(id);
    }
}

void Screen::copyPicture(Id to, Id from) {
    Item& dst = items_[idx(to)];
    const Picture* p = items_[idx(from)].pic;
    dst.pic = p;
    if (p && dst.draw != Draw::Stretched) {
        dst.width = p->w;
        dst.height = p->h;
    }
    touch(to);
}

void Screen::setText(Id id, const std::string& text) {
    Item& it = items_[idx(id)];
    if (it.text == text && it.width > 0) return;
    it.text = text;
    // A label takes the size of its text; left and top stay, so it grows right.
    auto [w, h] = font_.measure(text);
    it.width = w;
    it.height = h;
    touch(id);
}

void Screen::setColor(Id id, uint32_t rgb) {
    Item& it = items_[idx(id)];
    if (it.color != rgb) {
        it.color = rgb;
        touch(id);
    }
}

void Screen::setCaption(const std::string& c) {
    if (caption_ != c) {
        caption_ = c;
        dirty_ = true;  // the window picks the caption up with its next repaint
    }
}
