#include "synthesis/dsp/common/ScopedFlushDenormals.h"

#if defined(__x86_64__) || defined(_M_X64) || defined(__i386__) || defined(__SSE__)
#include <xmmintrin.h>
#define LUMORA_DENORMALS_X86 1
#elif defined(__aarch64__)
#define LUMORA_DENORMALS_ARM64 1
#elif defined(__arm__)
#define LUMORA_DENORMALS_ARM32 1
#endif

namespace Lumora::DSP {

namespace {

#if defined(LUMORA_DENORMALS_X86)
// MXCSR: bit 15 flush-to-zero (FTZ), bit 6 denormals-are-zero (DAZ).
constexpr std::uint64_t kFlushBits = 0x8040;
std::uint64_t readMode() noexcept { return _mm_getcsr(); }
void writeMode(std::uint64_t mode) noexcept { _mm_setcsr(static_cast<unsigned>(mode)); }
#elif defined(LUMORA_DENORMALS_ARM64)
// FPCR bit 24 (FZ) flushes denormal inputs and results to zero.
constexpr std::uint64_t kFlushBits = 1ull << 24;
std::uint64_t readMode() noexcept
{
    std::uint64_t v;
    asm volatile("mrs %0, fpcr" : "=r"(v));
    return v;
}
void writeMode(std::uint64_t mode) noexcept { asm volatile("msr fpcr, %0" : : "r"(mode)); }
#elif defined(LUMORA_DENORMALS_ARM32)
// FPSCR bit 24 (FZ).
constexpr std::uint64_t kFlushBits = 1ull << 24;
std::uint64_t readMode() noexcept
{
    std::uint32_t v;
    asm volatile("vmrs %0, fpscr" : "=r"(v));
    return v;
}
void writeMode(std::uint64_t mode) noexcept
{
    std::uint32_t v = static_cast<std::uint32_t>(mode);
    asm volatile("vmsr fpscr, %0" : : "r"(v));
}
#else
constexpr std::uint64_t kFlushBits = 0;
std::uint64_t readMode() noexcept { return 0; }
void writeMode(std::uint64_t) noexcept {}
#endif

} // namespace

void ScopedFlushDenormals::take() noexcept
{
    bool& thisThread = held_;
    owned_ = &thisThread;
    thisThread = true;
    saved_ = readMode();
    if ((saved_ & kFlushBits) != kFlushBits)
        writeMode(saved_ | kFlushBits);
}

void ScopedFlushDenormals::restore() noexcept
{
    *owned_ = false;
    if (readMode() != saved_)
        writeMode(saved_);
}

bool ScopedFlushDenormals::isActive() noexcept
{
    return kFlushBits != 0 && (readMode() & kFlushBits) == kFlushBits;
}

} // namespace Lumora::DSP
