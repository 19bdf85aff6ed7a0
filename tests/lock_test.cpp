// The single-instance lock, across real processes.
#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "desktop/dive_archive.h"
#include "desktop/lock.h"

namespace {

// Runs fn in a child process and returns its exit code.
template <class F>
int inChild(F fn) {
    const pid_t pid = fork();
    if (pid == 0) _exit(fn());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A child that runs fn, reports its answer (a small number) through a pipe,
// and then keeps whatever it holds until it is killed.
template <class F>
pid_t holder(F fn, char& answer) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        const char ok = static_cast<char>(fn());
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    if (read(ready[0], &answer, 1) != 1) answer = -1;
    close(ready[0]);
    close(ready[1]);
    return pid;
}

void killAndWait(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// The address in the abstract namespace the lock called name binds for the
// user running the test.
sockaddr_un lockAddress(const std::string& name, socklen_t& len) {
    const std::string abstractName = "torvenka." + name + "." + std::to_string(getuid());
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::memcpy(a.sun_path + 1, abstractName.data(), abstractName.size());
    len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size());
    return a;
}

// The errno of a connect to the address that does not wait, or 0.
int connectError(const sockaddr_un& a, socklen_t len) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    const int err = connect(fd, reinterpret_cast<const sockaddr*>(&a), len) == 0 ? 0 : errno;
    close(fd);
    return err;
}

int connectError(const std::string& name) {
    socklen_t len = 0;
    const sockaddr_un a = lockAddress(name, len);
    return connectError(a, len);
}

// The lock files of the lock called name (one a machine), left behind by
// every run of a test.
void removeLockFile(const std::string& name) {
    const passwd* me = getpwuid(getuid());
    if (!me || !me->pw_dir) return;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(std::string(me->pw_dir) + "/.cache/torvenka", ec)) {
        const std::string file = e.path().filename().string();
        if (file.starts_with(name + ".") && file.ends_with(".lock")) std::filesystem::remove(e.path(), ec);
    }
}

TEST(SingleInstance, OneCopyPerUserWhateverTheEnvironment) {
    const std::string name = "test-" + std::to_string(getpid());
    char ok = 0;
    std::optional<SingleInstanceLock> kept;  // the holder's, in the holder
    const pid_t first = holder([&] { return kept.emplace(name.c_str()).held(); }, ok);
    EXPECT_EQ(ok, 1);
    // A second copy cannot take it, with or without a runtime folder and
    // whatever HOME says; another name can.
    EXPECT_EQ(inChild([&] { return SingleInstanceLock(name.c_str()).held() ? 1 : 0; }), 0);
    EXPECT_EQ(inChild([&] {
                  unsetenv("XDG_RUNTIME_DIR");
                  setenv("HOME", "/nonexistent", 1);
                  return SingleInstanceLock(name.c_str()).held() ? 1 : 0;
              }),
              0);
    EXPECT_EQ(inChild([&] {
                  clearenv();
                  return SingleInstanceLock(name.c_str()).held() ? 1 : 0;
              }),
              0);
    EXPECT_EQ(inChild([&] { return SingleInstanceLock((name + "-other").c_str()).held() ? 1 : 0; }), 1);
    // A lock given a place of its own (a test run's) is apart from the usual
    // one and from another place's, and still keeps out a second copy of its
    // own place.
    const std::string place = ::testing::TempDir() + name + "-place";
    std::filesystem::create_directories(place);
    EXPECT_EQ(inChild([&] {
                  const SingleInstanceLock apart(name.c_str(), place.c_str());
                  const bool secondOut = !SingleInstanceLock(name.c_str(), place.c_str()).held();
                  const bool otherIn = SingleInstanceLock(name.c_str(), (place + "-2").c_str()).held();
                  return apart.held() && secondOut && otherIn ? 1 : 0;
              }),
              1);
    std::filesystem::remove_all(place);
    // The holder dies without any clean-up: the kernel frees the lock.
    killAndWait(first);
    EXPECT_EQ(inChild([&] { return SingleInstanceLock(name.c_str()).held() ? 1 : 0; }), 1);
    // Within one process the lock is held exactly as long as its owner lives.
    {
        const SingleInstanceLock mine(name.c_str());
        EXPECT_TRUE(mine.held());
        EXPECT_FALSE(SingleInstanceLock(name.c_str()).held());
    }
    EXPECT_TRUE(SingleInstanceLock(name.c_str()).held());
    removeLockFile(name);
    removeLockFile(name + "-other");
}

