// The single-instance lock on Windows: a mutex named by the application's
// own name in the session's namespace (Local\velmo), so one copy plays per
// user at a time and other users' sessions are not in the way. The system
// lets it go when the process ends, however it ends.
#include <windows.h>

#include "desktop/lock.h"
#include "desktop/wide.h"

SingleInstanceLock::SingleInstanceLock(const char* applicationName, const char* place) {
    std::string name = std::string("Local\\") + applicationName;
    // A place of the tests' own is a lock apart: the name carries its hash.
    if (place && *place) name.append(".").append(lockPlaceHash(place));
    HANDLE mutex = CreateMutexW(nullptr, FALSE, wideFromUtf8(name).c_str());
    if (!mutex) return;
    // Only a wait that takes the mutex at once is ours; a copy that holds it,
    // an abandoned mutex, a failure: this copy does not play.
    if (WaitForSingleObject(mutex, 0) != WAIT_OBJECT_0) {
        CloseHandle(mutex);
        return;
    }
    name_ = reinterpret_cast<intptr_t>(mutex);
}

SingleInstanceLock::~SingleInstanceLock() {
    if (name_ < 0) return;
    HANDLE mutex = reinterpret_cast<HANDLE>(name_);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}
