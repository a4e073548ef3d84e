// The resonator module: tuning at the note's pitch (the delay read interpolates fully), decay of
// the ring by the feedback, routing of dry and resonated signals, the soft limiter.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "engine/clock/Clock.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/voice/modules/ModuleFixture.h"
#include "synthesis/voice/modules/Resonator.h"

namespace {

using namespace ModuleTest;
using Lumora::Corvane::Module::Resonator;
using Lumora::DSP::LFO;

class ModuleResonatorTest : public ::testing::Test {
protected:
    ModuleResonatorTest()
    {
        lfo.blockProcess(nullptr, 128, 4096, kRate, 0.0f, 0);
        set(t.params.resonator.wetNoise, 1.0f);
    }

    // The resonated signal for an impulse sent in through the noise input.
    std::vector<float> ring(Resonator& r, int note, unsigned frames, unsigned block = 256)
    {
        std::vector<float> zeros(block, 0.0f), impulse(block, 0.0f), all;
        impulse[0] = 1.0f;
        const auto info = noteInfo(note);
        r.gateOn(VoicingType::NewNote);
        for (unsigned done = 0; done < frames; done += block) {
            const float* resonated = nullptr;
            r.process(nullptr, &resonated, zeros.data(), done == 0 ? impulse.data() : zeros.data(), block, kRate,
                      clock, info, t.params.resonator, lfo, 2, AudioQuality::Normal);
            all.insert(all.end(), resonated, resonated + block);
        }
        return all;
    }

