// Effects that are not heard rest: a send effect at send 0 once its lines are silent, the chorus
// at wet 0. Each case runs a module that may rest beside one that never does, over the same
// input and the same setting changes, and compares them.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "synthesis/voice/effects/Chorus.h"
#include "synthesis/voice/effects/Delay.h"
#include "synthesis/voice/effects/Reverb.h"
#include "EffectFixture.h"

namespace {

using namespace EffectTest;
using Lumora::Corvane::Module::Chorus;
using Lumora::Corvane::Module::Delay;
using Lumora::Corvane::Module::Reverb;

constexpr unsigned kBlock = 256;

// One block at a time: the settings a block is rendered with, set before it.
using Automation = std::function<void(unsigned block, Parameters& params, TestClock& clock)>;

// A module that may rest and one that may not, each with its own table and clock, fed the same
// input block by block. Records per block whether the first one rested.
template <class Module>
struct Pair {
    Table tables[2];
    TestClock clocks[2];
    Module modules[2];
    std::vector<bool> rested;

    Pair()
    {
        modules[1].allowRest(false);
        for (Module& m : modules)
            m.reserve(kBlock, kRate);
    }

    // Renders the input (padded with silence to frames); process(module, params, clock, l, r, n).
    template <class Process>
    Stereo render(const std::vector<float>& inL, const std::vector<float>& inR, unsigned frames,
                  const Automation& automate, Process&& process, Stereo* reference = nullptr)
    {
        Stereo out[2];
        for (int k = 0; k < 2; ++k) {
            unsigned block = 0;
            out[k] = renderInBlocks(inL, inR, frames, kBlock, clocks[k], [&](float* l, float* r, unsigned n) {
                automate(block++, tables[k].params, clocks[k]);
                process(modules[k], tables[k].params, clocks[k], l, r, n);
                if (k == 0)
                    rested.push_back(modules[0].resting());
            });
        }
        if (reference != nullptr)
            *reference = out[1];
        return out[0];
    }
};

// Whether the first n samples of a and b (all of them when n is 0) are the same numbers.
bool identical(const std::vector<float>& a, const std::vector<float>& b, std::size_t n = 0)
{
    if (n == 0) {
        if (a.size() != b.size())
            return false;
        n = a.size();
    }
    return n <= a.size() && n <= b.size() && std::equal(a.begin(), a.begin() + n, b.begin());
}

double maxDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    double m = 0.0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        m = std::max(m, std::fabs(double(a[i]) - b[i]));
    return m;
}

// The step across the boundary before each given block, against the largest step within a block
// on either side: over a smooth input, a click at a switch stands out as a jump.
double boundaryJump(const std::vector<float>& x, std::initializer_list<std::size_t> blocks)
{
    double worst = 0.0;
    for (std::size_t b : blocks) {
        const std::size_t at = b * kBlock;
        double around = 1e-12;
        for (std::size_t i = at - kBlock + 1; i < at + kBlock; ++i)
            if (i != at)
                around = std::max(around, std::fabs(double(x[i]) - x[i - 1]));
        worst = std::max(worst, std::fabs(double(x[at]) - x[at - 1]) / around);
    }
    return worst;
}

void runDelay(Delay& d, Parameters& p, TestClock& clock, float* l, float* r, unsigned n)
{
    d.process(l, r, l, r, n, kRate, clock, p.delay, 2, AudioQuality::Normal);
}

void runReverb(Reverb& d, Parameters& p, TestClock& clock, float* l, float* r, unsigned n)
{
    d.process(l, r, l, r, n, kRate, clock, p.reverb, 2, AudioQuality::Normal);
}

// The chorus turns the left input into both sides.
void runChorus(Chorus& c, Parameters& p, TestClock& clock, float* l, float* r, unsigned n)
{
    c.process(l, r, l, n, kRate, clock, p.chorus, 2, AudioQuality::Normal);
}

} // namespace

