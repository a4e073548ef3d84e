#include "platform/audio/AudioSession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/foundation/NotificationCenter.h"

using Platform::AudioSession;

namespace {

class AudioSessionTest : public ::testing::Test {
protected:
    void SetUp() override { session.reset(); }
    void TearDown() override {
        for (auto token : tokens) Platform::NotificationCenter::defaultCenter().removeObserver(token);
        session.reset();
    }
    void observe(const char* name) {
        tokens.push_back(Platform::NotificationCenter::defaultCenter().addObserver(
            name, &session, [this](const Platform::Notification& n) { heard.push_back(n); }));
    }

    AudioSession& session = AudioSession::sharedInstance();
    std::vector<Platform::NotificationCenter::ObserverToken> tokens;
    std::vector<Platform::Notification> heard;
};

} // namespace

TEST_F(AudioSessionTest, KeepsWhatItIsToldAndRefusesUnusableValues) {
    EXPECT_EQ(session.category(), AudioSession::Category::SoloAmbient);
    EXPECT_TRUE(session.setCategory(AudioSession::Category::Playback, AudioSession::MixWithOthers));
    EXPECT_EQ(session.category(), AudioSession::Category::Playback);
    EXPECT_EQ(session.categoryOptions(), unsigned{AudioSession::MixWithOthers});

    EXPECT_TRUE(session.setPreferredIOBufferDuration(256.0 / 48000.0));
    EXPECT_DOUBLE_EQ(session.preferredIOBufferDuration(), 256.0 / 48000.0);
    EXPECT_TRUE(session.setPreferredSampleRate(48000.0));
    for (double bad : {0.0, -1.0, std::numeric_limits<double>::infinity(), std::nan("")}) {
        Platform::Error error;
        EXPECT_FALSE(session.setPreferredIOBufferDuration(bad, &error));
        EXPECT_TRUE(error);
        EXPECT_FALSE(session.setPreferredSampleRate(bad));
    }
    EXPECT_DOUBLE_EQ(session.preferredIOBufferDuration(), 256.0 / 48000.0);
    EXPECT_DOUBLE_EQ(session.preferredSampleRate(), 48000.0);
}

TEST_F(AudioSessionTest, AnInjectedFailureHitsOnlyTheNextCallOfItsKind) {
    session.failNextCall(AudioSession::Call::SetActive, "Another program holds the device.");
    EXPECT_TRUE(session.setCategory(AudioSession::Category::Playback, 0));
    Platform::Error error;
    EXPECT_FALSE(session.setActive(true, &error));
    EXPECT_EQ(error.localizedDescription(), "Another program holds the device.");
    EXPECT_EQ(error.domain(), AudioSession::kErrorDomain);
    EXPECT_FALSE(session.isActive());
    EXPECT_TRUE(session.setActive(true));
    EXPECT_TRUE(session.isActive());
}

TEST_F(AudioSessionTest, RouteChangesAndInterruptionsArePostedWithTheirDetails) {
    observe(AudioSession::kRouteChangeNotification);
    observe(AudioSession::kInterruptionNotification);
    const AudioSession::RouteDescription before = session.currentRoute();
    EXPECT_TRUE(before.hasOutput(AudioSession::kPortBuiltInSpeaker));

    AudioSession::RouteDescription headphones;
    headphones.outputs.push_back({AudioSession::kPortHeadphones, "Headphones"});
    session.changeRoute(headphones, AudioSession::NewDeviceAvailable);
    EXPECT_EQ(session.currentRoute(), headphones);
    ASSERT_EQ(heard.size(), 1u);
    const auto& info = heard[0].userInfo;
    EXPECT_EQ(info.at(AudioSession::kRouteChangeReasonKey).integerValue(), AudioSession::NewDeviceAvailable);
    EXPECT_EQ(AudioSession::RouteDescription::fromValue(info.at(AudioSession::kRouteChangePreviousRouteKey)), before);

    ASSERT_TRUE(session.setActive(true));
    session.postInterruption(AudioSession::InterruptionBegan);
    EXPECT_FALSE(session.isActive());
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1].userInfo.at(AudioSession::kInterruptionTypeKey).integerValue(), AudioSession::InterruptionBegan);
}
