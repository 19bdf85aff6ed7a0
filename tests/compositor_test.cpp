// The headless compositor and the PNG writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "screen/bitmaps.h"
#include "screen/compositor.h"
#include "screen/fixed_font.h"
#include "devkit/png_writer.h"

namespace {

constexpr uint32_t kGuard = 0xDEADBE;
constexpr int kMargin = 8;

// The client area inside a guard band: nothing may be drawn outside it.
struct Frame {
    int pitch = kClientW + 2 * kMargin;
    std::vector<uint32_t> buf = std::vector<uint32_t>(static_cast<size_t>(pitch) * (kClientH + 2 * kMargin), kGuard);
    uint32_t* out() { return buf.data() + kMargin * pitch + kMargin; }
    uint32_t at(int x, int y) const { return buf[static_cast<size_t>(y + kMargin) * pitch + x + kMargin]; }
    void fill(uint32_t c) {
        for (int y = 0; y < kClientH; ++y)
            for (int x = 0; x < kClientW; ++x) out()[y * pitch + x] = c;
    }
    bool guardIntact() const {
        for (int y = -kMargin; y < kClientH + kMargin; ++y)
            for (int x = -kMargin; x < kClientW + kMargin; ++x)
                if ((x < 0 || y < 0 || x >= kClientW || y >= kClientH) && at(x, y) != kGuard) return false;
        return true;
    }
};

Frame composed(const Playfield& s, TextRaster& font) {
    Frame f;
    compose(s, font, f.out(), f.pitch);
    return f;
}

// A picture whose every pixel tells where it came from (never black).
Bitmap coded(int w, int h) {
    Bitmap p;
    p.w = w;
    p.h = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.px.push_back(0x800000u | static_cast<uint32_t>(y) << 8 | static_cast<uint32_t>(x));
    return p;
}
uint32_t code(int x, int y) { return 0x800000u | static_cast<uint32_t>(y) << 8 | static_cast<uint32_t>(x); }



// A hand-made mask: one row of coverage values.
class RowFont : public TextRaster {
public:
    std::vector<uint8_t> cov{0, 128, 255, 51};
    std::pair<int, int> measure(const std::string&) override { return {4, 1}; }
    TextMask raster(const std::string&) override { return {4, 1, cov.data()}; }
};

// The first client pixel where both items' pictures are opaque and differ.
std::optional<std::pair<int, int>> overlap(const Playfield& s, Item a, Item b) {
    const ItemState &A = s[a], &B = s[b];
    for (int y = 0; y < kClientH; ++y)
        for (int x = 0; x < kClientW; ++x) {
            const int ax = x - A.left, ay = y - A.top, bx = x - B.left, by = y - B.top;
            if (ax < 0 || ay < 0 || ax >= bitmap(A.picture).w || ay >= bitmap(A.picture).h) continue;
            if (bx < 0 || by < 0 || bx >= bitmap(B.picture).w || by >= bitmap(B.picture).h) continue;
            const uint32_t pa = bitmap(A.picture).at(ax, ay), pb = bitmap(B.picture).at(bx, by);
            if (pa != bitmap(A.picture).key() && pb != bitmap(B.picture).key() && pa != pb) return std::make_pair(x, y);
        }
    return std::nullopt;
}

}  // namespace

