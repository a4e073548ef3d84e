#include "bench/platform/CallbackTrace.h"

#include <algorithm>
#include <ctime>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

namespace {

uint64_t nanosOf(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<uint64_t>(t.tv_sec) * 1000000000ull + static_cast<uint64_t>(t.tv_nsec);
}

uint32_t narrow(uint64_t value) { return static_cast<uint32_t>(std::min<uint64_t>(value, UINT32_MAX)); }

const char* policyName(int policy) {
    switch (policy) {
    case SCHED_FIFO: return "SCHED_FIFO";
    case SCHED_RR: return "SCHED_RR";
    case SCHED_OTHER: return "SCHED_OTHER";
    default: return "unknown";
    }
}

double percentile(std::vector<uint32_t> values, double fraction) {
    if (values.empty()) return 0.0;
    const auto k = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<long>(k), values.end());
    return values[k];
}

} // namespace

CallbackTrace::CallbackTrace(unsigned capacity, double periodNanos) : periodNanos_(periodNanos) {
    std::size_t size = 1;
    while (size < capacity) size <<= 1;
    // Value-initialized, so every page of the ring is written before the process thread runs.
    ring_.resize(size);
    mask_ = size - 1;
}

void CallbackTrace::begin(uint64_t cycle, unsigned frames, unsigned midi, uint64_t previousDriverNanos) {
    if (count_ > 0 && cycle != lastCycle_) at(count_ - 1).driverNanos = narrow(previousDriverNanos);
    if (policy_ < 0) {
        sched_param param{};
        pthread_getschedparam(pthread_self(), &policy_, &param);
        priority_ = param.sched_priority;
    }
    Record& r = at(count_);
    r = Record{};
    r.cycle = cycle;
    r.frames = static_cast<uint16_t>(frames);
    r.midi = static_cast<uint16_t>(std::min(midi, 65535u));
    r.core = static_cast<int16_t>(sched_getcpu());
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    minorAtBegin_ = usage.ru_minflt;
    majorAtBegin_ = usage.ru_majflt;
    involuntaryAtBegin_ = usage.ru_nivcsw;
    voluntaryAtBegin_ = usage.ru_nvcsw;
    lastCycle_ = cycle;
    cpuAtBegin_ = nanosOf(CLOCK_THREAD_CPUTIME_ID);
    r.startNanos = nanosOf(CLOCK_MONOTONIC);
}

void CallbackTrace::end(unsigned voices) {
    const uint64_t wallEnd = nanosOf(CLOCK_MONOTONIC);
    const uint64_t cpuEnd = nanosOf(CLOCK_THREAD_CPUTIME_ID);
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    Record& r = at(count_);
    r.wallNanos = narrow(wallEnd - r.startNanos);
    r.cpuNanos = narrow(cpuEnd - cpuAtBegin_);
    r.minorFaults = narrow(static_cast<uint64_t>(usage.ru_minflt - minorAtBegin_));
    r.majorFaults = narrow(static_cast<uint64_t>(usage.ru_majflt - majorAtBegin_));
    r.involuntarySwitches = narrow(static_cast<uint64_t>(usage.ru_nivcsw - involuntaryAtBegin_));
    r.voluntarySwitches = narrow(static_cast<uint64_t>(usage.ru_nvcsw - voluntaryAtBegin_));
    r.voices = static_cast<uint16_t>(std::min(voices, 65535u));
    if (!measuring_.load(std::memory_order_relaxed) && r.minorFaults > 0) {
        warmupMinorFaults_ += r.minorFaults;
        if (warmupFaultingCount_ < kFaultingCallsShown) warmupFaulting_[warmupFaultingCount_++] = {count_.load(), r.minorFaults};
    }
    count_.fetch_add(1, std::memory_order_release);
}

void CallbackTrace::report(std::FILE* out, unsigned slowest, unsigned neighbours) const {
    const uint64_t from = std::max<uint64_t>(measuredFrom_.load(), oldest());
    if (count_ <= from) {
        std::fprintf(out, "trace: no render call recorded\n");
        return;
    }
    reportSummary(out, from);
    reportSlowest(out, from, slowest, neighbours);
}

bool CallbackTrace::writeCsv(const char* path) const {
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr) return false;
    std::fprintf(file, "call,cycle,start_ns,wall_ns,cpu_ns,minflt,majflt,ivcs,vcs,core,voices,midi,frames,driver_ns\n");
    const uint64_t from = std::max<uint64_t>(measuredFrom_.load(), oldest());
    for (uint64_t i = from; i < count_; ++i) {
        const Record& r = at(i);
        std::fprintf(file, "%llu,%llu,%llu,%u,%u,%u,%u,%u,%u,%d,%u,%u,%u,%u\n", static_cast<unsigned long long>(i - from),
                     static_cast<unsigned long long>(r.cycle), static_cast<unsigned long long>(r.startNanos),
                     r.wallNanos, r.cpuNanos, r.minorFaults, r.majorFaults, r.involuntarySwitches,
                     r.voluntarySwitches, r.core, r.voices, r.midi, r.frames, r.driverNanos);
    }
    return std::fclose(file) == 0;
}

