#pragma once

#include "engine/voice/VoicingType.h"
#include "synthesis/dsp/envelope/ADSR.h"

namespace Lumora::Corvane::Module {

// A modulation envelope that a module reads once per control span. Over a block that spans whole
// control spans it runs as it always ran, span by span, and is read at any sample. Over blocks
// shorter than a span it stands still while the blocks go by and catches up at the next span's
// start, over the frames gone by, with the times that were set for them: the same steps as one
// block of the whole span takes. A gate change catches up first, so it meets the envelope where
// the elapsed time puts it.
class ControlEnvelope {
public:
    explicit ControlEnvelope(bool squareOutput);

    DSP::ENV::ADSR& adsr() { return envelope_; }
    const DSP::ENV::ADSR& adsr() const { return envelope_; }

    // A block of whole control spans: any frames still owed first, then the block in spans.
    void runBlock(unsigned frames, float sampleRate);
    // The start of a span of short blocks: catches up and answers the level there.
    float openSpan(float sampleRate);
    // A short block goes by; the envelope owes its frames.
    void owe(unsigned frames) { owed_ += frames; }
    // Runs any frames still owed, with the times set for them.
    void catchUp();
    // A block rendered sample by sample (out may be null), after any frames still owed.
    void render(float* out, unsigned frames, float sampleRate);

    void gateOn(VoicingType type);
    void gateOff();
    void kill();

private:
    DSP::ENV::ADSR envelope_;
    unsigned owed_ = 0;
    float sampleRate_ = 0.0f;
};

} // namespace Lumora::Corvane::Module