// The holder never accepts, so every copy that came and went is still in its
// queue; once that is full a new copy cannot ask who holds the name, and
// must still be kept out.
TEST(SingleInstance, OneCopyAfterManyCameAndWent) {
    const std::string name = "test-many-" + std::to_string(getpid());
    char ok = 0;
    std::optional<SingleInstanceLock> kept;
    const pid_t first = holder([&] { return kept.emplace(name.c_str()).held(); }, ok);
    EXPECT_EQ(ok, 1);
    int running = 0;
    for (int i = 0; i < 100; ++i) running += SingleInstanceLock(name.c_str()).held() ? 1 : 0;
    EXPECT_EQ(running, 0) << "of 100 later copies";
    EXPECT_EQ(connectError(name), EAGAIN) << "the holder's queue never filled";
    killAndWait(first);
    removeLockFile(name);
}

// Another user who takes our lock's name first does not keep us out: the
// game falls back to a lock file in our own home, and still one copy runs,
// whether the squatter lets us ask who it is or has filled its queue so that
// no connection gets through. Needs root, to play the other user.
void anotherUserCannotKeepUsOut(bool fullQueue) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    const passwd* nobody = getpwnam("nobody");
    if (!nobody) GTEST_SKIP() << "no user nobody to act as";
    const uid_t otherUid = nobody->pw_uid;
    const gid_t otherGid = nobody->pw_gid;
    const std::string name = std::string(fullQueue ? "test-squat-full-" : "test-squat-") + std::to_string(getpid());
    enum : char { Squatting = 1, NoOtherUser = 2 };
    socklen_t len = 0;
    const sockaddr_un a = lockAddress(name, len);  // ours, not nobody's
    char ok = 0;
    const pid_t squatter = holder(
        [&]() -> int {
            if (setgroups(0, nullptr) != 0 || setgid(otherGid) != 0 || setuid(otherUid) != 0 || getuid() != otherUid)
                return NoOtherUser;
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            if (bind(fd, reinterpret_cast<const sockaddr*>(&a), len) != 0 || listen(fd, fullQueue ? 0 : 16) != 0) return 0;
            if (fullQueue) {
                // One connection, never accepted, fills a queue of 0.
                const int filler = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
                if (connect(filler, reinterpret_cast<const sockaddr*>(&a), len) != 0) return 0;
                if (connectError(a, len) != EAGAIN) return 0;
            }
            return Squatting;
        },
        ok);
    if (ok == NoOtherUser) {
        killAndWait(squatter);
        GTEST_SKIP() << "cannot change to the uid of nobody";
    }
    ASSERT_EQ(ok, Squatting) << "the squatter could not take the name";
    EXPECT_EQ(connectError(name), fullQueue ? EAGAIN : 0);

    std::optional<SingleInstanceLock> kept;  // the holder's, in the holder
    const pid_t first = holder([&] { return kept.emplace(name.c_str()).held(); }, ok);
    EXPECT_EQ(ok, 1) << "the first copy was kept out";
    EXPECT_EQ(inChild([&] { return SingleInstanceLock(name.c_str()).held() ? 1 : 0; }), 0);
    EXPECT_EQ(inChild([&] {
                  clearenv();
                  return SingleInstanceLock(name.c_str()).held() ? 1 : 0;
              }),
              0);
    // The squatter leaves the name free, but the first copy still runs.
    killAndWait(squatter);
    EXPECT_EQ(inChild([&] { return SingleInstanceLock(name.c_str()).held() ? 1 : 0; }), 0);
    killAndWait(first);
    EXPECT_EQ(inChild([&] { return SingleInstanceLock(name.c_str()).held() ? 1 : 0; }), 1);
    removeLockFile(name);
}

TEST(SingleInstance, AnotherUserCannotKeepUsOut) { anotherUserCannotKeepUsOut(false); }

TEST(SingleInstance, AnotherUserWithAFullQueueCannotKeepUsOut) { anotherUserCannotKeepUsOut(true); }

}  // namespace

// The dives are kept in the user's state folder: $XDG_STATE_HOME when it is
// a whole path, else ~/.local/state.
TEST(DesktopPlaces, TheDivesFolder) {
    setenv("XDG_STATE_HOME", "/state/of/mine", 1);
    EXPECT_EQ(diveFolder(), "/state/of/mine/torvenka");
    setenv("XDG_STATE_HOME", "relative/is/ignored", 1);
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    if (!home.empty() && home[0] == '/') {
        EXPECT_EQ(diveFolder(), home + "/.local/state/torvenka");
    }
    EXPECT_NE(diveFolder(), "relative/is/ignored/torvenka");
    unsetenv("XDG_STATE_HOME");
}
