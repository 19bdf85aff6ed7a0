// The game's pictures as the rules see them: which picture an item shows and
// how big it is. The pixels themselves are drawn by the screen layer.
#pragma once
#include <cstdint>

enum class Picture : uint8_t {
    faceDownCard, oxygenCard, tanksCard, weaponCard, blankCard,
    sea,
    octopusWhite, octopusCyan, octopusRed,
    crabWhite, crabCyan, crabRed,
    morayWhite, morayCyan, morayRed,
    squidWhite, squidCyan, squidRed,
    spearWhite, spearCyan, spearRed,
    ring, curtain, grilledSquid, biggestSquidMessage, tastyMessage, gameOver, bubble,
    Count,
    None = 0xFF  // an item that shows no picture (an empty card slot)
};
constexpr int kPictureCount = static_cast<int>(Picture::Count);

struct Size {
    int w, h;
};

// Every picture's size in pixels. An item that is not stretched takes the
// size of its picture, so the pointer routing depends on these.
constexpr Size pictureSize(Picture p) {
    switch (p) {
        case Picture::faceDownCard: case Picture::oxygenCard: case Picture::tanksCard:
        case Picture::weaponCard: case Picture::blankCard: return {50, 51};
        case Picture::sea: return {66, 1056};
        case Picture::octopusWhite: case Picture::octopusCyan: case Picture::octopusRed: return {43, 49};
        case Picture::crabWhite: case Picture::crabCyan: case Picture::crabRed: return {106, 92};
        case Picture::morayWhite: case Picture::morayCyan: case Picture::morayRed: return {173, 119};
        case Picture::squidWhite: case Picture::squidCyan: case Picture::squidRed: return {200, 116};
        case Picture::spearWhite: case Picture::spearCyan: case Picture::spearRed: return {23, 23};
        case Picture::ring: return {19, 19};
        case Picture::curtain: return {6, 6};
        case Picture::grilledSquid: return {136, 85};
        case Picture::biggestSquidMessage: return {121, 44};
        case Picture::tastyMessage: return {98, 32};
        case Picture::gameOver: return {103, 17};
        case Picture::bubble: return {4, 4};
        case Picture::Count: case Picture::None: break;
    }
    return {0, 0};
}

// Whether a picture is drawn see-through where it has its key colour (its
// bottom-left pixel's, pure blue). The sea, the curtain and the endings'
// pictures are opaque; the catalogue's draw modes are checked against this.
constexpr bool pictureIsKeyed(Picture p) {
    switch (p) {
        case Picture::sea: case Picture::curtain: case Picture::grilledSquid: case Picture::biggestSquidMessage:
        case Picture::tastyMessage: case Picture::gameOver: case Picture::Count: case Picture::None: return false;
        case Picture::faceDownCard: case Picture::oxygenCard: case Picture::tanksCard: case Picture::weaponCard:
        case Picture::blankCard: case Picture::octopusWhite: case Picture::octopusCyan: case Picture::octopusRed:
        case Picture::crabWhite: case Picture::crabCyan: case Picture::crabRed: case Picture::morayWhite:
        case Picture::morayCyan: case Picture::morayRed: case Picture::squidWhite: case Picture::squidCyan:
        case Picture::squidRed: case Picture::spearWhite: case Picture::spearCyan: case Picture::spearRed:
        case Picture::ring: case Picture::bubble: return true;
    }
    return false;
}

const char* pictureName(Picture p);

// The game's colours, 0xRRGGBB. Lanes are told apart by colour alone: lane 1
// is white, lane 2 cyan, lane 3 red.
constexpr uint32_t kKeyBlue = 0x0000FF;  // see-through in every keyed picture
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kCyan = 0x00FFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kYellow = 0xFFFF00;
constexpr uint32_t kBlack = 0x000000;
