// The effects render bit for bit what they rendered before their per-block set-up was cut down,
// while every setting, the tempo and the sample rate keep moving: the values an effect works out
// once and keeps must always be those it would work out afresh. The hashes were written by the
// earlier effects. Each run passes through the idle path, running and resting blocks and a reset,
// in blocks of one size or of mixed sizes.
#include <cstdint>
#include <cstring>
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

// Frames of the idle start, of the running middle, and of the closed, silent stretch after it that
// lasts past the longest line and the rest threshold (2^18 frames) after it, after which the
// settings open again briefly.
constexpr unsigned kIdleEnd = 4000;
constexpr unsigned kRunEnd = 60000;
constexpr unsigned kClosedEnd = kRunEnd + 420000;
constexpr unsigned kFrames = kClosedEnd + 20000;
constexpr unsigned kResetAt = 30000;

class Random {
public:
    std::uint32_t next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    bool oneIn(unsigned n) { return next() % n == 0; }
    // A setting: often an end of the range, where the effects skip work, otherwise anywhere in it.
    float setting()
    {
        const std::uint32_t r = next() % 8;
        return r == 0 ? 0.0f : r == 1 ? 1.0f : static_cast<float>(next() % 10000) / 9999.0f;
    }

private:
    std::uint32_t state_ = 2024;
};

// FNV-1a over bit patterns.
class Hash {
public:
    void add(float x)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        for (int i = 0; i < 4; ++i)
            h_ = (h_ ^ ((bits >> (8 * i)) & 0xffu)) * 1099511628211ull;
    }
    void add(const float* x, unsigned n)
    {
        for (unsigned i = 0; i < n; ++i)
            add(x[i]);
    }
    std::uint64_t value() const { return h_; }

private:
    std::uint64_t h_ = 1469598103934665603ull;
};

struct Knob {
    Parameter* parameter;
    int choices; // 0 for a continuous setting, else the number of integer values
};

// Moves one knob, the tempo or the sample rate now and then; every knob and the tempo may move at
// any time, the sample rate only while the effect runs on a signal. The sample rate moves about as
// often as the knobs, so that blocks with only the sample rate changed are common.
void automate(Random& random, const std::vector<Knob>& knobs, TestClock& clock, float& sampleRate, bool running)
{
    if (random.oneIn(8)) {
        const Knob& k = knobs[random.next() % knobs.size()];
        if (k.choices > 0)
            setChoice(*k.parameter, static_cast<int>(random.next() % static_cast<unsigned>(k.choices)));
        else
            set(*k.parameter, random.setting());
    }
    if (random.oneIn(40)) {
        static const double kTempi[] = {120.0, 93.5, 171.0, 0.0};
        clock.setTempo(kTempi[random.next() % 4]);
    }
    if (running && random.oneIn(12))
        sampleRate = sampleRate == kRate ? 44100.0f : kRate;
}

std::vector<unsigned> blockSizes(unsigned pattern)
{
    switch (pattern) {
    case 0: return {32};
    case 1: return {64};
    case 2: return {256};
    default: return {32, 64, 17, 256, 1, 128, 96, 32};
    }
}

struct Block {
    unsigned at;
    unsigned frames;
    float sampleRate;
    bool idle;    // the idle start
    bool running; // input and settings of the running middle or the end
};

