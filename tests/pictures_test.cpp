#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <string>

#include "core/lane.h"
#include "screen/bitmaps.h"

namespace {

std::set<uint32_t> colours(const Bitmap& p) { return {p.px.begin(), p.px.end()}; }

double share(const Bitmap& p, uint32_t c) {
    return static_cast<double>(std::count(p.px.begin(), p.px.end(), c)) / static_cast<double>(p.px.size());
}

}  // namespace

// Every picture is drawn as the catalogue has it: exactly as big as the rules
// take it to be (the routing and the layout depend on it), see-through in
// the key colour only if it is keyed, and drawn once and kept.
TEST(Pictures, EachIsAsTheCatalogueSays) {
    for (const PictureRow& row : kPictures) {
        const Bitmap& p = bitmap(row.picture);
        EXPECT_EQ(p.w, row.size.w) << row.name;
        EXPECT_EQ(p.h, row.size.h) << row.name;
        EXPECT_EQ(p.px.size(), static_cast<size_t>(p.w) * p.h) << row.name;
        if (row.keyed)
            EXPECT_EQ(p.key(), kKeyBlue) << row.name;
        else
            EXPECT_EQ(std::count(p.px.begin(), p.px.end(), kKeyBlue), 0) << row.name;
        EXPECT_EQ(&bitmap(row.picture), &p) << row.name;
    }
}

TEST(Pictures, CardsAndTheBubbleAreKeyedOnlyAroundTheirEdges) {
    // A card is key blue only in its four rounded-off corners.
    for (const CardFaceRow& face : kCardFaces) {
        const Picture c = cardPicture(face.face);
        const Bitmap& p = bitmap(c);
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) {
                if (p.at(x, y) != kKeyBlue) continue;
                const int cx = std::min(x, p.w - 1 - x), cy = std::min(y, p.h - 1 - y);
                EXPECT_LT(cx + cy, 5) << pictureName(c) << " key at " << x << "," << y;
            }
        EXPECT_EQ(p.at(0, 0), kKeyBlue);
        EXPECT_EQ(p.at(p.w - 1, 0), kKeyBlue);
        EXPECT_EQ(p.at(p.w - 1, p.h - 1), kKeyBlue);
    }
    // The bubble: a hollow ring of eight white pixels.
    const Bitmap& bubble = bitmap(Picture::bubble);
    const char* rows[4] = {".oo.", "o..o", "o..o", ".oo."};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(bubble.at(x, y), rows[y][x] == 'o' ? kWhite : kKeyBlue) << x << "," << y;
}

TEST(Pictures, LaneSetsAreOneDrawingInThreeColours) {
    std::vector<std::array<Picture, 3>> sets = {{Picture::spearWhite, Picture::spearCyan, Picture::spearRed}};
    for (const Creature& c : kCreatures)
        sets.push_back({creaturePicture(c.kind, Lane::White), creaturePicture(c.kind, Lane::Cyan),
                        creaturePicture(c.kind, Lane::Red)});
    for (const auto& set : sets) {
        const Picture first = set[0];
        const Bitmap& base = bitmap(first);
        size_t lines = 0;
        for (size_t k = 0; k < set.size(); ++k) {
            const Bitmap& p = bitmap(set[k]);
            EXPECT_EQ(colours(p), (std::set<uint32_t>{kKeyBlue, laneColour(kLanes[k])})) << pictureName(set[k]);
            ASSERT_EQ(p.px.size(), base.px.size());
            for (size_t i = 0; i < p.px.size(); ++i)
                ASSERT_EQ(p.px[i] == kKeyBlue, base.px[i] == kKeyBlue) << pictureName(set[k]) << " pixel " << i;
        }
        for (uint32_t c : base.px) lines += c != kKeyBlue;
        // A line drawing, not a silhouette (the squid's skin is the densest).
        EXPECT_GT(lines, base.px.size() / 20) << pictureName(first);
        EXPECT_LT(lines, base.px.size() / 2) << pictureName(first);
    }
}

