// The sound stays as it was: the default and the heavy sound, at small and large blocks, render
// bit for bit what this engine rendered before its render path was made faster. The hashes were
// written by that earlier engine; a change that alters any sample fails here, and must then show
// a residual below -100 dB against the earlier output before its hash may be renewed. The hashes
// of blocks shorter than a control span were renewed once on purpose, when such blocks came to
// share a span and hold its modulation (EngineSmallBlockTest measures them against whole spans).
#include <gtest/gtest.h>

#include <cstring>

#include "EngineFixture.h"
#include "HeavySound.h"

using namespace EngineTest;

namespace {

// FNV-1a over the bits of every sample of both channels.
uint64_t hashOf(const Stereo& s) {
    uint64_t h = 1469598103934665603ull;
    for (const std::vector<float>* side : {&s.left, &s.right}) {
        for (float x : *side) {
            uint32_t bits;
            std::memcpy(&bits, &x, sizeof bits);
            for (int i = 0; i < 4; ++i) {
                h = (h ^ ((bits >> (8 * i)) & 0xff)) * 1099511628211ull;
            }
        }
    }
    return h;
}

enum class Sound { Default, Heavy };

struct Case {
    Sound sound;
    unsigned block;
    uint64_t firstNote; // frames of silence after start before anything plays
    uint64_t expected;
};

// A chord, a melody over it and the releases, so that attacks, held notes, releases and the
// effects' tails all pass through the block boundaries.
Stereo renderCase(const Case& c) {
    EngineRig rig(1024);
    if (c.sound == Sound::Heavy) {
        makeHeavySound(rig.engine());
    } else {
        rig.set(11100, 0.5f);
        rig.set(11200, 0.5f);
        rig.set(11400, 0.5f);
    }
    const uint64_t t = c.firstNote;
    std::vector<Event> events = {noteOn(t, 48), noteOn(t, 55), noteOn(t, 64)};
    for (int i = 0; i < 4; ++i) {
        events.push_back(noteOn(t + 4000 + i * 6000, 67 + i * 2, 60 + i * 12));
        events.push_back(noteOff(t + 8000 + i * 6000, 67 + i * 2));
    }
    for (int note : {48, 55, 64}) events.push_back(noteOff(t + 30000, note));
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.time < b.time; });
    return rig.render(t + 44100, c.block, events);
}

const Case kCases[] = {
    {Sound::Default, 32, 0, 0x1b4b1f8825a9ecc6ull},
    {Sound::Default, 64, 0, 0x533cfbc552809877ull},
    {Sound::Default, 256, 0, 0x98f4859ac083c69eull},
    {Sound::Default, 256, 88200, 0x7df151d1f9b42868ull},
    {Sound::Heavy, 32, 0, 0xcb93d9dc80a76aa2ull},
    {Sound::Heavy, 64, 0, 0x0c8dc76a5ec97a31ull},
    {Sound::Heavy, 256, 0, 0x8942392eecb5b2c3ull},
    {Sound::Heavy, 64, 88200, 0xb8c2da79405942b1ull},
};

} // namespace

TEST(CorvaneEngineSoundReference, RendersWhatTheEarlierEngineRendered) {
    for (const Case& c : kCases) {
        const Stereo out = renderCase(c);
        SCOPED_TRACE(testing::Message() << (c.sound == Sound::Heavy ? "heavy" : "default") << " sound, blocks of "
                                        << c.block << ", first note at frame " << c.firstNote);
        ASSERT_TRUE(allClean(out.left) && allClean(out.right));
        ASSERT_GT(rms(out.left), 0.01);
        EXPECT_EQ(hashOf(out), c.expected) << "0x" << std::hex << hashOf(out) << "ull";
    }
}
