#include "platform/audio/MemoryLock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

using Platform::MemoryLock;

namespace {

// The kibibytes the kernel counts as locked for this process.
long lockedKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmLck:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// Pages of [data, data + bytes) in RAM, without touching them.
std::size_t residentPages(const void* data, std::size_t bytes) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(data) & ~(page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(data) + bytes;
    std::vector<unsigned char> in((end - begin + page - 1) / page);
    if (mincore(reinterpret_cast<void*>(begin), end - begin, in.data()) != 0) return 0;
    std::size_t resident = 0;
    for (unsigned char flags : in) resident += flags & 1u;
    return resident;
}

} // namespace

TEST(MemoryLock, LocksOnlyWithoutACeiling) {
    struct Case {
        bool capability;
        uint64_t limit;
        bool permitted;
    };
    const Case cases[] = {
        {true, 8u << 20, true},      // root or CAP_IPC_LOCK: the limit does not apply
        {false, UINT64_MAX, true},   // unlimited memlock limit
        {false, 8u << 20, false},    // a finite limit: later allocations could fail
        {false, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MemoryLock::permitted(c.capability, c.limit), c.permitted) << c.capability << " " << c.limit;
    }
}

// Locked, the process's pages count as locked and a block allocated afterwards is in RAM before
// anything touched it (the future mappings are locked too); unlocked, nothing stays locked.
// Without the right to lock, nothing is locked and the line says why.
TEST(MemoryLock, LocksPresentAndFutureMemory) {
    const auto result = MemoryLock::lockAll();
    if (result.outcome != MemoryLock::Outcome::Locked) {
        EXPECT_EQ(result.outcome, MemoryLock::Outcome::NotPermitted) << result.message;
        EXPECT_NE(result.message.find("ulimit -l"), std::string::npos) << result.message;
        EXPECT_EQ(lockedKiB(), 0);
        return;
    }
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer intercepts mlockall and does nothing (its shadow memory could not be
    // locked): only the answer can be checked there.
    MemoryLock::unlockAll();
    return;
#endif
    EXPECT_GT(lockedKiB(), 0);
    constexpr std::size_t kBytes = 4u << 20;   // above malloc's mmap threshold: a new mapping
    void* block = std::malloc(kBytes);
    ASSERT_NE(block, nullptr);
    const std::size_t pages = kBytes / static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    EXPECT_GE(residentPages(block, kBytes), pages);
    std::free(block);
    MemoryLock::unlockAll();
    EXPECT_EQ(lockedKiB(), 0);
}
