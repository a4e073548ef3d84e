#include "platform/audio/MemoryLock.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include <sys/mman.h>
#include <sys/resource.h>

namespace Platform {

namespace {

constexpr int kCapIpcLock = 14;   // the capability's bit in the kernel's capability sets
constexpr uint64_t kUnlimited = UINT64_MAX;

} // namespace

bool MemoryLock::permitted(bool canLockWithoutLimit, uint64_t limitBytes) {
    return canLockWithoutLimit || limitBytes == kUnlimited;
}

// The effective capability set, as the kernel shows it in /proc/self/status (no libcap needed).
bool MemoryLock::hasLockCapability() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("CapEff:", 0) != 0) continue;
        const unsigned long long set = std::strtoull(line.c_str() + 7, nullptr, 16);
        return (set >> kCapIpcLock) & 1u;
    }
    return false;
}

uint64_t MemoryLock::memlockLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_MEMLOCK, &limit) != 0) return 0;
    return limit.rlim_cur == RLIM_INFINITY ? kUnlimited : static_cast<uint64_t>(limit.rlim_cur);
}

MemoryLock::Result MemoryLock::lockAll() {
    const uint64_t limit = memlockLimit();
    if (!permitted(hasLockCapability(), limit)) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "memory not locked: the memlock limit is %llu KiB (ulimit -l); an unlimited one, as the "
                      "audio group usually has, keeps the program in RAM",
                      static_cast<unsigned long long>(limit / 1024));
        return {Outcome::NotPermitted, line};
    }
    if (mlockall(MCL_CURRENT | MCL_FUTURE) != 0) {
        return {Outcome::Failed, std::string("memory not locked: ") + std::strerror(errno)};
    }
    return {Outcome::Locked, "memory locked"};
}

void MemoryLock::unlockAll() { munlockall(); }

} // namespace Platform
