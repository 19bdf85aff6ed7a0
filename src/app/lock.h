// The single-instance lock: the first copy of the game wins, later copies
// leave quietly. The kernel holds the lock for the life of the process, so a
// crash never leaves the game unable to start.
#pragma once

// Takes the lock called name; true if this process now holds it. The lock is
// never released explicitly: it dies with the process.
bool takeSingleInstanceLock(const char* name);
