#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/audio/EngineTestSupport.h"
#include "engine/audio/MasterParameters.h"

using namespace Lumora;
using namespace EngineTest;
using Deque = std::deque<MidiMessage>;

namespace {

constexpr unsigned kFrames = 64;
constexpr float kRate = 48000.0f;

// An engine with an attached audio I/O, two output buffers and recording observers.
struct RenderCycleRig : ::testing::Test {
    RenderCycleRig() {
        engine.addMidiNoteObserver(&midiObserver);
        engine.addNotificationObserver(&notes);
        outputs = {left.data(), right.data()};
    }

    const Deque& render(const Deque& midi, SyncInformation sync = {}) {
        return io.renderBlock({}, outputs, kFrames, kRate, midi, sync);
    }

    std::vector<MidiMessage> processed(const Deque& midi, SyncInformation sync = {}) {
        const Deque& out = render(midi, sync);
        return {out.begin(), out.end()};
    }

    TestEngine engine;
    TestAudioIO io{&engine};
    MidiRecorder midiObserver;
    NotificationRecorder notes;
    std::vector<float> left = std::vector<float>(kFrames, 9.0f);
    std::vector<float> right = std::vector<float>(kFrames, 9.0f);
    std::vector<float*> outputs;
};

} // namespace

TEST_F(RenderCycleRig, InputChannelFilterPassesSystemMessagesWhateverTheChannel) {
    const Deque host = {
        MidiMessage(0x92, 60, 100), MidiMessage(0x90, 61, 100), MidiMessage(0xF8, 0, 0),
        MidiMessage(0xB2, 1, 64),   MidiMessage(0xFA, 0, 0),    MidiMessage(0x8F, 60, 0),
        MidiMessage(0xFC, 0, 0),
    };
    struct Case { int channel; std::vector<int> statuses; };
    const Case cases[] = {
        {-1, {0x92, 0x90, 0xF8, 0xB2, 0xFA, 0x8F, 0xFC}},
        {2, {0x92, 0xF8, 0xB2, 0xFA, 0xFC}},
        {15, {0xF8, 0xFA, 0x8F, 0xFC}},
        {0, {0x90, 0xF8, 0xFA, 0xFC}},
    };
    for (const Case& c : cases) {
        engine.setMidiInChannel(c.channel);
        std::vector<int> got;
        for (const MidiMessage& m : processed(host)) got.push_back(m.status());
        EXPECT_EQ(got, c.statuses) << "channel " << c.channel;
    }
}

TEST_F(RenderCycleRig, ScreenQueueIsAppendedAfterHostMidiUnfilteredAndOnlyOnce) {
    engine.setMidiInChannel(2);
    EXPECT_EQ(engine.safeMidiChannel(), 2);
    engine.sendMidi(MidiMessage(0x90, 5, 64, 100));  // another channel: still passes
    engine.sendMidi(MidiMessage(0x80, 5, 64, 0));
    const std::vector<MidiMessage> out = processed({MidiMessage(0x92, 60, 90)});
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0], MidiMessage(0x92, 60, 90));
    EXPECT_EQ(out[1], MidiMessage(0x95, 64, 100));
    EXPECT_EQ(out[2], MidiMessage(0x85, 64, 0));
    EXPECT_TRUE(processed({}).empty());
}

TEST_F(RenderCycleRig, ProgramChangeAndAllNotesOffDetection) {
    const Deque midi = {
        MidiMessage(0xC0, 5, 0), MidiMessage(0xB0, 120, 0), MidiMessage(0x90, 60, 100),
        MidiMessage(0xB3, 123, 0), MidiMessage(0xC1, 77, 0),
    };
    EXPECT_FALSE(engine.isProgramChangeReceived());
    render(midi);
    EXPECT_EQ(engine.allNoteOffCalls, 1);
    EXPECT_TRUE(engine.isProgramChangeReceived());
    EXPECT_EQ(engine.receivedProgram(), 77);  // the later one wins
    EXPECT_EQ(engine.lastAudioMidi, midi);    // every message still reaches the instrument
    EXPECT_EQ(engine.takeReceivedProgram(), 77);
    EXPECT_EQ(engine.takeReceivedProgram(), -1);

    // Other controllers are not all-notes-off.
    render({MidiMessage(0xB0, 121, 0), MidiMessage(0xB0, 7, 100), MidiMessage(0xC0, 200, 0)});
    EXPECT_EQ(engine.allNoteOffCalls, 1);
    EXPECT_EQ(engine.takeReceivedProgram(), 200 & 0x7F);
}