TEST(Compositor, KeyColourShowsWhatIsBeneath) {
    // The key is the bottom-left pixel, whatever its colour: here green, so
    // the blue pixel is drawn and the green ones are not.
    Bitmap p;
    p.w = 3;
    p.h = 2;
    p.px = {0x00FF00, 0x0000FF, 0x123456, 0x00FF00, 0xFFFFFF, 0x00FF00};
    FixedFont font;
    Frame f;
    f.fill(0x777777);
    drawBitmap(p, Draw::Keyed, 10, 20, 3, 2, f.out(), f.pitch);
    EXPECT_EQ(f.at(10, 20), 0x777777u);
    EXPECT_EQ(f.at(11, 20), 0x0000FFu);
    EXPECT_EQ(f.at(12, 20), 0x123456u);
    EXPECT_EQ(f.at(10, 21), 0x777777u);
    EXPECT_EQ(f.at(11, 21), 0xFFFFFFu);
    EXPECT_EQ(f.at(12, 21), 0x777777u);

    // The octopus over the sea: the sea shows through every key pixel.
    Playfield s(font);
    s.hide(Item::titleWordShadow);
    s.hide(Item::titleWord);
    s.show(Item::sea);
    s.move(creatureSprite(CreatureKind::Octopus, Lane::White), 88, 75);
    const Frame sea = composed(s, font);
    s.show(creatureSprite(CreatureKind::Octopus, Lane::White));
    const Frame both = composed(s, font);
    const Bitmap& t = bitmap(s[creatureSprite(CreatureKind::Octopus, Lane::White)].picture);
    int keyed = 0;
    for (int y = 0; y < t.h; ++y)
        for (int x = 0; x < t.w; ++x) {
            const bool key = t.at(x, y) == t.key();
            keyed += key;
            ASSERT_EQ(both.at(88 + x, 75 + y), key ? sea.at(88 + x, 75 + y) : t.at(x, y)) << x << "," << y;
        }
    EXPECT_GT(keyed, 0);
}

TEST(Compositor, StretchesByNearestNeighbour) {
    FixedFont font;
    // The sea: 66 x 1056 into 194 x 3200; picture column = x * 66 / 194,
    // row = box row * 1056 / 3200, both rounded down.
    const Bitmap sea = coded(66, 1056);
    Frame f;
    drawBitmap(sea, Draw::Stretched, 0, 0, 194, 3200, f.out(), f.pitch);
    EXPECT_EQ(f.at(0, 0), code(0, 0));
    EXPECT_EQ(f.at(2, 3), code(0, 0));
    EXPECT_EQ(f.at(3, 4), code(1, 1));
    EXPECT_EQ(f.at(97, 100), code(33, 33));
    EXPECT_EQ(f.at(100, 214), code(34, 70));
    EXPECT_EQ(f.at(193, 214), code(65, 70));
    drawBitmap(sea, Draw::Stretched, 0, -3000, 194, 3200, f.out(), f.pitch);
    EXPECT_EQ(f.at(5, 0), code(1, 990));
    EXPECT_EQ(f.at(193, 199), code(65, 1055));
    // Every picture column is repeated 2 or 3 times and none is dropped.
    int runs = 0, run = 1;
    for (int x = 1; x <= kClientW; ++x) {
        if (x < kClientW && f.at(x, 10) == f.at(x - 1, 10)) {
            ++run;
            continue;
        }
        EXPECT_TRUE(run == 2 || run == 3) << "column " << x;
        ++runs;
        run = 1;
    }
    EXPECT_EQ(runs, 66);

    // The curtain: 6 x 6 into 200 x 240 at top -1.
    const Bitmap curtain = coded(6, 6);
    drawBitmap(curtain, Draw::Stretched, 0, -1, 200, 240, f.out(), f.pitch);
    EXPECT_EQ(f.at(33, 37), code(0, 0));
    EXPECT_EQ(f.at(34, 38), code(1, 0));
    EXPECT_EQ(f.at(34, 39), code(1, 1));
    EXPECT_EQ(f.at(193, 214), code(5, 5));
    EXPECT_TRUE(f.guardIntact());

    // The game's own sea item uses its 194 x 3200 box.
    Playfield s(font);
    s.show(Item::sea);
    s.setTop(Item::sea, -1000);
    const Bitmap& b = bitmap(s[Item::sea].picture);
    const Frame g = composed(s, font);
    EXPECT_EQ(g.at(193, 0), b.at(65, 330));
    EXPECT_EQ(g.at(50, 150), b.at(17, 379));
}