// Calls run(block, l, r) over the whole schedule, advancing the clock; prepare(phase) sets the
// settings at the start of each stretch (0 idle, 1 running, 2 closed, 3 open again) and
// moveKnobs(running) moves them block by block.
template <class Prepare, class Run>
std::uint64_t renderSchedule(unsigned pattern, TestClock& clock, std::vector<Knob> knobs, std::vector<Knob> closedKnobs,
                             Prepare&& prepare, Run&& run)
{
    Random random;
    Hash hash;
    const std::vector<unsigned> sizes = blockSizes(pattern);
    const std::vector<float> signal = noise(kFrames, 0.5f);
    std::vector<float> left(256);
    std::vector<float> right(256);
    float sampleRate = kRate;
    int phase = -1;
    bool resetDone = false;
    for (unsigned at = 0, b = 0; at < kFrames; ++b) {
        const unsigned frames = std::min(sizes[b % sizes.size()], kFrames - at);
        const int nowPhase = at < kIdleEnd ? 0 : at < kRunEnd ? 1 : at < kClosedEnd ? 2 : 3;
        if (nowPhase != phase) {
            phase = nowPhase;
            prepare(phase);
        }
        const bool running = phase == 1 || phase == 3;
        automate(random, running ? knobs : closedKnobs, clock, sampleRate, running);
        // The signal comes in bursts, so that the effects meet silent input while running too.
        const bool sounding = running && (at / 3000) % 3 != 2;
        for (unsigned i = 0; i < frames; ++i) {
            left[i] = sounding ? signal[at + i] : 0.0f;
            right[i] = sounding ? 0.5f * signal[kFrames - 1 - at - i] : 0.0f;
        }
        if (!resetDone && at >= kResetAt) {
            resetDone = true;
            run(Block{at, 0, sampleRate, false, true}, left.data(), right.data());
        }
        run(Block{at, frames, sampleRate, phase == 0, running}, left.data(), right.data());
        hash.add(left.data(), frames);
        hash.add(right.data(), frames);
        clock.advance(frames);
        at += frames;
    }
    return hash.value();
}

// The hashes of the output and of the read-backs and rest decisions.
struct Expected {
    std::uint64_t output;
    std::uint64_t readbacks;
};

const char* patternName(unsigned pattern)
{
    static const char* kNames[] = {"32", "64", "256", "mixed"};
    return kNames[pattern];
}

} // namespace

TEST(EffectMovingSettings, ChorusRendersAsBefore)
{
    const Expected kExpected[] = {
        {0x8f5a0343c68b08ddull, 0xcb92c97475ba4045ull},
        {0xab2a24af585578ceull, 0xab456abbb5460b92ull},
        {0xc05b94d68216aea5ull, 0x53213c29fc076a6cull},
        {0x1e657204446e7e38ull, 0xa9079b7d5c97140full},
    };
    for (unsigned pattern = 0; pattern < 4; ++pattern) {
        SCOPED_TRACE(patternName(pattern));
        Table table;
        TestClock clock;
        Chorus chorus;
        chorus.reserve(256);
        Parameters::Chorus& p = table.params.chorus;
        const std::vector<Knob> settings = {{&p.depth, 0}, {&p.spread, 0}, {&p.lfo.rate, 0}};
        std::vector<Knob> knobs = settings;
        knobs.push_back({&p.wet, 0});
        Hash readbacks;
        unsigned rested = 0;
        auto prepare = [&](int phase) {
            set(p.wet, phase == 2 ? 0.0f : 0.6f);
            p.fixedFeedback = phase == 3 ? 0.4f : 0.0f;
            p.fixedTime = phase == 3 ? 0.6f : 0.25f;
        };
        const std::uint64_t h = renderSchedule(pattern, clock, knobs, settings, prepare,
                                               [&](const Block& b, float* l, float* r) {
            if (b.frames == 0) {
                chorus.reset();
                return;
            }
            if (b.idle)
                chorus.idle(l, b.frames, b.sampleRate, clock, p);
            else
                chorus.process(l, r, l, b.frames, b.sampleRate, clock, p, 2, AudioQuality::Normal);
            readbacks.add(chorus.rateOutput().value());
            readbacks.add(chorus.resting() ? 1.0f : 0.0f);
            rested += chorus.resting();
        });
        EXPECT_EQ(h, kExpected[pattern].output) << std::hex << h;
        EXPECT_EQ(readbacks.value(), kExpected[pattern].readbacks) << std::hex << readbacks.value();
        EXPECT_GT(rested, 0u);
    }
}

