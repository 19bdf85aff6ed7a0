// glyphbake: bakes the game's font into the glyph table that every front end
// draws its words from (bake.h says how), from IPA P Gothic as SDL_ttf draws
// it, and writes it where the source tree keeps it:
//
//   glyphbake OUTPUT.cpp
//
// The build runs it only when asked (`cmake --build build --target
// glyphbake`, which writes src/screen/glyph_table.cpp): after a label gains a
// character the game never wrote before, or the tool changes. The tests say
// when the committed table is not what it makes.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "glyphbake/bake.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: glyphbake OUTPUT.cpp\n");
        return 2;
    }
    std::string err;
    auto font = SdlFont::open(kGameFace, &err);
    if (!font) {
        std::fprintf(stderr, "glyphbake: %s\n", err.c_str());
        return 1;
    }
    const BakedTable baked = bakeGlyphTable(*font, gameCharacters());
    if (baked.source.empty()) {
        std::fprintf(stderr, "glyphbake: %s; nothing written\n", baked.error.c_str());
        return 1;
    }

    // Written beside the target and moved over it, so that a failed write
    // leaves the old table whole.
    const std::string path = argv[1], temp = path + ".part";
    std::ofstream out(temp, std::ios::binary);
    out << baked.source;
    out.close();
    std::error_code ec;
    if (out) std::filesystem::rename(temp, path, ec);
    if (!out || ec) {
        std::filesystem::remove(temp, ec);
        std::fprintf(stderr, "glyphbake: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("glyphbake: %zu glyphs of %s, checked against SDL_ttf in %zu texts, into %s\n", baked.glyphs,
                font->face().family, baked.texts, path.c_str());
    return 0;
}
