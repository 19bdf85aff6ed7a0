#include "ttf_font/sdl_font.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>

namespace {

// The face the layout was made with, under its Japanese and English names.
const char* const kDesignedFamilies[] = {"ＭＳ Ｐゴシック", "MS PGothic"};
// Asked for first when the designed face is missing; fontconfig's sans-serif
// alias then brings the other Gothic faces before the Mincho ones.
const char* const kFallbackFamilies[] = {"IPAPGothic", "IPA Pゴシック", "sans-serif"};

std::vector<FcChar32> codepoints(const char* utf8) {
    std::vector<FcChar32> out;
    const FcChar8* p = reinterpret_cast<const FcChar8*>(utf8);
    int len = static_cast<int>(std::strlen(utf8));
    while (len > 0) {
        FcChar32 c = 0;
        const int n = FcUtf8ToUcs4(p, &c, len);
        if (n <= 0) break;
        out.push_back(c);
        p += n;
        len -= n;
    }
    return out;
}

bool coversGameText(FcPattern* font) {
    FcCharSet* cs = nullptr;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &cs) != FcResultMatch) return false;
    static const std::vector<FcChar32> needed = codepoints(kGameText);
    for (FcChar32 c : needed)
        if (!FcCharSetHasChar(cs, c)) return false;
    return true;
}

bool speaksJapanese(FcPattern* font) {
    FcLangSet* ls = nullptr;
    if (FcPatternGetLangSet(font, FC_LANG, 0, &ls) != FcResultMatch) return false;
    return FcLangSetHasLang(ls, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual &&
           coversGameText(font);
}

bool isProportional(FcPattern* font) {
    int spacing = FC_PROPORTIONAL;
    FcPatternGetInteger(font, FC_SPACING, 0, &spacing);
    return spacing == FC_PROPORTIONAL;
}

bool isRegular(FcPattern* font) {
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    return weight >= FC_WEIGHT_BOOK && weight <= FC_WEIGHT_MEDIUM && slant == FC_SLANT_ROMAN;
}

bool hasFamily(FcPattern* font, const char* family) {
    FcChar8* s = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &s) == FcResultMatch; ++i)
        if (FcStrCmpIgnoreCase(s, reinterpret_cast<const FcChar8*>(family)) == 0) return true;
    return false;
}

std::optional<FontFace> faceOf(FcPattern* font, bool designed) {
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int index = 0;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
    FcPatternGetString(font, FC_FAMILY, 0, &family);
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    FontFace f;
    f.file = reinterpret_cast<const char*>(file);
    f.family = family ? reinterpret_cast<const char*>(family) : "";
    f.index = index;
    f.designed = designed;
    return f;
}

FcPattern* request(const char* const* families, size_t n) {
    FcPattern* p = FcPatternCreate();
    for (size_t i = 0; i < n; ++i)
        FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(families[i]));
    FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddInteger(p, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(p, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    return p;
}

}  // namespace

// Every character the game writes: the labels, the creature names, the
// values' digits and sign, and the window's captions.
const char* const kGameText =
    "命：酸素ボンベ名前潜行オクトパスクラボスグルナレイム大王イカUP !-0123456789Torvenka☆クリア";

const char* const kNoFontMessage =
    "no Japanese font found; install the package fonts-ipafont-gothic";

const char* textStyleName(TextStyle s) {
    switch (s) {
        case TextStyle::Smooth: return "smooth";
        case TextStyle::SmoothLight: return "smooth-light";
        case TextStyle::Unhinted: return "unhinted";
        case TextStyle::Crisp: return "crisp";
        case TextStyle::Mono: return "mono";
    }
    return "?";
}

std::optional<FontFace> findGameFace() {
    if (!FcInit()) return std::nullopt;
    std::optional<FontFace> found;

    // The designed face, if fontconfig really has it (it substitutes freely,
    // so the family of the match is checked).
    FcPattern* want = request(kDesignedFamilies, 2);
    FcResult res = FcResultNoMatch;
    if (FcPattern* m = FcFontMatch(nullptr, want, &res)) {
        if ((hasFamily(m, kDesignedFamilies[0]) || hasFamily(m, kDesignedFamilies[1])) && speaksJapanese(m))
            found = faceOf(m, true);
        FcPatternDestroy(m);
    }
    FcPatternDestroy(want);
    if (found) return found;

    // Otherwise the best Japanese face in fontconfig's order for a proportional
    // Gothic, preferring proportional, regular-weight faces.
    want = request(kFallbackFamilies, sizeof kFallbackFamilies / sizeof *kFallbackFamilies);
    FcFontSet* set = FcFontSort(nullptr, want, FcFalse, nullptr, &res);
    if (set) {
        FcPattern* best = nullptr;
        int bestScore = -1;
        for (int i = 0; i < set->nfont; ++i) {
            FcPattern* f = set->fonts[i];
            if (!speaksJapanese(f)) continue;
            const int score = (isProportional(f) ? 2 : 0) + (isRegular(f) ? 1 : 0);
            if (score > bestScore) {  // strict: the earlier of equals wins
                best = f;
                bestScore = score;
                if (score == 3) break;
            }
        }
        if (best) found = faceOf(best, false);
        FcFontSetDestroy(set);
    }
    FcPatternDestroy(want);
    return found;
}

