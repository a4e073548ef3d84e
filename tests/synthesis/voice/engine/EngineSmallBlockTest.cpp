// Blocks shorter than a control span share the span: the voices read their settings and
// modulation where a span starts and hold them for the short blocks that follow. The output at
// 32 and 64 frames so stays close to what blocks of a whole span render from the same input, and
// clean: no step at a block boundary beyond the signal's own, no NaN, no denormals.
//
// The default sound differs from the whole-span render only by the rounding of the LFOs' phase,
// which runs on in steps of the block. The heavy sound differs more: its gain stages, FM
// crossfades and splits ramp to a new value across the call that brings it, one short block
// instead of a whole span, and it sends band-passed noise into a resonator with feedback, which
// carries any difference on. (Reading modulation every short block, as the engine did before,
// left it at -6 dB.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "EngineFixture.h"
#include "HeavySound.h"

using namespace EngineTest;

namespace {

constexpr unsigned kSpan = 128;
constexpr uint64_t kFrames = 3 * 44100;

enum class Sound { Default, Heavy };

// A chord, a melody over it and the releases, every event on a span boundary, so that a block of
// a whole span and a short block that opens a span meet each event at the same frame.
std::vector<Event> phrase() {
    std::vector<Event> events = {noteOn(0, 48), noteOn(0, 55), noteOn(0, 64)};
    for (uint64_t i = 0; i < 6; ++i) {
        events.push_back(noteOn((40 + i * 50) * kSpan, 67 + static_cast<int>(i) * 2, 60 + static_cast<int>(i) * 10));
        events.push_back(noteOff((70 + i * 50) * kSpan, 67 + static_cast<int>(i) * 2));
    }
    for (int note : {48, 55, 64}) events.push_back(noteOff(600 * kSpan, note));
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.time < b.time; });
    return events;
}

Stereo renderPhrase(Sound sound, unsigned block) {
    EngineRig rig(1024);
    if (sound == Sound::Heavy) makeHeavySound(rig.engine());
    return rig.render(kFrames, block, phrase());
}

// The difference of two renders relative to the reference, in dB.
double residualDb(const Stereo& out, const Stereo& reference) {
    double diff = 0.0;
    double ref = 0.0;
    for (const auto& [a, b] : {std::pair{&out.left, &reference.left}, std::pair{&out.right, &reference.right}}) {
        for (size_t i = 0; i < b->size(); ++i) {
            const double d = double{(*a)[i]} - double{(*b)[i]};
            diff += d * d;
            ref += double{(*b)[i]} * double{(*b)[i]};
        }
    }
    return 10.0 * std::log10(diff / ref);
}

// The largest sample-to-sample step at a block boundary, and anywhere else.
struct Steps {
    double atBoundaries = 0.0;
    double elsewhere = 0.0;
};

Steps stepsOf(const std::vector<float>& x, unsigned block) {
    Steps s;
    for (size_t i = 1; i < x.size(); ++i) {
        const double d = std::fabs(double{x[i]} - double{x[i - 1]});
        double& worst = i % block == 0 ? s.atBoundaries : s.elsewhere;
        worst = std::max(worst, d);
    }
    return s;
}

struct Case {
    Sound sound;
    unsigned block;
    double maxResidualDb;
};

} // namespace

TEST(EngineSmallBlocks, RenderWhatWholeSpansRenderAndStayClean) {
    const Case cases[] = {
        {Sound::Default, 32, -75.0},
        {Sound::Default, 64, -75.0},
        {Sound::Heavy, 32, -10.0},
        {Sound::Heavy, 64, -10.0},
    };
    const Stereo defaultReference = renderPhrase(Sound::Default, kSpan);
    const Stereo heavyReference = renderPhrase(Sound::Heavy, kSpan);
    for (const Case& c : cases) {
        const bool heavy = c.sound == Sound::Heavy;
        SCOPED_TRACE(testing::Message() << (heavy ? "heavy" : "default") << " sound, blocks of " << c.block);
        const Stereo& reference = heavy ? heavyReference : defaultReference;
        const Stereo out = renderPhrase(c.sound, c.block);
        ASSERT_TRUE(allClean(out.left) && allClean(out.right));
        ASSERT_GT(rms(out.left), 0.01);
        EXPECT_LT(residualDb(out, reference), c.maxResidualDb);
        for (const std::vector<float>* side : {&out.left, &out.right}) {
            const Steps s = stepsOf(*side, c.block);
            EXPECT_LE(s.atBoundaries, 1.05 * s.elsewhere);
        }
    }
}
