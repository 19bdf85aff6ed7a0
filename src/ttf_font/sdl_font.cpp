#include "ttf_font/sdl_font.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>

std::unique_ptr<SdlFont> SdlFont::open(const FontFace& face, std::string* error) {
    if (TTF_Init() != 0) {
        if (error) *error = std::string("cannot start SDL_ttf: ") + TTF_GetError();
        return nullptr;
    }
    // 12 points at SDL_ttf's 72 dpi: an em of 12 pixels.
    TTF_Font* f = TTF_OpenFont(face.file, 12);
    if (!f) {
        if (error)
            *error = std::string("cannot open the font ") + face.file + " (" + TTF_GetError() +
                     "); install the package " + face.package;
        TTF_Quit();
        return nullptr;
    }
    TTF_SetFontHinting(f, TTF_HINTING_MONO);
    return std::unique_ptr<SdlFont>(new SdlFont(f, face));
}

SdlFont::SdlFont(TTF_Font* f, const FontFace& face) : font_(f), face_(face), lineHeight_(TTF_FontHeight(f)) {}

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
    if (m.w > 0) s = TTF_RenderUTF8_Solid(font_, utf8.c_str(), white);
    if (s) {
        m.h = std::max(m.h, s->h);
        m.cov.assign(static_cast<size_t>(m.w) * m.h, 0);
        SDL_LockSurface(s);
        const int w = std::min(m.w, s->w);
        for (int y = 0; y < s->h; ++y) {
            const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + static_cast<ptrdiff_t>(y) * s->pitch;
            uint8_t* dst = m.cov.data() + static_cast<size_t>(y) * m.w;
            // Palette index 0 is the background, anything else ink.
            for (int x = 0; x < w; ++x) dst[x] = row[x] ? 255 : 0;
        }
        SDL_UnlockSurface(s);
        SDL_FreeSurface(s);
    } else {
        m.cov.assign(static_cast<size_t>(m.w) * m.h, 0);
    }
    return masks_.emplace(utf8, std::move(m)).first->second;
}
