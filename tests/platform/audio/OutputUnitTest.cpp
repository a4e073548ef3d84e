#include "platform/audio/OfflineDriver.h"
#include "platform/audio/OutputUnit.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using Platform::MidiEvent;
using Platform::MidiPhrase;
using Platform::OfflineDriver;
using Platform::OutputUnit;

namespace {

// Writes each frame's timeline position into the left channel and its negation into the right.
bool rampCallback(const OutputUnit::RenderCall& call) {
    for (unsigned i = 0; i < call.frames; ++i) {
        call.channels[0][i] = static_cast<float>(call.sampleTime + i);
        call.channels[1][i] = -static_cast<float>(call.sampleTime + i);
    }
    return true;
}

} // namespace

TEST(OutputUnit, ConfigurationIsFixedWhileInitialized) {
    OutputUnit unit;
    EXPECT_EQ(unit.sampleRate(), 44100.0);
    EXPECT_EQ(unit.maximumFramesPerSlice(), 1024u);
    EXPECT_FALSE(unit.setSampleRate(0.0));
    EXPECT_FALSE(unit.setSampleRate(-48000.0));
    EXPECT_FALSE(unit.setMaximumFramesPerSlice(0));
    EXPECT_TRUE(unit.setSampleRate(48000.0));
    EXPECT_TRUE(unit.setMaximumFramesPerSlice(256));

    EXPECT_FALSE(unit.start()); // not initialized
    ASSERT_TRUE(unit.initialize());
    EXPECT_FALSE(unit.setSampleRate(96000.0));
    EXPECT_FALSE(unit.setMaximumFramesPerSlice(512));
    EXPECT_EQ(unit.sampleRate(), 48000.0);
    ASSERT_TRUE(unit.start());
    EXPECT_FALSE(unit.setRenderCallback(rampCallback));
    unit.uninitialize();
    EXPECT_FALSE(unit.isRunning());
    EXPECT_TRUE(unit.setMaximumFramesPerSlice(512));
}

TEST(OutputUnit, RenderStatusesAndTimeline) {
    OutputUnit unit;
    unit.setMaximumFramesPerSlice(64);
    EXPECT_EQ(unit.render(16), OutputUnit::Status::NotInitialized);
    unit.initialize();
    EXPECT_EQ(unit.render(65), OutputUnit::Status::TooManyFrames);
    EXPECT_EQ(unit.render(0), OutputUnit::Status::TooManyFrames);
    EXPECT_EQ(unit.sampleTime(), 0u);

    EXPECT_EQ(unit.render(16), OutputUnit::Status::NoCallback);
    EXPECT_EQ(unit.channel(0)[0], 0.0f);
    unit.setRenderCallback(rampCallback);
    EXPECT_EQ(unit.render(64), OutputUnit::Status::Ok);
    EXPECT_EQ(unit.channel(0)[0], 16.0f);
    EXPECT_EQ(unit.channel(1)[63], -79.0f);
    EXPECT_EQ(unit.sampleTime(), 80u);
}

TEST(OutputUnit, ChannelsAreClearedBeforeEachCallAndAFailedCallIsSilence) {
    OutputUnit unit;
    unit.setMaximumFramesPerSlice(32);
    unit.initialize();
    bool fail = false;
    std::vector<float> seenFirst;
    unit.setRenderCallback([&](const OutputUnit::RenderCall& call) {
        seenFirst.push_back(call.channels[0][0]);
        for (unsigned i = 0; i < call.frames; ++i) {
            call.channels[0][i] = call.channels[1][i] = 0.5f;
        }
        return !fail;
    });
    EXPECT_EQ(unit.render(32), OutputUnit::Status::Ok);
    fail = true;
    EXPECT_EQ(unit.render(32), OutputUnit::Status::CallbackFailed);
    EXPECT_EQ(seenFirst, (std::vector<float>{0.0f, 0.0f}));
    for (unsigned i = 0; i < 32; ++i) {
        ASSERT_EQ(unit.channel(0)[i], 0.0f);
        ASSERT_EQ(unit.channel(1)[i], 0.0f);
    }
    EXPECT_EQ(unit.sampleTime(), 64u);
}

