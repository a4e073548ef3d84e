// The pitch module and the shared LFOs' driver: tuning, envelope and LFO depths, drift and
// jitter, LFO wavelengths and read-back.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "engine/clock/Clock.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/voice/modules/ModuleFixture.h"
#include "synthesis/voice/modules/Pitch.h"
#include "synthesis/voice/modules/ProcessLFO.h"

namespace {

using namespace ModuleTest;
using Lumora::Corvane::Module::Pitch;
using Lumora::Corvane::Module::processLFO;
using Lumora::Corvane::Module::publishLFOReadback;
using Lumora::Corvane::Module::ReadbackSlot;
using Lumora::DSP::LFO;

class ModulePitchTest : public ::testing::Test {
protected:
    void SetUp() override { set(t.params.pitch.drift, 0.0f); }

    // Runs one block of the pitch LFO and the pitch module, as the instrument and the voice do.
    float block(const NoteInformation& note, unsigned frames = 256, unsigned version = 2)
    {
        clock.internalSync_pre(Lumora::TimeSignature{4, 4}, 120.0, false);
        processLFO(frames, kRate, clock, lfo, t.params.pitch.lfo, lfoOutput);
        const float f = pitch.process(frames, kRate, clock, note, t.params.pitch, lfo, version, AudioQuality::Normal);
        clock.internalSync_post(frames, kRate);
        return f;
    }

