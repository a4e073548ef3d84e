// A sound changed under a held note changes without a click: a knob turned, a mapped controller
// swept and a preset loaded all move a smooth tone to its new sound with no sample-to-sample step
// larger than the tone's own, at every block size, and arrive there within 20 ms.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "EngineFixture.h"
#include "engine/mapping/MidiParamMapper.h"
#include "engine/math/Shaper1bp.h"
#include "synthesis/voice/modules/ModuleCommon.h"

using namespace EngineTest;

namespace {

enum : int {
    PitchDrift = 10101,
    WaveMix = 10200,
    FmMix = 10204,
    OscDetune = 10213,
    OscLevel = 10214,
    ResonatorOsc = 10400,
    FilterType = 10500,
    FilterFreq = 10501,
    FilterVelocity = 10504,
    FilterReso = 10506,
    FilterDrive = 10508,
    AmpLevel = 10600,
    CommonVolume = 2200,
    ChorusWet = 11100,
    ChorusDepth = 11101,
    DelaySend = 11200,
    DelayTimeLeft = 11201,
    ReverbSend = 11400,
    ReverbType = 11405,
};

constexpr int kNote = 48;
constexpr int kCutoffController = 74;
// Frames the tone holds before the change: its attack and the filter have settled.
constexpr uint64_t kSettle = 16384;
constexpr uint64_t kMs20 = 882;
constexpr uint64_t kSweep = 2205; // 50 ms

using Settings = std::vector<std::pair<int, float>>;

// A smooth tone: a saw through the low-pass well below its upper harmonics, no drift, no
// velocity on the cutoff, no effects.
void smoothTone(EngineRig& rig, const Settings& extra) {
    rig.set(PitchDrift, 0.0f);
    rig.set(FilterVelocity, 0.0f);
    rig.set(FilterFreq, 0.15f);
    rig.set(WaveMix, 0.5f);
    for (const auto& [id, value] : extra) rig.set(id, value);
}

void apply(EngineRig& rig, const Settings& settings) {
    for (const auto& [id, value] : settings) rig.set(id, value);
}

double largestStep(const std::vector<float>& x, size_t from, size_t to) {
    double d = 0.0;
    for (size_t i = std::max<size_t>(from, 1); i < std::min(to, x.size()); ++i)
        d = std::max(d, double{std::fabs(x[i] - x[i - 1])});
    return d;
}

// The output from the change on, and the frame of it at which the change is complete: a knob's at
// once, a sweep's after its last message, a load's when the loading call returns.
struct Changed {
    Stereo out;
    uint64_t complete = 0;
    // The rendering stood still long enough for a load to go ahead without its fade, as it does
    // when the render thread stalls (here: a busy machine descheduling the test).
    bool stalled = false;
};

void append(Stereo& to, const Stereo& more) {
    to.left.insert(to.left.end(), more.left.begin(), more.left.end());
    to.right.insert(to.right.end(), more.right.begin(), more.right.end());
}

struct Case {
    const char* name;
    Settings before;
    // Makes the change at the rig's current frame and renders until `frames` after it is complete.
    std::function<Changed(EngineRig&, uint64_t frames, unsigned block)> change;
    Settings after; // the settings the tone ends at
};

Case knob(const char* name, Settings before, Settings after) {
    return {name, before,
            [after](EngineRig& rig, uint64_t frames, unsigned block) {
                apply(rig, after);
                return Changed{rig.render(frames, block), 0};
            },
            after};
}

// A controller mapped to the cutoff, swept from 0 to 127 over 50 ms in 128 messages.
Case controllerSweep() {
    return {"controller sweep", {{FilterFreq, 0.0f}},
            [](EngineRig& rig, uint64_t frames, unsigned block) {
                rig.engine().midiParamMapper().newElement(
                    FilterFreq, Lumora::MidiParamMapper::MidiKey(-1, 0xB0, kCutoffController),
                    Lumora::Math::Shaper1bp());
                std::vector<Event> sweep;
                for (int v = 0; v <= 127; ++v)
                    sweep.push_back({rig.now() + static_cast<uint64_t>(v) * kSweep / 128, 0xB0, kCutoffController, v});
                return Changed{rig.render(frames + kSweep, block, sweep), kSweep};
            },
            {{FilterFreq, 1.0f}}};
}

std::string soundText(const Settings& settings) {
    EngineRig source;
    apply(source, settings);
    return source.engine().serialize(Lumora::SerializeWhat::SoundParameters, Lumora::SerializeWhere::Document);
}

// Another sound, as a document the engine wrote, loaded while the note holds. It ends on one wave
// (square): a blend of two waves would sound at a level that depends on the phase the second wave
// found when it came in, unlike the same sound played from its note on.
const Settings kOtherSound = {{PitchDrift, 0.0f}, {FilterVelocity, 0.0f}, {FilterFreq, 0.45f},
                              {FilterReso, 0.5f}, {WaveMix, 1.0f},         {FmMix, 0.3f},
                              {AmpLevel, 0.8f},   {OscLevel, 0.6f},        {FilterDrive, 0.4f}};

// Loaded between two blocks on the thread that renders: nothing renders while it waits for the
// voices to fade, so the settings glide.
Case presetLoadBetweenBlocks() {
    return {"preset load between blocks", {},
            [](EngineRig& rig, uint64_t frames, unsigned block) {
                EXPECT_TRUE(rig.engine().deserialize(Lumora::SerializeWhat::SoundParameters, soundText(kOtherSound),
                                                     Lumora::SerializeWhere::Document));
                return Changed{rig.render(frames, block), 0};
            },
            kOtherSound};
}

// Loaded on another thread while blocks render, as a screen or host loads: the same tone through
// one filter stage instead of two, a switch no glide can carry, so the voices fade out and in
// around the load (without the fade the switch steps 15 to 70 times the tone's largest step).
Case presetLoadWhileRendering() {
    // Far below the tone, which a faded block's end is (the output's DC blockers ring out there).
    constexpr float kFadedOut = 1e-4f;
    const Settings other = {{PitchDrift, 0.0f}, {FilterVelocity, 0.0f}, {FilterFreq, 0.15f},
                            {WaveMix, 0.5f},    {FilterType, 0.0f}};
    return {"preset load while rendering", {},
            [other](EngineRig& rig, uint64_t frames, unsigned block) {
                const std::string text = soundText(other);
                std::atomic<bool> loaded{false};
                // The load waits for blocks to fade the voices out; it gives up where none comes
                // for a while or the fade takes too long, which a loop that stands still as long
                // (or never runs), or is that slow over the fade's blocks, shows. A fade that ran
                // its course leaves a block that ends in silence before the load is done.
                const unsigned fadeBlocks = Lumora::Corvane::Module::glideFrames(EngineRig::kRate) / block + 2;
                using Clock = std::chrono::steady_clock;
                const auto start = Clock::now();
                auto last = start;
                std::thread loader([&] {
                    EXPECT_TRUE(rig.engine().deserialize(Lumora::SerializeWhat::SoundParameters, text,
                                                         Lumora::SerializeWhere::Document));
                    loaded = true;
                });
                Changed changed;
                unsigned blocks = 0;
                bool fadedOut = false;
                while (!loaded) {
                    const Stereo rendered = rig.render(block, block);
                    fadedOut = fadedOut || std::fabs(rendered.left.back()) < kFadedOut;
                    append(changed.out, rendered);
                    ++blocks;
                    const auto now = Clock::now();
                    changed.stalled = changed.stalled || now - last > AudioEngine::kRenderStall / 2 ||
                                      (blocks <= fadeBlocks && now - start > AudioEngine::kLoadFadeTimeout / 2);
                    last = now;
                }
                changed.stalled = changed.stalled || !fadedOut;
                loader.join();
                changed.complete = changed.out.left.size();
                append(changed.out, rig.render(frames, block));
                return changed;
            },
            other};
}

// The steady tone at settings, held long enough to measure its largest step after the change's
// window would have ended.
Stereo steadyTone(const Settings& settings, uint64_t frames, unsigned block) {
    EngineRig rig(1024);
    smoothTone(rig, settings);
    return rig.render(frames, block, {noteOn(0, kNote)});
}

// One case at one block size. Answers false where the rendering stalled: the load then went ahead
// without its fade, as it must, and only the arrival of the new tone is checked.
bool checkChange(const Case& c, unsigned block) {
    constexpr uint64_t kAfter = 8192;
    SCOPED_TRACE(testing::Message() << c.name << ", blocks of " << block);
    EngineRig rig(1024);
    smoothTone(rig, c.before);
    const Stereo held = rig.render(kSettle, block, {noteOn(0, kNote)});
    const Changed changed = c.change(rig, kAfter, block);
    EXPECT_TRUE(allClean(changed.out.left));

    Settings end = c.before;
    end.insert(end.end(), c.after.begin(), c.after.end());
    const Stereo target = steadyTone(end, kSettle + kAfter, block);
    const double steady = std::max(largestStep(held.left, kSettle - 4096, kSettle),
                                   largestStep(target.left, kSettle + kAfter - 4096, kSettle + kAfter));
    EXPECT_GT(steady, 0.0);

    // The change is taken at the first block after it; 20 ms after it is complete the tone is the
    // new one.
    const uint64_t arrival = changed.complete + kMs20;
    std::vector<float> joined = held.left;
    joined.insert(joined.end(), changed.out.left.begin(), changed.out.left.end());
    if (!changed.stalled) {
        EXPECT_LE(largestStep(joined, kSettle - 1, kSettle + arrival + kMs20), 2.0 * steady);
    }

    const double got = rms(changed.out.left, arrival, arrival + 2048);
    const double want = rms(target.left, kSettle + kAfter - 2048, kSettle + kAfter);
    EXPECT_NEAR(got / want, 1.0, 0.05);
    return !changed.stalled;
}

} // namespace

