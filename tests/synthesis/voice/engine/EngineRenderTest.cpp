// The product engine end to end: MIDI in through the render cycle, stereo audio out.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <mutex>
#include <vector>

#include "EngineFixture.h"

using namespace EngineTest;

namespace {

constexpr double kRate = EngineRig::kRate;

// Parameter ids of the sound used here.
enum : int {
    PitchDrift = 10101,
    WaveMix = 10200,
    FmMix = 10204,
    OscLevel = 10214,
    ResonatorWetOsc = 10400,
    ResonatorFeedback = 10405,
    ResonatorRoute = 10409,
    FilterFreq = 10501,
    FilterEnvDepth = 10502,
    FilterVelocity = 10504,
    AmpLevel = 10600,
    AmpAttack = 10602,
    AmpRelease = 10605,
    ChorusWet = 11100,
    DelaySend = 11200,
    ReverbSend = 11400,
    VoiceCount = 10001,
    EngineVersion = 1180,
    AudioQuality = 1190,
    CommonVolume = 2200,
};

double hz(int note) { return 440.0 * std::exp2((note - 69) / 12.0); }

double dB(double ratio) { return 20.0 * std::log10(ratio); }

unsigned voiceCount(EngineRig& rig) {
    rig.engine().publishReadbacks();
    return static_cast<unsigned>(rig.parameter(VoiceCount).concreteValue());
}

void switchEffectsOn(EngineRig& rig) {
    rig.set(ChorusWet, 0.5f);
    rig.set(DelaySend, 0.6f);
    rig.set(ReverbSend, 0.6f);
}

// Largest step between neighbouring samples at block starts and elsewhere.
struct Steps {
    double atBoundaries = 0.0;
    double inside = 0.0;
};
Steps steps(const std::vector<float>& x, unsigned block) {
    Steps s;
    for (size_t i = 1; i < x.size(); ++i) {
        const double d = std::fabs(double{x[i]} - x[i - 1]);
        (i % block == 0 ? s.atBoundaries : s.inside) = std::max(i % block == 0 ? s.atBoundaries : s.inside, d);
    }
    return s;
}

} // namespace

TEST(CorvaneEngine, FillsTheSynthFrame) {
    EngineRig rig;
    AudioEngine& engine = rig.engine();
    EXPECT_EQ(engine.numOfAudioEngineVersions(), 2u);
    EXPECT_EQ(engine.numOfAudioQualitySelections(), 3u);
    EXPECT_TRUE(engine.hasMasterVolume() && engine.supportsClockSync() && engine.supportsTimingShift() &&
                engine.supportsMidiInput() && engine.supportsMidiMapping() && engine.supportsNoteInput() &&
                engine.supportsTuning() && engine.hasArpeggiator());
    EXPECT_FALSE(engine.reservedCapability());
    EXPECT_EQ(engine.numOfInputChannels(), 0u);
    EXPECT_EQ(engine.numOfOutputChannels(), 2u);

    EXPECT_EQ(engine.parameterManager().name(), "Corvane");
    EXPECT_EQ(engine.parameterManager().version(), 2);
    EXPECT_EQ(engine.parameterManager().importantParameters(),
              std::vector<int>(Lumora::Corvane::Parameters::importantIndexes));

    const Lumora::Corvane::Instrument& instrument = engine.instrument();
    EXPECT_EQ(instrument.voiceAllocator().voiceCount(), 48u);
    EXPECT_EQ(instrument.polyphonicCapacity(), 24u);
    EXPECT_EQ(instrument.maxPolyphony(), 8u);
    EXPECT_EQ(instrument.volumeScale(), 2.0f);
    EXPECT_EQ(instrument.numOfOutputs(), 2u);
    EXPECT_EQ(rig.parameter(2120).concreteValue(), 8.0f); // the polyphony parameter's default
}