TEST(Pictures, SpearSitsInASquareFrame) {
    const Bitmap& s = bitmap(Picture::spearWhite);
    for (int i = 1; i <= 21; ++i) {
        EXPECT_EQ(s.at(i, 1), kWhite);
        EXPECT_EQ(s.at(i, 21), kWhite);
        EXPECT_EQ(s.at(1, i), kWhite);
        EXPECT_EQ(s.at(21, i), kWhite);
    }
    for (int i = 0; i < 23; ++i) {
        EXPECT_EQ(s.at(i, 0), kKeyBlue);
        EXPECT_EQ(s.at(0, i), kKeyBlue);
        EXPECT_EQ(s.at(i, 22), kKeyBlue);
        EXPECT_EQ(s.at(22, i), kKeyBlue);
    }
    // The trident lies along the rising diagonal: its shaft in the lower
    // left, its prongs in the upper right, the other two corners empty.
    auto inside = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) n += s.at(x, y) == kWhite;
        return n;
    };
    EXPECT_GT(inside(2, 12, 10, 20), 12);  // shaft
    EXPECT_GT(inside(12, 2, 20, 10), 16);  // prongs
    EXPECT_EQ(inside(2, 2, 7, 7), 0);
    EXPECT_EQ(inside(15, 15, 20, 20), 0);
}

TEST(Pictures, CardsAreRedOnWhite) {
    std::set<std::vector<uint32_t>> faces;
    for (const CardFaceRow& face : kCardFaces) {
        const Picture c = cardPicture(face.face);
        const Bitmap& p = bitmap(c);
        EXPECT_EQ(colours(p), (std::set<uint32_t>{kWhite, kRed, kKeyBlue})) << pictureName(c);
        // The border runs one pixel inside the edge; the edge itself is white.
        EXPECT_EQ(p.at(25, 0), kWhite);
        EXPECT_EQ(p.at(25, 1), kRed);
        EXPECT_EQ(p.at(0, 25), kWhite);
        EXPECT_EQ(p.at(1, 25), kRed);
        EXPECT_EQ(p.at(48, 25), kRed);
        EXPECT_EQ(p.at(25, 49), kRed);
        // A thick red symbol in the middle.
        int ink = 0;
        for (int y = 8; y < 43; ++y)
            for (int x = 8; x < 42; ++x) ink += p.at(x, y) == kRed;
        EXPECT_GT(ink, 120) << pictureName(c);
        faces.insert(p.px);
    }
    EXPECT_EQ(faces.size(), std::size(kCardFaces));
}

