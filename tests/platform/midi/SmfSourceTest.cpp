#include "platform/midi/MidiClient.h"
#include "platform/midi/MidiSystem.h"
#include "platform/midi/SmfSource.h"
#include "platform/foundation/RunLoop.h"

#include "support/SmfBuilder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

using namespace Platform;
using MidiTest::SmfBuilder;

namespace {

std::atomic<bool> countAllocations{false};
std::atomic<long> allocations{0};

struct Delivery {
    unsigned block;
    std::vector<uint8_t> bytes;
    MidiTimeStamp timeStamp;
};

class SmfSourceTest : public ::testing::Test {
protected:
    void play(const std::vector<uint8_t>& file) {
        auto smf = StandardMidiFile::parse(file);
        ASSERT_TRUE(smf);
        source = SmfSource::create(std::move(*smf), std::string("song.mid"));
        ASSERT_TRUE(MidiSystem::shared().addSource(source));
        ASSERT_EQ(MidiClient::create("test", nullptr, client), MidiErr::None);
        ASSERT_EQ(client->createInputPort("in", [this](const MidiPacketList& list, void*) {
                      ++lists;
                      for (MidiPacket p : list)
                          got.push_back({block, {p.data.begin(), p.data.end()}, p.timeStamp});
                  }, port), MidiErr::None);
        ASSERT_EQ(port->connectSource(source, nullptr), MidiErr::None);
    }
    void TearDown() override {
        if (source) MidiSystem::shared().removeSource(source);
        client.reset();
        RunLoop::main().runOnce();
    }
    void run(unsigned blocks, unsigned frames, double rate) {
        for (unsigned i = 0; i < blocks; ++i, ++block) source->advance(frames, rate);
    }

    std::shared_ptr<SmfSource> source;
    std::unique_ptr<MidiClient> client;
    std::shared_ptr<MidiInputPort> port;
    std::vector<Delivery> got;
    unsigned block = 0;
    int lists = 0;
};

} // namespace

[[gnu::noinline]] void* operator new(std::size_t size) {
    if (countAllocations.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (countAllocations.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    return std::malloc(size ? size : 1);
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST_F(SmfSourceTest, EventsArriveInTheBlockThatHoldsTheirFrame) {
    // 120 bpm at 480 ticks per quarter: tick 480 is 0.5 s.
    SmfBuilder b(0, 480);
    b.track()
        .event(0, {0x90, 60, 100})
        .event(480, {0x80, 60, 0})     // 0.5 s: frame 24000 at 48 kHz, exactly block 50 of 480
        .event(1, {0x90, 62, 100})     // 0.5 s + 1/960 s: frame 24050, block 50
        .event(479, {0x80, 62, 0})     // 1.0 s: frame 48000, block 100
        .end(0);
    play(b.bytes());
    run(120, 480, 48000);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].block, 0u);
    EXPECT_EQ(got[1].block, 50u);
    EXPECT_EQ(got[2].block, 50u);
    EXPECT_EQ(got[3].block, 100u);
    EXPECT_EQ(got[1].bytes, (std::vector<uint8_t>{0x80, 60, 0}));
    EXPECT_EQ(got[1].timeStamp, 500000000u);
    EXPECT_TRUE(source->finished());
    EXPECT_EQ(source->positionFrames(), 120u * 480u);
}

TEST_F(SmfSourceTest, FramesThatFallBetweenBlocksAtOddRatesAndSizes) {
    SmfBuilder b(0, 3);   // one tick = 1/6 s at 120 bpm
    b.track().event(1, {0x90, 60, 1}).event(1, {0x90, 61, 1}).end(0);
    play(b.bytes());
    // 1/6 s at 44100 Hz is frame 7350: block 14 of 512 (7168..7679); 1/3 s is frame 14700: block 28.
    run(40, 512, 44100);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].block, 14u);
    EXPECT_EQ(got[1].block, 28u);
    EXPECT_EQ(SmfSource::frameOf(1.0 / 3.0, 48000), 16000u);
}

TEST_F(SmfSourceTest, ASampleRateChangeKeepsThePlayTime) {
    SmfBuilder b(0, 480);
    b.track().event(960, {0x90, 60, 1}).end(0);   // 1.0 s
    play(b.bytes());
    run(50, 441, 44100);   // 0.5 s
    EXPECT_TRUE(got.empty());
    run(50, 480, 96000);   // 0.25 s more
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(source->positionFrames(), 72000u);
    run(50, 480, 96000);   // to 1.0 s, where the event's block begins
    EXPECT_TRUE(got.empty());
    run(1, 480, 96000);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].block, 150u);
    source->advance(64, 0.0);
    source->advance(64, -1.0);
    EXPECT_EQ(source->positionFrames(), 96480u);
}

TEST_F(SmfSourceTest, ABlockWithMoreEventsThanOneListHoldsArrivesWholeAndInOrder) {
    SmfBuilder b(0, 96);
    auto& track = b.track();
    for (int i = 0; i < 600; ++i) track.event(0, {0x90, uint8_t(i % 128), 1});
    track.event(0, {0xF0, 0x03, 0x01, 0x02, 0xF7});
    track.end(0);
    play(b.bytes());
    run(1, 64, 48000);
    ASSERT_EQ(got.size(), 601u);
    EXPECT_GT(lists, 1);
    for (int i = 0; i < 600; ++i) ASSERT_EQ(got[i].bytes[1], i % 128);
    EXPECT_EQ(got[600].bytes, (std::vector<uint8_t>{0xF0, 0x01, 0x02, 0xF7}));
}

TEST_F(SmfSourceTest, RewindPlaysAgainAndAdvancingAllocatesNothing) {
    SmfBuilder b(0, 96);
    auto& track = b.track();
    for (int i = 0; i < 400; ++i) track.event(i % 3, {0x90, 60, uint8_t(1 + i % 100)});
    track.end(0);
    play(b.bytes());
    got.reserve(2000);
    countAllocations = true;
    allocations = 0;
    source->rewind();
    run(400, 256, 44100);
    countAllocations = false;
    // Only the test's own recorder may have allocated (its vectors of bytes).
    EXPECT_LE(allocations.load(), static_cast<long>(got.size()));
    const std::size_t first = got.size();
    EXPECT_EQ(first, 400u);

    source->rewind();
    got.clear();
    got.reserve(2000);
    countAllocations = true;
    allocations = 0;
    // With no one listening the source itself must not allocate at all.
    port->disconnectSource(source);
    run(400, 256, 44100);
    countAllocations = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_TRUE(source->finished());
}
