#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

// A record of every render call of the live benchmark, kept in a ring sized before the server
// starts, so the slow callbacks can be told apart by what came with them: page faults, a core
// taken away (involuntary switches, a wall time far above the thread's CPU time), a move to
// another core, notes arriving, a cycle split into several render calls, or the driver's own work
// around the render.
//
// begin and end run on the process thread around one render call; they read clocks and the
// thread's resource usage (getrusage, a system call: this is instrumentation, off unless asked
// for). Everything else runs on the controlling thread once the client is closed.
class CallbackTrace {
public:
    struct Record {
        uint64_t cycle = 0;          // the driver's cycle count: render calls of one cycle share it
        uint64_t startNanos = 0;     // monotonic clock at the render call's start
        uint32_t wallNanos = 0;
        uint32_t cpuNanos = 0;       // the process thread's CPU time
        uint32_t minorFaults = 0;
        uint32_t majorFaults = 0;
        uint32_t involuntarySwitches = 0;
        uint32_t voluntarySwitches = 0;
        uint32_t driverNanos = 0;    // the whole driver callback of this cycle (0: not known)
        uint16_t frames = 0;
        uint16_t voices = 0;         // sounding after the call
        uint16_t midi = 0;           // messages handed to the call
        int16_t core = -1;
    };

    CallbackTrace(unsigned capacity, double periodNanos);

    // Process thread.
    void begin(uint64_t cycle, unsigned frames, unsigned midi, uint64_t previousDriverNanos);
    void end(unsigned voices);

    // Controlling thread, while the process thread does not run: calls recorded before this
    // point are the warm-up and stay out of the ranking.
    void markMeasuredStart() {
        measuredFrom_.store(count_.load());
        measuring_.store(true);
    }
    void report(std::FILE* out, unsigned slowest, unsigned neighbours) const;
    // Every measured call, one line each, for a closer look elsewhere.
    bool writeCsv(const char* path) const;

private:
    Record& at(uint64_t index) { return ring_[index & mask_]; }
    const Record& at(uint64_t index) const { return ring_[index & mask_]; }
    uint64_t oldest() const { return count_ > ring_.size() ? count_ - ring_.size() : 0; }
    void reportSummary(std::FILE* out, uint64_t from) const;
    void reportSlowest(std::FILE* out, uint64_t from, unsigned slowest, unsigned neighbours) const;
    void printRow(std::FILE* out, uint64_t index, uint64_t from, bool marked) const;

    std::vector<Record> ring_;
    uint64_t mask_;
    double periodNanos_;
    std::atomic<uint64_t> count_{0};
    std::atomic<uint64_t> measuredFrom_{0};
    std::atomic<bool> measuring_{false};
    uint64_t lastCycle_ = ~0ull;
    // At the running call's start.
    uint64_t cpuAtBegin_ = 0;
    long minorAtBegin_ = 0, majorAtBegin_ = 0, involuntaryAtBegin_ = 0, voluntaryAtBegin_ = 0;
    // The process thread's scheduling, read at its first call.
    int policy_ = -1;
    int priority_ = 0;
    uint64_t warmupMinorFaults_ = 0;
    // The first warm-up calls that faulted: call index and minor faults.
    static constexpr unsigned kFaultingCallsShown = 8;
    std::array<std::pair<uint64_t, uint32_t>, kFaultingCallsShown> warmupFaulting_{};
    unsigned warmupFaultingCount_ = 0;
};