    Table t;
    Clock clock;
    LFO lfo{LFO::WAVEFORM_TYPE(0)};
};

TEST_F(ModuleResonatorTest, RingsAtTheNotesPitch)
{
    // A4 at 48 kHz is a loop of 109.09 samples, A6 one of 27.27: reading only the earlier of two
    // neighbouring samples would play them about 14 and 46 cents flat.
    set(t.params.resonator.feedback, 1.0f);
    for (int note : {69, 93}) {
        Resonator r;
        const auto x = ring(r, note, 48000);
        const double f = NoteNumberToHz(note);
        const double measured = peakFrequency(x, f, f * 0.04, kRate);
        EXPECT_LT(std::fabs(cents(measured, f)), 3.0) << "note " << note << " rings at " << measured;
        EXPECT_TRUE(DspTest::allClean(x));
    }
}

TEST_F(ModuleResonatorTest, FollowsANewPitchWithoutANewNote)
{
    // A glide or a legato note retunes the ringing line: its delay glides to the new period.
    set(t.params.resonator.feedback, 1.0f);
    Resonator r;
    ring(r, 69, 12000);
    std::vector<float> zeros(256, 0.0f), later;
    const auto info = noteInfo(81);
    for (int b = 0; b < 150; ++b) {
        const float* resonated = nullptr;
        r.process(nullptr, &resonated, zeros.data(), zeros.data(), 256, kRate, clock, info, t.params.resonator, lfo,
                  2, AudioQuality::Normal);
        if (b >= 50)
            later.insert(later.end(), resonated, resonated + 256);
    }
    EXPECT_LT(std::fabs(cents(peakFrequency(later, 880.0, 880.0 * 0.04, kRate), 880.0)), 3.0);
    EXPECT_TRUE(DspTest::allClean(later));
}

TEST_F(ModuleResonatorTest, TuningKnobMovesTheRingByAnOctave)
{
    set(t.params.resonator.feedback, 1.0f);
    setBipolar(t.params.resonator.pitch, 1.0f);
    Resonator r;
    const auto x = ring(r, 57, 48000);
    const double f = 2.0 * NoteNumberToHz(57);
    EXPECT_LT(std::fabs(cents(peakFrequency(x, f, f * 0.04, kRate), f)), 3.0);
}

TEST_F(ModuleResonatorTest, EachPassScalesTheRingByTheFeedback)
{
    // Feedback knob 0.5: g(0.5) = 0.8 per period. The sum over one period's window is kept by the
    // interpolating read, so the ratio of neighbouring windows is the feedback itself.
    setBipolar(t.params.resonator.feedback, 0.5f);
    Resonator r;
    // Thirty periods of 218 samples and a half: the ring must be long enough to hold them.
    const auto x = ring(r, 57, 7168);
    const double period = kRate / NoteNumberToHz(57);
    auto window = [&](int k) {
        double s = 0.0;
        for (int i = int((k - 0.5) * period); i < int((k + 0.5) * period); ++i)
            s += x.at(static_cast<std::size_t>(i));
        return s;
    };
    for (int k = 1; k < 8; ++k)
        EXPECT_NEAR(window(k + 1) / window(k), 0.8, 0.02) << k;
    EXPECT_LT(std::fabs(window(30)), 0.01 * std::fabs(window(1)));
}

TEST_F(ModuleResonatorTest, FeedbackZeroIsOneDelayOfAPeriod)
{
    Resonator r;
    const auto x = ring(r, 69, 1024);
    double sum = 0.0;
    for (float v : x)
        sum += v;
    EXPECT_NEAR(sum, 1.0, 0.02); // one echo (softened by the input low-pass), nothing recirculates
    const double period = kRate / 440.0;
    for (size_t i = size_t(period) + 10; i < x.size(); ++i)
        ASSERT_NEAR(x[i], 0.0f, 1e-6f) << i;
}

TEST_F(ModuleResonatorTest, DefaultsPassTheDrySignalAndResonateNothing)
{
    Table defaults;
    Resonator r;
    r.gateOn(VoicingType::NewNote);
    std::vector<float> osc(256), noise(256);
    for (unsigned i = 0; i < 256; ++i) {
        osc[i] = std::sin(0.05f * i);
        noise[i] = 0.3f * std::cos(0.11f * i);
    }
    const float *dry = nullptr, *resonated = nullptr;
    const float* out = r.process(&dry, &resonated, osc.data(), noise.data(), 256, kRate, clock, noteInfo(60),
                                 defaults.params.resonator, lfo, 2, AudioQuality::Normal);
    for (unsigned i = 0; i < 256; ++i) {
        ASSERT_NEAR(dry[i], osc[i] + noise[i], 1e-5f);
        ASSERT_EQ(resonated[i], 0.0f);
        ASSERT_EQ(out[i], dry[i]);
    }
}

// Nothing sent in: the resonator rests from the note's start. Sent something later, it rings
// exactly as a resonator fresh at that moment. Once nothing is sent and its ring has stayed below
// hearing for longer than its line, it rests again; a ring that can still be heard is never cut.
TEST_F(ModuleResonatorTest, RestsWhileNothingIsSentAndWakesAsNew)
{
    std::vector<float> zeros(256, 0.0f), impulse(256, 0.0f);
    impulse[0] = 1.0f;
    const auto info = noteInfo(69);
    auto block = [&](Resonator& r, const std::vector<float>& noise) {
        const float* resonated = nullptr;
        r.process(nullptr, &resonated, zeros.data(), noise.data(), 256, kRate, clock, info, t.params.resonator, lfo,
                  2, AudioQuality::Normal);
        return std::vector<float>(resonated, resonated + 256);
    };

    set(t.params.resonator.feedback, 0.95f);
    Resonator rested, fresh;
    rested.gateOn(VoicingType::NewNote);
    for (int b = 0; b < 20; ++b)
        ASSERT_EQ(DspTest::peak(block(rested, zeros)), 0.0);
    EXPECT_TRUE(rested.isResting());

    fresh.gateOn(VoicingType::NewNote);
    std::vector<float> a = block(rested, impulse), b = block(fresh, impulse);
    EXPECT_FALSE(rested.isResting());
    unsigned blocks = 1;
    for (; blocks < 2000 && !rested.isResting(); ++blocks) {
        ASSERT_EQ(a, b) << "block " << blocks;
        const double level = DspTest::peak(a);
        a = block(rested, zeros);
        b = block(fresh, zeros);
        if (rested.isResting()) {
            EXPECT_LT(level, 1e-9) << "rested while ringing";
        }
    }
    EXPECT_TRUE(rested.isResting());
    // A long ring is heard out: at feedback 0.95 it takes well over a second to fall below -180 dB.
    EXPECT_GT(blocks * 256, unsigned(kRate));
    EXPECT_LT(DspTest::peak(b), 1e-9);
    EXPECT_EQ(DspTest::peak(block(rested, zeros)), 0.0);
}

// The pitch module draws its jitter from one generator for all voices, once per query: a resting
// resonator asks for its pitch as often as a running one, so that it shifts no voice's jitter.
TEST_F(ModuleResonatorTest, AsksForThePitchAsOftenWhetherItRestsOrRuns)
{
    struct CountingPitch : Lumora::NoteInformation::iVoiceFrequency {
        float frequency(unsigned) const override
        {
            ++queries;
            return 440.0f;
        }
        mutable int queries = 0;
    };
    std::vector<float> zeros(512, 0.0f), impulse(512, 0.0f);
    impulse[0] = 1.0f;
    int counts[2] = {};
    for (int running = 0; running < 2; ++running) {
        CountingPitch pitch;
        auto info = noteInfo(69);
        info.frequencyProvider = &pitch;
        Resonator r;
        r.gateOn(VoicingType::NewNote);
        for (int b = 0; b < 4; ++b)
            r.process(nullptr, nullptr, zeros.data(), running ? impulse.data() : zeros.data(), 512, kRate, clock, info,
                      t.params.resonator, lfo, 2, AudioQuality::Normal);
        EXPECT_EQ(r.isResting(), running == 0);
        counts[running] = pitch.queries;
    }
    EXPECT_EQ(counts[0], counts[1]);
    EXPECT_EQ(counts[0], 4 * 4); // four 128-sample segments per block
}

TEST(ModuleResonatorLimiter, PassesUnitRangeAndBendsBeyond)
{
    const std::vector<float> in = {0.0f, 0.5f, 1.0f, -1.0f, 2.0f, -2.0f, 1.0e4f, NAN};
    std::vector<float> out(in.size());
    Resonator::saturate(out.data(), in.data(), unsigned(in.size()));
    EXPECT_EQ(out[1], 0.5f);
    EXPECT_EQ(out[2], 1.0f);
    EXPECT_EQ(out[3], -1.0f);
    EXPECT_NEAR(out[4], 1.3218f, 1e-4f);
    EXPECT_NEAR(out[5], -1.3218f, 1e-4f);
    EXPECT_NEAR(out[6], 1.4637f, 1e-3f);
    EXPECT_EQ(out[7], 0.0f);
}

} // namespace
