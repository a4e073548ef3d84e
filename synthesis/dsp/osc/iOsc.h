#pragma once

namespace Lumora::DSP::OSC {

// An audio-rate source rendering blocks of single-precision samples.
class iOsc {
public:
    virtual void process(float* out, unsigned n, float sampleRate) = 0;
    // Sets the phase (in cycles).
    virtual void restart(float phase) = 0;
    virtual ~iOsc() = default;
};

// A source with a frequency in Hz; a new frequency takes effect at the next block.
class iPitchedOSC : public iOsc {
public:
    virtual float frequency() const = 0;
    virtual void setFrequency(float frequency) = 0;
};

// A periodic source with hard sync (a sync frequency of 0 or less switches it off) and a phase
// shift in cycles added at every lookup.
class iCycleOsc : public iPitchedOSC {
public:
    virtual float syncFrequency() const = 0;
    virtual void setSyncFrequency(float frequency) = 0;
    virtual float shiftPhase() const = 0;
    virtual void setShiftPhase(float phase) = 0;
    ~iCycleOsc() override = default;
};

} // namespace Lumora::DSP::OSC
