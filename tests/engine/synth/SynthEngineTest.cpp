#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/synth/SynthTestSupport.h"

using namespace Lumora;
using namespace SynthTest;
using Common = iSynthAudioEngine::SynthCommonParameters::Common;
using SynthMaster = iSynthAudioEngine::SynthCommonParameters::Master;
using EngineMaster = iAudioEngine::CommonParameters::Master;

namespace {

struct SynthEngine : ::testing::Test {
    SynthRig rig;
    TestSynth& engine = rig.engine;
    Testing::TestInstrument& synth = rig.engine.synth;

    void set(int id, float concrete) { engine.set(id, concrete); }
    void holdKey(bool on) { set(Common::KeyboardHold, on ? 1.0f : 0.0f); }
    void arpeggiate(bool on) { set(Common::Arpeggiator, on ? 1.0f : 0.0f); }
};

} // namespace

TEST_F(SynthEngine, CommonParametersAreMadeOnAttachWithTheirTable) {
    struct Row {
        int id;
        const char* name;
        const char* key;
        Parameter::Type type;
        float min, max, def;
        uint32_t options, what;
    };
    using T = Parameter::Type;
    // The test instrument holds 24 voices and starts with 8.
    const Row rows[] = {
        {2110, "Master Transpose", "MASTER_TRANSPOSE", T::SInt, -12, 12, 0, 0, 0x100},
        {2111, "Master Tune", "MASTER_TUNE", T::SFloat, -1, 1, 0, 0, 0x100},
        {2120, "Maximum Polyphony", "MASTER_MAX_POLYPHONY", T::UInt, 1, 24, 8, 0, 0x100},
        {2200, "Volume", "COMMON_VOLUME", T::UFloat, 0, 1, 0.5f, 0, 0x10100},
        {2210, "Portamento", "COMMON_PORTAMENTO", T::UFloat, 0, 1, 0, 0, 0x10100},
        {2211, "Octave", "COMMON_OCTAVE", T::SInt, -2, 2, 0, 0, 0x10100},
        {2220, "Pitch Bend Range (-)", "COMMON_PB_NEGATIVE", T::UInt, 0, 11, 1, 0, 0x10100},
        {2221, "Pitch Bend Range (+)", "COMMON_PB_POSITIVE", T::UInt, 0, 11, 1, 0, 0x10100},
        {2230, "MonoMode", "COMMON_MONOMODE", T::UInt, 0, 2, 0, 0, 0x10100},
        {3000, "Arpeggiator", "COMMON_ARPEGGIATOR", T::Bool, 0, 1, 0, 0, 0x40000},
        {2001, "Keyboard Hold", "KEYBOARD_HOLD", T::Bool, 0, 1, 0, 0x1c00, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.key);
        Parameter* p = engine.manager.getParameter(r.id);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->displayName(), r.name);
        EXPECT_EQ(p->serializedName(), r.key);
        EXPECT_EQ(p->type(), r.type);
        EXPECT_FLOAT_EQ(p->concreteValue(), r.def);
        EXPECT_FLOAT_EQ(Parameter::normalizedToConcreteValue(r.type, p->normalizedMinValue()), r.min);
        EXPECT_FLOAT_EQ(Parameter::normalizedToConcreteValue(r.type, p->normalizedMaxValue()), r.max);
        EXPECT_EQ(static_cast<uint32_t>(p->options()), r.options);
        EXPECT_EQ(static_cast<uint32_t>(p->serializeWhat()), r.what);
        EXPECT_EQ(p->notifyInterval(), 0u);
    }
    EXPECT_TRUE(engine.supportsTimingShift());
    EXPECT_TRUE(engine.supportsNoteInput());
    EXPECT_TRUE(engine.supportsTuning());
    EXPECT_TRUE(engine.hasArpeggiator());
}

TEST(SynthEngineAttach, ParametersWaitForAnAudioIOAndASecondOneRemakesThemAtDefaults) {
    TestSynth engine;
    EXPECT_EQ(engine.commonParameters(), nullptr);
    EXPECT_EQ(engine.manager.getParameter(Common::Volume), nullptr);

    EngineTest::TestAudioIO first(&engine);
    ASSERT_NE(engine.commonParameters(), nullptr);
    engine.set(Common::Volume, 0.9f);
    engine.set(SynthMaster::Transpose, 3);

    EngineTest::TestAudioIO second(&engine);
    EXPECT_FLOAT_EQ(engine.param(Common::Volume).concreteValue(), 0.5f);
    EXPECT_FLOAT_EQ(engine.param(SynthMaster::Transpose).concreteValue(), 0.0f);
    EXPECT_EQ(engine.manager.getParameterMap().size(), 3u + 11u);
}

