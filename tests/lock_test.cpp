// The single-instance lock, across real processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

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

TEST(SingleInstance, FirstWinsAndAKilledHolderFreesTheLock) {
    const auto dir = std::filesystem::temp_directory_path() / ("torvenka-lock-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);

    // A holder that keeps the lock until it is killed.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        const char ok = takeSingleInstanceLock("velmo") ? 1 : 0;
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, 1);
    // A second copy cannot take it; another name can.
    EXPECT_EQ(inChild([] { return takeSingleInstanceLock("velmo") ? 1 : 0; }), 0);
    EXPECT_EQ(inChild([] { return takeSingleInstanceLock("other") ? 1 : 0; }), 1);
    // The holder dies without any clean-up: the kernel frees the lock.
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(inChild([] { return takeSingleInstanceLock("velmo") ? 1 : 0; }), 1);

    // A directory another user owns or one that cannot be written: the
    // copy ends quietly rather than playing without the lock.
    std::filesystem::permissions(dir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (geteuid() != 0) {
        EXPECT_EQ(inChild([] { return takeSingleInstanceLock("velmo") ? 1 : 0; }), 0);
    }
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(dir);
    unsetenv("XDG_RUNTIME_DIR");
    close(ready[0]);
    close(ready[1]);
}

}  // namespace
