// glyphbake: draws every character the game writes (kGameText) with the
// desktop's font, exactly as the game opens it, and writes the pictures out
// as a plain C++ table for GlyphFont: each character's advance, its ink box
// and its ink one bit a pixel, the line height, and the face's missing-glyph
// box. The table compiles with nothing but its one header, so a front end
// without SDL_ttf (the browser) builds it as it is.
//
//   glyphbake OUTPUT.cpp
//
// Before writing anything it checks that the table draws what SDL_ttf draws:
// every character alone, every pair of characters, and the whole set in one
// line. A face that kerns a pair or lets ink hang over a neighbour cannot be
// told by glyphs placed side by side; glyphbake then says which pair and
// fails, rather than bake a font that draws differently.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "screen/glyph_font.h"
#include "ttf_font/sdl_font.h"

namespace {

// A code point that no face holds (a noncharacter): drawn, it shows the
// face's missing-glyph box, which SDL_ttf draws for every character the face
// lacks.
constexpr char32_t kNoCharacter = 0xFFFF;

std::string utf8Of(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

struct Baked {
    std::vector<Glyph> glyphs;
    Glyph missing{};
    std::vector<uint8_t> bits;
    int lineHeight = 0;

    GlyphTable table(const char* face) const {
        return {face, lineHeight, glyphs.data(), static_cast<int>(glyphs.size()), missing, bits.data()};
    }
};

// One character as the font draws it alone: its advance is the width of the
// text it makes, its ink the inked part of that text's mask.
bool bake(SdlFont& font, char32_t code, Baked& out, Glyph& g) {
    const std::string text = utf8Of(code);
    const int advance = font.measure(text).first;
    const TextMask m = font.raster(text);
    int x0 = m.w, x1 = -1, y0 = m.h, y1 = -1;
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            if (m.cov[static_cast<size_t>(y) * m.w + x]) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    const bool inked = x1 >= 0;
    const int w = inked ? x1 - x0 + 1 : 0, h = inked ? y1 - y0 + 1 : 0;
    if (advance > 255 || m.h > 255) {
        std::fprintf(stderr, "glyphbake: U+%04X is %d x %d pixels, too big for the table\n",
                     static_cast<unsigned>(code), advance, m.h);
        return false;
    }
    g = Glyph{code, static_cast<uint8_t>(advance), static_cast<uint8_t>(inked ? x0 : 0),
              static_cast<uint8_t>(inked ? y0 : 0), static_cast<uint8_t>(w), static_cast<uint8_t>(h),
              static_cast<uint32_t>(out.bits.size())};
    const int rowBytes = (w + 7) / 8;
    for (int y = 0; y < h; ++y) {
        std::vector<uint8_t> row(static_cast<size_t>(rowBytes), 0);
        for (int x = 0; x < w; ++x)
            if (m.cov[static_cast<size_t>(y0 + y) * m.w + x0 + x]) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.bits.insert(out.bits.end(), row.begin(), row.end());
    }
    return true;
}

bool sameDrawing(SdlFont& ttf, GlyphFont& table, const std::string& text) {
    if (ttf.measure(text) != table.measure(text)) return false;
    const TextMask a = ttf.raster(text);
    const std::vector<uint8_t> ink(a.cov, a.cov + static_cast<size_t>(a.w) * a.h);
    const TextMask b = table.raster(text);
    return a.w == b.w && a.h == b.h && std::equal(ink.begin(), ink.end(), b.cov);
}

// A name for a character in a comment of the table: its code point, and the
// character itself where it prints.
std::string nameOf(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    if (c == kNoCharacter) return std::string(code) + " (missing)";
    if (c <= 0x20 || c == '\\' || c == 0x7F) return code;
    return std::string(code) + " " + utf8Of(c);
}

std::string quoted(const std::string& s) {
    std::string q = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + "\"";
}

void writeGlyph(std::ofstream& out, const Glyph& g) {
    out << "{0x" << std::hex << static_cast<unsigned>(g.code) << std::dec << ", " << int(g.advance) << ", "
        << int(g.left) << ", " << int(g.top) << ", " << int(g.w) << ", " << int(g.h) << ", " << g.bits << "}";
}

bool write(const std::string& path, const Baked& baked, const FontFace& face) {
    const std::filesystem::path target(path);
    std::error_code ec;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    const std::string temp = path + ".part";
    std::ofstream out(temp, std::ios::binary);
    out << "// The game's font as data, made by glyphbake from " << face.family << " ("
        << std::filesystem::path(face.file).filename().string() << ", face " << face.index
        << ") at 12 pixels, one bit a pixel.\n"
           "// Made by the build; edit tools/glyphbake instead.\n"
           "#include \"screen/glyph_table.h\"\n\n"
           "namespace {\n\n"
           "const uint8_t kBits[] = {\n";
    auto bitsOf = [&](const Glyph& g) {
        const int n = (g.w + 7) / 8 * g.h;
        out << "    // " << nameOf(g.code) << "\n    ";
        for (int i = 0; i < n; ++i) out << "0x" << std::hex << int(baked.bits[g.bits + i]) << std::dec << ",";
        out << "\n";
    };
    for (const Glyph& g : baked.glyphs)
        if (g.h) bitsOf(g);
    if (baked.missing.h) bitsOf(baked.missing);
    out << "    0,\n};\n\n"
           "const Glyph kGlyphs[] = {\n";
    for (const Glyph& g : baked.glyphs) {
        out << "    ";
        writeGlyph(out, g);
        out << ",  // " << nameOf(g.code) << "\n";
    }
    out << "};\n\n}  // namespace\n\n"
           "const GlyphTable kBakedGlyphs = {" << quoted(face.family) << ", " << baked.lineHeight << ", kGlyphs, "
        << baked.glyphs.size() << ", ";
    writeGlyph(out, baked.missing);
    out << ", kBits};\n";
    out.close();
    if (!out) return false;
    std::filesystem::rename(temp, target, ec);
    return !ec;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: glyphbake OUTPUT.cpp\n");
        return 2;
    }
    std::string err;
    auto font = SdlFont::open(&err);
    if (!font) {
        std::fprintf(stderr, "glyphbake: %s\n", err.c_str());
        return 1;
    }

    const std::string gameText = kGameText;
    std::set<char32_t> codes;
    for (size_t i = 0; i < gameText.size();) codes.insert(nextCodePoint(gameText, i));

    Baked baked;
    baked.lineHeight = font->measure("").second;
    for (char32_t c : codes) {
        Glyph g;
        if (!bake(*font, c, baked, g)) return 1;
        baked.glyphs.push_back(g);
    }
    if (!bake(*font, kNoCharacter, baked, baked.missing)) return 1;
    const std::string family = font->face().family;
    const GlyphTable table = baked.table(family.c_str());
    GlyphFont glyphs(table);

    std::vector<std::string> texts = {gameText, utf8Of(kNoCharacter)};
    for (char32_t a : codes) {
        texts.push_back(utf8Of(a));
        for (char32_t b : codes) texts.push_back(utf8Of(a) + utf8Of(b));
    }
    for (const std::string& t : texts)
        if (!sameDrawing(*font, glyphs, t)) {
            std::fprintf(stderr,
                         "glyphbake: the table draws \"%s\" unlike %s does (kerning or ink over the advance?); "
                         "nothing written\n",
                         t.c_str(), font->face().family.c_str());
            return 1;
        }

    if (!write(argv[1], baked, font->face())) {
        std::fprintf(stderr, "glyphbake: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("glyphbake: %zu glyphs of %s, checked against SDL_ttf in %zu texts, into %s\n", baked.glyphs.size(),
                family.c_str(), texts.size(), argv[1]);
    return 0;
}
