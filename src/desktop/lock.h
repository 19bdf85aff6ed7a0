// The single-instance lock: the first copy of the game a user starts wins,
// later copies of the same user leave quietly; other users are not in the
// way. The kernel holds the lock for the life of the process, so a crash
// (or SIGKILL) never leaves the game unable to start. One file per platform
// implements it: src/app/linux_lock.cpp, src/win32/win32_lock.cpp.
#pragma once
#include <cstdint>
#include <string>

class SingleInstanceLock {
public:
    // Tries to take, for this user, the lock named by the application's own
    // name (kApplicationName, "velmo"; the tests use names of their own). A
    // place (a folder this user owns) makes it a lock apart from the game's
    // usual one, for the tests' runs: copies with the same place exclude each
    // other, and no other copy.
    explicit SingleInstanceLock(const char* applicationName, const char* place = nullptr);
    // Lets it go; the program keeps it until it ends.
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True if this process now holds the lock.
    bool held() const { return name_ >= 0 || file_ >= 0; }

private:
    // What the system holds the lock by, -1 where not held: on Linux the
    // descriptors of the socket bound to the lock's name and of the locked
    // file; on Windows the named mutex's handle (name_) alone.
    intptr_t name_ = -1;
    intptr_t file_ = -1;
};

// A lock place of its own, as TORVENKA_LOCK_DIR gives it: it must be an
// existing folder that this user owns and no one else may write to, and is
// taken as the system resolves it (links followed, no "." or ".."), so that
// two spellings of one folder are one lock. `problem` says, in a few words,
// why `given` cannot be one; otherwise `folder` is the resolved folder.
struct LockPlace {
    std::string folder;
    std::string problem;
};
LockPlace checkLockPlace(const char* given);

// A short hash of a lock's own place (FNV-1a, 16 hex digits), which the
// lock's name carries when the tests give it a place.
std::string lockPlaceHash(const std::string& place);
