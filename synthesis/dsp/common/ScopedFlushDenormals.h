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
    // Inline: the guards inside a render call, most of them, only look at the thread's flag.
    ScopedFlushDenormals() noexcept
    {
        if (!held_)
            take();
    }
    ~ScopedFlushDenormals()
    {
        if (owned_ != nullptr)
            restore();
    }

    ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
    ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

    // Whether the calling thread currently flushes denormals to zero.
    static bool isActive() noexcept;

private:
    // The outermost guard of a thread: sets the mode, and restores the one it found.
    void take() noexcept;
    void restore() noexcept;

    // Whether an enclosing guard of this thread already holds the flush mode. A render call takes
    // one guard and every module and line under it another; reading and writing the control
    // register costs tens of cycles each, so the inner guards leave it alone.
    // Initial-exec: in the plug-in, a shared object, the default model would call into the loader
    // for every guard; one flag fits the static TLS room every loader keeps for such objects.
    [[gnu::tls_model("initial-exec")]] static inline thread_local bool held_ = false;

    std::uint64_t saved_ = 0;
    // The thread's flag when this guard is the outermost of its thread, the one that set and
    // restores the mode; null otherwise. Kept so that the destructor does not look the flag up
    // again, which in a library loaded at run time is a call into the loader.
    bool* owned_ = nullptr;
};

} // namespace Lumora::DSP
