// The game's font as data: every character the game writes, drawn from the
// game's face (its 12-pixel glyphs, one bit per pixel) by tools/glyphbake,
// which writes the table into glyph_table.cpp beside this header. Every front
// end draws its words from it, so all show the very same pixels; the table
// needs nothing but this header to compile.
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

// The game's table (glyph_table.cpp, committed with the source).
extern const GlyphTable kBakedGlyphs;

// The command that bakes glyph_table.cpp again from a configured build
// folder, after a text of the game gains a character the table lacks.
inline constexpr char kGlyphBakeCommand[] = "cmake --build build --target glyphbake";
