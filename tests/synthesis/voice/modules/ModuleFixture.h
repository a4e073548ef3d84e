#pragma once

// What the module tests share: a parameter table to read from, notes, and a few measurements on
// top of the DSP tests' signal analysis.
#include <cmath>
#include <vector>

#include "engine/midi/MidiMessage.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/voice/NoteInformation.h"
#include "synthesis/dsp/common/SignalAnalysis.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace ModuleTest {

using namespace Lumora;

constexpr float kRate = 48000.0f;

struct Table {
    ParameterManager manager{"ModuleTest", 2, nullptr};
    Corvane::Parameters params{&manager};
};

// Writes a normalized value as a document load would.
inline void set(Parameter& p, float normalized)
{
    p.setNormalizedValue(normalized, ParameterObserver::Token::Document, AutomationEventType::None);
}

// An integer parameter's value k (normalized k / 127).
inline void setChoice(Parameter& p, int k)
{
    set(p, static_cast<float>(k) / 127.0f);
}

// A bipolar parameter's concrete value v in [-1, 1].
inline void setBipolar(Parameter& p, float v)
{
    set(p, (v + 1.0f) * 0.5f);
}

inline NoteInformation noteInfo(int note, int velocity = 127)
{
    NoteInformation n;
    n.note = note;
    n.velocity = velocity;
    n.frequency = NoteNumberToHz(note);
    n.pitch = static_cast<float>(note);
    n.state = 2;
    return n;
}

inline double cents(double f, double reference)
{
    return 1200.0 * std::log2(f / reference);
}

// The strongest frequency near `guess` (within +-range Hz), found by scanning the windowed
// Goertzel amplitude and refining by a parabola through the best point and its neighbours.
inline double peakFrequency(const std::vector<float>& x, double guess, double range, double sampleRate)
{
    const int steps = 160;
    const double step = 2.0 * range / steps;
    int best = 0;
    double bestAmp = -1.0;
    std::vector<double> amp(steps + 1);
    for (int i = 0; i <= steps; ++i) {
        amp[i] = DspTest::amplitudeAt(x, guess - range + i * step, sampleRate);
        if (amp[i] > bestAmp) {
            bestAmp = amp[i];
            best = i;
        }
    }
    double offset = 0.0;
    if (best > 0 && best < steps) {
        const double a = amp[best - 1], b = amp[best], c = amp[best + 1];
        const double d = a - 2.0 * b + c;
        if (d != 0.0)
            offset = 0.5 * (a - c) / d;
    }
    return guess - range + (best + offset) * step;
}

} // namespace ModuleTest
