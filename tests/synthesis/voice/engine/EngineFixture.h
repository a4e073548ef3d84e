#pragma once

// Drives the product engine through its render cycle for the engine tests and benchmark: a
// minimal audio I/O, note events at sample times and measurements on the stereo result.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <numbers>
#include <vector>

#include "engine/audio/MasterParameters.h"
#include "engine/audio/iAudioIO.h"
#include "engine/parameter/ParameterManager.h"
#include "synthesis/dsp/noise/XorAddGenerator.h"
#include "synthesis/voice/engine/AudioEngine.h"
#include "tests/synthesis/dsp/common/SignalAnalysis.h"

namespace EngineTest {

using Lumora::Corvane::AudioEngine;

class SilentAudioIO : public Lumora::iAudioIO {
public:
    explicit SilentAudioIO(Lumora::iAudioEngine* engine) : iAudioIO(engine) { didConstructSubClass(this); }
    void didChangeParam(const Lumora::Parameter*, Token, Lumora::AutomationEventType) override {}
    bool isPlugin() const override { return false; }
    Lumora::SyncMethod syncMethod() const override { return Lumora::SyncMethod::Internal; }
    void setSyncMethod(Lumora::SyncMethod) override {}
    bool canProposeBpm() const override { return false; }
    void proposeBpm(double) override {}
};

struct Event {
    uint64_t time; // sample at which the event is delivered (rounded down to a block start)
    int status;
    int data1;
    int data2;
};

inline Event noteOn(uint64_t time, int note, int velocity = 127) { return {time, 0x90, note, velocity}; }
inline Event noteOff(uint64_t time, int note) { return {time, 0x80, note, 0}; }

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
    std::vector<float> leftSlice(size_t from, size_t to) const {
        return {left.begin() + static_cast<long>(from), left.begin() + static_cast<long>(std::min(to, left.size()))};
    }
};

// An engine with an audio I/O attached and render resources allocated for maxFrames. Unless told
// otherwise, the process-wide random generator (pitch drift and jitter, noise) restarts from its
// seed when the rig is built, so that two rigs of one process, each built and rendered in turn,
// render the same input identically.
class EngineRig {
public:
    static constexpr float kRate = 44100.0f;

    explicit EngineRig(unsigned maxFrames = 512, bool reseed = true)
        : engine_(std::make_unique<AudioEngine>(AudioEngine::Config{}, "Corvane", 2)) {
        io_ = std::make_unique<SilentAudioIO>(engine_.get());
        engine_->setMaximumFramesToRender(maxFrames);
        engine_->allocateRenderResources(kRate);
        left_.resize(maxFrames);
        right_.resize(maxFrames);
        outputs_ = {left_.data(), right_.data()};
        // One short silent block first, as under a shell: the instrument's volume glides over the
        // first block from its initial value to the volume of the parameters.
        renderBlock(std::min(maxFrames, 64u), {});
        if (reseed) {
            Lumora::DSP::sharedGenerator.store(Lumora::DSP::XorAddGenerator());
        }
    }
    ~EngineRig() {
        io_.reset();
    }

    AudioEngine& engine() { return *engine_; }
    Lumora::Parameter& parameter(int id) { return *engine_->parameterManager().getParameter(id); }
    void set(int id, float normalized) {
        parameter(id).setNormalizedValue(normalized, Lumora::ParameterObserver::Token::Mixed,
                                         Lumora::AutomationEventType::None);
    }
    void setConcrete(int id, float concrete) {
        parameter(id).setConcreteValue(concrete, Lumora::ParameterObserver::Token::Mixed);
    }

    // Renders frames in blocks of blockFrames; events due inside a block are handed over with it.
    Stereo render(uint64_t frames, unsigned blockFrames, const std::vector<Event>& events = {}) {
        if (left_.size() < blockFrames) { // the test's own buffers, not the engine's
            left_.resize(blockFrames);
            right_.resize(blockFrames);
            outputs_ = {left_.data(), right_.data()};
        }
        Stereo out;
        out.left.reserve(frames);
        out.right.reserve(frames);
        size_t next = 0;
        Lumora::SyncInformation sync;
        uint64_t done = 0;
        while (done < frames) {
            const auto n = static_cast<unsigned>(std::min<uint64_t>(blockFrames, frames - done));
            midi_.clear();
            while (next < events.size() && events[next].time < now_ + n) {
                midi_.emplace_back(events[next].status, events[next].data1, events[next].data2);
                ++next;
            }
            io_->renderBlock({}, outputs_, n, kRate, midi_, sync);
            out.left.insert(out.left.end(), left_.begin(), left_.begin() + n);
            out.right.insert(out.right.end(), right_.begin(), right_.begin() + n);
            done += n;
            now_ += n;
        }
        return out;
    }
    // The same, but without keeping the output (benchmarks).
    void renderBlock(unsigned frames, const std::deque<Lumora::MidiMessage>& midi) {
        io_->renderBlock({}, outputs_, frames, kRate, midi, sync_);
    }
    uint64_t now() const { return now_; }

private:
    std::unique_ptr<AudioEngine> engine_;
    std::unique_ptr<SilentAudioIO> io_;
    std::vector<float> left_;
    std::vector<float> right_;
    std::vector<float*> outputs_;
    std::deque<Lumora::MidiMessage> midi_;
    Lumora::SyncInformation sync_;
    uint64_t now_ = 0;
};

// ---- measurements

// The DSP tests' measurements over samples [from, to) of x.
inline double rms(const std::vector<float>& x, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, x.size());
    return to > from ? DspTest::rms(x.data() + from, to - from) : 0.0;
}

inline double peak(const std::vector<float>& x, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, x.size());
    return to > from ? DspTest::peak(x.data() + from, to - from) : 0.0;
}

using DspTest::allClean;

// Amplitude of the component at frequency (Hann-windowed single-bin DFT).
inline double amplitudeAt(const std::vector<float>& x, size_t from, size_t n, double frequency, double rate) {
    double re = 0.0;
    double im = 0.0;
    const double w = 2.0 * std::numbers::pi * frequency / rate;
    for (size_t i = 0; i < n; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
        re += hann * x[from + i] * std::cos(w * static_cast<double>(i));
        im -= hann * x[from + i] * std::sin(w * static_cast<double>(i));
    }
    return 4.0 * std::hypot(re, im) / static_cast<double>(n);
}

// The frequency near guess (within +-range cents) whose DFT amplitude is largest, in cents off guess.
inline double centsOfStrongest(const std::vector<float>& x, size_t from, size_t n, double guess, double rate,
                               double range = 60.0) {
    double best = -range;
    double bestAmp = -1.0;
    for (double c = -range; c <= range; c += 0.5) {
        const double a = amplitudeAt(x, from, n, guess * std::exp2(c / 1200.0), rate);
        if (a > bestAmp) {
            bestAmp = a;
            best = c;
        }
    }
    return best;
}

inline double maxDifference(const std::vector<float>& a, const std::vector<float>& b) {
    double d = 0.0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) d = std::max(d, double{std::fabs(a[i] - b[i])});
    return a.size() == b.size() ? d : INFINITY;
}

} // namespace EngineTest
