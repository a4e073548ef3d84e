#include "plugin/support/PluginTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

#include "plugin/audiounit/PluginRenderBlock.h"

using namespace PluginTest;
using Platform::TestHost;
namespace Status = Platform::AudioUnitStatus;

namespace {

// The frames of channel 0 that carry each cycle's mark, as (mark, count) runs.
std::vector<std::pair<float, unsigned>> runs(std::vector<float> const& samples) {
    std::vector<std::pair<float, unsigned>> out;
    for (float s : samples) {
        if (out.empty() || out.back().first != s)
            out.emplace_back(s, 0);
        ++out.back().second;
    }
    return out;
}

struct RenderFixture : ::testing::Test {
    Rig rig;
    TestHost host{rig.unit};

    void SetUp() override { ASSERT_TRUE(host.allocate()); }
    RecordingEngine& engine() { return *rig.engine; }
};

} // namespace

TEST_F(RenderFixture, CallWithoutEventsIsOneCycleAtOffsetZero) {
    host.setSampleTime(5000);
    ASSERT_EQ(host.render(256), Status::NoError);
    ASSERT_EQ(engine().cycles.size(), 1u);
    EXPECT_EQ(engine().cycles[0].frames, 256u);
    EXPECT_EQ(runs(host.output(0)), (std::vector<std::pair<float, unsigned>>{{1.0f, 256}}));
    EXPECT_EQ(runs(host.output(1)), (std::vector<std::pair<float, unsigned>>{{1.0f, 256}}));
}

TEST_F(RenderFixture, CallIsSplitAtEventsAndEachMessageReachesOneCycle) {
    host.setSampleTime(1000);
    ASSERT_EQ(host.render(256, {TestHost::Event::parameter(0, kCutoff, 0.1f), TestHost::Event::midi(0, 0x90, 60, 100),
                                TestHost::Event::midi(100, 0x80, 60, 0), TestHost::Event::parameter(100, kCutoff, 0.9f),
                                TestHost::Event::midi(100, 0x90, 64, 90)}),
              Status::NoError);

    auto const& cycles = engine().cycles;
    ASSERT_EQ(cycles.size(), 2u);
    EXPECT_EQ(cycles[0].frames, 100u);
    EXPECT_EQ(cycles[1].frames, 156u);
    EXPECT_EQ(cycles[0].midi, (std::vector<MidiMessage>{MidiMessage(0x90, 60, 100)}));
    EXPECT_EQ(cycles[1].midi, (std::vector<MidiMessage>{MidiMessage(0x80, 60, 0), MidiMessage(0x90, 64, 90)}));
    // Parameter events take effect before the stretch that starts at their time.
    EXPECT_FLOAT_EQ(cycles[0].cutoffAtStart, 0.1f);
    EXPECT_FLOAT_EQ(cycles[1].cutoffAtStart, 0.9f);
    EXPECT_EQ(runs(host.output(0)), (std::vector<std::pair<float, unsigned>>{{1.0f, 100}, {2.0f, 156}}));
}

TEST_F(RenderFixture, EventsOutsideTheCallAreTakenAtItsNearestFrame) {
    host.setSampleTime(1000);
    // A ramp takes its end value at once; one before the call applies before the first stretch.
    ASSERT_EQ(host.render(128, {TestHost::Event::ramp(-40, kCutoff, 0.3f, 64), TestHost::Event::midi(-5, 0x90, 1, 1),
                                TestHost::Event::midi(64, 0x90, 2, 1), TestHost::Event::midi(500, 0x90, 3, 1),
                                TestHost::Event::parameter(900, kCutoff, 0.7f)}),
              Status::NoError);
    auto const& cycles = engine().cycles;
    ASSERT_EQ(cycles.size(), 3u);
    EXPECT_EQ(cycles[0].frames, 64u);
    EXPECT_EQ(cycles[1].frames, 63u);
    EXPECT_EQ(cycles[2].frames, 1u);
    EXPECT_FLOAT_EQ(cycles[0].cutoffAtStart, 0.3f);
    EXPECT_FLOAT_EQ(cycles[2].cutoffAtStart, 0.7f);
    EXPECT_EQ(cycles[0].midi, (std::vector<MidiMessage>{MidiMessage(0x90, 1, 1)}));
    EXPECT_EQ(cycles[1].midi, (std::vector<MidiMessage>{MidiMessage(0x90, 2, 1)}));
    EXPECT_EQ(cycles[2].midi, (std::vector<MidiMessage>{MidiMessage(0x90, 3, 1)}));
}

