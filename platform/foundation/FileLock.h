#pragma once

namespace Platform {

// The advisory whole-file lock of an open file (BSD flock semantics): it orders the locked reads
// and writes of programs that share a document and does nothing against an access that takes no
// lock. Two descriptors opened separately exclude each other, even within one process.
namespace FileLock {

// Waits until the exclusive lock is free and takes it; false when the system refuses it.
bool lockExclusive(int descriptor);
void unlock(int descriptor);

} // namespace FileLock

} // namespace Platform