TEST(Compositor, ClipsToTheClientArea) {
    FixedFont font;
    const Bitmap p = coded(20, 20);
    Frame f;
    f.fill(0);
    for (auto [l, t] : {std::pair{-5, 200}, {185, -7}, {-19, -19}, {193, 214}, {100000, 5}, {-100000, -5}})
        for (Draw d : {Draw::Opaque, Draw::Keyed})
            drawBitmap(p, d, l, t, 20, 20, f.out(), f.pitch);
    EXPECT_TRUE(f.guardIntact());
    EXPECT_EQ(f.at(0, 200), code(5, 0));
    EXPECT_EQ(f.at(14, 214), code(19, 14));
    EXPECT_EQ(f.at(15, 214), 0u);
    EXPECT_EQ(f.at(193, 0), code(8, 7));
    EXPECT_EQ(f.at(0, 0), code(19, 19));
    EXPECT_EQ(f.at(1, 1), 0u);

    // The sea's bottom edge: from top -2986 the last row is bare window, and
    // at -3200 no sea is left at all.
    Playfield s(font);
    s.hide(Item::titleWordShadow);
    s.hide(Item::titleWord);
    s.show(Item::sea);
    s.show(Item::titleWord);
    s.move(Item::titleWord, 185, 210);  // a label hanging out at the corner
    s.setTop(Item::sea, -2986);
    const Bitmap& b = bitmap(s[Item::sea].picture);
    Frame g = composed(s, font);
    EXPECT_TRUE(g.guardIntact());
    EXPECT_EQ(g.at(0, 213), b.at(0, 1055));
    EXPECT_EQ(g.at(100, 214), kBlack);
    EXPECT_EQ(g.at(187, 212), kWhite);  // the label's first glyph, clipped
    s.hide(Item::titleWord);
    s.setTop(Item::sea, -3200);
    g = composed(s, font);
    for (int y = 0; y < kClientH; ++y)
        for (int x = 0; x < kClientW; ++x) ASSERT_EQ(g.at(x, y), kBlack) << x << "," << y;
}

TEST(Compositor, DrawsInCatalogueOrder) {
    FixedFont font;
    Playfield s(font);
    s.hide(Item::titleWordShadow);
    s.hide(Item::titleWord);
    s.show(Item::sea);
    s.copyPicture(Item::cardSlot2, cardHolder(CardFace::FaceDown));
    s.show(Item::cardSlot2);
    // The octopus sits on the middle card: lane 1 under it, lane 2 over it.
    for (Item id : {creatureSprite(CreatureKind::Octopus, Lane::White), creatureSprite(CreatureKind::Octopus, Lane::Cyan)}) s.move(id, 88, 75);
    s.show(creatureSprite(CreatureKind::Octopus, Lane::White));
    auto p = overlap(s, creatureSprite(CreatureKind::Octopus, Lane::White), Item::cardSlot2);
    ASSERT_TRUE(p);
    EXPECT_EQ(composed(s, font).at(p->first, p->second), bitmap(s[Item::cardSlot2].picture).at(p->first - 71, p->second - 75));
    s.hide(creatureSprite(CreatureKind::Octopus, Lane::White));
    s.show(creatureSprite(CreatureKind::Octopus, Lane::Cyan));
    p = overlap(s, creatureSprite(CreatureKind::Octopus, Lane::Cyan), Item::cardSlot2);
    ASSERT_TRUE(p);
    EXPECT_EQ(composed(s, font).at(p->first, p->second), bitmap(s[creatureSprite(CreatureKind::Octopus, Lane::Cyan)].picture).at(p->first - 88, p->second - 75));

    // A label pair: the red shadow copy, one pixel right and down, lies under
    // the white front copy. Block glyphs cover x 1..10, y 2..10 of a cell.
    s.setText(Item::lifeCaptionShadow, "命：");
    s.setText(Item::lifeCaption, "命：");
    s.show(Item::lifeCaptionShadow);
    s.show(Item::lifeCaption);
    const Frame f = composed(s, font);
    EXPECT_EQ(f.at(10, 170), kWhite);  // both copies
    EXPECT_EQ(f.at(5, 166), kWhite);   // front only
    EXPECT_EQ(f.at(15, 170), kRed);    // the shadow's right rim
    EXPECT_EQ(f.at(10, 175), kRed);    // the shadow's bottom rim
    EXPECT_EQ(f.at(4, 164), bitmap(s[Item::sea].picture).at(1, 54));  // no background
}