TEST(CorvaneParameterGlide, ASoundChangedUnderAHeldNoteMovesWithoutAStepAndArrivesWithin20ms) {
    const std::vector<Case> cases = {
        knob("cutoff up", {}, {{FilterFreq, 1.0f}}),
        knob("cutoff down", {{FilterFreq, 1.0f}}, {{FilterFreq, 0.15f}}),
        // At a low cutoff a full resonance rings on its own for longer than 20 ms (its decay time
        // Q / (pi f)), whatever the change; at this cutoff the ring is short.
        knob("resonance", {{FilterFreq, 0.5f}, {FilterReso, 0.0f}}, {{FilterReso, 1.0f}}),
        knob("wave mix", {{WaveMix, 0.0f}}, {{WaveMix, 1.0f}}),
        knob("amplifier level", {{AmpLevel, 0.2f}}, {{AmpLevel, 1.0f}}),
        knob("volume", {{CommonVolume, 0.2f}}, {{CommonVolume, 1.0f}}),
        // The velocity's share of the cutoff is read every block and moves a sounding voice's filter.
        knob("filter velocity amount", {{FilterVelocity, 0.0f}}, {{FilterVelocity, 1.0f}}),
        knob("resonator share", {{ResonatorOsc, 0.0f}}, {{ResonatorOsc, 1.0f}}),
        // Without depth the chorus is a steady delayed copy, whatever the block size.
        knob("chorus wet", {{ChorusDepth, 0.0f}, {ChorusWet, 0.0f}}, {{ChorusWet, 1.0f}}),
        controllerSweep(),
        presetLoadBetweenBlocks(),
        presetLoadWhileRendering(),
    };
    // A run whose rendering stalled let a load skip its fade; it is run again, a few times at most
    // on a machine too busy to give the test's render loop a steady share.
    constexpr int kAttempts = 5;
    for (const Case& c : cases) {
        for (unsigned block : {32u, 256u, 1024u}) {
            for (int attempt = 0; attempt < kAttempts && !checkChange(c, block); ++attempt) {
            }
        }
    }
}

