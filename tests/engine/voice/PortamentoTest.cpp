#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/voice/Portamentor.h"
#include "engine/voice/iVoice.h"
#include "engine/support/TestVoice.h"

namespace Lumora {
namespace {

using Testing::TestInstrument;
using Testing::TestVoice;
using Testing::noteOff;
using Testing::noteOn;

TEST(Portamento, CoefficientFollowsTheSquaredAmount) {
    const struct {
        float amount;
        double expected;
    } cases[] = {
        {0.0f, 0.0},
        {0.5f, 1.0 - std::exp(-std::numbers::pi / 2.0)},
        {-0.5f, 1.0 - std::exp(-std::numbers::pi / 2.0)},
        {1.0f, 1.0 - std::exp(-2.0 * std::numbers::pi)},
        {100.0f, 1.0},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(Portamentor::coefficientFor(c.amount), c.expected, 1e-6) << c.amount;
    }
    // At full amount each block covers 0.19 % of the remaining distance.
    EXPECT_NEAR(1.0f - Portamentor::coefficientFor(1.0f), 0.00187, 1e-5);
}

TEST(Portamento, GlideApproachesTheTargetGeometrically) {
    Portamentor glide;
    const float c = 0.75f;
    glide.start(c, 220.0f);
    float previous = 220.0f;
    for (int k = 1; k <= 40; ++k) {
        const float f = glide.advance(440.0f);
        EXPECT_NEAR(f, 440.0 - 220.0 * std::pow(0.75, k), 1e-3) << k;
        EXPECT_GT(f, previous - 1e-6f);
        EXPECT_LE(f, 440.0f);
        previous = f;
    }
    glide.disable();
    EXPECT_FLOAT_EQ(glide.advance(880.0f), 880.0f);
}

struct GlideRig {
    explicit GlideRig(iInstrument::PORTAMENTO_MODE mode, float amount) {
        instrument.setPortamentoMode(mode);
        instrument.setPortamento(amount);
        instrument.setMaxPolyphony(8);
    }
    // The frequency of the newest voice after one block of the given MIDI.
    float block(const std::deque<MidiMessage>& midi = {}) {
        instrument.render(64, midi);
        const auto& active = instrument.voiceAllocator().activeVoices();
        return active.empty() ? 0.0f : active.at(active.size() - 1)->frequency();
    }
    TestInstrument instrument;
};

TEST(Portamento, VoiceGlidesFromTheLastNoteOncePerBlock) {
    GlideRig rig(iInstrument::PORTAMENTO_ALWAYS, 0.5f);
    const float c = Portamentor::coefficientFor(0.5f);
    const float from = rig.instrument.noteNumberToHz(64); // the allocator's first last note
    const float target = rig.instrument.noteNumberToHz(60);

    float f = rig.block({noteOn(60)});
    float expected = target * (1.0f - c) + c * from;
    EXPECT_NEAR(f, expected, 1e-3);
    const auto& info = TestInstrument::voice(rig.instrument.voiceAllocator().activeVoices().front()).lastInfo;
    EXPECT_NEAR(info.pitch, 69.0f + 12.0f * std::log2(f / 440.0f), 1e-4);
    EXPECT_EQ(info.note, 60);

    for (int k = 0; k < 30; ++k) {
        expected = target * (1.0f - c) + c * expected;
        f = rig.block();
        ASSERT_NEAR(f, expected, 1e-3) << k;
    }
    EXPECT_NEAR(f, target, target * 1e-3);
}

TEST(Portamento, LegatoModeGlidesOnlyIntoOverlappingNotes) {
    GlideRig rig(iInstrument::PORTAMENTO_LEGATO, 1.0f);
    EXPECT_FLOAT_EQ(rig.block({noteOn(60)}), rig.instrument.noteNumberToHz(60)) << "nothing overlapped";

    const float f = rig.block({noteOn(72)});
    const float c = Portamentor::coefficientFor(1.0f);
    EXPECT_NEAR(f, rig.instrument.noteNumberToHz(72) * (1.0f - c) + c * rig.instrument.noteNumberToHz(60), 1e-3);

    rig.block({noteOff(60), noteOff(72)});
    EXPECT_FLOAT_EQ(rig.block({noteOn(67)}), rig.instrument.noteNumberToHz(67));
}

TEST(Portamento, ZeroAmountJumpsToTheTarget) {
    GlideRig rig(iInstrument::PORTAMENTO_ALWAYS, 0.0f);
    EXPECT_FLOAT_EQ(rig.block({noteOn(48)}), rig.instrument.noteNumberToHz(48));
    EXPECT_FLOAT_EQ(rig.block({noteOn(84)}), rig.instrument.noteNumberToHz(84));
}

} // namespace
} // namespace Lumora
