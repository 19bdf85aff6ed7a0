// A minimal PNG writer: 8-bit RGB, no interlace.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// px: w x h pixels 0x00RRGGBB, row-major. Returns false if the file could
// not be written.
bool writePng(const std::string& path, int w, int h, const std::vector<uint32_t>& px);
