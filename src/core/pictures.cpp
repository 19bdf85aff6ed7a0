#include "core/pictures.h"

const char* pictureName(Picture p) {
    static const char* const kNames[kPictureCount] = {
        "faceDownCard", "oxygenCard",  "tanksCard",  "weaponCard", "blankCard",  "sea",
        "octopusWhite", "octopusCyan", "octopusRed", "crabWhite",  "crabCyan",   "crabRed",
        "morayWhite",   "morayCyan",   "morayRed",   "squidWhite", "squidCyan",  "squidRed",
        "spearWhite",   "spearCyan",   "spearRed",   "ring",       "curtain",    "grilledSquid",
        "biggestSquidMessage", "tastyMessage", "gameOver", "bubble",
    };
    const int i = static_cast<int>(p);
    return i >= 0 && i < kPictureCount ? kNames[i] : "none";
}