void CallbackTrace::reportSummary(std::FILE* out, uint64_t from) const {
    std::vector<uint32_t> wall, cpu;
    uint64_t minor = 0, major = 0, involuntary = 0, callsWithFaults = 0, moves = 0, split = 0;
    for (uint64_t i = from; i < count_; ++i) {
        const Record& r = at(i);
        wall.push_back(r.wallNanos);
        cpu.push_back(r.cpuNanos);
        minor += r.minorFaults;
        major += r.majorFaults;
        involuntary += r.involuntarySwitches;
        callsWithFaults += (r.minorFaults + r.majorFaults) > 0;
        if (i > from && r.core != at(i - 1).core) ++moves;
        if (i > from && r.cycle == at(i - 1).cycle) ++split;
    }
    const double toPercent = 100.0 / periodNanos_;
    std::fprintf(out, "trace: process thread %s priority %d; %llu render calls measured (%llu in cycles of several)\n",
                 policyName(policy_), priority_, static_cast<unsigned long long>(count_ - from),
                 static_cast<unsigned long long>(split));
    std::fprintf(out, "trace: page faults %llu minor, %llu major in %llu calls (warm-up: %llu minor); "
                      "%llu involuntary switches; %llu moves to another core\n",
                 static_cast<unsigned long long>(minor), static_cast<unsigned long long>(major),
                 static_cast<unsigned long long>(callsWithFaults), static_cast<unsigned long long>(warmupMinorFaults_),
                 static_cast<unsigned long long>(involuntary), static_cast<unsigned long long>(moves));
    if (warmupFaultingCount_ > 0) {
        std::fprintf(out, "trace: first warm-up calls with faults (call: minor faults, thread CPU us):");
        for (unsigned i = 0; i < warmupFaultingCount_; ++i) {
            const uint64_t call = warmupFaulting_[i].first;
            const bool kept = call >= oldest();
            std::fprintf(out, " %llu: %u, %.0f", static_cast<unsigned long long>(call), warmupFaulting_[i].second,
                         kept ? at(call).cpuNanos * 1e-3 : 0.0);
        }
        std::fprintf(out, "\n");
    }
    std::fprintf(out, "trace: of the period   median  99%%  99.9%%  max\n");
    std::fprintf(out, "trace:   wall        %6.1f%% %5.1f%% %5.1f%% %5.1f%%\n", percentile(wall, 0.5) * toPercent,
                 percentile(wall, 0.99) * toPercent, percentile(wall, 0.999) * toPercent,
                 percentile(wall, 1.0) * toPercent);
    std::fprintf(out, "trace:   thread CPU  %6.1f%% %5.1f%% %5.1f%% %5.1f%%\n", percentile(cpu, 0.5) * toPercent,
                 percentile(cpu, 0.99) * toPercent, percentile(cpu, 0.999) * toPercent,
                 percentile(cpu, 1.0) * toPercent);
}

void CallbackTrace::reportSlowest(std::FILE* out, uint64_t from, unsigned slowest, unsigned neighbours) const {
    std::vector<uint64_t> order;
    for (uint64_t i = from; i < count_; ++i) order.push_back(i);
    const auto n = std::min<std::size_t>(slowest, order.size());
    std::partial_sort(order.begin(), order.begin() + static_cast<long>(n), order.end(),
                      [&](uint64_t a, uint64_t b) { return at(a).wallNanos > at(b).wallNanos; });
    order.resize(n);
    std::fprintf(out, "trace: the %zu slowest render calls by wall time (*) with %u neighbours each side\n", n,
                 neighbours);
    std::fprintf(out, "%9s %9s %7s %6s %8s %8s %6s %6s %5s %4s %4s %4s %6s %4s %8s\n", "call", "ms", "gap us", "frames",
                 "wall us", "cpu us", "cpu %", "minflt", "majflt", "ivcs", "vcs", "core", "voices", "midi", "drv us");
    std::vector<uint64_t> marked(order);
    std::sort(order.begin(), order.end());
    uint64_t printedUpTo = from;
    bool any = false;
    for (uint64_t centre : order) {
        const uint64_t first = std::max(from, centre >= neighbours ? centre - neighbours : 0);
        const uint64_t last = std::min(count_ - 1, centre + neighbours);
        if (any && first > printedUpTo) std::fprintf(out, "%9s\n", "...");
        for (uint64_t i = std::max(first, any ? printedUpTo : first); i <= last; ++i) {
            printRow(out, i, from, std::find(marked.begin(), marked.end(), i) != marked.end());
        }
        printedUpTo = last + 1;
        any = true;
    }
}

void CallbackTrace::printRow(std::FILE* out, uint64_t index, uint64_t from, bool marked) const {
    const Record& r = at(index);
    const double gap = index > 0 && index - 1 >= oldest() ? (r.startNanos - at(index - 1).startNanos) * 1e-3 : 0.0;
    const double ms = (r.startNanos - at(from).startNanos) * 1e-6;
    std::fprintf(out, "%c%8lld %9.2f %7.0f %6u %8.1f %8.1f %5.0f%% %6u %6u %4u %4u %4d %6u %4u %8.1f\n",
                 marked ? '*' : ' ', static_cast<long long>(index - from), ms, gap, r.frames, r.wallNanos * 1e-3,
                 r.cpuNanos * 1e-3, 100.0 * r.cpuNanos / periodNanos_, r.minorFaults, r.majorFaults,
                 r.involuntarySwitches, r.voluntarySwitches, r.core, r.voices, r.midi, r.driverNanos * 1e-3);
}
