// The live path under a real JACK server: the whole engine playing 24 notes of the heavy sound
// through the JACK driver, on a dummy server of the benchmark's own at 64 and at 256 frames per
// period (48 kHz). For each it reports the server's DSP load (mean and highest of one reading a
// second) and the worst process callback as a fraction of the period; the target is a worst
// callback under 50 % of the period at 64 frames.
//
//   corvane_live_bench [--seconds S] [--notes N] [--period F]... [--realtime]
//
// --realtime runs the server with realtime scheduling (jackd --realtime, which needs the right to
// it: root, or a member of the audio group with an rtprio limit), as musicians run JACK; without
// it the callback's worst time is mostly the time other programs held its core.
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

#include <unistd.h>

#include "engine/audio/SyncInformation.h"
#include "engine/midi/MidiMessage.h"
#include "engine/synth/SynthCommonParameters.h"
#include "platform/audio/JackDriver.h"
#include "platform/audio/OutputUnit.h"
#include "synthesis/voice/engine/AudioEngine.h"
#include "tests/common/JackTestClient.h"
#include "tests/synthesis/voice/engine/EngineFixture.h"
#include "tests/synthesis/voice/engine/HeavySound.h"

namespace {

using Lumora::Corvane::AudioEngine;
using Lumora::Corvane::Instrument;

constexpr unsigned kRate = 48000;

struct Result {
    unsigned period = 0;
    double meanLoad = 0.0;
    double maxLoad = 0.0;
    double worstFraction = 0.0;
    double worstCpuFraction = 0.0;   // the same callback's thread CPU time: the work itself
    unsigned long long xruns = 0;
    unsigned voices = 0;
};

uint64_t threadCpuNanos() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<uint64_t>(t.tv_sec) * 1000000000ull + static_cast<uint64_t>(t.tv_nsec);
}

bool measure(unsigned period, unsigned notes, double seconds, bool realtime, Result& result) {
    JackTest::Server server("corvane-live-bench-" + std::to_string(getpid()), kRate, period, realtime);
    if (!JackTest::serverAnswers(server.name())) {
        std::fprintf(stderr, "corvane_live_bench: jackd did not start\n");
        return false;
    }
    auto engine = std::make_unique<AudioEngine>(AudioEngine::Config{}, "Corvane", 2);
    auto io = std::make_unique<EngineTest::SilentAudioIO>(engine.get());
    engine->setMaximumFramesToRender(1024);
    engine->allocateRenderResources(static_cast<float>(kRate));
    if (auto* common = engine->commonParameters()) {
        common->master.maxPolyphony.setConcreteValue(static_cast<float>(Instrument::kVoiceCapacity),
                                                    Lumora::ParameterObserver::Token::Mixed);
    }
    EngineTest::makeHeavySound(*engine);

    std::deque<Lumora::MidiMessage> chord;
    for (unsigned i = 0; i < notes; ++i) chord.emplace_back(0x90, 36 + static_cast<int>((i * 7) % 60), 100);
    const std::deque<Lumora::MidiMessage> none;
    std::vector<float*> outputs(2);
    const Lumora::SyncInformation sync;
    bool played = false;

    Platform::OutputUnit unit;
    unit.setSampleRate(kRate);
    unit.setMaximumFramesPerSlice(1024);
    // The render's own thread CPU time, beside the driver's wall-clock worst: a worst callback far
    // above its CPU time was waiting for its core, not working.
    std::atomic<uint64_t> worstCpuNanos{0};
    unit.setRenderCallback([&](const Platform::OutputUnit::RenderCall& call) {
        const uint64_t before = threadCpuNanos();
        outputs[0] = call.channels[0];
        outputs[1] = call.channels[1];
        io->renderBlock({}, outputs, call.frames, static_cast<float>(kRate), played ? none : chord, sync);
        played = true;
        const uint64_t spent = threadCpuNanos() - before;
        if (spent > worstCpuNanos.load(std::memory_order_relaxed)) worstCpuNanos.store(spent, std::memory_order_relaxed);
        return true;
    });
    unit.initialize();
    unit.start();
    Platform::JackDriver driver(unit);
    std::string error;
    if (!driver.open({"Corvane", server.name(), false}, &error)) {
        std::fprintf(stderr, "corvane_live_bench: %s\n", error.c_str());
        return false;
    }
    // The first second warms caches and the server's load filter up.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    driver.resetWorstCallback();
    worstCpuNanos.store(0);
    const auto xrunsBefore = driver.xruns();
    double loadSum = 0.0;
    unsigned readings = 0;
    for (double t = 0; t < seconds; t += 1.0) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double load = driver.dspLoad();
        loadSum += load;
        result.maxLoad = std::max(result.maxLoad, load);
        ++readings;
    }
    result.period = period;
    result.meanLoad = readings ? loadSum / readings : 0.0;
    result.worstFraction = static_cast<double>(driver.worstCallbackNanos()) * 1e-9 /
                           (static_cast<double>(period) / kRate);
    result.worstCpuFraction = static_cast<double>(worstCpuNanos.load()) * 1e-9 / (static_cast<double>(period) / kRate);
    result.xruns = driver.xruns() - xrunsBefore;
    result.voices = engine->instrument().numOfActiveVoices();
    driver.close();
    io.reset();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 60.0;
    unsigned notes = 24;
    bool realtime = false;
    std::vector<unsigned> periods;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc) seconds = std::atof(argv[++i]);
        else if (a == "--notes" && i + 1 < argc) notes = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (a == "--period" && i + 1 < argc) periods.push_back(static_cast<unsigned>(std::atoi(argv[++i])));
        else if (a == "--realtime") realtime = true;
        else {
            std::fprintf(stderr, "usage: corvane_live_bench [--seconds S] [--notes N] [--period F]... [--realtime]\n");
            return 2;
        }
    }
    if (periods.empty()) periods = {64, 256};
    std::printf("live path through JACK (dummy, %u Hz), heavy sound, %u notes, %.0f s each\n", kRate, notes, seconds);
    std::printf("%8s %10s %10s %14s %12s %7s %7s\n", "period", "DSP mean", "DSP max", "worst/period", "worst CPU", "xruns",
                "voices");
    bool targetMet = true;
    for (unsigned period : periods) {
        Result r;
        if (!measure(period, notes, seconds, realtime, r)) return 1;
        std::printf("%8u %9.1f%% %9.1f%% %13.1f%% %11.1f%% %7llu %7u\n", r.period, r.meanLoad, r.maxLoad,
                    100.0 * r.worstFraction, 100.0 * r.worstCpuFraction, r.xruns, r.voices);
        if (period == 64 && r.worstFraction >= 0.5) targetMet = false;
    }
    std::printf("target (worst callback under 50%% of the period at 64 frames): %s\n", targetMet ? "met" : "MISSED");
    return 0;
}
