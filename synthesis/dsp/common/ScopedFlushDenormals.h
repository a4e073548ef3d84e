#pragma once

#include <cstdint>

namespace Lumora::DSP {

// Makes the floating-point unit of the calling thread flush denormal results to zero (and treat
// denormal inputs as zero) for the lifetime of the object, then restores the previous mode.
// Recursive filters and feedback paths decay into the denormal range; on most CPUs every
// operation on such numbers costs a hundred times more, so a render call holds one of these.
// Nests safely: the outermost guard of a thread sets the mode and restores exactly the mode it
// found; guards inside it touch nothing, so a module may hold one at no cost under a render call.
class ScopedFlushDenormals {
public:
    ScopedFlushDenormals() noexcept;
    ~ScopedFlushDenormals();

    ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
    ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

    // Whether the calling thread currently flushes denormals to zero.
    static bool isActive() noexcept;

private:
    std::uint64_t saved_ = 0;
    // The thread's flag when this guard is the outermost of its thread, the one that set and
    // restores the mode; null otherwise. Kept so that the destructor does not look the flag up
    // again, which in a library loaded at run time is a call into the loader.
    bool* owned_ = nullptr;
};

} // namespace Lumora::DSP
