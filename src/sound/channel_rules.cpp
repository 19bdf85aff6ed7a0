#include "sound/channel_rules.h"

#include <cstring>

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

bool MusicStream::release(const std::string& alias) {
    if (!heldBy(alias)) return false;
    owner_.clear();
    return true;
}

namespace {

uint32_t be32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

}  // namespace

bool looksLikeMidi(const std::vector<uint8_t>& b) {
    if (b.size() < 14 || std::memcmp(b.data(), "MThd", 4) != 0) return false;
    const uint32_t headLen = be32(b.data() + 4);
    if (headLen < 6 || headLen > b.size() - 8) return false;
    const unsigned tracks = (unsigned{b[10]} << 8) | b[11];
    if (tracks == 0) return false;
    size_t at = 8 + headLen;
    unsigned found = 0;
    while (at < b.size()) {
        if (b.size() - at < 8) return false;
        const uint32_t len = be32(b.data() + at + 4);
        if (len > b.size() - at - 8) return false;
        if (std::memcmp(b.data() + at, "MTrk", 4) == 0) ++found;
        at += 8 + len;
    }
    return found > 0;
}

bool looksLikeWave(const std::vector<uint8_t>& b) {
    return b.size() >= 12 && std::memcmp(b.data(), "RIFF", 4) == 0 && std::memcmp(b.data() + 8, "WAVE", 4) == 0;
}

}  // namespace sound