TEST(Pictures, RingAndEndPicturesUseTheirOwnColours) {
    const Bitmap& ring = bitmap(Picture::ring);
    EXPECT_EQ(colours(ring), (std::set<uint32_t>{kWhite, kRed, kKeyBlue}));
    // About ten pixels across, a little above and left of the middle.
    int x0 = 99, x1 = -1, y0 = 99, y1 = -1;
    for (int y = 0; y < ring.h; ++y)
        for (int x = 0; x < ring.w; ++x)
            if (ring.at(x, y) == kWhite) {
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    EXPECT_EQ(x1 - x0 + 1, 10);
    EXPECT_LT(x0 + x1, ring.w - 1);
    EXPECT_LT(y0 + y1, ring.h - 1);

    EXPECT_EQ(colours(bitmap(Picture::curtain)), std::set<uint32_t>{kBlack});
    EXPECT_EQ(colours(bitmap(Picture::grilledSquid)), (std::set<uint32_t>{kBlack, kWhite, kRed, kYellow}));
    for (Picture p : {Picture::biggestSquidMessage, Picture::tastyMessage, Picture::gameOver}) {
        EXPECT_EQ(colours(bitmap(p)), (std::set<uint32_t>{kBlack, kWhite})) << pictureName(p);
        const double white = share(bitmap(p), kWhite);
        EXPECT_GT(white, 0.1) << pictureName(p);
        EXPECT_LT(white, 0.6) << pictureName(p);
    }
}

TEST(Pictures, SquidIsAStreakedHideAroundAnOpenEye) {
    for (Lane l : kLanes) {
        const Picture p = creaturePicture(CreatureKind::GiantSquid, l);
        const double line = 1.0 - share(bitmap(p), kKeyBlue);
        EXPECT_GE(line, 0.35) << pictureName(p);
        EXPECT_LE(line, 0.45) << pictureName(p);
    }
    const Bitmap& v = bitmap(creaturePicture(CreatureKind::GiantSquid, Lane::White));
    // The eye: a big disc at the lower left, cut by the left and bottom
    // edges, almost all key colour, with a few glints.
    int inEye = 0, keyInEye = 0;
    for (int y = 0; y < v.h; ++y)
        for (int x = 0; x < v.w; ++x) {
            const int dx = x - 36, dy = y - 104;
            if (dx * dx + dy * dy > 36 * 36) continue;
            ++inEye;
            keyInEye += v.at(x, y) == kKeyBlue;
        }
    EXPECT_GT(keyInEye, inEye * 9 / 10);
    EXPECT_LT(keyInEye, inEye);
    EXPECT_EQ(v.at(0, v.h - 1), kKeyBlue);
    EXPECT_EQ(v.at(40, v.h - 1), kKeyBlue);
    // Away from the eye the skin is dense: the upper right is half line.
    int line = 0, all = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 120; x < 200; ++x, ++all) line += v.at(x, y) != kKeyBlue;
    EXPECT_GT(line, all * 4 / 10);
    // The streaks run from the upper left to the lower right: a pixel's
    // neighbour down and to the right matches it more often than its
    // neighbour down and to the left.
    int alongDiag = 0, acrossDiag = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 121; x < 199; ++x) {
            alongDiag += v.at(x, y) == v.at(x + 1, y + 1);
            acrossDiag += v.at(x, y) == v.at(x - 1, y + 1);
        }
    EXPECT_GT(alongDiag, acrossDiag);
}

TEST(Pictures, SeaDarkensFromVioletBlueToBlack) {
    const Bitmap& b = bitmap(Picture::sea);
    auto rowMean = [&](int y0, int y1, int x0, int x1, int shift) {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) sum += (b.at(x, y) >> shift) & 0xFF;
        return sum / ((y1 - y0) * (x1 - x0));
    };
    // Open water in the middle of the strip, at the top and the bottom.
    EXPECT_NEAR(rowMean(0, 8, 28, 38, 16), 89, 15);
    EXPECT_NEAR(rowMean(0, 8, 28, 38, 8), 70, 15);
    EXPECT_NEAR(rowMean(0, 8, 28, 38, 0), 251, 20);
    EXPECT_NEAR(rowMean(1048, 1056, 0, 66, 16), 3, 3);
    EXPECT_NEAR(rowMean(1048, 1056, 0, 66, 8), 2, 3);
    EXPECT_NEAR(rowMean(1048, 1056, 0, 66, 0), 10, 4);
    // Darker with every stretch of depth.
    double last = 1e9;
    for (int y = 0; y < 1056; y += 96) {
        const double blue = rowMean(y, y + 96, 28, 38, 0);
        EXPECT_LT(blue, last) << "rows from " << y;
        last = blue;
    }
    // Red-and-purple rock on both walls above, none in the lowest third;
    // green weed on the right wall about halfway down.
    auto count = [&](int y0, int y1, int x0, int x1, auto pred) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const uint32_t c = b.at(x, y);
                n += pred(static_cast<int>(c >> 16), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF));
            }
        return n;
    };
    auto rock = [](int r, int, int bl) { return r > bl && r > 20; };
    auto weed = [](int r, int g, int bl) { return g > r + 20 && g > bl + 20; };
    EXPECT_GT(count(0, 700, 0, 10, rock), 2000);
    EXPECT_GT(count(0, 700, 56, 66, rock), 2000);
    EXPECT_EQ(count(750, 1056, 0, 66, rock), 0);
    EXPECT_GT(count(440, 560, 33, 66, weed), 150);
    EXPECT_EQ(count(750, 1056, 0, 66, weed), 0);
    // Thousands of colours.
    EXPECT_GT(colours(b).size(), 2000u);
}