// At send 0 (wet 0 for the chorus) a fresh module rests from its first block and its output is
// the input, bit for bit, on both sides.
TEST(EffectRest, ClosedEffectRestsAtOnceAndGivesTheDrySignal)
{
    const auto in = noise(20 * kBlock, 0.5f);
    const unsigned frames = 20 * kBlock;
    auto noChange = [](unsigned, Parameters&, TestClock&) {};
    auto allRested = [](const std::vector<bool>& r) { return std::all_of(r.begin(), r.end(), [](bool b) { return b; }); };

    {
        Pair<Delay> delay;
        for (Table& t : delay.tables) {
            set(t.params.delay.send, 0.0f);
            set(t.params.delay.filter.wet, 0.5f);
            set(t.params.delay.filter.drive, 0.5f);
        }
        const Stereo out = delay.render(in, in, frames, noChange, runDelay);
        EXPECT_TRUE(allRested(delay.rested));
        EXPECT_TRUE(identical(out.left, in) && identical(out.right, in));
    }
    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        Pair<Reverb> reverb;
        for (Table& t : reverb.tables) {
            set(t.params.reverb.send, 0.0f);
            setChoice(t.params.reverb.type, type);
        }
        const Stereo out = reverb.render(in, in, frames, noChange, runReverb);
        EXPECT_TRUE(allRested(reverb.rested));
        EXPECT_TRUE(identical(out.left, in) && identical(out.right, in));
    }
    {
        Pair<Chorus> chorus;
        for (Table& t : chorus.tables)
            set(t.params.chorus.wet, 0.0f);
        const Stereo out = chorus.render(in, {}, frames, noChange, runChorus);
        EXPECT_TRUE(allRested(chorus.rested));
        EXPECT_TRUE(identical(out.left, in) && identical(out.right, in));
    }
}

// The send opens after a rest in which the tempo, the echo times and the filter's wet amount
// changed, closes while echoes ring and opens again: every sample is the running delay's, so the
// wake finds its times where they glided to and no echo is cut. Then the echoes end, the delay
// rests again and, woken once more, matches the running one to far below hearing.
TEST(EffectRest, DelayWakesAsARunningDelayAndNeverCutsATail)
{
    Pair<Delay> pair;
    for (Table& t : pair.tables) {
        set(t.params.delay.feedback, 0.3f);
        set(t.params.delay.timeModDepth, 0.4f);
        set(t.params.delay.filter.modDepth, 0.5f);
        set(t.params.delay.filter.drive, 0.3f);
    }
    // Blocks 0-39 closed (tempo and times change), 40-59 open, 60-399 closed with echoes ringing,
    // then a long silence, then open again.
    constexpr unsigned kReopen = 3000;
    auto automate = [&](unsigned block, Parameters& p, TestClock& clock) {
        set(p.delay.send, (block >= 40 && block < 60) || block >= kReopen ? 0.8f : 0.0f);
        if (block == 10) {
            setChoice(p.delay.timeL, 2);
            setChoice(p.delay.timeR, 0);
            set(p.delay.filter.wet, 0.6f);
        }
        if (block == 20)
            clock.setTempo(100.0);
    };
    const unsigned frames = (kReopen + 60) * kBlock;
    const auto in = sine(frames, 0.3f, 330.0f);
    std::vector<float> inR = sine(frames, 0.3f, 440.0f);
    Stereo running;
    const Stereo out = pair.render(in, inR, frames, automate, runDelay, &running);

    EXPECT_TRUE(pair.rested[0] && pair.rested[39]);
    EXPECT_FALSE(pair.rested[40]);
    // Closed at block 60, the echoes keep playing.
    const std::size_t closedAt = 60 * kBlock;
    for (unsigned b = 60; b < 400; ++b)
        ASSERT_FALSE(pair.rested[b]) << b;
    const std::size_t restStart = std::find(pair.rested.begin() + 60, pair.rested.end(), true) - pair.rested.begin();
    ASSERT_LT(restStart, kReopen) << "rests once the echoes have ended";

    EXPECT_TRUE(identical(out.left, running.left, restStart * kBlock));
    EXPECT_TRUE(identical(out.right, running.right, restStart * kBlock));
    double echo = 0.0;
    for (std::size_t i = closedAt + 4 * kBlock; i < closedAt + 80 * kBlock; ++i)
        echo = std::max(echo, std::fabs(double(out.left[i]) - in[i]));
    EXPECT_GT(echo, 0.01) << "echoes after the send closed";

    EXPECT_LT(maxDifference(out.left, running.left), 1e-8);
    EXPECT_LT(maxDifference(out.right, running.right), 1e-8);
    EXPECT_FALSE(pair.rested.back());
    for (const auto* x : {&out.left, &out.right})
        EXPECT_LT(boundaryJump(*x, {40, 60, restStart, kReopen}), 1.05);
}

