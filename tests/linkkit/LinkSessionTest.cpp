#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <vector>

#include "linkkit/ABLLink.h"
#include "linkkit/ABLLinkKeys.h"
#include "linkkit/ABLLinkObject.h"
#include "linkkit/ABLLinkSession.h"
#include "linkkit/ABLLinkViews.h"
#include "common/TestIsolation.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"

namespace {

using namespace std::chrono_literals;

// Every session of these tests lives in a network namespace of its own (loopback only).
class LinkSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestIsolation::useTestDataHome();
        if (!TestIsolation::enterPrivateLoopbackNetwork())
            GTEST_SKIP() << "no private network namespace here; Link sessions are only run inside one";
        defaults_ = Platform::UserDefaults::standard();
        for (auto key : { kABLLinkEnabledKey, kABLStartStopSyncEnabledKey, kABLNotificationEnabledKey })
            defaults_->removeObjectForKey(key);
    }

    void TearDown() override
    {
        for (auto* link : links_)
            ABLLinkDelete(link);
        Platform::RunLoop::main().runOnce();
    }

    ABLLink* makeLink(double bpm = 120.0)
    {
        links_.push_back(ABLLinkNew(bpm));
        return links_.back();
    }

    void deleteLink(ABLLink* link)
    {
        std::erase(links_, link);
        ABLLinkDelete(link);
    }

    // Pumps the main queue until the condition holds or the time is up.
    static bool pumpUntil(std::function<bool()> const& condition, std::chrono::milliseconds limit = 2s)
    {
        auto const end = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            Platform::RunLoop::main().runFor(10ms);
        }
        return true;
    }

    std::shared_ptr<Platform::UserDefaults> defaults_;
    std::vector<ABLLink*> links_;
};

struct EnabledCalls {
    std::vector<bool> values;
    static void record(bool isEnabled, void* context) { static_cast<EnabledCalls*>(context)->values.push_back(isEnabled); }
};

} // namespace

TEST_F(LinkSession, ANewObjectIsActiveAtItsTempoAndStaysOffWhileTheSwitchIsOff)
{
    auto* link = makeLink(120.0);
    EXPECT_TRUE(link->isActive());
    EXPECT_FALSE(ABLLinkUserEnabled(link));
    EXPECT_FALSE(link->isAppliedEnabled());
    EXPECT_FALSE(link->session().isEnabled());
    EXPECT_FALSE(link->isStartStopSyncEnabled());

    auto* state = ABLLinkCaptureRenderState(link);
    EXPECT_EQ(state, &link->renderState());
    EXPECT_EQ(ABLLinkRenderStateTempo(state), 120.0);

    ABLLinkActivate(link, true);
    EXPECT_FALSE(link->session().isEnabled());
}

TEST_F(LinkSession, TheStoredSwitchEnablesAtOnceAndActivationFollows)
{
    // Written by a store of its own, as the settings view of another run would have left it.
    Platform::UserDefaults(defaults_->filePath()).setBool(kABLLinkEnabledKey, true);

    auto* link = makeLink();
    EXPECT_TRUE(ABLLinkUserEnabled(link));
    EXPECT_TRUE(link->isAppliedEnabled());
    EXPECT_TRUE(link->session().isEnabled());

    ABLLinkActivate(link, false);
    EXPECT_FALSE(link->isAppliedEnabled());
    EXPECT_FALSE(link->session().isEnabled());
    ABLLinkActivate(link, false);
    EXPECT_FALSE(link->session().isEnabled());
    EXPECT_TRUE(ABLLinkUserEnabled(link));

    ABLLinkActivate(link, true);
    EXPECT_TRUE(link->session().isEnabled());
}

TEST_F(LinkSession, TheSettingsSwitchEnablesOnlyAnActiveObject)
{
    auto* link = makeLink();
    EnabledCalls calls;
    ABLLinkSetIsEnabledCallback(link, &EnabledCalls::record, &calls);

    // What the settings view does when the user switches Link on.
    link->setUserEnabled(true);
    link->callbacks().isEnabled(true);
    link->applyEnableState();
    EXPECT_TRUE(link->session().isEnabled());
    EXPECT_EQ(calls.values, std::vector<bool> { true });

    ABLLinkActivate(link, false);
    link->setUserEnabled(false);
    link->applyEnableState();
    link->setUserEnabled(true);
    link->applyEnableState();
    EXPECT_FALSE(link->session().isEnabled());

    ABLLinkSetIsEnabledCallback(link, nullptr, nullptr);
    link->callbacks().isEnabled(false);
    EXPECT_EQ(calls.values.size(), 1u);
}

TEST_F(LinkSession, StartStopSyncIsReadFromTheDefaultsAndGivenToTheSession)
{
    auto* off = makeLink();
    EXPECT_FALSE(off->isStartStopSyncEnabled());
    EXPECT_FALSE(off->session().isStartStopSyncEnabled());

    defaults_->setBool(kABLStartStopSyncEnabledKey, true);
    auto* on = makeLink();
    EXPECT_TRUE(on->isStartStopSyncEnabled());
    EXPECT_TRUE(on->session().isStartStopSyncEnabled());

    on->setStartStopSyncEnabled(false);
    EXPECT_FALSE(on->session().isStartStopSyncEnabled());
}

