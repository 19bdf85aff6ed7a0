// The committed glyph table, held against the SDL_ttf font it is baked from:
// the game draws its words from the table, so the table must show the very
// same pixels as SDL_ttf draws with the game's face, and be what glyphbake
// makes now. Where the face is not installed there is nothing to hold it to.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/texts.h"
#include "glyphbake/bake.h"
#include "screen/compositor.h"
#include "screen/glyph_font.h"
#include "snapshot/states.h"
#include "ttf_font/sdl_font.h"

namespace {

class GlyphFontTest : public testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kGameFace.file))
            GTEST_SKIP() << "no " << kGameFace.file << " (package " << kGameFace.package
                         << "): the glyph table cannot be held to SDL_ttf here";
        std::string err;
        ttf = SdlFont::open(kGameFace, &err);
        ASSERT_TRUE(ttf) << err;
    }
    std::unique_ptr<SdlFont> ttf;
    GlyphFont glyphs{kBakedGlyphs};
};

std::vector<uint32_t> composed(const SnapshotState& st, int variant, TextRaster& font) {
    Playfield s(font);
    st.build(s, variant);
    std::vector<uint32_t> px(static_cast<size_t>(kClientW) * kClientH, 0xDEADBE);
    compose(s, font, px.data(), kClientW);
    return px;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

TEST_F(GlyphFontTest, DrawsEveryScreenOfTheSnapshotToolLikeTheTtfFont) {
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

TEST_F(GlyphFontTest, MeasuresAndDrawsEveryTextLikeTheTtfFont) {
    // Every label text of the snapshot screens, every text and character the
    // game writes, every number up to 9999, and characters the face lacks,
    // which both fonts draw as the face's missing-glyph box.
    std::set<std::string> texts = {"", "UP !!", "オクトパス\xF0\x9F\x90\x99", "\xEF\xBF\xBF" "9"};
    for (const SnapshotState& st : snapshotStates())
        for (int v = 0; v < st.variants; ++v) {
            Playfield s(*ttf);
            st.build(s, v);
            for (const ItemState& it : s.items())
                if (it.draw == Draw::Text) texts.insert(it.text);
        }
    for (const std::string& text : everyGameText()) {
        texts.insert(text);
        for (size_t i = 0; i < text.size();) {
            const size_t from = i;
            nextCodePoint(text, i);
            texts.insert(text.substr(from, i - from));
        }
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

// A table that glyphbake would make differently now (a text of the game
// gained a character, or the tool changed) is stale, even where it still
// draws what the screens above show.
TEST_F(GlyphFontTest, TheCommittedTableIsWhatGlyphbakeMakesNow) {
    const BakedTable baked = bakeGlyphTable(*ttf, gameCharacters());
    ASSERT_FALSE(baked.source.empty()) << baked.error;
    std::ifstream in(std::string(TORVENKA_SOURCE_DIR) + "/" + kGlyphTableFile, std::ios::binary);
    const std::string committed{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (committed == baked.source) return;
    const std::vector<std::string> have = linesOf(committed), want = linesOf(baked.source);
    size_t line = 0;
    while (line < have.size() && line < want.size() && have[line] == want[line]) ++line;
    ADD_FAILURE() << kGlyphTableFile << " is not what glyphbake makes now; make it again with `" << kGlyphBakeCommand
                  << "` and commit it. First difference at line " << line + 1 << ":\n  committed: "
                  << (line < have.size() ? have[line] : "(end of file)")
                  << "\n  baked now: " << (line < want.size() ? want[line] : "(end of file)");
}