// The default sound is one saw per note (wave mix fully saw, filter open, no effects), so its
// level follows from the gain chain: oscillator level 0.8^2, amplifier level 0.5^2 at velocity
// 127, instrument volume (master 0.75^2 x common 0.5^2) x 2, and a saw's RMS of 1/sqrt(3).
TEST(CorvaneEngine, NotesSoundAtTheirPitchAndLevelInStereoAndStopAfterRelease) {
    EngineRig rig;
    const double expectedRms = 0.64 * 0.25 * (0.5625 * 0.25 * 2.0) / std::sqrt(3.0);
    std::vector<double> levels;
    for (int note : {33, 45, 57, 69, 81, 93}) {
        SCOPED_TRACE(note);
        const Stereo held = rig.render(22050, 128, {noteOn(rig.now(), note)});
        EXPECT_EQ(voiceCount(rig), 1u);
        const Stereo released = rig.render(13230, 128, {noteOff(rig.now(), note)});

        ASSERT_TRUE(allClean(held.left) && allClean(held.right) && allClean(released.left));
        // Without stereo effects both sides carry the same signal.
        EXPECT_EQ(maxDifference(held.left, held.right), 0.0);

        // The pitch drift of the default sound moves the pitch by a few cents.
        const size_t from = 4410;
        const size_t n = 16384;
        EXPECT_NEAR(centsOfStrongest(held.left, from, n, hz(note), kRate), 0.0, 12.0);
        EXPECT_GT(amplitudeAt(held.left, from, n, hz(note), kRate),
                  4.0 * amplitudeAt(held.left, from, n, hz(note) / 2.0, kRate)); // not an octave low

        const double level = rms(held.left, from);
        levels.push_back(level);
        EXPECT_NEAR(dB(level / expectedRms), 0.0, 1.5);
        EXPECT_LT(peak(held.left), 5.0 * expectedRms);

        // Release 0: the note stops; only the DC blockers' last decay remains, below -100 dB.
        EXPECT_LT(peak(released.left, 4096), 1e-5);
        EXPECT_EQ(voiceCount(rig), 0u);
    }
    const auto [low, high] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_LT(dB(*high / *low), 1.0);
}

TEST(CorvaneEngine, GainLawsOfAmplifierAndVolume) {
    const auto levelWith = [](int id, float value) {
        EngineRig rig;
        rig.set(PitchDrift, 0.0f);
        rig.set(id, value);
        return rms(rig.render(11025, 256, {noteOn(0, 60)}).left, 2205);
    };
    const double reference = levelWith(AmpLevel, 0.5f);
    EXPECT_NEAR(levelWith(AmpLevel, 1.0f) / reference, 4.0, 0.04);     // level squared
    EXPECT_NEAR(levelWith(CommonVolume, 1.0f) / reference, 4.0, 0.04); // volume squared
    EXPECT_NEAR(levelWith(OscLevel, 0.4f) / reference, 0.25, 0.01);
}

// The audio quality (0 eco, 1 normal, 2 high) sets the oversampling of the oscillators' FM path:
// with FM mixed in, each renders the note cleanly at its pitch and level, and they are not the
// same rendering.
TEST(CorvaneEngine, EveryAudioQualityRendersTheNoteCleanly) {
    std::vector<std::vector<float>> renders;
    for (float quality : {0.0f, 1.0f, 2.0f}) {
        SCOPED_TRACE(quality);
        EngineRig rig;
        rig.setConcrete(AudioQuality, quality);
        rig.set(FmMix, 0.5f);
        const Stereo out = rig.render(11025, 256, {noteOn(0, 93)}); // 1760 Hz: aliasing matters
        ASSERT_TRUE(allClean(out.left));
        EXPECT_EQ(rig.engine().instrument().audioQuality(), static_cast<Lumora::AudioQuality>(quality));
        EXPECT_NEAR(centsOfStrongest(out.left, 2205, 8192, hz(93), kRate), 0.0, 12.0);
        renders.push_back(out.left);
    }
    // Without oversampling the FM sidebands fold back as aliases, which add some power.
    EXPECT_NEAR(dB(rms(renders[0], 2205) / rms(renders[2], 2205)), 0.0, 2.0);
    EXPECT_GT(maxDifference(renders[0], renders[1]), 1e-4);
    EXPECT_GT(maxDifference(renders[1], renders[2]), 1e-4);
}

