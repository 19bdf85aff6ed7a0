#include "core/pictures.h"

#include <iterator>

#include "core/keyed.h"

namespace {

struct Named {
    Picture picture;
    const char* name;
};
constexpr Named kNames[] = {
    {Picture::faceDownCard, "faceDownCard"},
    {Picture::oxygenCard, "oxygenCard"},
    {Picture::tanksCard, "tanksCard"},
    {Picture::weaponCard, "weaponCard"},
    {Picture::blankCard, "blankCard"},
    {Picture::sea, "sea"},
    {Picture::octopusWhite, "octopusWhite"},
    {Picture::octopusCyan, "octopusCyan"},
    {Picture::octopusRed, "octopusRed"},
    {Picture::crabWhite, "crabWhite"},
    {Picture::crabCyan, "crabCyan"},
    {Picture::crabRed, "crabRed"},
    {Picture::morayWhite, "morayWhite"},
    {Picture::morayCyan, "morayCyan"},
    {Picture::morayRed, "morayRed"},
    {Picture::squidWhite, "squidWhite"},
    {Picture::squidCyan, "squidCyan"},
    {Picture::squidRed, "squidRed"},
    {Picture::spearWhite, "spearWhite"},
    {Picture::spearCyan, "spearCyan"},
    {Picture::spearRed, "spearRed"},
    {Picture::ring, "ring"},
    {Picture::curtain, "curtain"},
    {Picture::grilledSquid, "grilledSquid"},
    {Picture::biggestSquidMessage, "biggestSquidMessage"},
    {Picture::tastyMessage, "tastyMessage"},
    {Picture::gameOver, "gameOver"},
    {Picture::bubble, "bubble"},
};
static_assert(std::size(kNames) == kPictureCount && rowsInKeyOrder(kNames, &Named::picture));

}  // namespace

const char* pictureName(Picture p) {
    const int i = static_cast<int>(p);
    return i >= 0 && i < kPictureCount ? kNames[i].name : "none";
}
