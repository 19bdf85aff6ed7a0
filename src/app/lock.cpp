#include "app/lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

// A directory only this user can write: the session's runtime directory, or
// else a folder in the home directory (never a shared name in /tmp, where
// another user could take it first).
std::string lockDir() {
    if (const char* rt = std::getenv("XDG_RUNTIME_DIR"); rt && rt[0] == '/') {
        struct stat st {};
        if (stat(rt, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid()) return rt;
    }
    const passwd* pw = getpwuid(getuid());
    std::string home = pw && pw->pw_dir ? pw->pw_dir : "";
    if (home.empty() || home[0] != '/') return {};
    std::string dir = home + "/.cache";
    mkdir(dir.c_str(), 0700);
    dir += "/torvenka";
    mkdir(dir.c_str(), 0700);
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return {};
    return dir;
}

}  // namespace

bool takeSingleInstanceLock(const char* name) {
    const std::string dir = lockDir();
    if (dir.empty()) return false;
    const std::string path = dir + "/" + name + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    return true;  // fd stays open: the lock lives as long as the process
}
