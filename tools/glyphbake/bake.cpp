#include "bake.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

#include "core/texts.h"
#include "screen/glyph_font.h"

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
bool bake(SdlFont& font, char32_t code, Baked& out, Glyph& g, std::string& error) {
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
        char what[96];
        std::snprintf(what, sizeof what, "U+%04X is %d x %d pixels, too big for the table",
                      static_cast<unsigned>(code), advance, m.h);
        error = what;
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

void writeGlyph(std::ostream& out, const Glyph& g) {
    out << "{0x" << std::hex << static_cast<unsigned>(g.code) << std::dec << ", " << int(g.advance) << ", "
        << int(g.left) << ", " << int(g.top) << ", " << int(g.w) << ", " << int(g.h) << ", " << g.bits << "}";
}

std::string sourceOf(const Baked& baked, const FontFace& face) {
    std::ostringstream out;
    out << "// The game's font as data: every character the game writes, drawn from\n// " << face.family << " ("
        << std::filesystem::path(face.file).filename().string()
        << ") at 12 pixels, one bit a pixel. Made by tools/glyphbake\n// (" << kGlyphBakeCommand
        << "): change the game's texts or\n// the tool, never this file.\n"
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
    return out.str();
}

}  // namespace

std::set<char32_t> gameCharacters() {
    std::set<char32_t> codes;
    for (const std::string& text : everyGameText())
        for (size_t i = 0; i < text.size();) codes.insert(nextCodePoint(text, i));
    return codes;
}

BakedTable bakeGlyphTable(SdlFont& font, const std::set<char32_t>& codes) {
    BakedTable result;
    Baked baked;
    baked.lineHeight = font.measure("").second;
    for (char32_t c : codes) {
        Glyph g;
        if (!bake(font, c, baked, g, result.error)) return result;
        baked.glyphs.push_back(g);
    }
    if (!bake(font, kNoCharacter, baked, baked.missing, result.error)) return result;
    const GlyphTable table = baked.table(font.face().family);
    GlyphFont glyphs(table);

    std::string all;
    for (char32_t a : codes) all += utf8Of(a);
    std::vector<std::string> texts = {all, utf8Of(kNoCharacter)};
    for (char32_t a : codes) {
        texts.push_back(utf8Of(a));
        for (char32_t b : codes) texts.push_back(utf8Of(a) + utf8Of(b));
    }
    for (const std::string& t : texts)
        if (!sameDrawing(font, glyphs, t)) {
            result.error = "the table draws \"" + t + "\" unlike " + font.face().family +
                           " does (kerning or ink over the advance?)";
            return result;
        }
    result.source = sourceOf(baked, font.face());
    result.glyphs = baked.glyphs.size();
    result.texts = texts.size();
    return result;
}