// A reverb woken from rest sounds exactly as one that ran over the silence; its tail plays out
// after the send closes and only then does it rest.
TEST(EffectRest, ReverbWakesAsARunningReverbAndNeverCutsATail)
{
    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        Pair<Reverb> pair;
        for (Table& t : pair.tables) {
            setChoice(t.params.reverb.type, type);
            set(t.params.reverb.time, 0.1f);
        }
        constexpr unsigned kOpen = 30, kClose = 50, kBlocks = 2400;
        auto automate = [](unsigned block, Parameters& p, TestClock&) {
            set(p.reverb.send, block >= kOpen && block < kClose ? 0.7f : 0.0f);
        };
        const unsigned frames = kBlocks * kBlock;
        const auto in = sine(kClose * kBlock, 0.3f, 330.0f);
        Stereo running;
        const Stereo out = pair.render(in, in, frames, automate, runReverb, &running);

        EXPECT_TRUE(pair.rested[0] && pair.rested[kOpen - 1]);
        const std::size_t restStart =
            std::find(pair.rested.begin() + kOpen, pair.rested.end(), true) - pair.rested.begin();
        ASSERT_LT(restStart, kBlocks) << "rests once the tail has ended";
        EXPECT_GT(restStart, kClose + 1024) << "not before the quiet stretch";
        EXPECT_TRUE(identical(out.left, running.left, restStart * kBlock));
        EXPECT_TRUE(identical(out.right, running.right, restStart * kBlock));
        EXPECT_GT(DspTest::rms(std::vector<float>(out.left.begin() + kClose * kBlock, out.left.begin() + (kClose + 40) * kBlock)),
                  1e-3)
            << "the tail after the send closed";
        EXPECT_LT(maxDifference(out.left, running.left), 1e-8);
        EXPECT_LT(boundaryJump(out.left, {kOpen, kClose, restStart}), 1.05);
    }
}

// The chorus keeps writing its input into its line while it rests, so a wet amount that opens
// finds the line as a running chorus's. Only the line's low pass restarts from the last samples
// at the current delay, where the running one followed the sweep: the outputs agree far below
// hearing (-100 dB), with no click at either switch, and the rate read-back never stopped.
TEST(EffectRest, ChorusWakesOnARunningLineWithoutClicks)
{
    Pair<Chorus> pair;
    for (Table& t : pair.tables) {
        set(t.params.chorus.depth, 0.7f);
        set(t.params.chorus.lfo.rate, 0.6f);
    }
    auto automate = [](unsigned block, Parameters& p, TestClock&) {
        set(p.chorus.wet, (block >= 20 && block < 40) || block >= 60 ? 0.7f : 0.0f);
    };
    const unsigned frames = 80 * kBlock;
    const auto in = sine(frames, 0.5f, 220.0f);
    Stereo running;
    const Stereo out = pair.render(in, {}, frames, automate, runChorus, &running);

    EXPECT_TRUE(pair.rested[0] && pair.rested[19]);
    EXPECT_FALSE(pair.rested[20]);
    // Wet back at 0: the crossfade glides down over blocks 40 and 41 (10 ms), then the chorus rests.
    EXPECT_FALSE(pair.rested[40] || pair.rested[41]);
    EXPECT_TRUE(pair.rested[42] && pair.rested[59]);
    EXPECT_FALSE(pair.rested[60]);
    EXPECT_LT(maxDifference(out.left, running.left), 1e-5);
    EXPECT_LT(maxDifference(out.right, running.right), 1e-5);
    for (const auto* x : {&out.left, &out.right})
        EXPECT_LT(boundaryJump(*x, {20, 40, 42, 60}), 1.05);
    EXPECT_EQ(pair.modules[0].rateOutput().value(), pair.modules[1].rateOutput().value());
}
