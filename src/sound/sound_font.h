// Which soundfont SDL_mixer's MIDI synthesiser loads. The game's music was
// made with TimGM6mb, so that one is taken whenever it is installed, whatever
// the distribution's default-GM.sf2 points to (often the 148 MB FluidR3_GM,
// which sounds different and multiplies the game's memory by five).
#pragma once
#include <functional>
#include <optional>
#include <string>

namespace sound {

inline constexpr const char* kTimGM6mb = "/usr/share/sounds/sf2/TimGM6mb.sf2";
inline constexpr const char* kDefaultGM = "/usr/share/sounds/sf2/default-GM.sf2";

// The soundfont to give SDL_mixer, or nothing to leave its setting alone. In
// order: SDL_SOUNDFONTS when set and not empty (`environment`, null when
// unset) wins; else TimGM6mb when it exists; else SDL_mixer's own setting
// when it names a file that exists (`mixerSettingExists`, asked only then);
// else default-GM.sf2 when it exists.
std::optional<std::string> soundFontToSet(const char* environment, const std::function<bool()>& mixerSettingExists,
                                          const std::function<bool(const char* path)>& exists);

}  // namespace sound