    Table t;
    Clock clock;
    LFO lfo{LFO::WAVEFORM_TYPE(0)};
    ReadbackSlot lfoOutput;
    Pitch pitch;
};

TEST_F(ModulePitchTest, Note69IsA440WithinACent)
{
    pitch.gateOn(VoicingType::NewNote);
    for (int b = 0; b < 20; ++b) {
        const float f = block(noteInfo(69));
        ASSERT_LT(std::fabs(cents(f, 440.0)), 1.0) << f;
        for (unsigned s : {0u, 100u, 255u})
            ASSERT_LT(std::fabs(cents(pitch.frequency(s), 440.0)), 1.0);
    }
}

TEST_F(ModulePitchTest, DriftZeroLeavesOnlyAJitterOfACentThatKeepsMoving)
{
    pitch.gateOn(VoicingType::NewNote);
    block(noteInfo(57));
    const double ref = NoteNumberToHz(57);
    double lowest = 0.0, highest = 0.0;
    for (int i = 0; i < 2000; ++i) {
        const double c = cents(pitch.frequency(0), ref);
        lowest = std::min(lowest, c);
        highest = std::max(highest, c);
    }
    EXPECT_LE(highest, 1.0 + 1e-3);
    EXPECT_GE(lowest, -1.0 - 1e-3);
    EXPECT_GT(highest - lowest, 0.5); // it does jitter
}

TEST_F(ModulePitchTest, FullDriftOffsetsEachNoteByAtMostAFifthOfASemitone)
{
    set(t.params.pitch.drift, 1.0f);
    double spread = 0.0;
    for (int n = 0; n < 50; ++n) {
        pitch.gateOn(VoicingType::NewNote);
        block(noteInfo(69));
        double sum = 0.0;
        for (int i = 0; i < 2000; ++i)
            sum += cents(pitch.frequency(0), 440.0);
        const double mean = sum / 2000.0; // the jitter averages out, the note's offset stays
        EXPECT_LE(std::fabs(mean), 20.0 + 1.0);
        EXPECT_NEAR(mean, pitch.noteOffset() * 20.0, 1.5);
        spread = std::max(spread, std::fabs(mean));
    }
    EXPECT_GT(spread, 5.0);
}

TEST_F(ModulePitchTest, EnvelopeDepthBendsByUpToTwoOctaves)
{
    set(t.params.pitch.env.decay, 1.0f); // 10 s: the envelope is still near its peak
    for (float depth : {1.0f, -1.0f, 0.5f}) {
        setBipolar(t.params.pitch.envDepth, depth);
        pitch.gateOn(VoicingType::NewNote);
        block(noteInfo(69));
        const float f = block(noteInfo(69));
        const float env = pitch.envelope().level(0);
        EXPECT_GT(env, 0.99f);
        EXPECT_NEAR(cents(f, 440.0), 2400.0 * env * depth * depth * depth, 1.0) << depth;
    }
}

TEST_F(ModulePitchTest, EnvelopeReturnsToTheNoteAsItDecays)
{
    setBipolar(t.params.pitch.envDepth, 1.0f);
    set(t.params.pitch.env.decay, 0.1f); // 0.1 s
    pitch.gateOn(VoicingType::NewNote);
    block(noteInfo(69));
    EXPECT_GT(block(noteInfo(69)), 1400.0f);
    for (int b = 0; b < 40; ++b)
        block(noteInfo(69));
    EXPECT_LT(std::fabs(cents(block(noteInfo(69)), 440.0)), 1.0);
}

TEST_F(ModulePitchTest, LfoRaisesByUpToAnOctave)
{
    set(t.params.pitch.lfoDepth, 1.0f);
    set(t.params.pitch.lfo.rate, 0.5f);
    pitch.gateOn(VoicingType::NewNote);
    double highest = 0.0, lowest = 1e9;
    for (int b = 0; b < 300; ++b) { // 1.6 s, more than one 1.27 s cycle
        const double c = cents(block(noteInfo(69)), 440.0);
        highest = std::max(highest, c);
        lowest = std::min(lowest, c);
    }
    EXPECT_NEAR(highest, 1200.0, 5.0);
    EXPECT_NEAR(lowest, 0.0, 5.0);
}

TEST_F(ModulePitchTest, VersionOneReadsTheBlockEndForEverySample)
{
    set(t.params.pitch.lfoDepth, 1.0f);
    set(t.params.pitch.lfo.rate, 0.9f);
    pitch.gateOn(VoicingType::NewNote);
    block(noteInfo(69), 512, 1);
    const double end = cents(pitch.frequency(0), 440.0);
    EXPECT_NEAR(cents(pitch.frequency(511), 440.0), end, 2.1);
    EXPECT_NEAR(end, 1200.0 * lfo.slope().second, 2.1);
}

TEST_F(ModulePitchTest, LegatoKeepsTheNoteOffsetANewNoteDrawsAnother)
{
    set(t.params.pitch.drift, 1.0f);
    pitch.gateOn(VoicingType::NewNote);
    const float first = pitch.noteOffset();
    pitch.gateOn(VoicingType::Legato);
    pitch.gateOn(VoicingType::Retrigger);
    EXPECT_EQ(pitch.noteOffset(), first);
    pitch.gateOn(VoicingType::NewNote);
    EXPECT_NE(pitch.noteOffset(), first);
}

// The wavelength measured from the LFO's rising crossings of its middle level.
double measuredWavelength(float rate, double seconds)
{
    Table t;
    Clock clock;
    LFO lfo{LFO::WAVEFORM_TYPE(0)};
    ReadbackSlot output;
    set(t.params.pitch.lfo.rate, rate);
    const unsigned frames = 256;
    double first = -1.0, last = -1.0;
    int count = 0;
    float previous = -1.0f;
    uint64_t time = 0;
    for (double done = 0.0; done < seconds * kRate; done += frames) {
        clock.internalSync_pre(Lumora::TimeSignature{4, 4}, 120.0, false);
        processLFO(frames, kRate, clock, lfo, t.params.pitch.lfo, output);
        for (unsigned i = 0; i < frames; ++i, ++time) {
            const float v = lfo.level(i);
            if (previous >= 0.0f && previous < 0.5f && v >= 0.5f) {
                const double at = double(time) - 1.0 + (0.5 - previous) / (v - previous);
                if (first < 0.0)
                    first = at;
                else
                    ++count;
                last = at;
            }
            previous = v;
        }
        clock.internalSync_post(frames, kRate);
    }
    return count > 0 ? (last - first) / count / kRate : 0.0;
}

TEST(ModuleProcessLFO, WavelengthsFollowTheRate)
{
    EXPECT_NEAR(measuredWavelength(1.0f, 1.0), 0.02, 0.0002);
    EXPECT_NEAR(measuredWavelength(0.5f, 6.0), 1.27, 0.005);
    EXPECT_NEAR(measuredWavelength(0.0f, 25.0), 10.02, 0.02);
    EXPECT_FLOAT_EQ(Lumora::Corvane::Module::lfoWavelength(0.5f), 1.27f);
}

// Counts the reports of one parameter's changes.
class CountingObserver : public ParameterObserver {
public:
    explicit CountingObserver(int id) : id_(id) {}
    void didChangeParam(const Parameter* param, Token token, AutomationEventType) override
    {
        if (param->id() == id_) {
            ++reports;
            lastToken = token;
        }
    }
    int reports = 0;
    Token lastToken = Token::Document;

private:
    const int id_;
};

// The render thread only stores the end level; the read-back parameter (whose lock and observers a
// screen may hold) changes when the main thread publishes it.
TEST(ModuleProcessLFO, StoresTheEndLevelAndPublishesItOnRequest)
{
    Table t;
    Clock clock;
    LFO lfo{LFO::WAVEFORM_TYPE(0)};
    ReadbackSlot output;
    Parameter& readback = t.params.osc.lfo.output;
    CountingObserver observer(readback.id());
    t.manager.addObserver(&observer);
    set(t.params.osc.lfo.rate, 0.7f);
    for (int b = 0; b < 37; ++b) {
        clock.internalSync_pre(Lumora::TimeSignature{4, 4}, 120.0, false);
        const float before = readback.normalizedValue();
        const int reports = observer.reports;
        const float end = processLFO(200, kRate, clock, lfo, t.params.osc.lfo, output);
        EXPECT_EQ(end, lfo.slope().second);
        EXPECT_EQ(output.value(), end);
        EXPECT_EQ(readback.normalizedValue(), before) << "block " << b;
        EXPECT_EQ(observer.reports, reports) << "block " << b;

        ASSERT_TRUE(publishLFOReadback(output, t.params.osc.lfo));
        EXPECT_FLOAT_EQ(readback.normalizedValue(), end);
        EXPECT_FALSE(publishLFOReadback(output, t.params.osc.lfo)); // nothing new since
        clock.internalSync_post(200, kRate);
    }
    t.manager.removeObserver(&observer);
    // The level swept far enough for the observers to hear of it, as the engine's read-back.
    EXPECT_GT(observer.reports, 0);
    EXPECT_EQ(observer.lastToken, ParameterObserver::Token::EngineReadback);

    // An empty block renders nothing and leaves the stored level as it was.
    const float last = output.value();
    EXPECT_EQ(processLFO(0, kRate, clock, lfo, t.params.osc.lfo, output), last);
    EXPECT_FALSE(publishLFOReadback(output, t.params.osc.lfo));
}

} // namespace
