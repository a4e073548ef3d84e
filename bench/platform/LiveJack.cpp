// The live path under a real JACK server: the whole engine playing 24 notes of the heavy sound
// through the JACK driver, on a dummy server of the benchmark's own at 64 and at 256 frames per
// period (48 kHz). For each it reports the server's DSP load (mean and highest of one reading a
// second) and the worst process callback as a fraction of the period; the target is a worst
// callback under 50 % of the period at 64 frames.
//
//   corvane_live_bench [--seconds S] [--notes N] [--period F]... [--realtime] [--restrike S] [--trace]
//                      [--trace-csv PREFIX] [--paced | --tight] [--no-lock]
//
// Like the live program it locks its memory first (Platform::MemoryLock) where it may; --no-lock
// leaves it unlocked.
//
// --realtime runs the server with realtime scheduling (jackd --realtime, which needs the right to
// it: root, or a member of the audio group with an rtprio limit), as musicians run JACK; without
// it the callback's worst time is mostly the time other programs held its core.
//
// --restrike S releases the chord every S seconds and strikes it again in the next callback, so
// that note starts fall inside the measured time (otherwise they come in the first callback,
// during the warm-up second).
//
// --trace records every render call (CallbackTrace: wall and thread CPU time, the thread's page
// faults and context switches, its core, voices, MIDI, the driver's whole callback) and prints
// a summary and the slowest 20 calls with their neighbours. Its getrusage calls are system calls
// on the process thread: measure worst cases without it. --trace-csv PREFIX also writes every
// measured call to PREFIX<period>.csv.
//
// --paced renders from a realtime thread of the benchmark's own at each period's deadline, and
// --tight renders the periods back to back, both without a server: the engine's part of the
// worst callback, with and without the sleep between callbacks.
//
// Run a release build (scripts/bench.sh); jackd must be installed.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include "engine/audio/SyncInformation.h"
#include "engine/midi/MidiMessage.h"
#include "engine/synth/SynthCommonParameters.h"
#include "platform/audio/JackDriver.h"
#include "platform/audio/MemoryLock.h"
#include "platform/audio/OutputUnit.h"
#include "synthesis/voice/engine/AudioEngine.h"
#include "tests/common/JackTestClient.h"
#include "tests/synthesis/voice/engine/EngineFixture.h"
#include "tests/synthesis/voice/engine/HeavySound.h"

#include "bench/platform/CallbackTrace.h"

namespace {

using Lumora::Corvane::AudioEngine;
using Lumora::Corvane::Instrument;

constexpr unsigned kRate = 48000;

struct Options {
    double seconds = 60.0;
    unsigned notes = 24;
    bool realtime = false;
    double restrikeSeconds = 0.0;   // 0: the chord is struck once
    bool trace = false;
    bool lock = true;
};

struct Result {
    unsigned period = 0;
    double meanLoad = 0.0;
    double maxLoad = 0.0;
    double worstFraction = 0.0;
    double worstCpuFraction = 0.0;   // the same callback's thread CPU time: the work itself
    unsigned long long xruns = 0;
    unsigned voices = 0;
    bool realtimeClient = false;
    std::unique_ptr<CallbackTrace> trace;
    std::string memory;   // whether the memory was locked
};

uint64_t threadCpuNanos() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<uint64_t>(t.tv_sec) * 1000000000ull + static_cast<uint64_t>(t.tv_nsec);
}

// Where the render calls come from: the JACK driver, or, to tell the server's part from the
// engine's, a thread of the benchmark's own that renders one period at each period's deadline
// (paced) or all periods back to back (tight), on the same unit.
enum class Source { Jack, Paced, Tight };

// The engine with the heavy sound on an output unit whose callback plays the chord.
struct Rig {
    std::unique_ptr<AudioEngine> engine;
    std::unique_ptr<EngineTest::SilentAudioIO> io;
    Platform::OutputUnit unit;
    std::deque<Lumora::MidiMessage> chord, release, none;
    std::vector<float*> outputs = std::vector<float*>(2);
    const Lumora::SyncInformation sync{};
    bool played = false;
    uint64_t restrikeFrames = 0;
    uint64_t nextRelease = UINT64_MAX;
    std::unique_ptr<CallbackTrace> trace;
    // The cycle and the last whole callback for the trace: the driver's, or the paced thread's.
    const Platform::JackDriver* driver = nullptr;
    std::atomic<uint64_t> pacedCycles{0};
    // The render's own thread CPU time, beside the driver's wall-clock worst: a worst callback far
    // above its CPU time was waiting for its core, not working.
    std::atomic<uint64_t> worstCpuNanos{0};

    Rig(unsigned period, const Options& options);
    bool render(const Platform::OutputUnit::RenderCall& call);
};

