// The whole product engine rendering a minute of held notes, as fast as one thread can, the way a
// host would drive it: an audio I/O attached, blocks of 256 frames at 44.1 kHz. For the engine's
// initialized sound and for a heavy sound (every module and effect busy), with 0, 1, 8, 24 and 32
// notes held, it prints the process CPU time, how many times faster than real time that is, the
// voice-seconds rendered per CPU-second, the worst blocks (the 99.9th percentile and the maximum of
// the thread CPU time of one block, as a fraction of the block's real-time budget) and the level
// of the output (RMS and peak over both channels), so that a regression in any part of the render
// path shows without a profiler. Each row renders twice: once for the CPU time, once with the
// clock read around every block for the worst blocks.
//
// The "plug-in" rows render the initialized sound through the LV2 plug-in instead, loaded from
// the build folder's bundle by a lilv host as the LV2 tests load it (the host restores the sound
// as a saved state, sends the notes as MIDI events and runs the worker's requests): what the
// plug-in's shell adds to the engine's cost, row for row against "default".
//
//   corvane_whole_bench [--seconds S] [--sound default|heavy|plugin] [--notes N] [--block F | --sweep] [--once]
//
// --seconds shortens the render (default 60); --sound and --notes pick one row of the table, e.g.
// to run one case under a profiler; --block renders in blocks of F frames instead of 256, --sweep
// in blocks of 32, 64, 128, 256, 512 and 1024 frames in turn; --once renders each row a single time,
// without the worst-block figures, so that a profiler's instruction counts are those of one render.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "bench/plugin/Lv2WholeProcess.h"
#include "bench/synthesis/voice/WholeProcessResult.h"
#include "engine/audio/SyncInformation.h"
#include "engine/midi/MidiMessage.h"
#include "engine/synth/SynthCommonParameters.h"
#include "synthesis/dsp/noise/XorAddGenerator.h"
#include "synthesis/voice/engine/AudioEngine.h"
#include "tests/synthesis/voice/engine/EngineFixture.h"
#include "tests/synthesis/voice/engine/HeavySound.h"