TEST_F(LinkSession, ATempoProposedOnTheRenderThreadReachesTheSession)
{
    auto* link = makeLink(120.0);
    auto* state = ABLLinkCaptureRenderState(link);
    auto const captured = state->timeline;

    // Nothing changed: the next capture reads the same timeline.
    ABLLinkCommitRenderState(link, state);
    state = ABLLinkCaptureRenderState(link);
    EXPECT_EQ(state->timeline, captured);

    auto const now = ABLHostClock::ticks();
    double const beat = ABLLinkRenderStateBeatAt(state, now, 4.0);
    ABLLinkRenderStateChangeTempo(state, now, 1000.0);
    ABLLinkCommitRenderState(link, state);

    state = ABLLinkCaptureRenderState(link);
    EXPECT_EQ(ABLLinkRenderStateTempo(state), 999.0);
    EXPECT_NEAR(ABLLinkRenderStateBeatAt(state, now, 4.0), beat, 1e-5);
    EXPECT_FALSE(state->timelineChanged());

    EXPECT_TRUE(pumpUntil([&] { return link->session().clientState().timeline.tempo.bpm() == 999.0; }));
}

TEST_F(LinkSession, PeerCountsReportConnectionsOnlyWhileEnabled)
{
    defaults_->setBool(kABLLinkEnabledKey, true);
    auto* link = makeLink();
    std::vector<bool> connected;
    link->callbacks().connected = [&](bool value) { connected.push_back(value); };
    std::vector<std::int64_t> posted;
    auto const observer = Platform::NotificationCenter::defaultCenter().addObserver(
        kABLLinkNumberOfPeersChangedNotification, nullptr, [&](Platform::Notification const& note) {
            auto const count = note.userInfo.find(kABLLinkNumberOfPeersKey);
            posted.push_back(count == note.userInfo.end() ? -1 : count->second.integerValue());
        });

    for (unsigned long peers : { 2ul, 3ul, 0ul })
        link->callbacks().peerCount(peers);
    EXPECT_EQ(connected, (std::vector<bool> { true, false }));
    EXPECT_EQ(posted, (std::vector<std::int64_t> { 2, 3, 0 }));

    ABLLinkActivate(link, false);
    link->callbacks().peerCount(2);
    EXPECT_EQ(connected.size(), 2u);
    EXPECT_EQ(posted.size(), 3u);
    EXPECT_EQ(link->settingsViewController()->numberOfPeers(), 0u);

    Platform::NotificationCenter::defaultCenter().removeObserver(observer);
}

TEST_F(LinkSession, EventsQueuedBeforeDeletionRunAgainstNoOps)
{
    defaults_->setBool(kABLLinkEnabledKey, true);
    auto* link = makeLink();
    int reached = 0;
    link->callbacks().connected = [&](bool) { ++reached; };
    link->callbacks().tempo = [&](double) { ++reached; };
    auto const callbacks = link->sharedCallbacks();
    Platform::RunLoop::main().post([callbacks] { callbacks->peerCount(4); });
    Platform::RunLoop::main().post([callbacks] { callbacks->tempo(99.0); });

    deleteLink(link);
    Platform::RunLoop::main().runOnce();
    EXPECT_EQ(reached, 0);
}

TEST_F(LinkSession, TwoSessionsOnLoopbackFindEachOtherAndShareTheTempo)
{
    defaults_->setBool(kABLLinkEnabledKey, true);
    auto* first = makeLink(120.0);
    auto* second = makeLink(100.0);
    std::vector<bool> firstConnected, secondConnected;
    first->callbacks().connected = [&](bool value) { firstConnected.push_back(value); };
    second->callbacks().connected = [&](bool value) { secondConnected.push_back(value); };
    double secondTempo = 0.0;
    second->callbacks().tempo = [&](double bpm) { secondTempo = bpm; };

    ASSERT_TRUE(pumpUntil([&] { return !firstConnected.empty() && !secondConnected.empty(); }, 3s));
    EXPECT_EQ(firstConnected, std::vector<bool> { true });
    EXPECT_EQ(secondConnected, std::vector<bool> { true });
    EXPECT_EQ(first->settingsViewController()->numberOfPeers(), 1u);

    auto* state = ABLLinkCaptureRenderState(first);
    ABLLinkRenderStateChangeTempo(state, ABLHostClock::ticks(), 133.0);
    ABLLinkCommitRenderState(first, state);
    // Peers exchange the tempo as whole microseconds per beat.
    EXPECT_TRUE(pumpUntil([&] { return std::abs(secondTempo - 133.0) < 1e-3; }, 3s)) << secondTempo;

    // The second leaves: the first hears its peer count drop to zero.
    ABLLinkActivate(second, false);
    EXPECT_TRUE(pumpUntil([&] { return firstConnected.size() == 2; }, 3s));
    EXPECT_EQ(firstConnected.back(), false);
}
