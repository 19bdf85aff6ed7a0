// The game's font as data: every character the game writes, drawn once at
// build time by tools/glyphbake with the desktop's font (its face, 12 pixels,
// one bit per pixel), so that a front end without SDL_ttf draws the very same
// pixels. The table itself is generated; this header is all it includes.
#pragma once
#include <cstdint>

// One character. The pen moves `advance` pixels to the right. The ink is a
// w x h box whose top left corner lies `left` pixels right of the pen and
// `top` pixels below the top of the line. Its rows start at GlyphTable::bits
// + `bits`, top row first, each row (w + 7) / 8 bytes with the leftmost pixel
// in the highest bit.
struct Glyph {
    char32_t code;
    uint8_t advance;
    uint8_t left, top, w, h;
    uint32_t bits;
};

struct GlyphTable {
    const char* face;     // the family the glyphs were drawn from
    int lineHeight;       // every line of text is this high, or taller when ink reaches below
    const Glyph* glyphs;  // sorted by code
    int count;
    Glyph missing;        // drawn for a character the table lacks: the face's own missing-glyph box
    const uint8_t* bits;
};

// The table the build bakes (library torvenka_glyphs, which defines it).
extern const GlyphTable kBakedGlyphs;
