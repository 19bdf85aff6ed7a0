#include "sound/sound_font.h"

namespace sound {

std::optional<std::string> soundFontToSet(const char* environment, const std::function<bool()>& mixerSettingExists,
                                          const std::function<bool(const char* path)>& exists) {
    if (environment && *environment) return std::nullopt;
    if (exists(kTimGM6mb)) return kTimGM6mb;
    if (mixerSettingExists()) return std::nullopt;
    if (exists(kDefaultGM)) return kDefaultGM;
    return std::nullopt;
}

}  // namespace sound