TEST(EffectMovingSettings, DelayRendersAsBefore)
{
    const Expected kExpected[] = {
        {0x160f50d4731ebc3full, 0xf91e50ef83618427ull},
        {0xb88541de62d93405ull, 0x632853fff53493c6ull},
        {0xe5bed4856cddd6c6ull, 0xd2a54b4cec15c4aeull},
        {0x7554998ce46698efull, 0x40a2afd2a2b7f4dfull},
    };
    for (unsigned pattern = 0; pattern < 4; ++pattern) {
        SCOPED_TRACE(patternName(pattern));
        Table table;
        TestClock clock;
        Delay delay;
        delay.reserve(256);
        Parameters::Delay& p = table.params.delay;
        const std::vector<Knob> settings = {{&p.timeL, 8},          {&p.timeR, 8},          {&p.timeModDepth, 0},
                                            {&p.timeModLfo.rate, 0}, {&p.crossFeedback, 0}, {&p.hiDamp, 0},
                                            {&p.hpf, 0},             {&p.filter.wet, 0},    {&p.filter.freq, 0},
                                            {&p.filter.reso, 0},     {&p.filter.modDepth, 0}, {&p.filter.lfo.rate, 0},
                                            {&p.filter.drive, 0}};
        std::vector<Knob> knobs = settings;
        knobs.push_back({&p.send, 0});
        knobs.push_back({&p.feedback, 0});
        Hash readbacks;
        unsigned rested = 0;
        auto prepare = [&](int phase) {
            set(p.send, phase == 2 ? 0.0f : phase == 0 ? 0.7f : 0.0f);
            set(p.feedback, phase == 2 ? 0.0f : 0.6f);
        };
        const std::uint64_t h = renderSchedule(pattern, clock, knobs, settings, prepare,
                                               [&](const Block& b, float* l, float* r) {
            if (b.frames == 0) {
                delay.reset();
                return;
            }
            if (b.idle)
                delay.idle(b.frames, b.sampleRate, clock, p, 2);
            else
                delay.process(l, r, l, r, b.frames, b.sampleRate, clock, p, 2, AudioQuality::Normal);
            readbacks.add(delay.timeModRateOutput().value());
            readbacks.add(delay.filterRateOutput().value());
            readbacks.add(delay.smoothedTime(0));
            readbacks.add(delay.smoothedTime(1));
            readbacks.add(delay.resting() ? 1.0f : 0.0f);
            rested += delay.resting();
        });
        EXPECT_EQ(h, kExpected[pattern].output) << std::hex << h;
        EXPECT_EQ(readbacks.value(), kExpected[pattern].readbacks) << std::hex << readbacks.value();
        EXPECT_GT(rested, 0u);
    }
}

TEST(EffectMovingSettings, ReverbRendersAsBefore)
{
    const Expected kExpected[] = {
        {0x6d6324f12caa78ccull, 0x73f73ecac56396f3ull},
        {0xc6df8c0df33e9f2dull, 0xebf91e63c2e7086aull},
        {0xe3e3bd01f42bf09cull, 0x78070ef3fab6c193ull},
        {0x50bfca3117f0223aull, 0xb202d23f8b5f20aaull},
    };
    for (unsigned pattern = 0; pattern < 4; ++pattern) {
        SCOPED_TRACE(patternName(pattern));
        Table table;
        TestClock clock;
        Reverb reverb;
        reverb.reserve(256, kRate);
        Parameters::Reverb& p = table.params.reverb;
        const std::vector<Knob> settings = {{&p.predelay, 0}, {&p.time, 0}, {&p.hiDamp, 0}, {&p.hpf, 0}};
        std::vector<Knob> knobs = settings;
        knobs.push_back({&p.send, 0});
        knobs.push_back({&p.type, 2});
        Hash readbacks;
        unsigned rested = 0;
        auto prepare = [&](int phase) {
            set(p.send, phase == 2 ? 0.0f : 0.7f);
            setChoice(p.type, 1);
            set(p.time, phase == 2 ? 0.0f : 0.5f);
        };
        const std::uint64_t h = renderSchedule(pattern, clock, knobs, settings, prepare,
                                               [&](const Block& b, float* l, float* r) {
            if (b.frames == 0) {
                reverb.reset();
                return;
            }
            if (b.idle)
                reverb.idle(l, r, l, r, b.frames, b.sampleRate, p);
            else
                reverb.process(l, r, l, r, b.frames, b.sampleRate, clock, p, 2, AudioQuality::Normal);
            readbacks.add(reverb.resting() ? 1.0f : 0.0f);
            rested += reverb.resting();
            readbacks.add(static_cast<float>(reverb.lastType()));
        });
        EXPECT_EQ(h, kExpected[pattern].output) << std::hex << h;
        EXPECT_EQ(readbacks.value(), kExpected[pattern].readbacks) << std::hex << readbacks.value();
        EXPECT_GT(rested, 0u);
    }
}