namespace {

// What a change adds to the output: the output with it minus the output without it, from the
// change on, both rendered from a fresh engine in blocks of `block`.
std::vector<float> changeResponse(const Settings& before, const Settings& after, uint64_t settle, uint64_t frames,
                                  unsigned block) {
    std::vector<float> with;
    for (bool change : {false, true}) {
        EngineRig rig(1024);
        smoothTone(rig, before);
        rig.render(settle, block, {noteOn(0, kNote)});
        if (change) apply(rig, after);
        const Stereo out = rig.render(frames, block);
        if (!change) {
            with = out.left;
            continue;
        }
        for (size_t i = 0; i < with.size(); ++i) with[i] = out.left[i] - with[i];
    }
    return with;
}

} // namespace

// A level, share or send glides over the same samples whatever the block size: what the change
// adds to the sound is the same at 32 and at 1024 frames a block (a ramp of one block would reach
// its end 32 samples or 1024 samples after the change).
TEST(CorvaneParameterGlide, ALevelGlidesOverTheSameSamplesAtEveryBlockSize) {
    struct LevelCase {
        const char* name;
        Settings before;
        Settings after;
        uint64_t settle;
    };
    const std::vector<LevelCase> cases = {
        {"volume", {{CommonVolume, 0.2f}}, {{CommonVolume, 1.0f}}, kSettle},
        {"resonator share", {{ResonatorOsc, 0.0f}}, {{ResonatorOsc, 1.0f}}, kSettle},
        {"chorus wet", {{ChorusDepth, 0.0f}, {ChorusWet, 0.0f}}, {{ChorusWet, 1.0f}}, kSettle},
        {"compact reverb send", {{ReverbType, 0.0f}, {ReverbSend, 0.0f}}, {{ReverbSend, 1.0f}}, kSettle},
        {"stereo reverb send", {{ReverbType, 1.0f / 127.0f}, {ReverbSend, 0.2f}}, {{ReverbSend, 1.0f}}, kSettle},
        // The delay's time moves to its setting by a share per block: it has settled after 2^18
        // frames at any block size. The change's first echo comes a sixteenth (5513 frames) on.
        {"delay send", {{DelayTimeLeft, 0.0f}, {DelaySend, 0.2f}}, {{DelaySend, 1.0f}}, 1u << 18},
        // The outer voices fade in while the centre moves to half its level.
        {"detune leaving 0", {{OscDetune, 0.0f}}, {{OscDetune, 0.5f}}, kSettle},
        {"detune returning to 0", {{OscDetune, 0.5f}}, {{OscDetune, 0.0f}}, kSettle},
    };
    const uint64_t kFrames = 8192;
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<float> small = changeResponse(c.before, c.after, c.settle, kFrames, 32);
        const std::vector<float> large = changeResponse(c.before, c.after, c.settle, kFrames, 1024);
        ASSERT_TRUE(allClean(small));
        ASSERT_TRUE(allClean(large));
        double size = 0.0;
        double apart = 0.0;
        for (size_t i = 0; i < kFrames; ++i) {
            size = std::max(size, double{std::fabs(large[i])});
            apart = std::max(apart, double{std::fabs(small[i] - large[i])});
        }
        ASSERT_GT(size, 1e-3);
        EXPECT_LT(apart, 0.05 * size);
    }
}