TEST_F(RenderFixture, ACallWithoutAUsableSampleTimeStillRendersItsEvents) {
    Platform::AudioBufferList list;
    list.numberBuffers = 2;
    Platform::RenderEvent note;
    note.eventSampleTime = 10;
    note.length = 3;
    note.data = {0x90, 60, 1};
    Platform::RenderActionFlags flags = 0;
    Platform::AudioTimeStamp timestamp{std::nan(""), 1};
    ASSERT_EQ(host.unit().renderBlock()(flags, timestamp, 64, 0, list, &note, nullptr), Status::NoError);
    ASSERT_EQ(engine().cycles.size(), 2u);
    EXPECT_EQ(engine().cycles[1].midi.size(), 1u);
}

TEST_F(RenderFixture, UnknownAddressesAndOtherEventKindsAreSkipped) {
    TestHost::Event sysex = TestHost::Event::midi(10, 0xF0, 1, 2);
    sysex.type = Platform::RenderEventType::MIDISysEx;
    ASSERT_EQ(host.render(64, {TestHost::Event::parameter(0, 4242, 0.5f), sysex}), Status::NoError);
    ASSERT_EQ(engine().cycles.size(), 2u);
    EXPECT_TRUE(engine().cycles[1].midi.empty());
}

TEST_F(RenderFixture, RefusedCallsTouchNeitherBuffersNorEngine) {
    EXPECT_EQ(host.render(1025), Status::TooManyFramesToProcess);
    EXPECT_EQ(host.output(0)[0], -99.0f);

    // The internal block itself refuses too, for hosts that call it directly.
    Platform::AudioBufferList list;
    list.numberBuffers = 2;
    std::vector<float> big(2048);
    for (unsigned c = 0; c < 2; ++c)
        list.buffers[c].data = big.data();
    Platform::RenderActionFlags flags = 0;
    auto internal = rig.unit->internalRenderBlock();
    EXPECT_EQ(internal(flags, {}, 2048, 0, list, nullptr, nullptr), Status::TooManyFramesToProcess);

    // A list whose buffer count differs from the bus's channels.
    list.numberBuffers = 1;
    EXPECT_EQ(internal(flags, {}, 64, 0, list, nullptr, nullptr), Status::ParameterError);
    EXPECT_TRUE(engine().cycles.empty());

    host.deallocate();
    list.numberBuffers = 2;
    EXPECT_EQ(internal(flags, {}, 64, 0, list, nullptr, nullptr), Status::Uninitialized);
}

TEST_F(RenderFixture, BuffersWithoutDataRenderIntoTheUnitsBuffer) {
    ASSERT_EQ(host.render(200, {}, /*unitBuffers=*/true), Status::NoError);
    EXPECT_EQ(runs(host.output(1)), (std::vector<std::pair<float, unsigned>>{{1.0f, 200}}));
    ASSERT_EQ(host.render(0), Status::NoError);
    EXPECT_EQ(engine().cycles.size(), 1u);
}

// The stereo call without a list answers as render does with a list of the two channels.
TEST_F(RenderFixture, ChannelsRenderAsAListOfThemWould) {
    host.setMusicalContext(TestHost::MusicalContext{});
    std::vector<float> left(300, -99.0f);
    std::vector<float> right(300, -99.0f);
    ASSERT_EQ(rig.unit->renderChannels(256, left.data(), right.data()), Status::NoError);
    ASSERT_EQ(engine().cycles.size(), 1u);
    EXPECT_EQ(engine().cycles[0].frames, 256u);
    EXPECT_EQ(runs(left), (std::vector<std::pair<float, unsigned>>{{1.0f, 256}, {-99.0f, 44}}));
    EXPECT_EQ(runs(right), (std::vector<std::pair<float, unsigned>>{{1.0f, 256}, {-99.0f, 44}}));
    EXPECT_EQ(host.musicalContextPolls(), 1);

    // Refused as render refuses: too many frames, and no buffer before render resources.
    EXPECT_EQ(rig.unit->renderChannels(1025, left.data(), right.data()), Status::TooManyFramesToProcess);
    host.deallocate();
    EXPECT_EQ(rig.unit->renderChannels(64, left.data(), right.data()), Status::Uninitialized);
    EXPECT_EQ(engine().cycles.size(), 1u);
    EXPECT_EQ(left[256], -99.0f);
}

