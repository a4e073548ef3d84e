#pragma once

#include "engine/voice/VoicingType.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace Lumora::DSP::ENV {

// A piecewise-linear envelope over a fixed number of breakpoints with one sustain point.
// Point 0 is always {0 s, level 0}; segment k runs from point k-1 to point k. Gate on runs the
// segments up to the sustain point and holds there; gate off runs the rest down to idle.
// Levels stay in [0, 1]. In square output mode (the default) everything rendered or read back
// is squared, while the state and process()'s answer stay linear.
class MultiPointEnvelope {
public:
    struct Point {
        float seconds = 0.0f;
        float level = 0.0f;
    };
    class Impl;

    MultiPointEnvelope(unsigned pointCount, unsigned sustainIndex);
    virtual ~MultiPointEnvelope();
    MultiPointEnvelope(const MultiPointEnvelope&) = delete;
    MultiPointEnvelope& operator=(const MultiPointEnvelope&) = delete;

    void setEnvPoint(unsigned index, float seconds, float level);
    void setSquareOutputMode(bool on) { squareOutput_ = on; }
    bool squareOutputMode() const { return squareOutput_; }

    void gateOn(VoicingType type);
    void gateOff();
    void kill();
    bool isActive() const;

    // Renders frames as one control block (out may be null); answers the linear levels at the
    // block's start and end.
    std::pair<float, float> process(float* out, unsigned frames, float sampleRate);
    // A block that holds one level throughout: while the envelope sustains, runs frames as
    // process() does without writing them and answers true with the level every sample of it
    // would hold (squared in square output mode). Otherwise answers false and changes nothing.
    bool sustainBlock(unsigned frames, float sampleRate, float& level);
    // Renders frames in control blocks of blockLength (the last one shorter); out may be null.
    void blockProcess(float* out, unsigned blockLength, unsigned frames, float sampleRate);

    // Level at the start of the last call.
    float level() const;
    // Level at a frame of the last call, interpolated inside its control block.
    float level(unsigned frame) const;
    // (level at the start of the last call, level at its end).
    std::pair<float, float> slope() const;
    // Level where the envelope stands now, which the next call starts from.
    float currentLevel() const;

    unsigned pointCount() const { return static_cast<unsigned>(points_.size()); }
    const Point& point(unsigned index) const { return points_[index]; }
    const Impl& impl() const { return *impl_; }

private:
    std::pair<float, float> processControlBlock(float* out, unsigned frames, float sampleRate);
    void convertTimes(float sampleRate);
    float output(float linear) const { return squareOutput_ ? linear * linear : linear; }

    std::vector<Point> points_;
    std::unique_ptr<Impl> impl_;
    bool squareOutput_ = true;
    std::vector<std::pair<float, float>> blocks_;
    std::uint32_t totalFrames_ = 0;
    std::uint32_t blockLength_ = 0;
    // Whether a point changed since the times were last converted, and the rate they were at.
    bool timesStale_ = true;
    float convertedRate_ = 0.0f;
};

} // namespace Lumora::DSP::ENV
