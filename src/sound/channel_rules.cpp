#include "sound/channel_rules.h"

#include "sound/command_parser.h"

namespace sound {

FileKind fileKind(const std::string& gameName) {
    const size_t slash = gameName.rfind('/');
    const std::string base = slash == std::string::npos ? gameName : gameName.substr(slash + 1);
    const size_t dot = base.rfind('.');
    // "." and ".." are folders, and ".wav" is a hidden file with no extension.
    if (dot == std::string::npos || dot == 0 || base == "..") return FileKind::kUnknown;
    const std::string_view ext = std::string_view(base).substr(dot);
    if (equalIgnoringCase(ext, ".mid")) return FileKind::kMusic;
    if (equalIgnoringCase(ext, ".wav")) return FileKind::kEffect;
    return FileKind::kUnknown;
}

std::string MusicStream::take(const std::string& alias) {
    std::string cut = owner_ == alias ? std::string() : owner_;
    owner_ = alias;
    return cut;
}

void MusicStream::release(const std::string& alias) {
    if (heldBy(alias)) owner_.clear();
}

}  // namespace sound