Rig::Rig(unsigned period, const Options& options) {
    engine = std::make_unique<AudioEngine>(AudioEngine::Config{}, "Corvane", 2);
    io = std::make_unique<EngineTest::SilentAudioIO>(engine.get());
    engine->setMaximumFramesToRender(1024);
    engine->allocateRenderResources(static_cast<float>(kRate));
    if (auto* common = engine->commonParameters()) {
        common->master.maxPolyphony.setConcreteValue(static_cast<float>(Instrument::kVoiceCapacity),
                                                    Lumora::ParameterObserver::Token::Mixed);
    }
    EngineTest::makeHeavySound(*engine);
    for (unsigned i = 0; i < options.notes; ++i) {
        const int note = 36 + static_cast<int>((i * 7) % 60);
        chord.emplace_back(0x90, note, 100);
        release.emplace_back(0x80, note, 0);
    }
    // Room for every call of the run, the warm-up second and a margin included.
    if (options.trace) {
        trace = std::make_unique<CallbackTrace>(static_cast<unsigned>((options.seconds + 4.0) * kRate / period),
                                                1e9 * period / kRate);
    }
    restrikeFrames = static_cast<uint64_t>(options.restrikeSeconds * kRate);
    if (restrikeFrames > 0) nextRelease = restrikeFrames;
    unit.setSampleRate(kRate);
    unit.setMaximumFramesPerSlice(1024);
    unit.setRenderCallback([this](const Platform::OutputUnit::RenderCall& call) { return render(call); });
    unit.initialize();
    unit.start();
}

bool Rig::render(const Platform::OutputUnit::RenderCall& call) {
    const std::deque<Lumora::MidiMessage>* midi = played ? &none : &chord;
    played = true;
    if (call.sampleTime >= nextRelease) {
        midi = &release;
        played = false;
        nextRelease += restrikeFrames;
    }
    if (trace) {
        const uint64_t cycle = driver ? driver->cycles() : pacedCycles.load(std::memory_order_relaxed);
        trace->begin(cycle, call.frames, static_cast<unsigned>(midi->size()), driver ? driver->lastCallbackNanos() : 0);
    }
    const uint64_t before = threadCpuNanos();
    outputs[0] = call.channels[0];
    outputs[1] = call.channels[1];
    io->renderBlock({}, outputs, call.frames, static_cast<float>(kRate), *midi, sync);
    if (trace) trace->end(engine->instrument().numOfActiveVoices());
    const uint64_t spent = threadCpuNanos() - before;
    if (spent > worstCpuNanos.load(std::memory_order_relaxed)) worstCpuNanos.store(spent, std::memory_order_relaxed);
    return true;
}

double fractionOfPeriod(uint64_t nanos, unsigned period) {
    return static_cast<double>(nanos) * 1e-9 / (static_cast<double>(period) / kRate);
}

bool measureJack(Rig& rig, const std::string& server, unsigned period, const Options& options, Result& result) {
    Platform::JackDriver driver(rig.unit);
    rig.driver = &driver;
    std::string error;
    if (!driver.open({"Corvane", server, false}, &error)) {
        std::fprintf(stderr, "corvane_live_bench: %s\n", error.c_str());
        return false;
    }
    // The first second warms caches and the server's load filter up.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    driver.resetWorstCallback();
    rig.worstCpuNanos.store(0);
    if (rig.trace) rig.trace->markMeasuredStart();
    const auto xrunsBefore = driver.xruns();
    double loadSum = 0.0;
    unsigned readings = 0;
    for (double t = 0; t < options.seconds; t += 1.0) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double load = driver.dspLoad();
        loadSum += load;
        result.maxLoad = std::max(result.maxLoad, load);
        ++readings;
    }
    result.meanLoad = readings ? loadSum / readings : 0.0;
    result.worstFraction = fractionOfPeriod(driver.worstCallbackNanos(), period);
    result.xruns = driver.xruns() - xrunsBefore;
    result.realtimeClient = driver.realtime();
    driver.close();
    rig.driver = nullptr;
    return true;
}

uint64_t monotonicNanos() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint64_t>(t.tv_sec) * 1000000000ull + static_cast<uint64_t>(t.tv_nsec);
}