// Block size. Every render of this test draws the same random numbers from the same seed, and
// every note starts and ends at a block start common to 64, 128 and 512 frames; even so the
// samples are not identical, because the pitch module draws its jitter (present even without
// drift) once per frequency query, and the modules query once per control segment: 64-frame
// blocks are segments of 64 samples, larger ones of 128 (the last of a block up to 255). The
// oscillators' phases therefore wander apart by fractions of a cent. Also sampled per segment
// or per block, by design: envelopes and LFOs feeding oscillator, resonator and filter; gains
// and times glide across one block; the delay's tempo-synced time moves once per block; MIDI
// takes effect at a block start. What must not depend on the block size, and is checked here:
// pitch, the level of every 46 ms, the stereo image, and where the sound starts and stops.
TEST(CorvaneEngine, SameSoundForBlockSizes64_128And512) {
    // One note at a time, so that the level of a window does not depend on how the phases of
    // two notes line up.
    const std::vector<Event> events = {noteOn(0, 48),        noteOff(8192, 48),  noteOn(8192, 55, 90),
                                       noteOff(12288, 55),   noteOn(12288, 64, 70), noteOff(16384, 64)};
    std::vector<Stereo> outputs;
    for (unsigned block : {64u, 128u, 512u}) {
        EngineRig rig(512);
        outputs.push_back(rig.render(22050, block, events));
        ASSERT_TRUE(allClean(outputs.back().left));
    }
    const Stereo& reference = outputs[1];
    ASSERT_GT(rms(reference.left), 0.01);
    constexpr size_t kWindow = 2048;
    for (size_t k = 0; k < outputs.size(); ++k) {
        SCOPED_TRACE(k);
        const Stereo& out = outputs[k];
        EXPECT_EQ(maxDifference(out.left, out.right), 0.0);
        for (size_t from = 0; from + kWindow <= 16384; from += kWindow) {
            const double a = rms(out.left, from, from + kWindow);
            const double b = rms(reference.left, from, from + kWindow);
            ASSERT_LT(std::fabs(dB(a / b)), 0.25) << "window at " << from;
        }
        EXPECT_NEAR(centsOfStrongest(out.left, 512, 7000, hz(48), kRate, 30.0),
                    centsOfStrongest(reference.left, 512, 7000, hz(48), kRate, 30.0), 1.0);
        EXPECT_LT(peak(out.left, 16384 + 4096), 1e-5);
    }
}

// A smooth wave (triangle) with soft attack and release, through all three effects, in blocks of
// 64: no step at a block start is larger than the largest step of the signal itself.
TEST(CorvaneEngine, NoClicksAtBlockBoundaries) {
    EngineRig rig(64);
    rig.set(WaveMix, 0.5f);
    rig.set(AmpAttack, 0.05f);
    rig.set(AmpRelease, 0.1f);
    switchEffectsOn(rig);
    const Stereo out = rig.render(44100, 64,
                                  {noteOn(0, 57), noteOn(3000, 64, 80), noteOn(9000, 69, 100), noteOff(15000, 57),
                                   noteOff(20000, 64), noteOn(20000, 52, 60), noteOff(30000, 69), noteOff(33000, 52)});
    for (const std::vector<float>* side : {&out.left, &out.right}) {
        ASSERT_TRUE(allClean(*side));
        const Steps s = steps(*side, 64);
        EXPECT_GT(s.inside, 0.0);
        EXPECT_LE(s.atBoundaries, 1.25 * s.inside);
    }
}

// With chorus, delay and reverb sending, a short note leaves a stereo tail that dies away into
// silence, and the voice is free again.
TEST(CorvaneEngine, EffectTailsDieAwayAfterRelease) {
    EngineRig rig;
    switchEffectsOn(rig);
    const Stereo out = rig.render(static_cast<uint64_t>(8 * kRate), 512, {noteOn(0, 60), noteOff(11025, 60)});
    ASSERT_TRUE(allClean(out.left) && allClean(out.right));
    const auto second = [&](double s) { return static_cast<size_t>(s * kRate); };
    // A wide image while the echoes run.
    EXPECT_GT(maxDifference(out.left, out.right), 1e-3);
    EXPECT_GT(rms(out.left, second(0.5), second(1.5)), 1e-3);
    EXPECT_LT(peak(out.left, second(7.5)), 1e-4);
    EXPECT_LT(peak(out.right, second(7.5)), 1e-4);
    EXPECT_EQ(voiceCount(rig), 0u);
}

TEST(CorvaneEngine, VoiceCountReadBackReachesTheParameterOnlyWhenPublished) {
    EngineRig rig;
    rig.render(128, 128);
    EXPECT_EQ(voiceCount(rig), 0u); // also when no note sounds

    std::vector<Event> chord;
    for (int i = 0; i < 10; ++i) chord.push_back(noteOn(rig.now(), 50 + i));
    rig.render(128, 128, chord);
    // The render thread only left the value for the main thread.
    EXPECT_EQ(rig.parameter(VoiceCount).concreteValue(), 0.0f);
    EXPECT_TRUE(rig.engine().publishReadbacks());
    EXPECT_EQ(rig.parameter(VoiceCount).concreteValue(), 8.0f); // the polyphony limit
}

