#include "app/support/AudioIOAppTestSupport.h"

#include <chrono>
#include <thread>

#include "linkkit/ABLHostClock.h"
#include "linkkit/ABLLink.h"
#include "linkkit/ABLLinkObject.h"
#include "linkkit/ABLLinkSession.h"
#include "platform/audio/InterAppAudio.h"

using namespace AppAudioTest;
using Lumora::SyncInformation;
using Lumora::SyncMethod;

namespace {

class AppAudioSync : public Fixture {
protected:
    void SetUp() override {
        Fixture::SetUp();
        io = std::make_unique<Lumora::AudioIO_for_iOS_App>(&engine, testConfig());
        ASSERT_TRUE(io->open(256, 48000.0f));
        ASSERT_TRUE(io->start());
    }
    void TearDown() override {
        if (io->link() != nullptr) {
            EXPECT_FALSE(io->link()->isAppliedEnabled()) << "Link must stay off the network";
        }
        io.reset();
        Fixture::TearDown();
    }
    SyncInformation sync(uint64_t hostTime = ABLHostClock::ticks()) { return io->impl().makeSyncInformation(hostTime); }
    // The user's Link switch, set without applying it, so the session never goes on the network.
    void setLinkSwitch(bool on) { io->link()->setUserEnabled(on); }
    double sessionTempo() { return io->link()->session().clientState().timeline.tempo.bpm(); }
    // The session takes a committed state on its own thread.
    bool sessionReaches(double bpm) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (sessionTempo() != bpm) {
            if (std::chrono::steady_clock::now() >= end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    static void expectFallback(const SyncInformation& s, double tempo) {
        EXPECT_EQ(s.state, 0);
        EXPECT_EQ(s.timeSignature.numerator, 4u);
        EXPECT_EQ(s.timeSignature.denominator, 4u);
        EXPECT_EQ(s.tempo, tempo);
        EXPECT_EQ(s.beatPosition, 0.0);
        EXPECT_EQ(s.barStartPosition, 0.0);
    }

    RecordingEngine engine;
    std::unique_ptr<Lumora::AudioIO_for_iOS_App> io;
};

} // namespace

TEST_F(AppAudioSync, InternalAndUnknownMethodsRunAtTheProposedTempo) {
    io->proposeBpm(133.0);
    EXPECT_EQ(io->syncMethod(), SyncMethod::Internal);
    expectFallback(sync(), 133.0);
    io->setSyncMethod(static_cast<SyncMethod>(7));
    expectFallback(sync(), 133.0);
    EXPECT_TRUE(io->canProposeBpm());
    EXPECT_FALSE(io->isPlugin());

    ASSERT_EQ(io->audioUnit()->render(256), Platform::OutputUnit::Status::Ok);
    EXPECT_DOUBLE_EQ(engine.calls.back().bpm, 133.0);
}

TEST_F(AppAudioSync, MidiClockIsMarkedAndTheClockLocksOnlyToArrivingTicks) {
    io->setSyncMethod(SyncMethod::Midi);
    io->proposeBpm(90.0);
    const SyncInformation s = sync();
    EXPECT_EQ(s.state, 1);
    EXPECT_EQ(s.tempo, 90.0);
    EXPECT_EQ(s.beatPosition, 0.0);
    EXPECT_EQ(s.timeSignature.numerator, 4u);

    auto* unit = io->audioUnit();
    // 480 frames at 48 kHz are 10 ms: no ticks, the clock runs free at the proposed tempo.
    for (int i = 0; i < 4; ++i) ASSERT_EQ(unit->render(480), Platform::OutputUnit::Status::Ok);
    EXPECT_DOUBLE_EQ(engine.calls.back().bpm, 90.0);
    // One tick every other block (20 ms) is 60 / (24 x 0.02) = 125 beats per minute.
    for (int i = 0; i < 120; ++i) {
        if (i % 2 == 0) io->impl().didReceiveMidi(0xF8, 0, 0, Lumora::MidiPortSetting::ExternalSource);
        ASSERT_EQ(unit->render(480), Platform::OutputUnit::Status::Ok);
    }
    EXPECT_NEAR(engine.calls.back().bpm, 125.0, 3.0);
}

TEST_F(AppAudioSync, APlayingInterAppHostGivesItsTimeline) {
    io->setSyncMethod(SyncMethod::Host);
    io->proposeBpm(111.0);
    // Published, but no host connected yet: the host procedures have nobody to ask.
    expectFallback(sync(), 111.0);
    EXPECT_TRUE(io->canProposeBpm());

    Platform::InterAppAudioHost host;
    ASSERT_TRUE(host.connect(testDescription()));
    host.setTempo(100.0);
    host.setBeat(7.5);
    host.setTimeSignature(3.9f, 8);
    host.setMeasureDownbeat(6.0);
    expectFallback(sync(), 111.0);   // connected but stopped
    EXPECT_TRUE(io->canProposeBpm());

    host.setPlaying(true);
    SyncInformation s = sync();
    EXPECT_EQ(s.state, 2);
    EXPECT_EQ(s.timeSignature.numerator, 3u);   // truncated toward zero
    EXPECT_EQ(s.timeSignature.denominator, 8u);
    EXPECT_EQ(s.tempo, 100.0);
    EXPECT_EQ(s.beatPosition, 7.5);
    EXPECT_EQ(s.barStartPosition, 6.0);
    EXPECT_FALSE(io->canProposeBpm());
    io->setSyncMethod(SyncMethod::Internal);
    EXPECT_TRUE(io->canProposeBpm());
    io->setSyncMethod(SyncMethod::Host);

    // A host without a musical-time location: 4/4 with its beat and tempo.
    host.setAnswersMusicalTimeLocation(false);
    s = sync();
    EXPECT_EQ(s.state, 2);
    EXPECT_EQ(s.timeSignature.numerator, 4u);
    EXPECT_EQ(s.timeSignature.denominator, 4u);
    EXPECT_EQ(s.beatPosition, 7.5);
    EXPECT_EQ(s.barStartPosition, 0.0);

    // A host reporting no usable time signature plays in 4/4, so the clock never divides by zero.
    host.setAnswersMusicalTimeLocation(true);
    for (auto [numerator, denominator] : {std::pair{0.5f, 4u}, std::pair{3.0f, 0u}, std::pair{-2.0f, 4u}}) {
        host.setTimeSignature(numerator, denominator);
        s = sync();
        EXPECT_EQ(s.timeSignature.numerator, 4u);
        EXPECT_EQ(s.timeSignature.denominator, 4u);
    }

    // The engine follows the host's position.
    host.setTimeSignature(4.0f, 4);
    host.setBeat(16.0);
    ASSERT_EQ(io->audioUnit()->render(256), Platform::OutputUnit::Status::Ok);
    EXPECT_DOUBLE_EQ(engine.calls.back().beatPosition, 16.0);
    EXPECT_DOUBLE_EQ(engine.calls.back().bpm, 100.0);

    host.disconnect();
    expectFallback(sync(), 111.0);
}

TEST_F(AppAudioSync, LinkGivesTheSessionTempoAndBeatOnlyWhileTheUserSwitchIsOn) {
    ABLLink* link = io->link();
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isActive());   // a new Link object is active
    io->setSyncMethod(SyncMethod::Link);
    io->proposeBpm(100.0);
    EXPECT_FALSE(io->isLinkActive());
    expectFallback(sync(), 100.0);   // the user's switch is off