TEST(PluginRenderBlock, ChannelsOfAUnitWithInputTakeTheListsWay) {
    Rig rig(2, 2);
    TestHost host(rig.unit);
    ASSERT_TRUE(host.allocate());
    std::vector<float> left(32), right(32);
    // Without a host to pull from, there is no input to render over.
    EXPECT_EQ(rig.unit->renderChannels(32, left.data(), right.data()), Status::NoConnection);
    EXPECT_TRUE(rig.engine->cycles.empty());
}

TEST(PluginRenderBlock, ALargerHostMaximumRunsCyclesOfTheEnginesSize) {
    Rig rig;
    TestHost host(rig.unit);
    ASSERT_TRUE(rig.unit->setMaximumFramesToRender(4096));
    ASSERT_TRUE(host.allocate());
    ASSERT_EQ(host.render(3000, {TestHost::Event::midi(0, 0x90, 60, 100)}), Status::NoError);
    auto const& cycles = rig.engine->cycles;
    ASSERT_EQ(cycles.size(), 3u);
    EXPECT_EQ(cycles[0].frames, 1024u);
    EXPECT_EQ(cycles[1].frames, 1024u);
    EXPECT_EQ(cycles[2].frames, 952u);
    EXPECT_EQ(cycles[0].midi.size(), 1u);
    EXPECT_TRUE(cycles[1].midi.empty());
    EXPECT_EQ(runs(host.output(0)).size(), 3u);
}

TEST(PluginRenderBlock, InputIsPulledAndRenderedInPlace) {
    Rig rig(2, 2);
    TestHost host(rig.unit);
    ASSERT_NE(rig.unit->inputBusses(), nullptr);
    ASSERT_TRUE(host.allocate());
    ASSERT_EQ(host.render(32, {}, /*unitBuffers=*/true), Status::NoError);
    EXPECT_EQ(host.inputPulls(), 1);
    ASSERT_EQ(rig.engine->inputsSeen.size(), 2u);
    EXPECT_EQ(rig.engine->inputsSeen[0][0], 1.0f);
    EXPECT_EQ(rig.engine->inputsSeen[1][31], 2.0f);
    EXPECT_EQ(host.output(0)[31], 1.0f);

    // A host that gives no input answers "no connection" and nothing is rendered.
    Platform::AudioBufferList list;
    list.numberBuffers = 2;
    Platform::RenderActionFlags flags = 0;
    EXPECT_EQ(rig.unit->internalRenderBlock()(flags, {}, 32, 0, list, nullptr, nullptr), Status::NoConnection);
    EXPECT_EQ(rig.engine->cycles.size(), 1u);
}

// ---- musical context and transport

TEST_F(RenderFixture, HostContextIsPolledOncePerCall) {
    host.setMusicalContext(TestHost::MusicalContext{});
    ASSERT_EQ(host.render(256, {TestHost::Event::midi(10, 0x90, 1, 1), TestHost::Event::midi(20, 0x90, 2, 1)}),
              Status::NoError);
    EXPECT_EQ(engine().cycles.size(), 3u);
    EXPECT_EQ(host.musicalContextPolls(), 1);
    EXPECT_EQ(host.transportPolls(), 1);
}

TEST(PluginSyncInformation, FollowsTheHostOnlyWhileItsTransportMoves) {
    struct Case {
        char const* name;
        bool context;
        bool transportAnswers;
        std::uint64_t flags;
        double numerator;
        std::int64_t denominator;
        int state;
        double tempo;
        double beat;
        double bar;
        std::uint32_t num;
        std::uint32_t den;
    };
    Case const cases[] = {
        {"playing", true, true, Platform::TransportStateFlags::Moving, 3, 4, 2, 90.0, 17.5, 15.0, 3, 4},
        {"stopped", true, true, 0, 3, 4, 0, 90.0, 0.0, 0.0, 3, 4},
        {"no transport", true, false, Platform::TransportStateFlags::Moving, 3, 4, 0, 90.0, 0.0, 0.0, 3, 4},
        {"seven eighths", true, true, Platform::TransportStateFlags::Moving, 7, 8, 2, 90.0, 17.5, 15.0, 7, 8},
        {"zero numerator", true, true, Platform::TransportStateFlags::Moving, 0, 8, 2, 90.0, 17.5, 15.0, 4, 4},
        {"zero denominator", true, true, Platform::TransportStateFlags::Moving, 7, 0, 2, 90.0, 17.5, 15.0, 4, 4},
        {"no context", false, true, Platform::TransportStateFlags::Moving, 3, 4, 0, 133.0, 0.0, 0.0, 4, 4},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        HostMusicalContextInfo context;
        context.initWithBlock([&](double* tempo, double* num, std::int64_t* den, double* beat, std::int64_t*, double* bar) {
            *tempo = 90.0;
            *num = c.numerator;
            *den = c.denominator;
            *beat = 17.5;
            *bar = 15.0;
            return c.context;
        });
        HostTransportStateInfo transport;
        transport.initWithBlock([&](std::uint64_t* flags, double*, double*, double*) {
            *flags = c.flags;
            return c.transportAnswers;
        });
        context.poll();
        transport.poll();
        Lumora::SyncInformation sync = Lumora::PluginRender::makeSyncInformation(context, transport, 133.0);
        EXPECT_EQ(sync.state, c.state);
        EXPECT_EQ(sync.tempo, c.tempo);
        EXPECT_EQ(sync.beatPosition, c.beat);
        EXPECT_EQ(sync.barStartPosition, c.bar);
        EXPECT_EQ(sync.timeSignature.numerator, c.num);
        EXPECT_EQ(sync.timeSignature.denominator, c.den);
    }
}