TEST(MidiPhrase, KeepsTimeOrderAndInsertionOrderAtEqualTimes) {
    MidiPhrase phrase;
    phrase.add(100, 0x90, 60, 100);
    phrase.add(10, 0x90, 64, 100);
    phrase.add(100, 0x80, 64, 0);
    phrase.add(100, 0x90, 64, 90);
    const auto& e = phrase.events();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].sampleTime, 10u);
    EXPECT_EQ(e[1].data1, 60);
    EXPECT_EQ(e[2].status, 0x80);
    EXPECT_EQ(e[3].data2, 90);
    EXPECT_EQ(phrase.endTime(), 101u);

    EXPECT_EQ(phrase.eventsIn(0, 10).size(), 0u);  // end is exclusive
    EXPECT_EQ(phrase.eventsIn(10, 1).size(), 1u);
    EXPECT_EQ(phrase.eventsIn(11, 89).size(), 0u);
    EXPECT_EQ(phrase.eventsIn(100, 64).size(), 3u);
    EXPECT_EQ(phrase.eventsIn(101, 64).size(), 0u);
}

TEST(OfflineDriver, PullsBlocksInOrderOnARenderThreadWithEachBlocksMidi) {
    OutputUnit unit;
    unit.setMaximumFramesPerSlice(128);
    MidiPhrase phrase;
    for (uint64_t t : {0u, 127u, 128u, 300u, 999u, 1000u}) {
        phrase.add(t, 0x90, static_cast<uint8_t>(t % 128), 1);
    }
    struct Call {
        uint64_t start;
        unsigned frames;
        std::vector<uint64_t> midi;
    };
    std::vector<Call> calls;
    const auto mainThread = std::this_thread::get_id();
    bool onOtherThread = true;
    unit.setRenderCallback([&](const OutputUnit::RenderCall& call) {
        onOtherThread = onOtherThread && std::this_thread::get_id() != mainThread;
        Call c{call.sampleTime, call.frames, {}};
        for (const MidiEvent& e : call.midi) {
            c.midi.push_back(e.sampleTime);
        }
        calls.push_back(c);
        return rampCallback(call);
    });

    OfflineDriver driver(unit);
    driver.setMidi(&phrase);
    uint64_t expectedNext = 0;
    bool contiguous = true;
    const auto result = driver.run(1000, [&](const float* const* ch, unsigned frames) {
        contiguous = contiguous && ch[0][0] == static_cast<float>(expectedNext) &&
                     ch[1][frames - 1] == -static_cast<float>(expectedNext + frames - 1);
        expectedNext += frames;
        return true;
    });
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(onOtherThread);
    EXPECT_TRUE(contiguous);
    EXPECT_EQ(result.frames, 1000u);
    EXPECT_FALSE(unit.isRunning());
    ASSERT_EQ(calls.size(), 8u);
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].start, i * 128);
        EXPECT_EQ(calls[i].frames, i < 7 ? 128u : 1000u - 7 * 128);
    }
    EXPECT_EQ(calls[0].midi, (std::vector<uint64_t>{0, 127}));
    EXPECT_EQ(calls[1].midi, (std::vector<uint64_t>{128}));
    EXPECT_EQ(calls[2].midi, (std::vector<uint64_t>{300}));
    EXPECT_EQ(calls[7].midi, (std::vector<uint64_t>{999})); // 1000 lies after the run
    EXPECT_EQ(result.peak, 999.0f);
}

TEST(OfflineDriver, SmallerBlocksAndFailures) {
    OutputUnit unit;
    unit.setMaximumFramesPerSlice(64);
    std::vector<unsigned> sizes;
    unit.setRenderCallback([&](const OutputUnit::RenderCall& call) {
        sizes.push_back(call.frames);
        return call.sampleTime < 64;
    });
    OfflineDriver driver(unit);
    driver.setBlockFrames(1000); // capped at the unit's maximum
    auto result = driver.run(100, {});
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "render callback failed");
    EXPECT_EQ(sizes, (std::vector<unsigned>{64, 36}));

    sizes.clear();
    driver.setBlockFrames(40);
    unit.setRenderCallback([&](const OutputUnit::RenderCall& call) {
        sizes.push_back(call.frames);
        call.channels[0][0] = std::numeric_limits<float>::quiet_NaN();
        return true;
    });
    unit.uninitialize(); // the driver initializes it again, from time 0
    result = driver.run(100, [](const float* const*, unsigned) { return true; });
    EXPECT_TRUE(result.ok);
    EXPECT_FALSE(result.finite);
    EXPECT_EQ(sizes, (std::vector<unsigned>{40, 40, 20}));
}