TEST_F(SynthEngine, CommonParametersReachTheInstrumentEveryBlock) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, float>> settings;
        std::function<void(const iInstrument&)> check;
    };
    const Case cases[] = {
        {"transpose 5 and octave -1 give -7 semitones",
         {{SynthMaster::Transpose, 5}, {Common::Octave, -1}},
         [](const iInstrument& i) { EXPECT_EQ(i.transpose(), -7); }},
        {"octave +2 and transpose -12 give +12",
         {{SynthMaster::Transpose, -12}, {Common::Octave, 2}},
         [](const iInstrument& i) { EXPECT_EQ(i.transpose(), 12); }},
        {"master 0.5 and common 0.5 give a volume of 0.0625",
         {{EngineMaster::MasterVolume, 0.5f}, {Common::Volume, 0.5f}},
         [](const iInstrument& i) { EXPECT_FLOAT_EQ(i.volume(), 0.0625f); }},
        {"tune", {{SynthMaster::Tune, -0.5f}}, [](const iInstrument& i) { EXPECT_FLOAT_EQ(i.tune(), -0.5f); }},
        {"polyphony", {{SynthMaster::MaxPolyphony, 3}},
         [](const iInstrument& i) { EXPECT_EQ(i.maxPolyphony(), 3u); }},
        {"mono legato", {{Common::MonoMode, 2}},
         [](const iInstrument& i) { EXPECT_EQ(i.monoMode(), VoiceAllocator::MonoMode::MonoLegato); }},
        {"mono", {{Common::MonoMode, 1}},
         [](const iInstrument& i) { EXPECT_EQ(i.monoMode(), VoiceAllocator::MonoMode::Mono); }},
        {"quality 0 is eco", {{EngineMaster::AudioQuality, 0}},
         [](const iInstrument& i) { EXPECT_EQ(i.audioQuality(), AudioQuality::Eco); }},
        {"quality 2 is high", {{EngineMaster::AudioQuality, 2}},
         [](const iInstrument& i) { EXPECT_EQ(i.audioQuality(), AudioQuality::High); }},
        {"portamento without the arpeggiator glides into overlapping notes",
         {{Common::Portamento, 0.25f}},
         [](const iInstrument& i) {
             EXPECT_EQ(i.portamentoMode(), iInstrument::PORTAMENTO_LEGATO);
             EXPECT_FLOAT_EQ(i.portamento(), 0.25f);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SynthRig fresh;
        for (const auto& [id, value] : c.settings) fresh.engine.set(id, value);
        fresh.render();
        c.check(fresh.engine.synth);
    }

    // Each block takes the values as they are now.
    set(SynthMaster::Transpose, 2);
    rig.render();
    EXPECT_EQ(synth.transpose(), 2);
    set(SynthMaster::Transpose, -3);
    rig.render();
    EXPECT_EQ(synth.transpose(), -3);
}

TEST_F(SynthEngine, PitchBendRangeIsTheParameterPlusOneSemitone) {
    const MidiMessage fullDown(0xE0, 0, 0);
    rig.render({fullDown});
    // Default range: 2 semitones down from A4.
    EXPECT_NEAR(synth.noteNumberToHz(69), 440.0 * std::exp2(-2.0 / 12.0), 0.01);
    set(Common::PitchBendNegative, 11);
    rig.render();
    EXPECT_NEAR(synth.noteNumberToHz(69), 220.0, 0.01);
}

TEST_F(SynthEngine, UnderTheArpeggiatorOnlyStepsMarkedForPortamentoGlide) {
    set(Common::Portamento, 0.4f);
    arpeggiate(true);
    rig.render();
    EXPECT_EQ(synth.portamentoMode(), iInstrument::PORTAMENTO_ALWAYS);
    EXPECT_FLOAT_EQ(synth.portamento(), 0.0f);

    for (auto& step : engine.arpeggiatorData().steps) step.portamento = true;
    rig.render();
    EXPECT_FLOAT_EQ(synth.portamento(), 0.4f);

    arpeggiate(false);
    rig.render();
    EXPECT_EQ(synth.portamentoMode(), iInstrument::PORTAMENTO_LEGATO);
    EXPECT_FLOAT_EQ(synth.portamento(), 0.4f);
}

TEST_F(SynthEngine, KeyHolderKeepsReleasedKeysAndReportsThem) {
    holdKey(true);
    std::vector<MidiMessage> out = rig.render({noteOn(60)});
    EXPECT_EQ(countStatus(out, 0x90), 1);
    out = rig.render({noteOff(60)});
    EXPECT_EQ(countStatus(out, 0x80), 0);
    EXPECT_EQ(synth.numOfActiveVoices(), 1u);
    rig.notes.dispatch();
    EXPECT_EQ(rig.notes.paramsOf(iAudioEngine::NoteHeld), std::vector<int>{60});

    holdKey(false);
    int noteOffs = 0;
    for (int block = 0; block < 10; ++block) noteOffs += countStatus(rig.render(), 0x80);
    EXPECT_EQ(noteOffs, 1);
    EXPECT_EQ(synth.numOfActiveVoices(), 0u);
    rig.notes.dispatch();
    EXPECT_EQ(rig.notes.paramsOf(iAudioEngine::NoteReleased), std::vector<int>{60});
    EXPECT_TRUE(engine.keyboardHolder().heldNotes().empty());
}

TEST_F(SynthEngine, ArpeggiatorPlaysHeldKeysOnTheSwingClock) {
    arpeggiate(true);
    int noteOns = 0;
    std::vector<int> notes;
    std::vector<MidiMessage> out = rig.render({noteOn(60), noteOn(64)});
    // 120 beats per minute: a sixteenth is 6000 frames, so 400 blocks hold four of them.
    for (int block = 0; block < 400; ++block) {
        for (const MidiMessage& m : out) {
            if (m.kind() == 0x90) {
                ++noteOns;
                notes.push_back(m.data1());
            }
        }
        out = rig.render();
    }
    EXPECT_GE(noteOns, 3);
    ASSERT_GE(notes.size(), 2u);
    EXPECT_EQ(notes[0], 60);
    EXPECT_EQ(notes[1], 64);
    rig.notes.dispatch();
    EXPECT_GE(rig.notes.paramsOf(iAudioEngine::GrooveSixteenthTick).size(), 3u);
}

TEST_F(SynthEngine, AllNotesOffReachesTheMidiEffectsAndTheInstrument) {
    holdKey(true);
    arpeggiate(true);
    rig.render({noteOn(60)});
    rig.render({noteOff(60)});
    for (int block = 0; block < 20; ++block) rig.render();
    ASSERT_FALSE(engine.keyboardHolder().heldNotes().empty());
    ASSERT_FALSE(engine.arpeggiator().heldKeys().empty());

    rig.render({MidiMessage(0xB0, 123, 0)});
    EXPECT_TRUE(engine.keyboardHolder().heldNotes().empty());
    EXPECT_TRUE(engine.arpeggiator().heldKeys().empty());
    EXPECT_EQ(engine.arpeggiator().soundingNoteCount(), 0u);
    // Nothing plays again afterwards.
    int noteOns = 0;
    for (int block = 0; block < 200; ++block) noteOns += countStatus(rig.render(), 0x90);
    EXPECT_EQ(noteOns, 0);
    EXPECT_EQ(synth.numOfActiveVoices(), 0u);
}

TEST_F(SynthEngine, AllNotesOffWithoutEffectsReleasesTheVoices) {
    rig.render({noteOn(60), noteOn(67)});
    EXPECT_EQ(synth.numOfActiveVoices(), 2u);
    rig.render({MidiMessage(0xB0, 120, 0)});
    for (int block = 0; block < 10; ++block) rig.render();
    EXPECT_EQ(synth.numOfActiveVoices(), 0u);
    EXPECT_EQ(rig.peak(), 0.0f);
}

TEST(SynthEngineClock, TimingShiftMovesTheSwingClockGrid) {
    // The block of each of the first groove sixteenths, for a shift of 0 and of +0.5.
    auto grooveTickBlocks = [](float shift) {
        SynthRig rig;
        rig.engine.setTimingShift(shift);
        std::vector<int> blocks;
        for (int block = 0; block < 300 && blocks.size() < 3; ++block) {
            rig.render();
            rig.notes.dispatch();
            if (!rig.notes.paramsOf(iAudioEngine::GrooveSixteenthTick).empty()) blocks.push_back(block);
            rig.notes.received.clear();
        }
        return blocks;
    };
    const std::vector<int> plain = grooveTickBlocks(0.0f);
    const std::vector<int> late = grooveTickBlocks(0.5f);
    ASSERT_EQ(plain.size(), 3u);
    ASSERT_EQ(late.size(), 3u);
    // A sixteenth is 93.75 blocks of 64 frames at 120 beats per minute and 48 kHz; half the
    // shift range is a tenth of a beat, 37.5 blocks.
    EXPECT_NEAR(plain[1] - plain[0], 94, 1);
    EXPECT_NEAR(late[1] - plain[1], 37.5, 1);
}

TEST(SynthEngineVolume, TheFirstBlockAfterAllocationStartsAtTheSetVolumeWithoutAGlide) {
    SynthTest::SynthRig rig;
    rig.render({SynthTest::noteOn(60)});
    const float first = rig.left.front();
    EXPECT_GT(first, 0.0f);
    for (float v : rig.left) {
        EXPECT_FLOAT_EQ(v, first) << "a DC voice at a steady volume gives a flat block";
    }
    rig.render();
    EXPECT_FLOAT_EQ(rig.left.front(), first);
}
