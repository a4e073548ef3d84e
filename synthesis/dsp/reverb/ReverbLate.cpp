#include "synthesis/dsp/reverb/ReverbLate.h"

#include "synthesis/dsp/delay/DelayMath.h"
#include "synthesis/dsp/reverb/ReverbMath.h"

#include <algorithm>
#include <cmath>

namespace Lumora::DSPv2 {

using DSP::DelayMath::isNonZeroDenormal;

ReverbLate::ReverbLate(bool highPass, bool lowPass, std::size_t reserve)
    : out_(reserve, 0.0f)
    , output_(highPass, lowPass)
{
    for (Line& l : lines_)
        l.buffer.assign(kLineSize, 0.0f);
}

void ReverbLate::startGlide(Glide& glide, unsigned frames)
{
    glide.step = (glide.target - glide.current) / static_cast<float>(frames);
    if (isNonZeroDenormal(glide.step)) {
        if (isNonZeroDenormal(glide.target))
            glide.target = 0.0f;
        glide.current = glide.target;
        glide.step = 0.0f;
    }
}

// Inlined: it runs twice per line and sample.
[[gnu::always_inline]] inline void ReverbLate::advance(Glide& glide)
{
    glide.current += glide.step;
    if (isNonZeroDenormal(glide.target - glide.current)) {
        glide.current = glide.target;
        glide.step = 0.0f;
    }
}

// Line i is d * S(i) samples long and loses g to the power of its length on every pass, so all
// four fall by 60 dB over the decay time. The gains stay below unity whatever the decay time,
// which keeps the loop bounded.
void ReverbLate::workOutTargets(float d, float g)
{
    if (!targetsKey_.changed({d, g}))
        return;
    constexpr float size = static_cast<float>(kLineSize);
    for (unsigned i = 0; i < 4; ++i) {
        const float span = d * kLineRatios[i];
        const float samples = static_cast<float>(ReverbMath::samples(span, size));
        timeTargets_[i] = DSP::DelayMath::limit(samples / size, 1.0f / size, 1.0f);
        gainTargets_[i] = -std::min(std::pow(g, span), DSP::DelayMath::kMaxLoopGain);
    }
}

// The targets are set every block: a glide's start may replace a denormal target by 0.
void ReverbLate::startBlock(unsigned frames, float d, float g, float brightness)
{
    workOutTargets(d, g);
    for (unsigned i = 0; i < 4; ++i) {
        lines_[i].time.target = timeTargets_[i];
        startGlide(lines_[i].time, frames);
        gains_[i].target = gainTargets_[i];
        startGlide(gains_[i], frames);
    }
    const float c = brightness;
    const float a = 1.0f - c * std::fabs(c);
    for (auto& f : damping_)
        f.set(c, a);
}

std::array<float, 8> ReverbLate::glideValues() const
{
    std::array<float, 8> values;
    for (unsigned i = 0; i < 4; ++i) {
        values[i] = lines_[i].time.current;
        values[4 + i] = gains_[i].current;
    }
    return values;
}

void ReverbLate::noteGlidesHeld(const std::array<float, 8>& before)
{
    glidesHeld_ = true;
    for (unsigned i = 0; i < 4; ++i)
        glidesHeld_ = glidesHeld_ && before[i] == lines_[i].time.current && before[4 + i] == gains_[i].current;
}

// The 4x4 Hadamard matrix divided by 2 is orthogonal: it mixes without adding energy.
[[gnu::always_inline]] inline float ReverbLate::mix(const float (&r)[4])
{
    feedback_[0] = ((r[0] + r[1]) - (r[2] + r[3])) * 0.5f;
    feedback_[1] = ((r[0] - r[1]) - (r[2] - r[3])) * 0.5f;
    feedback_[2] = ((r[0] - r[1]) + (r[2] - r[3])) * -0.5f;
    feedback_[3] = (r[0] + r[1] + r[2] + r[3]) * 0.5f;
    return (feedback_[0] + feedback_[2]) - (feedback_[1] + feedback_[3]);
}

void ReverbLate::process(const float* const* taps, unsigned frames, float d, float g, float brightness, float level,
                         float highPassFrequency, float lowPassFrequency)
{
    if (frames == 0)
        return;
    if (out_.size() < frames)
        out_.resize(frames);
    const std::array<float, 8> before = glideValues();
    startBlock(frames, d, g, brightness);
    constexpr std::uint32_t mask = kLineSize - 1;
    constexpr float size = static_cast<float>(kLineSize);
    float* out = out_.data();
    for (unsigned n = 0; n < frames; ++n) {
        float r[4];
        for (unsigned i = 0; i < 4; ++i) {
            Line& line = lines_[i];
            const float x = taps[i][n] + feedback_[i];
            advance(line.time);
            const float y = DSP::DelayMath::readInterpolated(line.buffer.data(), mask, line.write, line.time.current * size);
            line.buffer[line.write] = x;
            line.write = (line.write + 1) & mask;
            advance(gains_[i]);
            r[i] = damping_[i].process(gains_[i].current * y);
        }
        out[n] = mix(r);
    }
    for (Line& line : lines_)
        line.written = frames >= kLineSize - line.written ? kLineSize : line.written + frames;
    for (float& f : feedback_)
        if (isNonZeroDenormal(f))
            f = 0.0f;
    noteGlidesHeld(before);

    output_.process(out, frames, level, highPassFrequency, lowPassFrequency);
}

// Over zeros every read is 0 and the damping low passes put out an exact +0 (they flush what is
// that small), so the feedback ends as the matrix makes it of zeros, signs included. Each glide
// moves alone: stepping one through the whole block and then the next leaves each where the
// interleaved loop of process does. The output stage takes its settings as a block of any length.
void ReverbLate::idle(unsigned frames, float d, float g, float brightness, float level, float highPassFrequency,
                      float lowPassFrequency)
{
    if (frames == 0)
        return;
    const std::array<float, 8> before = glideValues();
    startBlock(frames, d, g, brightness);
    for (unsigned i = 0; i < 4; ++i) {
        DSP::DelayMath::advanceGlide(lines_[i].time, frames, [](Glide& x) { advance(x); });
        DSP::DelayMath::advanceGlide(gains_[i], frames, [](Glide& x) { advance(x); });
    }
    const float zeros[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    mix(zeros);
    noteGlidesHeld(before);
    output_.process(out_.data(), 0, level, highPassFrequency, lowPassFrequency);
}

void ReverbLate::reset()
{
    feedback_.fill(0.0f);
    for (auto& f : damping_)
        f.reset();
    for (Line& line : lines_) {
        std::fill_n(line.buffer.begin(), line.written, 0.0f);
        line.written = 0;
        line.write = 0;
        if (isNonZeroDenormal(line.time.target))
            line.time.target = 0.0f;
        line.time.current = line.time.target;
        line.time.step = 0.0f;
    }
    output_.reset();
}

} // namespace Lumora::DSPv2
