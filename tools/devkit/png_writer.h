// A small PNG encoder for screenshots, the contact sheet and the icons:
// 8-bit RGB or RGBA, packed with zlib.
#pragma once
#include <cstdint>
#include <cstddef>
#include <string>

// Writes a picture to a PNG file; false if the file cannot be written.
// px: w x h pixels 0x00RRGGBB, top row first, pitch in pixels.
bool writePng(const std::string& path, const uint32_t* px, int w, int h, int pitch);
// The same with the alpha channel taken from the top byte (0xAARRGGBB).
bool writeRgbaPng(const std::string& path, const uint32_t* px, int w, int h, int pitch);

// The checksums PNG and zlib use, exposed for tests and other tools.
uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc = 0);
uint32_t adler32(const uint8_t* data, size_t n, uint32_t adler = 1);