// The paced thread asks for realtime scheduling at the priority libjack gives a client of a
// realtime server (its default: the server's 10 less 5), so the comparison holds.
void measureOwnThread(Rig& rig, unsigned period, const Options& options, bool paced, Result& result) {
    std::thread thread([&] {
        if (options.realtime) {
            sched_param param{};
            param.sched_priority = 5;
            result.realtimeClient = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
        }
        const uint64_t periodNanos = static_cast<uint64_t>(1e9 * period / kRate);
        const uint64_t warmup = kRate / period;
        const auto cycles = static_cast<uint64_t>(options.seconds * kRate / period) + warmup;
        uint64_t worstWall = 0;
        uint64_t deadline = monotonicNanos();
        for (uint64_t cycle = 0; cycle < cycles; ++cycle) {
            if (paced) {
                deadline += periodNanos;
                const timespec at{static_cast<time_t>(deadline / 1000000000ull),
                                  static_cast<long>(deadline % 1000000000ull)};
                clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
            }
            if (cycle == warmup) {
                rig.worstCpuNanos.store(0);
                if (rig.trace) rig.trace->markMeasuredStart();
            }
            const uint64_t begin = monotonicNanos();
            rig.unit.render(period);
            rig.pacedCycles.store(cycle + 1, std::memory_order_relaxed);
            if (cycle >= warmup) worstWall = std::max(worstWall, monotonicNanos() - begin);
        }
        result.worstFraction = fractionOfPeriod(worstWall, period);
    });
    thread.join();
}

bool measure(unsigned period, Source source, const Options& options, Result& result) {
    // The server first: starting it forks, and a fork after the engine was made would leave every
    // page of the engine copy-on-write, to fault on the render thread's first write.
    std::unique_ptr<JackTest::Server> server;
    if (source == Source::Jack) {
        server = std::make_unique<JackTest::Server>("corvane-live-bench-" + std::to_string(getpid()), kRate, period,
                                                    options.realtime);
        if (!JackTest::serverAnswers(server->name())) {
            std::fprintf(stderr, "corvane_live_bench: jackd did not start\n");
            return false;
        }
    }
    // Locked after the server's forks (which would leave the locked pages copy-on-write) and
    // before the engine is made, as the live program locks before it starts its driver.
    result.memory = options.lock ? Platform::MemoryLock::lockAll().message : "memory not locked (--no-lock)";
    Rig rig(period, options);
    result.period = period;
    if (server) {
        if (!measureJack(rig, server->name(), period, options, result)) return false;
    } else {
        measureOwnThread(rig, period, options, source == Source::Paced, result);
    }
    result.worstCpuFraction = fractionOfPeriod(rig.worstCpuNanos.load(), period);
    result.voices = rig.engine->instrument().numOfActiveVoices();
    rig.io.reset();
    result.trace = std::move(rig.trace);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    Source source = Source::Jack;
    std::string csvPrefix;
    bool lock = true;
    std::vector<unsigned> periods;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc) options.seconds = std::atof(argv[++i]);
        else if (a == "--notes" && i + 1 < argc) options.notes = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (a == "--period" && i + 1 < argc) periods.push_back(static_cast<unsigned>(std::atoi(argv[++i])));
        else if (a == "--realtime") options.realtime = true;
        else if (a == "--restrike" && i + 1 < argc) options.restrikeSeconds = std::atof(argv[++i]);
        else if (a == "--trace") options.trace = true;
        else if (a == "--trace-csv" && i + 1 < argc) {
            csvPrefix = argv[++i];
            options.trace = true;
        }
        else if (a == "--paced") source = Source::Paced;
        else if (a == "--no-lock") lock = false;
        else if (a == "--tight") source = Source::Tight;
        else {
            std::fprintf(stderr, "usage: corvane_live_bench [--seconds S] [--notes N] [--period F]... [--realtime] "
                                 "[--restrike S] [--trace] [--trace-csv PREFIX] [--paced | --tight] [--no-lock]\n");
            return 2;
        }
    }
    if (periods.empty()) periods = {64, 256};
    options.lock = lock;
    std::printf("live path through JACK (dummy, %u Hz), heavy sound, %u notes, %.0f s each\n", kRate, options.notes,
                options.seconds);
    std::printf("%8s %10s %10s %14s %12s %7s %7s %9s\n", "period", "DSP mean", "DSP max", "worst/period", "worst CPU",
                "xruns", "voices", "realtime");
    bool targetMet = true;
    for (unsigned period : periods) {
        Result r;
        if (!measure(period, source, options, r)) return 1;
        std::printf("%8u %9.1f%% %9.1f%% %13.1f%% %11.1f%% %7llu %7u %9s\n", r.period, r.meanLoad, r.maxLoad,
                    100.0 * r.worstFraction, 100.0 * r.worstCpuFraction, r.xruns, r.voices,
                    r.realtimeClient ? "yes" : "no");
        if (r.trace) {
            std::printf("trace: %s\n", r.memory.c_str());
            r.trace->report(stdout, 20, 2);
        }
        if (r.trace && !csvPrefix.empty()) r.trace->writeCsv((csvPrefix + std::to_string(period) + ".csv").c_str());
        if (period == 64 && r.worstFraction >= 0.5) targetMet = false;
    }
    std::printf("target (worst callback under 50%% of the period at 64 frames): %s\n", targetMet ? "met" : "MISSED");
    return 0;
}