TEST(PluginSyncInformation, HoldersForgetAnswersWhenTheHostStopsAnswering) {
    bool answer = true;
    HostMusicalContextInfo context;
    context.initWithBlock([&](double* tempo, double*, std::int64_t*, double*, std::int64_t*, double*) {
        *tempo = 100.0;
        return answer;
    });
    EXPECT_FALSE(context.success());
    EXPECT_TRUE(context.poll());
    EXPECT_EQ(context.currentTempo(), 100.0);
    answer = false;
    EXPECT_FALSE(context.poll());
    EXPECT_EQ(context.currentTempo(), 0.0);
    context.resetWithBlock(nullptr);
    EXPECT_FALSE(context.poll());
}

TEST_F(RenderFixture, EngineClockFollowsTheHostAndEachCycleStartsWhereItStands) {
    host.setMusicalContext(TestHost::MusicalContext{120.0, 4.0, 4, 8.0, 0, 8.0});
    host.setTransport(TestHost::Transport{Platform::TransportStateFlags::Moving});
    ASSERT_EQ(host.render(512, {TestHost::Event::midi(441, 0x90, 60, 1)}), Status::NoError);
    auto const& cycles = engine().cycles;
    ASSERT_EQ(cycles.size(), 2u);
    EXPECT_DOUBLE_EQ(cycles[0].bpm, 120.0);
    EXPECT_DOUBLE_EQ(cycles[0].beatPosition, 8.0);
    // 441 frames at 44100 Hz and 120 beats per minute are 0.02 beats.
    EXPECT_NEAR(cycles[1].beatPosition, 8.02, 1e-9);

    // Stopped: the host's tempo, the engine's own clock from zero.
    host.setTransport(TestHost::Transport{0});
    host.setMusicalContext(TestHost::MusicalContext{150.0, 3.0, 4, 30.0, 0, 27.0});
    ASSERT_EQ(host.render(64), Status::NoError);
    EXPECT_DOUBLE_EQ(cycles.back().bpm, 150.0);
    EXPECT_DOUBLE_EQ(cycles.back().beatPosition, 0.0);

    // No context: the proposed tempo.
    rig.audioIO->proposeBpm(97.0);
    host.setMusicalContext(std::nullopt);
    ASSERT_EQ(host.render(64), Status::NoError);
    EXPECT_DOUBLE_EQ(cycles.back().bpm, 97.0);
    EXPECT_EQ(cycles.back().timeSignature.numerator, 4u);
}

TEST_F(RenderFixture, AHostTimelineTheClockCannotCountIsTreatedAsStopped) {
    double const inf = std::numeric_limits<double>::infinity();
    struct Case {
        char const* name;
        double beat;
        double downbeat;
    };
    Case const cases[] = {
        {"beat not a number", std::nan(""), 8.0},   {"downbeat not a number", 9.0, std::nan("")},
        {"infinite beat", inf, 8.0},                {"infinite downbeat", 9.0, -inf},
        {"beat beyond any timeline", 1e300, 0.0},   {"downbeat beyond any timeline", 9.0, -1e18},
    };
    host.setTransport(TestHost::Transport{Platform::TransportStateFlags::Moving});
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        host.setMusicalContext(TestHost::MusicalContext{110.0, 4.0, 4, c.beat, 0, c.downbeat});
        ASSERT_EQ(host.render(64), Status::NoError);
        // The host's tempo and the engine's own clock (running on from zero), as for a standing
        // transport.
        EXPECT_DOUBLE_EQ(engine().cycles.back().bpm, 110.0);
        double const beat = engine().cycles.back().beatPosition;
        EXPECT_TRUE(std::isfinite(beat) && beat >= 0.0 && beat < 0.1) << beat;
    }
    // A usable timeline is followed again.
    host.setMusicalContext(TestHost::MusicalContext{110.0, 4.0, 4, 9.0, 0, 8.0});
    ASSERT_EQ(host.render(64), Status::NoError);
    EXPECT_DOUBLE_EQ(engine().cycles.back().beatPosition, 9.0);
}

