#pragma once

#include "synthesis/dsp/envelope/MultiPointEnvelope.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace Lumora::DSP::ENV {

// The sample-exact state machine behind MultiPointEnvelope. Segment lengths are in samples;
// the facade converts the user's seconds once per control block.
class MultiPointEnvelope::Impl {
public:
    enum STATUS : std::int32_t { Idle = 0, Running = 1, Sustaining = 2, Releasing = 3 };

    struct SamplePoint {
        std::uint32_t samples = 0;
        float level = 0.0f;
    };

    Impl(unsigned pointCount, unsigned sustainIndex);
    virtual ~Impl();

    void changeStatus(STATUS status);
    void setEnvPoint(unsigned index, std::uint32_t samples, float level);
    // Renders frames (out may be null) and answers (level before, level after), both linear.
    std::pair<float, float> process(float* out, unsigned frames);
    // process(nullptr, frames) while sustaining: flat at the sustain level from the first sample.
    std::pair<float, float> sustain(unsigned frames);

    void gateOn(VoicingType type);
    void gateOff();
    void kill();

    STATUS status() const { return status_; }
    unsigned segment() const { return segment_; }
    unsigned sustainIndex() const { return sustainIndex_; }
    float currentLevel() const { return current_; }

private:
    struct context_t {
        STATUS status = Idle;
        unsigned segment = 0;
        std::uint32_t position = 0;
        std::uint32_t remaining = 0;
        std::uint32_t run = 0;
        float startLevel = 0.0f;
        float endLevel = 0.0f;
        bool statusChanged = false;
        STATUS nextStatus = Idle;
    };

    // Renders the call as one run when it lies inside the current segment, without leaving it
    // (sustaining, or running with more samples left than frames); false leaves everything as it was.
    bool processWithinSegment(float* out, unsigned frames);
    static void writeRun(float* out, float start, float end, unsigned run);
    // One run of constant slope inside the current segment; sets the run length, its levels and,
    // when the segment ends, the next segment or status.
    void _process(context_t& ctx) const;
    void runIdle(context_t& ctx) const;
    void runRunning(context_t& ctx) const;
    void runSustaining(context_t& ctx) const;
    void runReleasing(context_t& ctx) const;
    // End level of a segment of zero length: its target (at most 1), or the level unchanged when
    // the target is negative.
    float jumpLevel(unsigned k, float current) const;
    bool isLastIndexPastSustain(unsigned index) const;

    std::vector<SamplePoint> points_;
    unsigned sustainIndex_ = 0;
    STATUS status_ = Idle;
    unsigned segment_ = 0;
    std::uint32_t position_ = 0;
    float levelBefore_ = 0.0f;
    float current_ = 0.0f;
};

} // namespace Lumora::DSP::ENV
