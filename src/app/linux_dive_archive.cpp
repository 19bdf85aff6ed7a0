#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/dive_archive.h"

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
std::vector<std::string> keptNames(const std::string& folder, std::vector<std::string>* temps = nullptr) {
    std::vector<std::string> names;
    DIR* d = opendir(folder.c_str());
    if (!d) return names;
    while (const dirent* e = readdir(d)) {
        const std::string n = e->d_name;
        if (n.size() == std::strlen(kPrefix) + 8 + std::strlen(kSuffix) && n.rfind(kPrefix, 0) == 0 &&
            endsWith(n, kSuffix) &&
            std::all_of(n.begin() + 5, n.begin() + 13, [](char c) { return c >= '0' && c <= '9'; }))
            names.push_back(n);
        else if (temps && n.rfind(kTempPrefix, 0) == 0)
            temps->push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

bool makeFolders(const std::string& path) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool writeAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string diveFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/torvenka";
    const char* home = std::getenv("HOME");
    std::string h = home && home[0] == '/' ? home : "";
    if (h.empty())
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') h = pw->pw_dir;
    return h.empty() ? "" : h + "/.local/state/torvenka";
}

bool keepDive(const std::string& folder, const std::vector<uint8_t>& file) {
    if (folder.empty() || !makeFolders(folder)) return false;
    std::vector<std::string> temps;
    const std::vector<std::string> kept = keptNames(folder, &temps);
    // What a crash left half written (one copy runs at a time, so none is being written now).
    for (const std::string& t : temps) unlink((folder + "/" + t).c_str());
    const unsigned long number = kept.empty() ? 1 : std::strtoul(kept.back().c_str() + 5, nullptr, 10) + 1;
    if (number > 99'999'999) return false;
    char name[32];
    std::snprintf(name, sizeof name, "%s%08lu%s", kPrefix, number, kSuffix);

    // Written beside its place, flushed to the disk, then renamed into it.
    std::string temp = folder + "/" + kTempPrefix + "XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    const bool written = writeAll(fd, file) && fsync(fd) == 0;
    if (close(fd) != 0 || !written || rename(temp.c_str(), (folder + "/" + name).c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    if (const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
        fsync(dir);
        close(dir);
    }
    const std::vector<std::string> now = keptNames(folder);
    for (size_t i = 0; i + kDivesKept < now.size(); ++i) unlink((folder + "/" + now[i]).c_str());
    return true;
}

std::string newestDive(const std::string& folder) {
    const std::vector<std::string> kept = keptNames(folder);
    return kept.empty() ? "" : folder + "/" + kept.back();
}

RecordRead readReplayFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {std::nullopt, "cannot open " + path + ": " + std::strerror(errno)};
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return {std::nullopt, path + " is not a file"};
    }
    // Never more than one byte past the largest record, whatever the file's size.
    std::vector<uint8_t> bytes(kMostRecordFileBytes + 1);
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const std::string why = std::strerror(errno);
            close(fd);
            return {std::nullopt, "cannot read " + path + ": " + why};
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    bytes.resize(got);
    return readRecord(bytes);
}
