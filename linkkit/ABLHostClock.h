#pragma once

#include <chrono>
#include <cstdint>

// The host clock: the time base that audio time stamps carry and that the Link
// session runs on. Its ticks are nanoseconds of the system's monotonic clock, so
// host times taken by the audio driver (std::chrono::steady_clock) and by the kit
// agree. The class also serves as the Link library's clock type.
class ABLHostClock {
public:
    using Ticks = std::uint64_t;
    using Micros = std::chrono::microseconds;

    // Microseconds per tick.
    static constexpr double kMicrosPerTick = 0.001;

    static Ticks ticks();

    // Nearest whole microsecond, halves away from zero.
    static Micros ticksToMicros(Ticks ticks);
    static Ticks microsToTicks(Micros micros);

    // The current host time in microseconds (the Link library reads its clock here).
    Micros micros() const;
};
