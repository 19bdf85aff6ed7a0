// A small PNG encoder for screenshots, the contact sheet and the icons:
// 8-bit RGB or RGBA, packed and checksummed by zlib.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes a picture to a PNG file; false if the file cannot be written.
// px: w x h pixels 0x00RRGGBB, top row first, pitch in pixels.
bool writePng(const std::string& path, const uint32_t* px, int w, int h, int pitch);
// The same with the alpha channel taken from the top byte (0xAARRGGBB).
bool writeRgbaPng(const std::string& path, const uint32_t* px, int w, int h, int pitch);
// The bytes of that RGBA PNG file, for files that hold PNG pictures inside
// (a Windows icon); empty if it cannot be encoded.
std::vector<uint8_t> rgbaPngBytes(const uint32_t* px, int w, int h, int pitch);
