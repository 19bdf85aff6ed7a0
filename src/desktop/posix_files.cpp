// Where the desktop keeps its dives on Linux, and forcing a file onto the
// disk.
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "desktop/dive_archive.h"

std::string diveFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/torvenka";
    const char* home = std::getenv("HOME");
    std::string h = home && home[0] == '/' ? home : "";
    if (h.empty())
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') h = pw->pw_dir;
    return h.empty() ? "" : h + "/.local/state/torvenka";
}

bool flushToDisk(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool flushed = fsync(fd) == 0;
    close(fd);
    return flushed;
}
