#pragma once

#include "synthesis/dsp/osc/iOsc.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

namespace Lumora::DSP::OSC {

// Reads one cycle tables of 1024 samples at the oscillator's frequency, with optional hard sync
// and per-sample phase modulation. The table to read is chosen by the subclass for the pitch, so that
// no harmonic lies above the Nyquist frequency.
class WaveTableOsc : public iCycleOsc {
public:
    static constexpr unsigned kTableLength = 1024;
    // A guarded table repeats its first sample after its last, so that the two samples an
    // interpolated read needs always lie next to each other.
    static constexpr unsigned kGuardedTableLength = kTableLength + 1;

    // guarded: every table waveTable() returns is guarded (kGuardedTableLength samples).
    explicit WaveTableOsc(bool interpolate, bool guarded = false);
    ~WaveTableOsc() override = default;

    void process(float* out, unsigned n, float sampleRate) override;
    // phaseModulation[i] (in cycles) is added to the phase of output sample i.
    void process(float* out, const float* phaseModulation, unsigned n, float sampleRate);
    void restart(float phase) override;
    // process(out, n, sampleRate) followed by out[i] = (out[i] * first) * second (* third): the same
    // samples, the products taken in the reads where the block allows.
    void processScaled(float* out, unsigned n, float sampleRate, float first, float second);
    void processScaled(float* out, unsigned n, float sampleRate, float first, float second, float third);

    float frequency() const override { return frequency_; }
    void setFrequency(float frequency) override { frequency_ = frequency; }
    float syncFrequency() const override { return syncFrequency_; }
    void setSyncFrequency(float frequency) override { syncFrequency_ = frequency; }
    float shiftPhase() const override { return phaseShift_; }
    void setShiftPhase(float phase) override { phaseShift_ = phase; }

    float phase() const { return phase_; }
    float syncPhase() const { return syncPhase_; }

    // The table (kTableLength samples, or kGuardedTableLength where guarded) to read at this pitch:
    // the same one whenever asked for the same sample rate and frequency.
    virtual const float* waveTable(float sampleRate, float frequency) const = 0;

    // The number of harmonics that fit below the Nyquist frequency, floor(sampleRate / 2 / frequency),
    // limited to [0, limit] before it becomes an integer. A frequency of 0 or less, or one so small
    // that the count exceeds the limit, gives the limit; NaN gives the limit too.
    static unsigned harmonicsBelowNyquist(float sampleRate, float frequency, unsigned limit);

    // The cache file of a table set: "<temporary directory>/<name>_<length>_<count>.wavtbl".
    static std::string wavetablePath(const char* name, unsigned length, unsigned count);

    // Whether table reads may use the processor's wide vectors (AVX2) where it has them: on by
    // default; the output is the same either way. Answers whether they are now in use. For tests
    // that compare both ways; not while another thread renders.
    static bool allowWideReads(bool allowed);

private:
    // A pitch read without hard sync: the bit patterns of the sample rate, frequency and sync
    // frequency it was found for, the phase increment per sample and the table.
    struct PlainPitch {
        std::uint32_t sampleRate = 0;
        std::uint32_t frequency = 0;
        std::uint32_t sync = 0;
        float increment = 0.0f;
        const float* table = nullptr;
    };

    bool isPlainPitch(float sampleRate) const
    {
        return plainKnown_ && std::bit_cast<std::uint32_t>(sampleRate) == plain_.sampleRate &&
               std::bit_cast<std::uint32_t>(frequency_) == plain_.frequency &&
               std::bit_cast<std::uint32_t>(syncFrequency_) == plain_.sync;
    }
    bool learnPlainPitch(float sampleRate);
    template <int kGains>
    void renderPlain(float* out, const float* pm, unsigned n, const float* gains);
    template <int kGains>
    void processScaledBy(float* out, unsigned n, float sampleRate, const float* gains);
    void processSynced(float* out, const float* pm, unsigned n, float sampleRate);
    void renderSegment(float* out, const float* pm, unsigned count, float sampleRate);
    // waveTable() for the sample rate and frequency, asked again only for a new pitch.
    const float* tableFor(float sampleRate, float frequency);

    bool interpolate_;
    bool guarded_;
    float frequency_ = 0.0f;
    float phase_ = 0.0f;
    float phaseShift_ = 0.0f;
    float syncFrequency_ = 0.0f;
    float syncPhase_ = 0.0f;
    // The table of the last pitch read and that pitch (none yet: NaN never equals one).
    const float* table_ = nullptr;
    float tableSampleRate_ = NAN;
    float tableFrequency_ = NAN;
    // The last pitch a block found free of hard sync (none yet while plainKnown_ is false): a
    // block at the same three inputs needs none of the checks and divisions again.
    PlainPitch plain_;
    bool plainKnown_ = false;
};

// Common base of the four band-limited waves, whose tables are guarded.
class iAliasFreeOsc : public WaveTableOsc {
public:
    iAliasFreeOsc() : WaveTableOsc(true, true) {}
    ~iAliasFreeOsc() override = default;

protected:
    // Table `index` of `count` guarded tables laid end to end; an index beyond them reads the last one.
    static const float* tableOf(const float* tables, unsigned count, unsigned index)
    {
        return tables + (index < count ? index : count - 1) * kGuardedTableLength;
    }
    // Moves `count` tables of kTableLength samples laid end to end at the start of `tables` (as built
    // or cached) apart to kGuardedTableLength each and writes their guards; tables holds
    // count * kGuardedTableLength samples.
    static void guardTables(float* tables, unsigned count);
    // The table to read at this pitch from `count` tables where table k reaches harmonic k + 1 and
    // the last one harmonic `lastHarmonic`: the last table only where all of its harmonics fit, as
    // its upper ones would otherwise fold back into the audible band.
    static unsigned consecutiveTableIndex(float sampleRate, float frequency, unsigned count, unsigned lastHarmonic)
    {
        const unsigned m = harmonicsBelowNyquist(sampleRate, frequency, lastHarmonic);
        if (m >= lastHarmonic)
            return count - 1;
        return m < 1 ? 0 : (m < count - 1 ? m : count - 1) - 1;
    }
};

} // namespace Lumora::DSP::OSC
