// The pixels of every picture of the game, drawn by the program itself.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/pictures.h"

// Pixels are 0x00RRGGBB, row-major, top row first.
struct Bitmap {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    // The key colour of a transparent picture is its bottom-left pixel.
    uint32_t key() const { return px.empty() ? 0 : at(0, h - 1); }
};

// Drawn once on first use and kept for the life of the program. Drawing
// them all takes a while (over 100 ms in a page): a front end draws every picture before its loop starts, or after
// its title screen's first frame, so that no step of a dive waits for one.
// Not for several threads at once, until every picture is drawn.
const Bitmap& bitmap(Picture p);
void drawEveryPicture();