std::unique_ptr<SdlFont> SdlFont::open(std::string* error, TextStyle style) {
    const std::optional<FontFace> face = findGameFace();
    if (!face) {
        if (error) *error = kNoFontMessage;
        return nullptr;
    }
    return open(*face, style, error);
}

std::unique_ptr<SdlFont> SdlFont::open(const FontFace& face, TextStyle style, std::string* error) {
    if (TTF_Init() != 0) {
        if (error) *error = std::string("cannot start SDL_ttf: ") + TTF_GetError();
        return nullptr;
    }
    // 12 points at SDL_ttf's 72 dpi: an em of 12 pixels.
    TTF_Font* f = TTF_OpenFontIndex(face.file.c_str(), 12, face.index);
    if (!f) {
        if (error) *error = "cannot open the font " + face.file + ": " + TTF_GetError();
        TTF_Quit();
        return nullptr;
    }
    switch (style) {
        case TextStyle::Smooth: TTF_SetFontHinting(f, TTF_HINTING_NORMAL); break;
        case TextStyle::SmoothLight: TTF_SetFontHinting(f, TTF_HINTING_LIGHT); break;
        case TextStyle::Unhinted: TTF_SetFontHinting(f, TTF_HINTING_NONE); break;
        case TextStyle::Crisp:
        case TextStyle::Mono: TTF_SetFontHinting(f, TTF_HINTING_MONO); break;
    }
    return std::unique_ptr<SdlFont>(new SdlFont(f, face, style));
}

SdlFont::SdlFont(TTF_Font* f, FontFace face, TextStyle style)
    : font_(f), face_(std::move(face)), style_(style), lineHeight_(TTF_FontHeight(f)) {}

SdlFont::~SdlFont() {
    TTF_CloseFont(font_);
    TTF_Quit();
}

std::pair<int, int> SdlFont::measure(const std::string& utf8) {
    auto it = sizes_.find(utf8);
    if (it != sizes_.end()) return it->second;
    if (sizes_.size() > 4096) sizes_.clear();
    int w = 0, h = 0;
    if (utf8.empty() || TTF_SizeUTF8(font_, utf8.c_str(), &w, &h) != 0) w = 0;
    const std::pair<int, int> size{w, lineHeight_};
    sizes_.emplace(utf8, size);
    return size;
}

TextMask SdlFont::raster(const std::string& utf8) {
    const Mask& m = rasterise(utf8);
    return {m.w, m.h, m.cov.data()};
}

const SdlFont::Mask& SdlFont::rasterise(const std::string& utf8) {
    auto it = masks_.find(utf8);
    if (it != masks_.end()) return it->second;
    // A few dozen texts appear in a dive; a runaway caller cannot grow this
    // without bound. Masks handed out earlier are used at once, never kept.
    if (masks_.size() > 4096) masks_.clear();

    Mask m;
    m.w = measure(utf8).first;
    m.h = lineHeight_;
    const SDL_Color white{255, 255, 255, 255};
    SDL_Surface* s = nullptr;
    if (m.w > 0)
        s = style_ == TextStyle::Mono ? TTF_RenderUTF8_Solid(font_, utf8.c_str(), white)
                                      : TTF_RenderUTF8_Blended(font_, utf8.c_str(), white);
    if (s) {
        m.h = std::max(m.h, s->h);
        m.cov.assign(static_cast<size_t>(m.w) * m.h, 0);
        SDL_LockSurface(s);
        const int w = std::min(m.w, s->w);
        for (int y = 0; y < s->h; ++y) {
            const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + static_cast<ptrdiff_t>(y) * s->pitch;
            uint8_t* dst = m.cov.data() + static_cast<size_t>(y) * m.w;
            if (s->format->BytesPerPixel == 1) {
                // Solid: palette index 0 is the background, anything else ink.
                for (int x = 0; x < w; ++x) dst[x] = row[x] ? 255 : 0;
            } else {
                const uint32_t* p = reinterpret_cast<const uint32_t*>(row);
                const uint32_t amask = s->format->Amask;
                const int ashift = s->format->Ashift;
                for (int x = 0; x < w; ++x) dst[x] = static_cast<uint8_t>((p[x] & amask) >> ashift);
            }
        }
        SDL_UnlockSurface(s);
        SDL_FreeSurface(s);
    } else {
        m.cov.assign(static_cast<size_t>(m.w) * m.h, 0);
    }
    return masks_.emplace(utf8, std::move(m)).first->second;
}
