#include "desktop/sound_root.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

bool hasDat(const fs::path& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder / "dat", ec);
}

}  // namespace

fs::path soundRoot(const fs::path& current, const fs::path& programFolder) {
    if (hasDat(current) || !hasDat(programFolder)) return current;
    return programFolder;
}

fs::path pathFromUtf8(const std::string& utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string utf8FromPath(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

std::string RootedSoundFiles::locate(const std::string& gameName) const {
    // The game names its files with '/', which both systems take.
    return utf8FromPath(root_ / pathFromUtf8(gameName));
}
