// The single-instance lock: the first copy of the game a user starts wins,
// later copies of the same user leave quietly; other users are not in the
// way. The kernel holds the lock for the life of the process, so a crash
// (or SIGKILL) never leaves the game unable to start.
#pragma once

// Takes the lock called name for this user; true if this process now holds
// it. The lock is never released explicitly: it dies with the process.
bool takeSingleInstanceLock(const char* name);
