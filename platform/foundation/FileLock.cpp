#include "platform/foundation/FileLock.h"

#include <cerrno>
#include <sys/file.h>

namespace Platform::FileLock {

bool lockExclusive(int descriptor) {
    // A signal interrupting the wait is not a refusal.
    while (::flock(descriptor, LOCK_EX) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

void unlock(int descriptor) {
    ::flock(descriptor, LOCK_UN);
}

} // namespace Platform::FileLock