TEST_F(RenderCycleRig, ProcessedMidiAndNotificationsAreQueuedForTheObservers) {
    const Deque midi = {MidiMessage(0x90, 60, 100), MidiMessage(0x80, 60, 0)};
    render(midi, SyncInformation{0, {4, 4}, 120.0, 0, 0});
    EXPECT_EQ(midiObserver.queued(), 2u);
    EXPECT_TRUE(midiObserver.received.empty());  // nothing is handed out before dispatch
    midiObserver.dispatch();
    EXPECT_EQ(midiObserver.received, std::vector<MidiMessage>(midi.begin(), midi.end()));
    EXPECT_EQ(midiObserver.queued(), 0u);

    notes.dispatch();
    // The first cycle starts at position 0, where every grid counter triggers; 120 is the
    // clock's initial tempo, so no tempo change.
    EXPECT_EQ(notes.paramsOf(iAudioEngine::SixteenthTick), std::vector<int>{0});
    EXPECT_TRUE(notes.paramsOf(iAudioEngine::TempoChanged).empty());

    // Tempo clamped to 999; the change is reported as tempo x 100, after the sixteenth.
    notes.received.clear();
    for (int i = 0; i < 40; ++i) render({}, SyncInformation{0, {4, 4}, 2000.0, 0, 0});
    notes.dispatch();
    ASSERT_FALSE(notes.received.empty());
    EXPECT_EQ(notes.paramsOf(iAudioEngine::TempoChanged), std::vector<int>{99900});
    EXPECT_EQ(engine.clock().bpm(), 999.0);
    const std::vector<int> ticks = notes.paramsOf(iAudioEngine::SixteenthTick);
    ASSERT_GE(ticks.size(), 2u);
    EXPECT_TRUE(std::is_sorted(ticks.begin(), ticks.end()));

    render({}, SyncInformation{0, {4, 4}, 5.0, 0, 0});
    EXPECT_EQ(engine.clock().bpm(), 20.0);
}

TEST_F(RenderCycleRig, MutedEngineWritesSilenceButStillRunsAndReports) {
    render({});
    EXPECT_EQ(left[0], 0.5f);
    engine.setMute(true);
    EXPECT_TRUE(engine.isMuted());
    render({MidiMessage(0x90, 60, 100)});
    EXPECT_TRUE(std::all_of(left.begin(), left.end(), [](float s) { return s == 0.0f; }));
    EXPECT_TRUE(std::all_of(right.begin(), right.end(), [](float s) { return s == 0.0f; }));
    EXPECT_EQ(engine.midiProcessCalls, 2);
    EXPECT_EQ(engine.audioProcessCalls, 2);
    EXPECT_EQ(midiObserver.queued(), 1u);
    engine.setMute(false);
    render({});
    EXPECT_EQ(right[kFrames - 1], 0.5f);
}

TEST_F(RenderCycleRig, ClockFollowsTheSyncStateAndRestarts) {
    // Host (and Link, the same) positions are taken as given.
    for (int state : {2, 3}) {
        render({}, SyncInformation{state, {3, 4}, 90.0, 10.5, 9.0});
        EXPECT_EQ(engine.clock().syncMode(), 2u) << state;
        EXPECT_DOUBLE_EQ(engine.clock().beatPosition(), 10.5);
        EXPECT_EQ(engine.clock().timeSignature().numerator, 3u);
    }
    // Leaving host time restarts the free-running clock at 0 in 4/4.
    render({}, SyncInformation{0, {3, 4}, 120.0, 50.0, 0});
    EXPECT_EQ(engine.clock().syncMode(), 0u);
    EXPECT_DOUBLE_EQ(engine.clock().beatPosition(), 0.0);
    EXPECT_EQ(engine.clock().timeSignature().numerator, 4u);
    render({});
    EXPECT_GT(engine.clock().beatPosition(), 0.0);
    EXPECT_FALSE(engine.clock().isRewinded());
    // A start message restarts it too.
    render({MidiMessage(0xFA, 0, 0)});
    EXPECT_DOUBLE_EQ(engine.clock().beatPosition(), 0.0);
    EXPECT_TRUE(engine.clock().isRewinded());
    // MIDI clock sync.
    render({MidiMessage(0xF8, 0, 0)}, SyncInformation{1, {4, 4}, 120.0, 0, 0});
    EXPECT_EQ(engine.clock().syncMode(), 1u);
}

