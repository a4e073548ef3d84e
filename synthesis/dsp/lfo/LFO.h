#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <limits>
#include <vector>

namespace Lumora::DSP {

// A low-frequency oscillator whose phase follows the engine's running sample count: every call
// advances it by the samples elapsed since the previous call, so an LFO that was not run for a
// while resumes where the elapsed time puts it, and LFOs of equal wavelength stay in step.
// Renders into a buffer, or only the levels at the start and end of each span, from which any
// sample's level is interpolated. Levels lie in [0, 1].
class LFO {
public:
    enum WAVEFORM_TYPE : std::uint32_t {
        Sine = 0,
        TriangleSaw = 1,
        SpikeSaw = 2,
        Rectangle = 3,
        Random = 4,
        StepSeq = 5,
        SawTriSqu = 6,
        UsawTriDsawPls = 7,
        UsawTriDsawSquRnd = 8,
        WaveformCount = 9,
    };
    class WaveGenelator;

    explicit LFO(WAVEFORM_TYPE type = Sine);
    virtual ~LFO();
    LFO(const LFO&) = delete;
    LFO& operator=(const LFO&) = delete;

    WaveGenelator* getWaveGenelator(WAVEFORM_TYPE type) const;
    WaveGenelator* waveGenelator() const { return current_; }

    void setWavelength(float secondsPerCycle) { wavelength_ = secondsPerCycle; }
    void setPhaseShift(float cycles) { phaseShift_ = cycles; }
    // Phase back to 0; the cycle number and the last sample time stay.
    void restart() { phase_ = 0.0f; }

    // One span of n samples; out may be null. sampleTime: the engine clock's sample count at the
    // span's first sample.
    std::pair<float, float> process(float* out, unsigned n, float sampleRate, float shape, std::uint64_t sampleTime);
    // n samples in spans of blockSize (the last one shorter); out may be null.
    void blockProcess(float* out, unsigned blockSize, unsigned n, float sampleRate, float shape,
                      std::uint64_t sampleTime);

    // As blockProcess without an output, for a block whose levels nobody reads: the phase ends
    // exactly where blockProcess leaves it and the answer is blockProcess's last level, but the
    // levels inside the block are not worked out; level() and level(i) answer that last level.
    float advance(unsigned blockSize, unsigned n, float sampleRate, float shape, std::uint64_t sampleTime);

    // As process without an output, for a span of which only the first level is read: the phase
    // ends exactly where process leaves it and the answer is process's first level; level(),
    // level(i) and both ends of slope() answer it.
    float advanceToStart(unsigned n, float sampleRate, float shape, std::uint64_t sampleTime);
    // advanceToStart for each of lfos. Those that stand where the first stood before the call
    // (same wavelength, phase, cycle and last sample time; the phase shifts may differ) take its
    // new phase instead of working the same sums out again.
    static void advanceToStart(std::span<LFO> lfos, unsigned n, float sampleRate, float shape,
                               std::uint64_t sampleTime);

    // As blockProcess without an output, for a block of one span (n at most the span length):
    // the phase moves and the end level is worked out as blockProcess does them, the start level
    // only when first read (level(), level(i), slope()), from this block's phase and cycle. The
    // generator is pure, so the later work gives the same level; a block whose start nobody reads
    // costs none. Answers the end level.
    float processStartOnRead(unsigned n, float sampleRate, float shape, std::uint64_t sampleTime);

    // Makes room for the span levels of a block of up to `frames` samples in spans of blockSize,
    // so that blockProcess allocates nothing for it (room for 64 spans is made on construction).
    // Not while rendering.
    void reserve(unsigned frames, unsigned blockSize);

    float level() const;
    float level(unsigned i) const;
    std::pair<float, float> slope() const;

    float wavelength() const { return wavelength_; }
    float phase() const { return phase_; }
    float cycleNumber() const { return cycle_; }

private:
    struct Step {
        float phase;     // the generators' phase at the span's first sample
        float increment; // cycles per sample
    };
    // Moves the phase and the cycle count to sampleTime.
    void movePhase(float sampleRate, std::uint64_t sampleTime);
    // movePhase, answering the generators' phase and increment.
    Step advancePhase(float sampleRate, std::uint64_t sampleTime);
    // What movePhase works from, to tell whether two LFOs move alike.
    struct Clockwork {
        std::uint32_t wavelength;
        std::uint32_t phase;
        std::uint64_t cycleCount;
        std::uint64_t lastSampleTime;
        bool operator==(const Clockwork&) const = default;
    };
    Clockwork clockwork() const;
    // Takes lead's phase, cycle and increment as movePhase leaves them.
    void followPhase(const LFO& lead);
    // advanceToStart's answer for a pure generator once the phase has moved.
    float startAt(const Step& step, unsigned n, float shape);
    // The generators' phase for the phase in force, the shift added.
    float shiftedPhase() const;
    static float clampedShape(float shape);
    std::pair<float, float> _process(float* out, unsigned n, float sampleRate, float shape, std::uint64_t sampleTime);
    // Works out a start level left for its first reader (processStartOnRead).
    void workOutStart() const;
    float emptyLevel(unsigned i) const;

    WaveGenelator* current_ = nullptr;
    // The generator's pure(), fixed with the generator.
    bool pure_ = true;
    std::vector<std::unique_ptr<WaveGenelator>> generators_;
    float wavelength_ = 1.0f;
    float cycle_ = 0.0f;
    double cycleCount_ = 0.0;
    float phase_ = 0.0f;
    float phaseShift_ = 0.0f;
    std::uint64_t lastSampleTime_ = 0;
    // The phase increment per sample for the wavelength and sample rate it was worked out for:
    // both rarely change, and the division would otherwise be paid on every span.
    float incrementWavelength_ = std::numeric_limits<float>::quiet_NaN();
    float incrementSampleRate_ = std::numeric_limits<float>::quiet_NaN();
    double increment_ = 0.0;
    // Read functions may fill in a start level left pending, so the record is mutable.
    mutable std::vector<std::pair<float, float>> levels_;
    // What the start of a block rendered by processStartOnRead is worked out from, and its end.
    struct PendingStart {
        float shape = 0.0f;
        float cycle = 0.0f;
        float phase = 0.0f;
        float end = 0.0f;
        bool pending = false;
    };
    mutable PendingStart pendingStart_;
    std::uint32_t total_ = 0;
    std::uint32_t span_ = 0;
};

} // namespace Lumora::DSP