// Positions count beats of the signature's note value, as the engine's clock reads them, so a bar
// is numerator beats long whatever the denominator: 6/8 bars are six eighths, 3/2 bars three halves.
TEST(PluginSyncInformation, AdvancingCarriesTheBarStartAcrossBarLines) {
    struct Case {
        std::uint32_t numerator, denominator;
        double beat, barStart;
        unsigned seconds;
        double movedBeat, movedBarStart;
    };
    // One second at 60 beats per minute is one beat.
    Case const cases[] = {
        {4, 4, 7.5, 4.0, 1, 8.5, 8.0},  {7, 8, 3.0, 0.0, 1, 4.0, 0.0}, {7, 8, 6.5, 0.0, 1, 7.5, 7.0},
        {6, 8, 2.5, 0.0, 1, 3.5, 0.0},  {6, 8, 5.5, 0.0, 1, 6.5, 6.0}, {3, 2, 2.5, 0.0, 1, 3.5, 3.0},
        {3, 2, 2.5, 0.0, 4, 6.5, 6.0},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.numerator << "/" << c.denominator << " from beat " << c.beat);
        Lumora::SyncInformation sync;
        sync.state = 2;
        sync.tempo = 60.0;
        sync.timeSignature = {c.numerator, c.denominator};
        sync.beatPosition = c.beat;
        sync.barStartPosition = c.barStart;
        Lumora::SyncInformation const moved =
            Lumora::PluginRender::advancedSyncInformation(sync, 48000 * c.seconds, 48000.0f);
        EXPECT_DOUBLE_EQ(moved.beatPosition, c.movedBeat);
        EXPECT_DOUBLE_EQ(moved.barStartPosition, c.movedBarStart);
        sync.state = 0;
        EXPECT_DOUBLE_EQ(Lumora::PluginRender::advancedSyncInformation(sync, 48000, 48000.0f).beatPosition, c.beat);
    }
}

// ---- program changes

TEST_F(RenderFixture, AReceivedProgramChangeIsLoadedOnceOnTheMainQueue) {
    Rig::pumpMainQueue();
    ASSERT_EQ(host.render(256, {TestHost::Event::midi(0, 0xC0, 5, 0), TestHost::Event::midi(100, 0xC0, 7, 0)}),
              Status::NoError);
    EXPECT_EQ(engine().cycles.size(), 2u);
    EXPECT_TRUE(engine().isProgramChangeReceived());
    ASSERT_EQ(host.render(64), Status::NoError);
    EXPECT_EQ(Rig::pumpMainQueue(), 1u);
    EXPECT_FALSE(engine().isProgramChangeReceived());
    EXPECT_EQ(Rig::pumpMainQueue(), 0u);
}

// ---- restores while rendering

TEST(PluginRenderBlock, RestoresNeverRunUnderARenderCall) {
    Rig rig;
    TestHost host(rig.unit);
    ASSERT_TRUE(host.allocate());
    rig.engine->cutoff.setNormalizedValue(0.25f, Lumora::ParameterObserver::Token::ViewController, {});
    Platform::Dictionary low = rig.unit->fullState();
    rig.engine->cutoff.setNormalizedValue(0.75f, Lumora::ParameterObserver::Token::ViewController, {});
    Platform::Dictionary high = rig.unit->fullState();

    std::atomic<bool> done{false};
    std::thread restorer([&] {
        for (int i = 0; i < 50; ++i)
            rig.unit->setFullState(i % 2 ? &high : &low);
        done = true;
    });
    int calls = 0;
    while (!done || calls < 10) {
        ASSERT_EQ(host.render(64), Platform::AudioUnitStatus::NoError);
        for (float s : host.output(0))
            ASSERT_TRUE(s == 0.0f || s >= 1.0f);
        ++calls;
    }
    restorer.join();
    EXPECT_FLOAT_EQ(rig.engine->cutoff.normalizedValue(), 0.75f);
}
