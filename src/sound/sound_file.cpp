#include "sound/sound_file.h"

#include <filesystem>
#include <fstream>

namespace sound {

bool readSoundFile(const std::string& path, size_t limit, std::vector<uint8_t>& out) {
    std::error_code ec;
    // What it is and how large, before it is opened: opening a FIFO would
    // wait for a writer, and reading a device would not end.
    if (!std::filesystem::is_regular_file(path, ec) || ec) return false;
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > limit) return false;
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    // No more than the size seen: a file that grows meanwhile is not
    // followed, one that shrinks is not taken.
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    f.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<uintmax_t>(f.gcount()) != size) return false;
    out = std::move(bytes);
    return true;
}

}  // namespace sound
