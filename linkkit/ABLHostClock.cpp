#include "linkkit/ABLHostClock.h"

#include <cmath>
#include <ctime>

ABLHostClock::Ticks ABLHostClock::ticks()
{
    // CLOCK_MONOTONIC is the clock behind std::chrono::steady_clock on Linux.
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<Ticks>(now.tv_sec) * 1'000'000'000ULL + static_cast<Ticks>(now.tv_nsec);
}

ABLHostClock::Micros ABLHostClock::ticksToMicros(Ticks ticks)
{
    return Micros { std::llround(kMicrosPerTick * static_cast<double>(ticks)) };
}

ABLHostClock::Ticks ABLHostClock::microsToTicks(Micros micros)
{
    return micros.count() <= 0 ? 0 : static_cast<Ticks>(static_cast<double>(micros.count()) / kMicrosPerTick);
}

ABLHostClock::Micros ABLHostClock::micros() const
{
    return ticksToMicros(ticks());
}