TEST(Compositor, TitleScreenShowsOnlyTheTitleWord) {
    FixedFont font;
    Playfield s(font);
    for (Item id : {creatureSprite(CreatureKind::GiantSquid, Lane::White), creatureSprite(CreatureKind::GiantSquid, Lane::Cyan), creatureSprite(CreatureKind::GiantSquid, Lane::Red), Item::curtain}) ASSERT_TRUE(s.visible(id));
    const Frame f = composed(s, font);
    EXPECT_TRUE(f.guardIntact());
    const TextMask m = font.raster("潜行");
    auto ink = [&](int x, int y) { return x >= 0 && y >= 0 && x < m.w && y < m.h && m.cov[y * m.w + x]; };
    int white = 0, red = 0;
    for (int y = 0; y < kClientH; ++y)
        for (int x = 0; x < kClientW; ++x) {
            const uint32_t want = ink(x - 83, y - 95) ? kWhite : ink(x - 84, y - 96) ? kRed : kBlack;
            ASSERT_EQ(f.at(x, y), want) << x << "," << y;
            white += want == kWhite;
            red += want == kRed;
        }
    EXPECT_GT(white, 100);
    EXPECT_GT(red, 10);
}

TEST(Compositor, BlendsTextCoverageAndSkipsEmptyItems) {
    RowFont font;
    ItemState label{};
    label.draw = Draw::Text;
    label.visible = true;
    label.text = "x";
    label.color = kRed;
    label.left = 10;
    label.top = 10;
    Frame f;
    f.fill(kKeyBlue);
    drawItem(label, font, f.out(), f.pitch);
    EXPECT_EQ(f.at(10, 10), kKeyBlue);  // no coverage: untouched
    EXPECT_EQ(f.at(11, 10), 0x80007Fu);
    EXPECT_EQ(f.at(12, 10), kRed);
    EXPECT_EQ(f.at(13, 10), 0x3300CCu);

    // Hidden items and pictureless card slots draw nothing.
    FixedFont ff;
    Playfield s(ff);
    s.show(Item::sea);
    const Frame before = composed(s, ff);
    s.show(Item::cardSlot1);
    s.setVisible(creatureSprite(CreatureKind::Octopus, Lane::White), false);
    s.move(creatureSprite(CreatureKind::Octopus, Lane::White), 0, 0);
    EXPECT_EQ(composed(s, ff).buf, before.buf);
}

TEST(PngWriter, WritesWhatADecoderReadsBack) {
    // Big enough for two stored blocks; a pitch wider than the picture.
    const int w = 200, h = 120, pitch = 203;
    std::vector<uint32_t> px(static_cast<size_t>(pitch) * h, 0xFFFFFF);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<size_t>(y) * pitch + x] = static_cast<uint32_t>(x * 0x010203 + y * 0x050000) & 0xFFFFFF;
    const std::string png = std::string(TORVENKA_BINARY_DIR) + "/compositor_test.png";
    const std::string ppm = std::string(TORVENKA_BINARY_DIR) + "/compositor_test.ppm";
    ASSERT_TRUE(writePng(png, px.data(), w, h, pitch));
    if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick not installed";
    ASSERT_EQ(std::system(("convert " + png + " -depth 8 ppm:" + ppm).c_str()), 0);
    std::ifstream in(ppm, std::ios::binary);
    std::string magic;
    int rw = 0, rh = 0, maxv = 0;
    in >> magic >> rw >> rh >> maxv;
    in.get();
    ASSERT_EQ(magic, "P6");
    ASSERT_EQ(rw, w);
    ASSERT_EQ(rh, h);
    ASSERT_EQ(maxv, 255);
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    ASSERT_TRUE(in);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* c = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            ASSERT_EQ(static_cast<uint32_t>(c[0] << 16 | c[1] << 8 | c[2]), px[static_cast<size_t>(y) * pitch + x])
                << x << "," << y;
        }
    std::remove(png.c_str());
    std::remove(ppm.c_str());
}
