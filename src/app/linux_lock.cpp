// The lock is a name in the kernel's abstract socket namespace, made of the
// lock's name and the user id: nothing on disk, nothing that depends on the
// environment (HOME, XDG_RUNTIME_DIR, a bare `env -i`, an ssh session), the
// same for every copy the same user starts on this machine, and gone the
// moment its holder dies.
//
// Anyone may bind any abstract name, so another user could take ours first
// to keep us out. A copy that finds the name taken therefore asks the kernel
// who holds it; if that is not this user, it falls back to a lock file in the
// home directory the password database gives (a folder only this user can
// write), which every copy of this user then uses alike.
#include "app/lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

enum class Abstract { Taken, HeldByUs, Unusable };

sockaddr_un abstractAddress(const std::string& name, socklen_t& len) {
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    // sun_path[0] = 0 marks the abstract namespace; the name follows.
    const size_t n = std::min(name.size(), sizeof a.sun_path - 1);
    std::memcpy(a.sun_path + 1, name.data(), n);
    len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
    return a;
}

// True if the process listening on the address runs as this user.
bool heldByThisUser(const sockaddr_un& a, socklen_t len) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    bool ours = false;
    int tries = 0;
    int rc;
    // A holder that has just bound the name may not be listening yet.
    while ((rc = connect(fd, reinterpret_cast<const sockaddr*>(&a), len)) != 0 && errno == ECONNREFUSED && ++tries < 20)
        usleep(1000);
    if (rc == 0) {
        ucred peer{};
        socklen_t pl = sizeof peer;
        ours = getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &pl) == 0 && peer.uid == getuid();
    } else {
        // A holder that has never taken a connection has a long queue; a
        // full one means many copies came and went: ours.
        ours = errno == EAGAIN;
    }
    close(fd);
    return ours;
}

// On Taken, fd is the listening socket that holds the name.
Abstract takeAbstract(const std::string& name, int& held) {
    socklen_t len = 0;
    const sockaddr_un a = abstractAddress(name, len);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Abstract::Unusable;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&a), len) == 0) {
        // Listening lets a later copy ask who we are.
        if (listen(fd, 64) == 0) {
            held = fd;
            return Abstract::Taken;
        }
        close(fd);
        return Abstract::Unusable;
    }
    const int err = errno;
    close(fd);
    if (err == EADDRINUSE) return heldByThisUser(a, len) ? Abstract::HeldByUs : Abstract::Unusable;
    return Abstract::Unusable;
}

// The fallback: flock on a file in ~/.cache/torvenka, the home directory
// taken from the password database, not from HOME. The locked descriptor, or
// -1.
int takeFileLock(const std::string& name) {
    const passwd* pw = getpwuid(getuid());
    const std::string home = pw && pw->pw_dir ? pw->pw_dir : "";
    if (home.empty() || home[0] != '/') return -1;
    std::string dir = home + "/.cache";
    mkdir(dir.c_str(), 0700);
    dir += "/torvenka";
    mkdir(dir.c_str(), 0700);
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return -1;
    const std::string path = dir + "/" + name + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

SingleInstanceLock::SingleInstanceLock(const char* name) {
    switch (takeAbstract("torvenka." + std::string(name) + "." + std::to_string(getuid()), fd_)) {
        case Abstract::Taken:
        case Abstract::HeldByUs: return;
        case Abstract::Unusable: break;
    }
    fd_ = takeFileLock(name);
}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0) close(fd_);
}
