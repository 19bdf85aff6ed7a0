// Baking the game's font into data: every character the game writes, drawn
// with the SDL_ttf font exactly as it opens the game's face, written out as
// the C++ source of a glyph table for GlyphFont (screen/glyph_table.h): each
// character's advance, its ink box and its ink one bit a pixel, the line
// height, and the face's missing-glyph box. The table compiles with nothing
// but its one header, so every front end builds it as it is.
//
// tools/glyphbake writes it into the source tree; the tests bake it again and
// hold the committed file to what comes out.
#pragma once
#include <set>
#include <string>

#include "screen/glyph_table.h"
#include "ttf_font/sdl_font.h"

// Where the table lives in the source tree (the command that makes it again
// is kGlyphBakeCommand).
inline constexpr char kGlyphTableFile[] = TORVENKA_GLYPH_TABLE;  // set by tools/glyphbake/CMakeLists.txt

// Every character the game writes: the characters of everyGameText().
std::set<char32_t> gameCharacters();

struct BakedTable {
    std::string source;  // the table's C++ source, empty when baking failed
    std::string error;   // why it failed
    size_t glyphs = 0;   // characters in the table
    size_t texts = 0;    // texts checked against the SDL_ttf font
};

// Bakes the table from the font. Before giving it out it checks that the
// table draws what SDL_ttf draws: every character alone, every pair of
// characters, and the whole set in one line. A face that kerns a pair or
// lets ink hang over a neighbour cannot be told by glyphs placed side by
// side; baking then fails and says which pair, rather than give a table
// that draws differently.
BakedTable bakeGlyphTable(SdlFont& font, const std::set<char32_t>& codes);
