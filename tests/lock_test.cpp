// The single-instance lock, across real processes.
#include <gtest/gtest.h>
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

#include "app/lock.h"

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

// A child that runs fn, reports its answer through a pipe, and then keeps
// whatever it holds until it is killed.
template <class F>
pid_t holder(F fn, char& answer) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        const char ok = fn() ? 1 : 0;
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
}

// Another user who takes our lock's name first does not keep us out: the
// game falls back to a lock file in our own home, and still one copy runs.
// Needs root, to play the other user.
TEST(SingleInstance, AnotherUserCannotKeepUsOut) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    const passwd* nobody = getpwnam("nobody");
    if (!nobody) GTEST_SKIP() << "no user nobody";
    const std::string name = "test-squat-" + std::to_string(getpid());
    const std::string abstractName = "torvenka." + name + "." + std::to_string(getuid());
    char ok = 0;
    const pid_t squatter = holder(
        [&] {
            if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) return false;
            sockaddr_un a{};
            a.sun_family = AF_UNIX;
            std::memcpy(a.sun_path + 1, abstractName.data(), abstractName.size());
            const auto len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size());
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            return bind(fd, reinterpret_cast<sockaddr*>(&a), len) == 0 && listen(fd, 4) == 0;
        },
        ok);
    ASSERT_EQ(ok, 1) << "the squatter could not take the name";
    std::optional<SingleInstanceLock> kept;  // the holder's, in the holder
    const pid_t first = holder([&] { return kept.emplace(name.c_str()).held(); }, ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(inChild([&] { return SingleInstanceLock(name.c_str()).held() ? 1 : 0; }), 0);
    killAndWait(first);
    killAndWait(squatter);
    const passwd* me = getpwuid(getuid());
    if (me && me->pw_dir) std::filesystem::remove(std::string(me->pw_dir) + "/.cache/torvenka/" + name + ".lock");
}

}  // namespace
