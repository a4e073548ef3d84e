#pragma once

#include <cstdint>
#include <string>

namespace Platform {

// Keeps the whole process in RAM while it plays live: every page it has and every page it maps
// later (mlockall with MCL_CURRENT and MCL_FUTURE), so the render thread never waits for a page
// to be brought in or first touched, and nothing it uses is swapped out.
//
// Locking the future mappings is only safe without a ceiling: under a finite RLIMIT_MEMLOCK a
// later allocation beyond it would fail. So the process locks only when it may lock without
// limit (the CAP_IPC_LOCK capability, which root has, or an unlimited memlock limit, as the audio
// group is usually given); otherwise it locks nothing and says why in one line.
//
// Threads: the controlling thread, before the driver starts.
class MemoryLock {
public:
    enum class Outcome { Locked, NotPermitted, Failed };
    struct Result {
        Outcome outcome = Outcome::NotPermitted;
        std::string message;   // one line for the user
    };

    // What the process's rights allow; limitBytes is the soft RLIMIT_MEMLOCK, unlimited as
    // UINT64_MAX.
    static bool permitted(bool canLockWithoutLimit, uint64_t limitBytes);

    static Result lockAll();
    static void unlockAll();

private:
    static bool hasLockCapability();
    static uint64_t memlockLimit();
};

} // namespace Platform
