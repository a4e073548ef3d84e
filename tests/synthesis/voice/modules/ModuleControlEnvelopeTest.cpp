// A modulation envelope read once per control span: over short blocks it stands still and catches
// up at the next span's start, taking exactly the steps one block of the whole span takes, with
// the times that were set for the frames gone by; a gate change catches up first.
#include <gtest/gtest.h>

#include "synthesis/voice/modules/ControlEnvelope.h"

namespace {

using Lumora::VoicingType;
using Lumora::Corvane::Module::ControlEnvelope;

constexpr float kRate = 48000.0f;

void setTimes(ControlEnvelope& e, float attack)
{
    e.adsr().setADSR(attack, 0.02f, 0.5f, 0.03f);
}

TEST(ModuleControlEnvelope, ShortBlocksCatchUpToWholeSpansBitForBit)
{
    // Through attack and decay into the sustain, with the times changed between spans, both
    // envelopes stand at the same level at every span's start.
    ControlEnvelope whole(true);
    ControlEnvelope shared(true);
    whole.gateOn(VoicingType::NewNote);
    shared.gateOn(VoicingType::NewNote);
    for (int span = 0; span < 40; ++span) {
        const float attack = span < 10 ? 0.01f : 0.004f;
        setTimes(whole, attack);
        whole.runBlock(128, kRate);
        const float level = shared.openSpan(kRate);
        setTimes(shared, attack);
        EXPECT_EQ(level, whole.adsr().level()) << span;
        for (int block = 0; block < 4; ++block)
            shared.owe(32);
    }
    EXPECT_EQ(shared.openSpan(kRate), whole.adsr().currentLevel());
    EXPECT_FLOAT_EQ(whole.adsr().currentLevel(), 0.25f); // the sustain, squared
}

TEST(ModuleControlEnvelope, AGateChangeMeetsTheEnvelopeWhereTheElapsedTimePutsIt)
{
    ControlEnvelope whole(false);
    ControlEnvelope shared(false);
    for (ControlEnvelope* e : {&whole, &shared}) {
        setTimes(*e, 0.01f);
        e->gateOn(VoicingType::NewNote);
    }
    whole.runBlock(64, kRate);
    whole.gateOff();
    whole.runBlock(64, kRate);

    shared.openSpan(kRate);
    shared.owe(64);
    shared.gateOff();
    shared.owe(64);
    EXPECT_EQ(shared.openSpan(kRate), whole.adsr().currentLevel());
    EXPECT_GT(shared.openSpan(kRate), 0.0f);
}

} // namespace
