// The game's font: "ＭＳ Ｐゴシック" where the system has it, otherwise a
// proportional Japanese Gothic face, found through fontconfig and drawn with
// SDL_ttf at a 12-pixel character height. Needs no display.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "screen/compositor.h"

typedef struct _TTF_Font TTF_Font;

// How the glyphs are rasterised.
enum class TextStyle {
    Smooth,       // anti-aliased, FreeType's normal hinting
    SmoothLight,  // anti-aliased, light (vertical-only) hinting
    Unhinted,     // anti-aliased, no hinting
    Crisp,        // anti-aliased over outlines hinted for monochrome
    Mono,         // one bit per pixel, hinted for monochrome
};
const char* textStyleName(TextStyle s);

// A face fontconfig found for the game.
struct FontFace {
    std::string family;  // the family name it matched under
    std::string file;
    int index = 0;       // face index inside a collection file
    bool designed = false;  // true for the face the layout was designed with
};

// The face the game uses, or nothing if no installed face can show the
// game's Japanese texts.
std::optional<FontFace> findGameFace();

// Every character the game writes, in one string: a face must hold them all
// to be chosen, and the glyph table is baked from them.
extern const char* const kGameText;

// What to tell the player when findGameFace() finds nothing (the caller
// puts the program name in front).
extern const char* const kNoFontMessage;

class SdlFont : public TextRaster {
public:
    // nullptr (and *error filled in, if given) when no Japanese face is
    // installed or the face cannot be opened. Mono is the game's style: at
    // 12 pixels the kanji stay sharp, every text pixel is the label's own
    // colour like the rest of the pixel art, and the red shadow shows as a
    // clean edge instead of a pink fringe.
    static std::unique_ptr<SdlFont> open(std::string* error = nullptr,
                                         TextStyle style = TextStyle::Mono);
    static std::unique_ptr<SdlFont> open(const FontFace& face, TextStyle style,
                                         std::string* error = nullptr);
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
    TextStyle style() const { return style_; }

private:
    SdlFont(TTF_Font* f, FontFace face, TextStyle style);
    struct Mask {
        int w = 0, h = 0;
        std::vector<uint8_t> cov;
    };
    const Mask& rasterise(const std::string& utf8);

    TTF_Font* font_;
    FontFace face_;
    TextStyle style_;
    int lineHeight_;
    std::unordered_map<std::string, std::pair<int, int>> sizes_;
    std::unordered_map<std::string, Mask> masks_;
};
