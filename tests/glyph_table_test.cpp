// The committed glyph table, as every front end draws from it: it holds every
// character the game writes, at the game's 12 pixels. (Where SDL_ttf and the
// game's face are installed, glyph_font_test.cpp holds it to them too.)
#include <gtest/gtest.h>

#include <string>

#include "core/texts.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"

TEST(GlyphTable, HoldsEveryCharacterTheGameWrites) {
    GlyphFont font(kBakedGlyphs);
    for (const std::string& text : everyGameText())
        for (size_t i = 0; i < text.size();) {
            const size_t from = i;
            const char32_t code = nextCodePoint(text, i);
            // A character the table lacks would draw as the missing-glyph box.
            EXPECT_NE(&font.glyph(code), &kBakedGlyphs.missing)
                << "\"" << text.substr(from, i - from) << "\" of \"" << text
                << "\" is not in the glyph table: bake it again with `" << kGlyphBakeCommand << "`";
        }
}

TEST(GlyphTable, DrawsTheTitleWordAtTwelvePixels) {
    GlyphFont font(kBakedGlyphs);
    const auto [w, h] = font.measure("潜行");
    EXPECT_NEAR(w, 24, 2);
    EXPECT_EQ(h, 12);
    const TextMask m = font.raster("潜行");
    ASSERT_EQ(m.w, w);
    ASSERT_GE(m.h, h);
    int inked = 0;
    for (int i = 0; i < m.w * m.h; ++i) inked += m.cov[i] > 0;
    EXPECT_GT(inked, 40);
    // A proportional face: narrow characters take less room than wide ones.
    EXPECT_LT(font.measure("!!!!").first, font.measure("UUUU").first);
    EXPECT_GT(font.measure("200").first, font.measure("9").first);
    EXPECT_EQ(font.measure("").first, 0);
}
