#include "desktop/dive_archive.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>

#include "desktop/sound_root.h"

namespace fs = std::filesystem;

namespace {

constexpr char kPrefix[] = "dive-";
constexpr char kSuffix[] = ".tvk";
constexpr char kTempPrefix[] = ".dive-";  // a file being written; never read

bool endsWith(const std::string& s, const char* tail) {
    const size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// The kept dives' names, oldest first ("dive-00000001.tvk" ...): their
// numbers only grow, whatever the clock says.
std::vector<std::string> keptNames(const fs::path& folder, std::vector<std::string>* temps = nullptr) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string n = utf8FromPath(it->path().filename());
        if (n.size() == std::strlen(kPrefix) + 8 + std::strlen(kSuffix) && n.rfind(kPrefix, 0) == 0 &&
            endsWith(n, kSuffix) &&
            std::all_of(n.begin() + 5, n.begin() + 13, [](char c) { return c >= '0' && c <= '9'; }))
            names.push_back(n);
        else if (temps && n.rfind(kTempPrefix, 0) == 0)
            temps->push_back(n);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

bool keepDive(const std::string& folderName, const std::vector<uint8_t>& file) {
    if (folderName.empty()) return false;
    const fs::path folder = pathFromUtf8(folderName);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) return false;
    std::vector<std::string> temps;
    const std::vector<std::string> kept = keptNames(folder, &temps);
    // What a crash left half written (one copy runs at a time, so none is being written now).
    for (const std::string& t : temps) fs::remove(folder / pathFromUtf8(t), ec);
    const unsigned long number = kept.empty() ? 1 : std::strtoul(kept.back().c_str() + 5, nullptr, 10) + 1;
    if (number > 99'999'999) return false;
    char name[32];
    std::snprintf(name, sizeof name, "%s%08lu%s", kPrefix, number, kSuffix);

    // Written beside its place, forced onto the disk, then renamed into it.
    const fs::path temp = folder / (std::string(kTempPrefix) + (name + 5));
    bool written;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        out.close();
        written = !out.fail();
    }
    if (!written || !flushToDisk(utf8FromPath(temp))) {
        fs::remove(temp, ec);
        return false;
    }
    fs::rename(temp, folder / name, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    flushToDisk(folderName);
    const std::vector<std::string> now = keptNames(folder);
    for (size_t i = 0; i + kDivesKept < now.size(); ++i) fs::remove(folder / now[i], ec);
    return true;
}

std::string newestDive(const std::string& folder) {
    if (folder.empty()) return "";
    const std::vector<std::string> kept = keptNames(pathFromUtf8(folder));
    return kept.empty() ? "" : utf8FromPath(pathFromUtf8(folder) / kept.back());
}

RecordRead readReplayFile(const std::string& name) {
    const fs::path path = pathFromUtf8(name);
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec) return {std::nullopt, "cannot open " + name + ": " + ec.message()};
    if (!fs::is_regular_file(st)) return {std::nullopt, name + " is not a file"};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {std::nullopt, "cannot open " + name + ": " + std::strerror(errno)};
    // Never more than one byte past the largest record, whatever the file's size.
    std::vector<uint8_t> bytes(kMostRecordFileBytes + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) return {std::nullopt, "cannot read " + name};
    bytes.resize(static_cast<size_t>(in.gcount()));
    return readRecord(bytes);
}

RecordRead readReplayArgument(const std::string& fileOrLast) {
    const std::string file = fileOrLast == "last" ? newestDive(diveFolder()) : fileOrLast;
    if (file.empty()) return {std::nullopt, "no dive has been kept yet"};
    return readReplayFile(file);
}

std::string afterDive(const Scheduler& loop, bool watched) {
    if (watched) return loop.playbackProblem();
    if (loop.recorder().position().steps > 0 && !loop.recorder().dropped())
        keepDive(diveFolder(), writeRecord(loop.record()));
    return "";
}
