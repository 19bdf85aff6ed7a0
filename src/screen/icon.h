// The icon of the game: on the window, and installed for the desktop (drawn
// by tools/iconexport). Composed from the game's own pictures.
#pragma once
#include <cstdint>
#include <vector>

// Pixels 0xAARRGGBB, row-major, top row first; alpha 0 is see-through.
struct RgbaImage {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
};

// The icon is drawn at a design size of 64 x 64: a patch of the sea, with
// the rock wall and its seaweed at the left, shown at the grain the game
// stretches it to; the white octopus over it at its own size; a square
// with rounded corners.
constexpr int kIconDesign = 64;

// The icon at size x size. The sea and the outline are sampled nearest
// neighbour, so the pixel art stays crisp; when shrinking, a pixel shows the
// octopus if any design pixel under it does, so its one-pixel lines never
// break up.
RgbaImage iconAt(int size);
