#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

#include "engine/instrument/iInstrument.h"
#include "engine/text/MultiPartText.h"
#include "engine/tuning/MicroTuning.h"
#include "engine/voice/iVoice.h"
#include "engine/support/TestVoice.h"

namespace Lumora {
namespace {

using Testing::TestInstrument;
using Testing::TestSetup;
using Testing::TestVoice;
using Testing::noteOff;
using Testing::noteOn;
using Testing::pedal;

MidiMessage pitchBend(int value14) { return MidiMessage(0xE0, value14 & 127, value14 >> 7); }
MidiMessage keyPressure(int note, int value) { return MidiMessage(0xA0, note, value); }

float semitones(float s) { return std::exp2(s / 12.0f); }

// Frequency of a periodic signal from its rising zero crossings, interpolated between samples.
double measureFrequency(const std::vector<float>& x, double sampleRate) {
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double t = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (first < 0.0) {
                first = t;
            }
            last = t;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * sampleRate / (last - first);
}

// ---- target frequency ----

TEST(InstrumentFrequency, TuneTransposeAndPitchBend) {
    const float maxBend = pitchBend(16383).toPitchBend();
    const struct {
        const char* name;
        int bend14;
        int down, up;
        float tune;
        int transpose;
        int note;
        float expected;
    } cases[] = {
        {"identity", 8192, 2, 2, 0.0f, 0, 69, NoteNumberToHz(69)},
        {"bend up by the up range", 16383, 12, 2, 0.0f, 0, 60, NoteNumberToHz(60) * semitones(2.0f * maxBend)},
        {"bend down an octave", 0, 12, 2, 0.0f, 0, 60, NoteNumberToHz(60) / 2.0f},
        {"negative range acts as its size", 0, -12, 2, 0.0f, 0, 60, NoteNumberToHz(60) / 2.0f},
        {"negative up range", 16383, 2, -2, 0.0f, 0, 60, NoteNumberToHz(60) * semitones(2.0f * maxBend)},
        {"tune and transpose add", 8192, 2, 2, 0.5f, -7, 72, NoteNumberToHz(72) * semitones(-6.5f)},
    };
    for (const auto& c : cases) {
        TestInstrument instrument;
        instrument.setPitchBendRange(c.down, c.up);
        instrument.setTune(c.tune);
        instrument.setTranspose(c.transpose);
        instrument.render(16, {pitchBend(c.bend14)});
        EXPECT_NEAR(instrument.noteNumberToHz(c.note), c.expected, c.expected * 1e-5) << c.name;
    }
}

TEST(InstrumentFrequency, MicroTuningOffsetsAndDetunesPitchClasses) {
    TestInstrument instrument;
    // Pitch class 0 down an octave, 1 detuned by a quarter semitone, 5 up five semitones.
    ASSERT_TRUE(instrument.microTuning()->deserialize("1\n-12:0\n0:0.25\n0:0\n0:0\n0:0\n5:0\n"));
    const struct {
        int note;
        float expected;
    } cases[] = {
        {61, NoteNumberToHz(61) * semitones(0.25f)},
        {65, NoteNumberToHz(70)},
        {125, NoteNumberToHz(127)}, // 130 clamps to 127
        {127, NoteNumberToHz(127)},
        {12, NoteNumberToHz(0)},
        {0, NoteNumberToHz(0)}, // -12 clamps to 0
        {62, NoteNumberToHz(62)},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(instrument.noteNumberToHz(c.note), c.expected, c.expected * 1e-5) << c.note;
    }

    // A sounding voice follows a detune made in the editor from its next block.
    instrument.render(64, {noteOn(62)});
    const iVoice* voice = instrument.voiceAllocator().activeVoices().front();
    EXPECT_FLOAT_EQ(voice->frequency(), NoteNumberToHz(62));
    instrument.microTuning()->setDetune(62, -0.5f);
    instrument.render(64);
    EXPECT_NEAR(voice->frequency(), NoteNumberToHz(62) * semitones(-0.5f), 1e-3);
}

// A frequency kept from an earlier question is never answered once a setting it depends on has
// moved: after each change the instrument answers exactly what one set up that way from the start
// answers.
TEST(InstrumentFrequency, FollowsEverySettingChangedAfterAQuestion) {
    struct Settings {
        int down = 2, up = 2;
        float tune = 0.0f;
        int transpose = 0;
        int bend14 = 8192;
        float detune = 0.0f;
    };
    // Every setting is set again for each block, as the engine does; the table only where it moved.
    const auto apply = [](TestInstrument& instrument, const Settings& s) {
        instrument.setPitchBendRange(s.down, s.up);
        instrument.setTune(s.tune);
        instrument.setTranspose(s.transpose);
        if (instrument.microTuning()->data(62).detune != s.detune) {
            instrument.microTuning()->setDetune(62, s.detune);
        }
        instrument.render(16, {pitchBend(s.bend14)});
    };
    const struct {
        const char* name;
        void (*change)(Settings&);
    } steps[] = {
        {"tune", [](Settings& s) { s.tune = 0.25f; }},
        {"transpose", [](Settings& s) { s.transpose = -5; }},
        {"bend", [](Settings& s) { s.bend14 = 12000; }},
        {"bend range up", [](Settings& s) { s.up = 7; }},
        {"bend down", [](Settings& s) { s.bend14 = 100; }},
        {"bend range down", [](Settings& s) { s.down = 12; }},
        {"detune", [](Settings& s) { s.detune = -0.75f; }},
        {"all back", [](Settings& s) { s = Settings{}; }},
    };
    TestInstrument instrument;
    Settings settings;
    apply(instrument, settings);
    ASSERT_EQ(instrument.noteNumberToHz(62), NoteNumberToHz(62));
    for (const auto& step : steps) {
        step.change(settings);
        apply(instrument, settings);
        TestInstrument fresh;
        apply(fresh, settings);
        EXPECT_EQ(instrument.noteNumberToHz(62), fresh.noteNumberToHz(62)) << step.name;
        EXPECT_EQ(instrument.noteNumberToHz(50), fresh.noteNumberToHz(50)) << step.name;
    }
}

// ---- volume and clipping ----

// Writes a constant into every output in place of the voices.
class ConstantInstrument : public TestInstrument {
public:
    explicit ConstantInstrument(float value, float volumeScale = 1.0f)
        : TestInstrument(TestSetup{.volumeScale = volumeScale}), value_(value) {}

protected:
    void audioProcess(const Inputs&, const Inputs&, const Outputs& outputs, unsigned frames, float,
                      const Clock&, const MidiBlock&) override {
        for (float* out : outputs) {
            std::fill(out, out + frames, value_);
        }
    }

private:
    float value_;
};

TEST(InstrumentVolume, RampsFromThePreviousVolumeAcrossOneBlock) {
    ConstantInstrument instrument(1.0f);
    instrument.setVolume(1.0f);
    instrument.render(4);
    for (const auto& channel : instrument.out) {
        EXPECT_EQ(channel, (std::vector<float>{0.5f, 0.625f, 0.75f, 0.875f}));
    }
    instrument.setVolume(1.0f);
    instrument.render(4);
    EXPECT_EQ(instrument.out[0], (std::vector<float>(4, 1.0f)));

    // Set once and not again: the ramp is not repeated.
    instrument.setVolume(0.0f);
    instrument.render(4);
    EXPECT_EQ(instrument.out[1], (std::vector<float>{1.0f, 0.75f, 0.5f, 0.25f}));
    instrument.render(4);
    EXPECT_EQ(instrument.out[1], (std::vector<float>(4, 0.0f)));
}

// With a glide time the volume follows one line of that many samples, however the blocks split
// it, and a volume set again mid-line starts a new line from where the gain stands.
TEST(InstrumentVolume, AGlideTimeGivesTheSameLineAtEveryBlockSize) {
    const auto played = [](unsigned block) {
        ConstantInstrument instrument(1.0f);
        instrument.setVolumeGlideSeconds(100.0f / TestInstrument::kSampleRate); // 100 samples
        std::vector<float> all;
        for (unsigned done = 0; done < 200; done += block) {
            if (done == 0) instrument.setVolume(1.0f);
            if (done == 64) instrument.setVolume(0.0f);
            instrument.render(block);
            all.insert(all.end(), instrument.out[0].begin(), instrument.out[0].end());
        }
        return all;
    };
    const std::vector<float> single = played(1);
    // From 0.5 up by 0.005 a sample; at sample 64 (0.82) down to 0 over the next 100 samples.
    EXPECT_FLOAT_EQ(single[0], 0.5f);
    EXPECT_FLOAT_EQ(single[10], 0.55f);
    EXPECT_FLOAT_EQ(single[64], 0.82f);
    EXPECT_NEAR(single[114], 0.41f, 1e-5);
    EXPECT_EQ(single[164], 0.0f);
    EXPECT_EQ(single[199], 0.0f);
    for (unsigned block : {16u, 32u, 64u}) {
        const std::vector<float> blocked = played(block);
        for (size_t i = 0; i < single.size(); ++i) {
            ASSERT_NEAR(blocked[i], single[i], 1e-6) << "blocks of " << block << ", sample " << i;
        }
    }
}

TEST(InstrumentVolume, ScaleSingleFramesAndNegativeVolumes) {
    ConstantInstrument instrument(0.25f, 2.0f);
    instrument.render(3);
    EXPECT_EQ(instrument.out[0], (std::vector<float>(3, 0.25f))) << "0.5 x scale 2";

    instrument.setVolume(1.5f);
    instrument.render(1);
    EXPECT_FLOAT_EQ(instrument.out[0][0], 0.75f) << "one frame takes the target";

    instrument.setVolume(-1.0f);
    EXPECT_EQ(instrument.volume(), 0.0f);
    instrument.render(0);
    instrument.render(2);
    EXPECT_EQ(instrument.out[0], (std::vector<float>(2, 0.0f)));
}

TEST(InstrumentVolume, OutputIsClippedToPlusMinusOne) {
    for (float value : {3.0f, -3.0f, 1.0f, -0.999f}) {
        ConstantInstrument instrument(value);
        instrument.setVolume(0.5f);
        instrument.render(8);
        const float expected = std::clamp(value * 0.5f, -1.0f, 1.0f);
        EXPECT_EQ(instrument.out[0][7], expected);
        instrument.setVolume(1.0f);
        instrument.render(8);
        instrument.render(8);
        EXPECT_EQ(instrument.out[0][7], std::clamp(value, -1.0f, 1.0f)) << value;
    }
}

// Writes a given signal into every output in place of the voices, at a volume scale of 2.
class SignalInstrument : public TestInstrument {
public:
    explicit SignalInstrument(std::vector<float> signal)
        : TestInstrument(TestSetup{.volumeScale = 2.0f}), signal_(std::move(signal)) {}

protected:
    void audioProcess(const Inputs&, const Inputs&, const Outputs& outputs, unsigned frames, float,
                      const Clock&, const MidiBlock&) override {
        for (float* out : outputs) {
            std::copy_n(signal_.begin(), frames, out);
        }
    }

private:
    std::vector<float> signal_;
};

// Every lane of a block, and the frames after the last whole group of eight, take the scalar
// product and clip: NaN passes, infinities and zeros of either sign land where the comparisons put them.
TEST(InstrumentVolume, SteadyGainAndClipActOnEverySampleAlike) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> values = {0.5f, -0.0f, 0.0f, 3.0f, -3.0f, inf, -inf, nan, 1.5f, -1.25f, -2.0f, 0.75f};
    for (const unsigned frames : {5u, 8u, 13u, 32u}) {
        std::vector<float> in(frames);
        for (unsigned i = 0; i < frames; ++i) {
            in[i] = values[i % values.size()];
        }
        SignalInstrument instrument(in);
        instrument.render(frames);
        for (size_t c = 0; c < instrument.out.size(); ++c) {
            for (unsigned i = 0; i < frames; ++i) {
                float v = in[i] * 1.0f; // volume 0.5 times scale 2
                v = v < -1.0f ? -1.0f : v;
                v = v > 1.0f ? 1.0f : v;
                std::uint32_t want, got;
                std::memcpy(&want, &v, sizeof v);
                std::memcpy(&got, &instrument.out[c][i], sizeof got);
                EXPECT_EQ(got, want) << frames << " frames, sample " << i;
            }
        }
    }
}

// ---- mixing ----

TEST(InstrumentMixing, VoiceChannelsReachTheOutputs) {
    {
        TestInstrument mono(TestSetup{.outputs = 2, .voiceOutputs = 1, .level = 0.25f});
        mono.render(32, {noteOn(60), noteOn(64)});
        EXPECT_EQ(mono.out[0], mono.out[1]) << "one voice channel feeds both outputs";
        EXPECT_FLOAT_EQ(mono.out[0][10], 0.25f) << "two voices of 0.25 at volume 0.5";
    }
    {
        TestInstrument stereo(TestSetup{.outputs = 2, .voiceOutputs = 2, .level = 0.25f});
        stereo.render(32, {noteOn(60)});
        EXPECT_FLOAT_EQ(stereo.out[1][10], 0.125f);
    }
    {
        TestInstrument mismatched(TestSetup{.outputs = 3, .voiceOutputs = 2, .level = 0.25f});
        mismatched.render(32, {noteOn(60)});
        EXPECT_EQ(mismatched.out[2], std::vector<float>(32, 0.0f)) << "outputs left untouched";
    }
}

TEST(InstrumentMixing, NoteOnSoundsAtItsPitchAndNoteOffEndsItAfterTheRelease) {
    TestInstrument instrument(TestSetup{.shape = TestVoice::Shape::Sine, .level = 0.8f, .releaseFrames = 300});
    instrument.setVolume(1.0f);
    instrument.render(64);

    for (int note : {69, 57, 81}) {
        std::vector<float> signal;
        instrument.setVolume(1.0f);
        instrument.render(64, {noteOn(note)});
        signal.insert(signal.end(), instrument.out[0].begin(), instrument.out[0].end());
        for (int b = 0; b < 80; ++b) {
            instrument.render(64);
            signal.insert(signal.end(), instrument.out[0].begin(), instrument.out[0].end());
        }
        const double f = NoteNumberToHz(note);
        EXPECT_NEAR(measureFrequency(signal, TestInstrument::kSampleRate), f, f * 0.002) << note;

        // No jump anywhere, block boundaries included: a sine moves at most 2 pi f / rate per sample.
        const double limit = 0.8 * 2.0 * std::numbers::pi * f / TestInstrument::kSampleRate * 1.01;
        for (size_t i = 1; i < signal.size(); ++i) {
            ASSERT_LE(std::abs(signal[i] - signal[i - 1]), limit) << note << " at " << i;
        }

        // 300 frames of release end inside the fifth block; from the sixth on all is silent.
        instrument.render(64, {noteOff(note)});
        EXPECT_GT(*std::max_element(instrument.out[0].begin(), instrument.out[0].end()), 0.1f);
        for (int b = 0; b < 4; ++b) {
            instrument.render(64);
        }
        EXPECT_EQ(instrument.numOfActiveVoices(), 0u);
        instrument.render(64);
        for (const auto& channel : instrument.out) {
            for (float x : channel) {
                ASSERT_EQ(x, 0.0f);
            }
        }
    }
}

TEST(InstrumentMixing, NoteOnAndOffInOneBlockBothActAtItsStart) {
    TestInstrument instrument(TestSetup{.releaseFrames = 1000});
    instrument.render(64, {noteOn(60), noteOff(60)});
    const TestVoice& voice = instrument.voice(instrument.voiceAllocator().releasedVoices().front());
    EXPECT_EQ(voice.noteOns, 1);
    EXPECT_EQ(voice.noteOffs, 1);
    EXPECT_EQ(voice.lastInfo.state, iVoice::StateNoteOff);
    EXPECT_EQ(voice.lastInfo.previousState, iVoice::StateNoteOn);
    EXPECT_EQ(voice.state(), iVoice::StateOff);
    EXPECT_GT(instrument.out[0][0], 0.0f) << "it sounds its release";
}

TEST(InstrumentMixing, KeyPressureOfTheBlockReachesTheNote) {
    TestInstrument instrument;
    instrument.render(16, {keyPressure(60, 10), keyPressure(64, 90)});
    instrument.render(16, {noteOn(60), keyPressure(60, 20), keyPressure(60 + 128, 30), noteOn(64)});
    const auto& active = instrument.voiceAllocator().activeVoices();
    EXPECT_EQ(active.at(0)->pressure(), 30) << "the block's last value, index masked";
    EXPECT_EQ(active.at(1)->pressure(), 90) << "an earlier block's value";
    EXPECT_EQ(instrument.keyPressure(60), 30);
}

// ---- life cycle and polyphony ----

TEST(InstrumentLifecycle, PolyphonyIsLimitedByTheCapacity) {
    TestInstrument instrument(TestSetup{.capacity = 24, .maxPolyphony = 30});
    EXPECT_EQ(instrument.polyphonicCapacity(), 24u);
    EXPECT_EQ(instrument.maxPolyphony(), 24u);
    instrument.setMaxPolyphony(8);
    EXPECT_EQ(instrument.maxPolyphony(), 8u);
    instrument.setMaxPolyphony(100);
    EXPECT_EQ(instrument.maxPolyphony(), 24u);
}

TEST(InstrumentLifecycle, VoicesAreMadeOnceBeforeRendering) {
    TestInstrument instrument;
    EXPECT_TRUE(instrument.voiceAllocator().allVoices().empty());
    instrument.allocateRenderResources(48000.0f);
    ASSERT_EQ(instrument.voiceAllocator().allVoices().size(), 48u);
    const iVoice* first = instrument.voiceAllocator().allVoices().front().get();
    instrument.allocateRenderResources(44100.0f);
    EXPECT_EQ(instrument.voiceAllocator().allVoices().front().get(), first);

    TestInstrument unallocated;
    unallocated.render(8, {noteOn(60)});
    EXPECT_EQ(unallocated.numOfActiveVoices(), 1u);
}

TEST(InstrumentLifecycle, AllNoteOffAndDeallocationEndNotes) {
    TestInstrument instrument(TestSetup{.releaseFrames = 1000});
    instrument.allocateRenderResources(44100.0f);
    instrument.render(64, {pedal(true), noteOn(60), noteOn(64), noteOn(67)});
    instrument.allNoteOff();
    EXPECT_TRUE(instrument.voiceAllocator().activeVoices().empty());
    EXPECT_EQ(instrument.numOfActiveVoices(), 3u) << "released voices still count";

    instrument.render(64, {noteOn(72)});
    instrument.deallocateRenderResources();
    instrument.allocateRenderResources(44100.0f);
    instrument.render(64);
    EXPECT_EQ(instrument.out[0], std::vector<float>(64, 0.0f)) << "no note survives";
    EXPECT_EQ(instrument.numOfActiveVoices(), 0u);
    EXPECT_EQ(instrument.voiceAllocator().freeVoices().size(), 48u);
    for (const auto& voice : instrument.voiceAllocator().allVoices()) {
        EXPECT_EQ(voice->note(), -1);
    }
}

// ---- the "MicroTuning" part ----

TEST(InstrumentState, MicroTuningPartFollowsTheMask) {
    const auto tuning = SerializeWhat::MicroTuningPart;
    const auto where = SerializeWhere::Document;

    TestInstrument instrument;
    instrument.microTuning()->setDetune(1, 0.25f);
    MultiPartText without;
    instrument.serialize(SerializeWhat::SoundParameters, without);
    EXPECT_TRUE(without.parts().empty());

    MultiPartText text;
    instrument.serialize(SerializeWhat::SoundPreset, text);
    ASSERT_EQ(text.partText("MicroTuning").substr(0, 10), "1\n0:0\n0:0.");

    TestInstrument other;
    EXPECT_TRUE(other.deserialize(SerializeWhat::SoundParameters, text, where));
    EXPECT_EQ(other.microTuning()->data(1).detune, 0.0f) << "mask without the part";
    EXPECT_TRUE(other.deserialize(tuning, MultiPartText(), where));
    EXPECT_EQ(other.microTuning()->data(1).detune, 0.0f) << "no part, nothing changes";
    EXPECT_TRUE(other.deserialize(tuning, text, where));
    EXPECT_EQ(other.microTuning()->data(1).detune, 0.25f);

    MultiPartText bad;
    bad.append("MicroTuning", "2\n3:0");
    EXPECT_FALSE(other.deserialize(tuning, bad, where));
    EXPECT_EQ(other.microTuning()->data(1).detune, 0.25f);

    other.initialize(SerializeWhat::SoundParameters, where);
    EXPECT_EQ(other.microTuning()->data(1).detune, 0.25f);
    other.initialize(tuning, where);
    EXPECT_EQ(other.microTuning()->data(1).detune, 0.0f);
}

} // namespace
} // namespace Lumora
