// PNG files with an alpha channel, for the icons (the game's own writer
// makes opaque RGB screenshots).
#pragma once
#include <string>

#include "icon.h"

// 8-bit RGBA, zlib-compressed. False if the file cannot be written.
bool writeRgbaPng(const std::string& path, const RgbaImage& img);
