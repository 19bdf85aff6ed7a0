// The game's face drawn by SDL_ttf: IPA P Gothic, opened by its path, at a
// 12-pixel character height, one bit per pixel. The game never draws with
// it: its words come from the glyph table (screen/glyph_table.h) that
// tools/glyphbake bakes from this font, and the tests hold that table to it.
// Needs no display.
#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "screen/compositor.h"

typedef struct _TTF_Font TTF_Font;

// The face the glyph table is baked from: IPA P Gothic, the free
// proportional Gothic that stands in for ＭＳ Ｐゴシック, the face the layout
// was made with. Pinned by its path, so that every machine bakes the same
// pixels, whatever other faces it has.
struct FontFace {
    const char* family;
    const char* file;
    const char* package;  // the Debian package that installs the file
};
inline constexpr FontFace kGameFace{"IPAPGothic", "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf",
                                    "fonts-ipafont-gothic"};

class SdlFont : public TextRaster {
public:
    // nullptr (and *error filled in, if given) when the face cannot be
    // opened. One bit per pixel with monochrome hinting: at 12 pixels the
    // kanji stay sharp, every text pixel is the label's own colour like the
    // rest of the pixel art, and the red shadow shows as a clean edge instead
    // of a pink fringe.
    static std::unique_ptr<SdlFont> open(const FontFace& face = kGameFace, std::string* error = nullptr);
    ~SdlFont() override;
    SdlFont(const SdlFont&) = delete;
    SdlFont& operator=(const SdlFont&) = delete;

    // Width of the text in one line (its advance) and the font's line
    // height, 12 pixels at this size.
    std::pair<int, int> measure(const std::string& utf8) override;
    // Coverage mask drawn from the label's left and top. It is as wide as
    // measure() says and at least as high; a glyph that reaches below the
    // line makes it a row taller.
    TextMask raster(const std::string& utf8) override;

    const FontFace& face() const { return face_; }

private:
    SdlFont(TTF_Font* f, const FontFace& face);
    struct Mask {
        int w = 0, h = 0;
        std::vector<uint8_t> cov;
    };
    const Mask& rasterise(const std::string& utf8);

    TTF_Font* font_;
    FontFace face_;
    int lineHeight_;
    std::unordered_map<std::string, std::pair<int, int>> sizes_;
    std::unordered_map<std::string, Mask> masks_;
};