TEST(CorvaneEngine, EngineVersionZeroRendersAsVersionTwo) {
    const auto renderAt = [](float version) {
        EngineRig rig;
        rig.set(PitchDrift, 0.0f);
        rig.set(FilterFreq, 0.3f);
        rig.set(FilterEnvDepth, 0.9f); // a moving cutoff: sampled per segment or per block
        rig.setConcrete(EngineVersion, version);
        return rig.render(11025, 512, {noteOn(0, 45), noteOn(0, 57)}).left;
    };
    const std::vector<float> v0 = renderAt(0.0f);
    EXPECT_EQ(maxDifference(v0, renderAt(2.0f)), 0.0);
    EXPECT_GT(maxDifference(v0, renderAt(1.0f)), 1e-4);
}

// The resonator's route: through the filter (1, the default) a closed filter silences it too;
// around the filter (0) its resonance still sounds.
TEST(CorvaneEngine, ResonatorRouteAroundAClosedFilter) {
    const auto renderWithRoute = [](float route) {
        EngineRig rig;
        rig.set(PitchDrift, 0.0f);
        rig.set(ResonatorWetOsc, 1.0f);
        rig.set(ResonatorFeedback, 0.9f);
        rig.set(FilterFreq, 0.0f);
        rig.set(FilterVelocity, 0.0f); // else a loud note opens the filter again
        rig.setConcrete(ResonatorRoute, route);
        return rms(rig.render(11025, 256, {noteOn(0, 60)}).left, 2205);
    };
    const double around = renderWithRoute(0.0f);
    const double through = renderWithRoute(1.0f);
    EXPECT_GT(around, 1e-3);
    EXPECT_GT(around, 10.0 * through);
}

// Read-backs (voice count, LFO levels) are only left for the main thread: a screen that holds its
// lock for as long as it likes, inside the parameters' observer chain, never stalls a render.
TEST(CorvaneEngine, RenderingNeverWaitsForAScreenHoldingItsLock) {
    struct Bridge : Lumora::ParameterObserver {
        explicit Bridge(std::mutex& m) : screen(m) {}
        void didChangeParam(const Lumora::Parameter*, Token, Lumora::AutomationEventType) override {
            std::lock_guard lock(screen);
            ++changes;
        }
        std::mutex& screen;
        int changes = 0;
    };
    EngineRig rig;
    rig.set(ChorusWet, 0.5f);
    rig.set(DelaySend, 0.5f);
    std::mutex screen;
    Bridge bridge(screen);
    rig.engine().parameterManager().addObserver(&bridge);

    std::unique_lock held(screen);
    auto rendering = std::async(std::launch::async, [&] {
        rig.render(static_cast<uint64_t>(2 * kRate), 512, {noteOn(0, 60), noteOn(0, 64), noteOff(44100, 60)});
    });
    const bool finished = rendering.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    held.unlock();
    rendering.wait();
    EXPECT_TRUE(finished);
    EXPECT_EQ(bridge.changes, 0);

    // The main thread's publish hands them on: the voice count and the LFO levels.
    EXPECT_TRUE(rig.engine().publishReadbacks());
    EXPECT_GE(bridge.changes, 2);
    EXPECT_EQ(rig.parameter(VoiceCount).concreteValue(), 1.0f);
    EXPECT_NE(rig.engine().parameters().pitch.lfo.output.normalizedValue(), 0.0f);
    rig.engine().parameterManager().removeObserver(&bridge);
}

// Buffers are sized for the largest block announced before render resources are allocated; a
// host that then asks for more still gets a clean block (the buffers grow once).
TEST(CorvaneEngine, ABlockLongerThanAnnouncedStillRenders) {
    const auto renderWithMaximum = [](unsigned maxFrames) {
        EngineRig rig(maxFrames);
        return rig.render(8192, 1024, {noteOn(0, 57)});
    };
    const Stereo expected = renderWithMaximum(1024);
    const Stereo grown = renderWithMaximum(128);
    ASSERT_TRUE(allClean(grown.left) && allClean(grown.right));
    EXPECT_EQ(maxDifference(expected.left, grown.left), 0.0);
}
