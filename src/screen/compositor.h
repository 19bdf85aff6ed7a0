// Composes the client area: black, then every visible item in drawing order,
// clipped to the client area. Renders into a plain buffer, so the same code
// serves the window, the tests and the snapshot tool.
#pragma once
#include <cstdint>
#include <string>

#include "core/playfield.h"

// An 8-bit coverage mask of one line of text, w x h, top row first.
struct TextMask {
    int w = 0, h = 0;
    const uint8_t* cov = nullptr;
};

// The game's font: it measures label texts and rasterises them.
class TextRaster : public TextMeasure {
public:
    virtual TextMask raster(const std::string& utf8) = 0;
};

// out: kClientW x kClientH pixels 0x00RRGGBB, pitch in pixels.
void compose(const Playfield& s, TextRaster& font, uint32_t* out, int pitch);
// One item as compose() draws it, over what out already holds, clipped to
// the client area; nothing if it is hidden or has no picture.
void drawItem(const ItemState& it, TextRaster& font, uint32_t* out, int pitch);
// A picture drawn as an item with that mode, box and position would be.
struct Bitmap;
void drawBitmap(const Bitmap& p, Draw mode, int left, int top, int w, int h, uint32_t* out, int pitch);