    setLinkSwitch(true);
    EXPECT_TRUE(io->isLinkActive());
    const uint64_t now = ABLHostClock::ticks();
    const SyncInformation s = sync(now);
    EXPECT_EQ(s.state, 3);
    EXPECT_EQ(s.timeSignature.numerator, 4u);
    EXPECT_EQ(s.timeSignature.denominator, 4u);
    EXPECT_DOUBLE_EQ(s.tempo, 120.0);
    EXPECT_EQ(s.barStartPosition, 0.0);
    EXPECT_DOUBLE_EQ(s.beatPosition, ABLLinkRenderStateBeatAt(ABLLinkCaptureRenderState(link), now, 4.0));
    EXPECT_DOUBLE_EQ(sessionTempo(), 120.0);   // nothing proposed: nothing committed
}

TEST_F(AppAudioSync, ATempoProposedForLinkReachesTheSessionAtTheNextRenderCall) {
    io->setSyncMethod(SyncMethod::Link);
    setLinkSwitch(true);

    io->proposeBpm(999.0);
    EXPECT_DOUBLE_EQ(sync().tempo, 999.0);
    EXPECT_TRUE(sessionReaches(999.0));
    EXPECT_DOUBLE_EQ(sync().tempo, 999.0);   // handed over once

    for (double dropped : {1000.0, 19.5}) {
        io->proposeBpm(dropped);
        EXPECT_DOUBLE_EQ(sync().tempo, 999.0);
    }

    // Proposed while the switch is off: not kept for the session.
    setLinkSwitch(false);
    io->proposeBpm(150.0);
    expectFallback(sync(), 150.0);
    setLinkSwitch(true);
    EXPECT_DOUBLE_EQ(sync().tempo, 999.0);

    // Through a render call, at the call's host time.
    io->proposeBpm(90.0);
    ASSERT_EQ(io->audioUnit()->render(256), Platform::OutputUnit::Status::Ok);
    EXPECT_TRUE(sessionReaches(90.0));
    EXPECT_DOUBLE_EQ(engine.calls.back().bpm, 90.0);

    // Reopening makes a new session at 120 beats per minute.
    ASSERT_TRUE(io->open(256, 48000.0f));
    EXPECT_DOUBLE_EQ(sessionTempo(), 120.0);
}

TEST_F(AppAudioSync, TheLinkKitIsActivatedOnlyWhileLinkIsTheSyncMethod) {
    ABLLink* link = io->link();
    io->setSyncMethod(SyncMethod::Internal);
    EXPECT_TRUE(link->isActive());   // start saw no Link method and asked nothing of the kit
    io->setSyncMethod(SyncMethod::Link);
    EXPECT_TRUE(link->isActive());
    io->setSyncMethod(SyncMethod::Midi);
    EXPECT_FALSE(link->isActive());
    io->setSyncMethod(SyncMethod::Link);
    EXPECT_TRUE(link->isActive());
    setLinkSwitch(true);
    EXPECT_TRUE(io->isLinkActive());

    ASSERT_TRUE(io->stop());
    EXPECT_FALSE(link->isActive());
    EXPECT_FALSE(io->isLinkActive());
    // Activating the kit with the switch on would put the session on the network: switch it
    // off around the start, on again afterwards.
    setLinkSwitch(false);
    ASSERT_TRUE(io->start());
    EXPECT_TRUE(link->isActive());
    setLinkSwitch(true);
    EXPECT_TRUE(io->isLinkActive());
    EXPECT_FALSE(link->isAppliedEnabled());

    io->close();
    EXPECT_EQ(io->link(), nullptr);
    EXPECT_FALSE(io->isLinkActive());
    io->setSyncMethod(SyncMethod::Link);   // without a Link object nothing is activated
    EXPECT_FALSE(io->isLinkActive());
    EXPECT_EQ(io->syncMethod(), SyncMethod::Link);
}