namespace {

using Lumora::Corvane::AudioEngine;
using WholeProcess::processCpuSeconds;
using WholeProcess::Result;
using WholeProcess::takeWorstBlocks;
using WholeProcess::threadCpuSeconds;
using Lumora::Corvane::Instrument;
using Token = Lumora::ParameterObserver::Token;

constexpr float kRate = 44100.0f;
constexpr unsigned kDefaultBlock = 256;
constexpr double kSilenceSeconds = 0.5;

enum class Sound { Default, Heavy, Plugin };

const char* soundName(Sound s) {
    switch (s) {
    case Sound::Default: return "default";
    case Sound::Heavy: return "heavy";
    case Sound::Plugin: return "plug-in";
    }
    return "";
}

void setConcrete(Lumora::Parameter& p, float value) { p.setConcreteValue(value, Token::Mixed); }

// timeBlocks: read the thread's CPU clock around every block for the worst-block figures. The
// reads are system calls of about a microsecond, as much as an idle 32-frame block costs, so the
// total CPU time is taken from a run without them.
void allowEveryVoice(AudioEngine& engine) {
    if (auto* common = engine.commonParameters()) {
        setConcrete(common->master.maxPolyphony, static_cast<float>(Instrument::kVoiceCapacity));
    }
}

// The whole state of the engine's initialized sound, every voice allowed, as a host saves it.
std::string initializedSoundState() {
    auto engine = std::make_unique<AudioEngine>(AudioEngine::Config{}, "Corvane", 2);
    auto io = std::make_unique<EngineTest::SilentAudioIO>(engine.get());
    allowEveryVoice(*engine);
    return engine->serialize(Lumora::SerializeWhat::FullState, Lumora::SerializeWhere::PluginHostState);
}

Result run(Sound sound, unsigned notes, double seconds, unsigned block, bool timeBlocks) {
    if (sound == Sound::Plugin) {
        static std::string const state = initializedSoundState();
        return WholeProcess::renderPlugin(state, kRate, notes, seconds, block, timeBlocks);
    }
    auto engine = std::make_unique<AudioEngine>(AudioEngine::Config{}, "Corvane", 2);
    auto io = std::make_unique<EngineTest::SilentAudioIO>(engine.get());
    engine->setMaximumFramesToRender(block);
    engine->allocateRenderResources(kRate);
    allowEveryVoice(*engine);
    if (sound == Sound::Heavy) {
        EngineTest::makeHeavySound(*engine);
    }
    Lumora::DSP::sharedGenerator.store(Lumora::DSP::XorAddGenerator());

    std::vector<float> left(block);
    std::vector<float> right(block);
    const std::vector<float*> outputs{left.data(), right.data()};
    Lumora::SyncInformation sync;
    const std::deque<Lumora::MidiMessage> none;

    const auto silence = static_cast<uint64_t>(kSilenceSeconds * kRate);
    for (uint64_t done = 0; done < silence; done += block) {
        io->renderBlock({}, outputs, static_cast<unsigned>(std::min<uint64_t>(block, silence - done)), kRate, none,
                        sync);
    }

    std::deque<Lumora::MidiMessage> chord;
    for (unsigned i = 0; i < notes; ++i) {
        chord.emplace_back(0x90, 36 + static_cast<int>((i * 7) % 60), 100);
    }

    // The output is kept (written into memory touched up front) and measured after the clock
    // stops, so that the timing holds the render alone.
    const auto frames = static_cast<uint64_t>(seconds * kRate);
    std::vector<float> keptLeft(frames);
    std::vector<float> keptRight(frames);

    std::vector<double> blockCpu;
    if (timeBlocks) {
        blockCpu.reserve(frames / block + 1);
    }
    const double start = processCpuSeconds();
    for (uint64_t done = 0; done < frames; done += block) {
        const auto n = static_cast<unsigned>(std::min<uint64_t>(block, frames - done));
        if (timeBlocks) {
            const double blockStart = threadCpuSeconds();
            io->renderBlock({}, outputs, n, kRate, done == 0 ? chord : none, sync);
            blockCpu.push_back((threadCpuSeconds() - blockStart) * static_cast<double>(kRate) / n);
        } else {
            io->renderBlock({}, outputs, n, kRate, done == 0 ? chord : none, sync);
        }
        std::memcpy(keptLeft.data() + done, left.data(), n * sizeof(float));
        std::memcpy(keptRight.data() + done, right.data(), n * sizeof(float));
    }
    Result r;
    r.cpuSeconds = processCpuSeconds() - start;
    r.voices = static_cast<int>(engine->instrument().numOfActiveVoices());
    takeWorstBlocks(blockCpu, r);

    const double l = EngineTest::rms(keptLeft);
    const double rr = EngineTest::rms(keptRight);
    r.rms = std::sqrt(0.5 * (l * l + rr * rr));
    r.peak = std::max(EngineTest::peak(keptLeft), EngineTest::peak(keptRight));
    io.reset();
    return r;
}

struct Options {
    double seconds = 60.0;
    std::vector<Sound> sounds{Sound::Default, Sound::Heavy, Sound::Plugin};
    std::vector<unsigned> notes{0, 1, 8, 24, 32};
    std::vector<unsigned> blocks{kDefaultBlock};
    bool worstBlocks = true;
};

[[noreturn]] void usage(const char* program) {
    std::fprintf(stderr, "usage: %s [--seconds S] [--sound default|heavy|plugin] [--notes N] [--block F | --sweep] [--once]\n",
                 program);
    std::exit(2);
}

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--seconds") == 0 && hasValue) {
            o.seconds = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--sound") == 0 && hasValue) {
            const std::string name = argv[++i];
            if (name == "default") o.sounds = {Sound::Default};
            else if (name == "heavy") o.sounds = {Sound::Heavy};
            else if (name == "plugin") o.sounds = {Sound::Plugin};
            else usage(argv[0]);
        } else if (std::strcmp(argv[i], "--notes") == 0 && hasValue) {
            const int n = std::atoi(argv[++i]);
            if (n < 0 || n > 128) usage(argv[0]);
            o.notes = {static_cast<unsigned>(n)};
        } else if (std::strcmp(argv[i], "--block") == 0 && hasValue) {
            const int f = std::atoi(argv[++i]);
            if (f < 1 || f > 4096) usage(argv[0]);
            o.blocks = {static_cast<unsigned>(f)};
        } else if (std::strcmp(argv[i], "--sweep") == 0) {
            o.blocks = {32, 64, 128, 256, 512, 1024};
        } else if (std::strcmp(argv[i], "--once") == 0) {
            o.worstBlocks = false;
        } else {
            usage(argv[0]);
        }
    }
    if (!(o.seconds > 0.0) || o.seconds > 3600.0) {
        std::fprintf(stderr, "--seconds must lie in (0, 3600]\n");
        std::exit(2);
    }
    return o;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    const double seconds = options.seconds;
    std::printf("Corvane whole process: %.1f s at %.0f Hz, one thread, max polyphony %u\n", seconds,
                static_cast<double>(kRate), Instrument::kVoiceCapacity);
    std::printf("%-8s %5s %6s %6s %9s %10s %12s %9s %8s %8s %9s %9s\n", "sound", "notes", "block", "voices", "cpu s",
                "x realtime", "voice-s/cpu", "% core", "p99.9 %", "max %", "rms", "peak");
    for (Sound sound : options.sounds) {
        for (unsigned notes : options.notes) {
            for (unsigned block : options.blocks) {
                Result r = run(sound, notes, seconds, block, false);
                if (options.worstBlocks) {
                    const Result timed = run(sound, notes, seconds, block, true);
                    r.blockP999 = timed.blockP999;
                    r.blockMax = timed.blockMax;
                }
                const double cpu = std::max(r.cpuSeconds, 1e-9);
                const double voiceSeconds = static_cast<double>(std::min(notes, Instrument::kVoiceCapacity)) * seconds;
                const std::string voices = r.voices < 0 ? "-" : std::to_string(r.voices);
                std::printf("%-8s %5u %6u %6s %9.3f %10.1f %12.1f %9.3f %8.2f %8.2f %9.4f %9.4f\n", soundName(sound),
                            notes, block, voices.c_str(), r.cpuSeconds, seconds / cpu, voiceSeconds / cpu,
                            100.0 * r.cpuSeconds / seconds, 100.0 * r.blockP999, 100.0 * r.blockMax, r.rms, r.peak);
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
