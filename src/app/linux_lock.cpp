// The lock is a name in the kernel's abstract socket namespace, made of the
// application's own name and the user id (torvenka.velmo.<uid>), and, where
// this user's home allows it, an flock on a file there named for the
// application and this machine (~/.cache/torvenka/velmo.<host>.lock). Both
// are the kernel's: they go the moment their holder dies.
//
// The name needs nothing on disk and nothing from the environment (HOME,
// XDG_RUNTIME_DIR, a bare `env -i`, an ssh session): it is the same for
// every copy the same user starts on this machine. A copy that finds it
// taken connects and asks the kernel who holds it (SO_PEERCRED); if that is
// this user, the copy leaves.
//
// Anyone may bind any abstract name, though, so another user can take ours
// first, and one that listens and never accepts can fill its queue so that
// nobody can even ask. Any answer but "this user" -- another user, a full
// queue, a refused or failed connect -- therefore sends the copy to the lock
// file in the home directory the password database gives (a folder only
// this user can write): it runs if it gets that lock and leaves if not.
//
// The copy that binds the name takes the file lock as well, and gives the
// name up and leaves if another copy already has the file. That keeps one
// copy when the holder cannot be asked even though it is ours: our holder
// never accepts either, so once some 65 copies have come and gone its queue
// is full and the next copy gets no answer; that copy then finds the file
// locked. It also keeps out a copy that starts after a squatter has gone
// while one that fell back to the file still runs. Without a usable home
// the name alone is the lock.
//
// A lock given a place of its own (the tests' runs, through
// TORVENKA_LOCK_DIR) is a lock apart: its abstract name carries a hash of
// the folder, and its file lies in that folder, so a test run neither sees
// the player's game nor another run's.
#include "desktop/lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

// What became of the abstract name: this process took it; a copy of this
// user is known to hold it; or neither could be said (another user holds it,
// its holder could not be asked, no socket could be made).
enum class Abstract { Taken, HeldByUs, NotKnownOurs };

// What became of the lock file: this process locked it; another process
// holds the lock; or there is no file to lock (no home, not ours, no flock).
enum class File { Taken, Held, Unusable };

sockaddr_un abstractAddress(const std::string& name, socklen_t& len) {
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    // sun_path[0] = 0 marks the abstract namespace; the name follows.
    const size_t n = std::min(name.size(), sizeof a.sun_path - 1);
    std::memcpy(a.sun_path + 1, name.data(), n);
    len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
    return a;
}

// True only if the process listening on the address is known to run as this
// user. A holder that cannot be asked (a full queue, or any other failed
// connect) is not known to be ours.
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
        ours = getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &pl) == 0 && pl == sizeof peer && peer.uid == getuid();
    }
    close(fd);
    return ours;
}

// On Taken, held is the listening socket that holds the name.
Abstract takeAbstract(const std::string& name, int& held) {
    socklen_t len = 0;
    const sockaddr_un a = abstractAddress(name, len);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Abstract::NotKnownOurs;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&a), len) == 0) {
        // Listening lets a later copy ask who we are.
        if (listen(fd, 64) == 0) {
            held = fd;
            return Abstract::Taken;
        }
        close(fd);
        return Abstract::NotKnownOurs;
    }
    const int err = errno;
    close(fd);
    if (err == EADDRINUSE && heldByThisUser(a, len)) return Abstract::HeldByUs;
    return Abstract::NotKnownOurs;
}

// This machine's name, as a file name may hold it. A home shared between
// machines (NFS) would otherwise let a copy on one keep out a copy on
// another, which the abstract name, one per machine, does not.
std::string hostPart() {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) return "";
    std::string part = host;
    for (char& c : part)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
    return part;
}

// The folder of the lock file: ~/.cache/torvenka, the home directory taken
// from the password database, not from HOME; empty without a usable home.
std::string homeLockFolder() {
    const passwd* pw = getpwuid(getuid());
    const std::string home = pw && pw->pw_dir ? pw->pw_dir : "";
    if (home.empty() || home[0] != '/') return "";
    std::string dir = home + "/.cache";
    mkdir(dir.c_str(), 0700);
    dir += "/torvenka";
    mkdir(dir.c_str(), 0700);
    return dir;
}

// flock on a file in `dir` (a folder only this user owns), named for the
// application and this machine. On Taken, held is the locked descriptor.
File takeFileLock(const std::string& dir, const std::string& applicationName, int& held) {
    if (dir.empty()) return File::Unusable;
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return File::Unusable;
    const std::string path = dir + "/" + applicationName + "." + hostPart() + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return File::Unusable;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        close(fd);
        return err == EWOULDBLOCK ? File::Held : File::Unusable;
    }
    held = fd;
    return File::Taken;
}

}  // namespace

SingleInstanceLock::SingleInstanceLock(const char* applicationName, const char* place) {
    const std::string name = applicationName;
    const bool apart = place && *place;
    const std::string dir = apart ? std::string(place) : homeLockFolder();
    std::string abstractName = "torvenka." + name + "." + std::to_string(getuid());
    if (apart) abstractName.append(".").append(lockPlaceHash(dir));
    int sock = -1;
    int file = -1;
    switch (takeAbstract(abstractName, sock)) {
        case Abstract::HeldByUs: return;
        case Abstract::Taken:
            switch (takeFileLock(dir, name, file)) {
                case File::Taken:
                case File::Unusable:
                    name_ = sock;
                    file_ = file;
                    return;
                case File::Held: close(sock); return;
            }
            return;
        case Abstract::NotKnownOurs:
            // Without the file there is no lock that no other user can take.
            takeFileLock(dir, name, file);
            file_ = file;
            return;
    }
}

SingleInstanceLock::~SingleInstanceLock() {
    if (name_ >= 0) close(static_cast<int>(name_));
    if (file_ >= 0) close(static_cast<int>(file_));
}

LockPlace checkLockPlace(const char* given) {
    LockPlace place;
    char resolved[PATH_MAX];
    struct stat st {};
    if (!given || !*given) {
        place.problem = "names no folder";
    } else if (!realpath(given, resolved) || stat(resolved, &st) != 0) {
        place.problem = std::string("no such folder (") + std::strerror(errno) + ")";
    } else if (!S_ISDIR(st.st_mode)) {
        place.problem = "not a folder";
    } else if (st.st_uid != getuid()) {
        place.problem = "a folder of another user";
    } else if (st.st_mode & (S_IWGRP | S_IWOTH)) {
        place.problem = "others may write to that folder";
    } else {
        place.folder = resolved;
    }
    return place;
}
