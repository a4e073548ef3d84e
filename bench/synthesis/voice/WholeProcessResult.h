#pragma once

// What one row of the whole-process benchmark measures, and the CPU clocks it reads.

#include <algorithm>
#include <ctime>
#include <vector>

namespace WholeProcess {

struct Result {
    double cpuSeconds = 0.0;
    int voices = -1; // sounding at the end; -1 when the renderer cannot see them
    double rms = 0.0;
    double peak = 0.0;
    double blockP999 = 0.0; // of the block's budget
    double blockMax = 0.0;
};

inline double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

inline double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The worst blocks from the CPU time of every block, as fractions of its budget.
inline void takeWorstBlocks(std::vector<double>& blockCpu, Result& r) {
    if (blockCpu.empty())
        return;
    std::sort(blockCpu.begin(), blockCpu.end());
    r.blockMax = blockCpu.back();
    r.blockP999 = blockCpu[std::min(blockCpu.size() - 1, blockCpu.size() * 999 / 1000)];
}

} // namespace WholeProcess
