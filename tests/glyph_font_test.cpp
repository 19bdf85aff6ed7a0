// The glyph table the build bakes, held against the SDL_ttf font it was baked
// from: a front end that draws with the table must show the very same pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "screen/compositor.h"
#include "screen/glyph_font.h"
#include "snapshot/states.h"
#include "ttf_font/sdl_font.h"

namespace {

std::unique_ptr<SdlFont> openTtf() {
    std::string err;
    auto font = SdlFont::open(&err);
    // No skipping: without the game's face there is nothing to compare with.
    EXPECT_TRUE(font) << err;
    return font;
}

std::vector<uint32_t> composed(const SnapshotState& st, int variant, TextRaster& font) {
    Playfield s(font);
    st.build(s, variant);
    std::vector<uint32_t> px(static_cast<size_t>(kClientW) * kClientH, 0xDEADBE);
    compose(s, font, px.data(), kClientW);
    return px;
}

}  // namespace

TEST(GlyphFontTest, DrawsEveryScreenOfTheSnapshotToolLikeTheTtfFont) {
    auto ttf = openTtf();
    ASSERT_TRUE(ttf);
    GlyphFont glyphs(kBakedGlyphs);
    int screens = 0;
    for (const SnapshotState& st : snapshotStates())
        for (int v = 0; v < st.variants; ++v, ++screens) {
            const std::vector<uint32_t> want = composed(st, v, *ttf);
            const std::vector<uint32_t> got = composed(st, v, glyphs);
            size_t differ = 0, first = want.size();
            for (size_t i = 0; i < want.size(); ++i)
                if (want[i] != got[i]) {
                    ++differ;
                    first = std::min(first, i);
                }
            EXPECT_EQ(differ, 0u) << st.name << " panel " << v << ": first at x " << first % kClientW << " y "
                                  << first / kClientW;
        }
    EXPECT_GT(screens, 20);
}

TEST(GlyphFontTest, MeasuresAndDrawsEveryTextLikeTheTtfFont) {
    auto ttf = openTtf();
    ASSERT_TRUE(ttf);
    GlyphFont glyphs(kBakedGlyphs);

    // Every label text of the snapshot screens, every character the game
    // writes, every number up to 9999, and characters the face lacks, which
    // both fonts draw as the face's missing-glyph box.
    std::set<std::string> texts = {"", "UP !!", "オクトパス\xF0\x9F\x90\x99", "\xEF\xBF\xBF" "9"};
    for (const SnapshotState& st : snapshotStates())
        for (int v = 0; v < st.variants; ++v) {
            Playfield s(*ttf);
            st.build(s, v);
            for (const ItemState& it : s.items())
                if (it.draw == Draw::Text) texts.insert(it.text);
        }
    const std::string all = kGameText;
    for (size_t i = 0; i < all.size();) {
        const size_t from = i;
        nextCodePoint(all, i);
        texts.insert(all.substr(from, i - from));
    }
    for (int n = 0; n < 10000; ++n) texts.insert(std::to_string(n));

    for (const std::string& t : texts) {
        ASSERT_EQ(glyphs.measure(t), ttf->measure(t)) << '"' << t << '"';
        const TextMask a = ttf->raster(t);
        const std::vector<uint8_t> want(a.cov, a.cov + static_cast<size_t>(a.w) * a.h);
        const TextMask b = glyphs.raster(t);
        ASSERT_EQ(b.w, a.w) << '"' << t << '"';
        ASSERT_EQ(b.h, a.h) << '"' << t << '"';
        EXPECT_EQ(std::vector<uint8_t>(b.cov, b.cov + static_cast<size_t>(b.w) * b.h), want) << '"' << t << '"';
    }
}