// A shell handing over a tempo that is not a number (a host's broken musical context) must
// not stop the clock for good: the clock keeps its tempo and counts on.
TEST_F(RenderCycleRig, TempoThatIsNotANumberKeepsTheClocksTempo) {
    render({}, SyncInformation{0, {4, 4}, 90.0, 0, 0});
    notes.dispatch();
    notes.received.clear();
    for (int state : {0, 1, 2}) {
        const double before = engine.clock().beatPosition();
        for (int i = 0; i < 3; ++i) {
            render({}, SyncInformation{state, {4, 4}, std::nan(""), before + 0.1 * i, 0});
        }
        EXPECT_EQ(engine.clock().bpm(), 90.0) << state;
        EXPECT_TRUE(std::isfinite(engine.clock().beatPosition())) << state;
        EXPECT_GT(engine.clock().beatPosition(), before) << state;
    }
    render({}, SyncInformation{0, {4, 4}, 100.0, 0, 0});
    EXPECT_EQ(engine.clock().bpm(), 100.0);
    notes.dispatch();
    EXPECT_EQ(notes.paramsOf(iAudioEngine::TempoChanged), std::vector<int>{10000});
}

TEST_F(RenderCycleRig, ScreenMidiSentDuringRenderingIsNeitherLostNorDoubled) {
    constexpr int kCount = 2000;
    std::atomic<bool> done{false};
    std::thread sender([&] {
        for (int i = 0; i < kCount; ++i) engine.sendMidi(MidiMessage(0xB0, i % 100, i / 100));
        done = true;
    });
    std::vector<MidiMessage> got;
    while (!done || got.size() < static_cast<size_t>(kCount)) {
        const Deque& out = render({});
        got.insert(got.end(), out.begin(), out.end());
        if (done && got.size() >= static_cast<size_t>(kCount)) break;
    }
    sender.join();
    for (int i = 0; i < 4; ++i) {
        const Deque& out = render({});
        got.insert(got.end(), out.begin(), out.end());
    }
    ASSERT_EQ(got.size(), static_cast<size_t>(kCount));
    for (int i = 0; i < kCount; ++i) {
        ASSERT_EQ(got[i], MidiMessage(0xB0, i % 100, i / 100)) << i;
    }
}

TEST(EngineSettings, ChannelsAndTimingShiftAreClamped) {
    TestEngine engine;
    EXPECT_EQ(engine.midiInChannel(), -1);
    EXPECT_EQ(engine.safeMidiChannel(), 0);
    struct Case { int in; int wantIn; int wantOut; };
    for (const Case& c : {Case{-5, -1, 0}, Case{20, 15, 15}, Case{7, 7, 7}}) {
        engine.setMidiInChannel(c.in);
        engine.setMidiOutChannel(c.in);
        EXPECT_EQ(engine.midiInChannel(), c.wantIn);
        EXPECT_EQ(engine.midiOutChannel(), c.wantOut);
    }
    engine.setTimingShift(3.0f);
    EXPECT_EQ(engine.timingShift(), 1.0f);
    engine.setTimingShift(-0.25f);
    EXPECT_EQ(engine.timingShift(), -0.25f);
    engine.setTimingShift(std::nanf(""));
    EXPECT_EQ(engine.timingShift(), -0.25f);
    EXPECT_EQ(engine.numOfInputChannels(), 0u);
    EXPECT_EQ(engine.numOfOutputChannels(), 2u);
}

TEST(EngineObservers, DispatchOrderAndThrowingHandlerKeepsTheQueue) {
    struct Thrower : iAudioEngine::NotificationObserver {
        void handleNotification(int, int) override { throw std::runtime_error("screen failed"); }
    };
    TestEngine engine;
    Thrower thrower;
    NotificationRecorder recorder;
    engine.addNotificationObserver(&thrower);
    engine.addNotificationObserver(&recorder);
    engine.provideNotification(iAudioEngine::NoteHeld, 60);
    engine.didChangeMidiParamMapperStatus(iAudioEngine::MidiLearnAssigned, 1100);
    recorder.dispatch();
    EXPECT_EQ(recorder.received, (std::vector<std::pair<int, int>>{{1011, 60}, {1003, 1100}}));
    EXPECT_THROW(thrower.dispatch(), std::runtime_error);
    // The lock was released and the queue kept: a retry meets the same two entries.
    std::thread([&] { EXPECT_THROW(thrower.dispatch(), std::runtime_error); }).join();
}
