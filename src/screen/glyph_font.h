// The game's font drawn from a glyph table instead of SDL_ttf: the same
// widths and the same pixels as the desktop font for every character the
// table holds.
#pragma once
#include <string>
#include <vector>

#include "screen/compositor.h"
#include "screen/glyph_table.h"

// The next character of a UTF-8 text from byte i on, moving i past it. A
// byte that does not start a well-formed character reads as U+FFFD and moves
// i by one.
char32_t nextCodePoint(const std::string& utf8, size_t& i);

class GlyphFont : public TextRaster {
public:
    explicit GlyphFont(const GlyphTable& table) : table_(table) {}

    // The sum of the characters' advances, and the table's line height.
    std::pair<int, int> measure(const std::string& utf8) override;
    // Each character's ink at its pen position; as wide as measure() says,
    // and a row taller for each row that ink reaches below the line. A
    // character missing from the table (or a malformed byte) draws the
    // face's missing-glyph box with its advance, as SDL_ttf draws a character
    // the face lacks: a label that needs a new character shows that it is
    // missing instead of silently closing up. The mask lives until the next
    // call.
    TextMask raster(const std::string& utf8) override;

    const Glyph& glyph(char32_t code) const;

private:
    const GlyphTable& table_;
    std::vector<uint8_t> cov_;
};
