// Every picture of the game, drawn by the program itself.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Pixels are 0x00RRGGBB, row-major, top row first.
struct Picture {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    // The key colour of a transparent picture is its bottom-left pixel.
    uint32_t key() const { return px.empty() ? 0 : at(0, h - 1); }
};

enum class Pic : uint8_t {
    card, cardox, cardb, cardwp, cardsk,
    back,
    taco, taco2, taco3,
    cani, cani2, cani3,
    utsu, utsu2, utsu3,
    velmo, velmo2, velmo3,
    spear, spear2, spear3,
    ring, waku, ikayaki, mes1, mes2, over, awa,
    Count
};

constexpr uint32_t kKeyBlue = 0x0000FF;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kCyan = 0x00FFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kYellow = 0xFFFF00;
constexpr uint32_t kBlack = 0x000000;

// Built once on first use and kept for the life of the program.
const Picture& picture(Pic p);
const char* pictureName(Pic p);
