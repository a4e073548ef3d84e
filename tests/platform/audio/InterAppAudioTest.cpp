#include "platform/audio/InterAppAudio.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/audio/AudioUnitServices.h"

using namespace Platform;
namespace IAA = Platform::InterAppAudio;

namespace {

const AudioComponentDescription kNode{fourCharCode("auri"), fourCharCode("node"), fourCharCode("Test"), 0, 0};

struct Received {
    std::vector<std::array<uint32_t, 4>> messages;
    static void record(void* self, uint32_t s, uint32_t d1, uint32_t d2, uint32_t offset) {
        static_cast<Received*>(self)->messages.push_back({s, d1, d2, offset});
    }
};

class InterAppAudioTest : public ::testing::Test {
protected:
    void TearDown() override { AudioUnitServices::dispose(unit); }
    OutputUnit* makeUnit() {
        const AudioComponentDescription* component = AudioUnitServices::findNext(AudioComponents::kDeviceOutput);
        EXPECT_NE(component, nullptr);
        OutputUnit* made = nullptr;
        EXPECT_EQ(AudioUnitServices::instanceNew(component, &made), AudioErr::None);
        return made;
    }
    OutputUnit* unit = makeUnit();
};

} // namespace

TEST_F(InterAppAudioTest, PublishingNeedsAFullDescriptionThatNoOtherUnitUses) {
    EXPECT_NE(IAA::publish(unit, {0, fourCharCode("node"), fourCharCode("Test"), 0, 0}, "x", 1), AudioErr::None);
    EXPECT_NE(IAA::publish(nullptr, kNode, "x", 1), AudioErr::None);
    EXPECT_EQ(IAA::publish(unit, kNode, "Node", 2), AudioErr::None);

    OutputUnit* other = makeUnit();
    EXPECT_EQ(IAA::publish(other, kNode, "Other", 1), AudioErr::AlreadyPublished);
    AudioUnitServices::dispose(other);

    // A disposed unit's node is gone.
    InterAppAudioHost host;
    ASSERT_TRUE(host.connect(kNode));
    EXPECT_EQ(host.nodeName(), "Node");
    AudioUnitServices::dispose(unit);
    unit = nullptr;
    EXPECT_FALSE(host.isConnected());
    EXPECT_FALSE(host.connect(kNode));
}

TEST_F(InterAppAudioTest, TheHostProceduresAnswerForWhicheverHostIsConnected) {
    ASSERT_EQ(IAA::publish(unit, kNode, "Node", 1), AudioErr::None);
    int connectionChanges = 0;
    unit->addPropertyListener(OutputUnit::Property::IsInterAppConnected,
                              [&](OutputUnit::Property) { ++connectionChanges; });
    IAA::HostCallbackInfo info;
    ASSERT_EQ(IAA::getHostCallbacks(unit, &info), AudioErr::None);
    ASSERT_NE(info.transportStateProc, nullptr);

    bool playing = true;
    EXPECT_EQ(info.transportStateProc(info.hostUserData, &playing, nullptr, nullptr, nullptr, nullptr, nullptr),
              AudioErr::NoConnection);
    EXPECT_TRUE(playing);   // untouched without a host

    InterAppAudioHost host;
    host.setPlaying(true);
    host.setTempo(96.0);
    host.setBeat(3.25);
    ASSERT_TRUE(host.connect(kNode));
    EXPECT_EQ(connectionChanges, 1);
    uint32_t connected = 0;
    ASSERT_EQ(IAA::isInterAppConnected(unit, &connected), AudioErr::None);
    EXPECT_EQ(connected, 1u);

    double beat = 0, tempo = 0;
    EXPECT_EQ(info.beatAndTempoProc(info.hostUserData, &beat, &tempo), AudioErr::None);
    EXPECT_EQ(beat, 3.25);
    EXPECT_EQ(tempo, 96.0);
    bool changed = true;
    EXPECT_EQ(info.transportStateProc(info.hostUserData, &playing, &changed, nullptr, nullptr, nullptr, nullptr),
              AudioErr::None);
    EXPECT_TRUE(playing);
    EXPECT_FALSE(changed);
    host.setPlaying(false);
    info.transportStateProc(info.hostUserData, &playing, &changed, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(playing);
    EXPECT_TRUE(changed);

    Received received;
    EXPECT_FALSE(host.sendMidi(0x90, 60, 100));   // no MIDI procedure yet
    ASSERT_EQ(IAA::setMidiCallbacks(unit, {&received, &Received::record, nullptr}), AudioErr::None);
    EXPECT_TRUE(host.sendMidi(0x90, 60, 100, 12));
    ASSERT_EQ(received.messages.size(), 1u);
    EXPECT_EQ(received.messages[0], (std::array<uint32_t, 4>{0x90, 60, 100, 12}));

    host.disconnect();
    EXPECT_EQ(connectionChanges, 2);
    EXPECT_EQ(info.beatAndTempoProc(info.hostUserData, &beat, &tempo), AudioErr::NoConnection);
}

TEST(OutputUnitProperties, DeviceRateChangesReachTheListenersAndTheClientRateMayChangeAnyTime) {
    OutputUnit unit;
    std::vector<double> heard;
    unit.addPropertyListener(OutputUnit::Property::StreamFormat,
                             [&](OutputUnit::Property) { heard.push_back(unit.sampleRate()); });
    ASSERT_TRUE(unit.initialize());
    ASSERT_TRUE(unit.start());
    EXPECT_TRUE(unit.changeDeviceSampleRate(48000.0));
    EXPECT_FALSE(unit.changeDeviceSampleRate(0.0));
    EXPECT_EQ(heard, std::vector<double>{48000.0});
    EXPECT_TRUE(unit.setClientSampleRate(96000.0));
    EXPECT_FALSE(unit.setClientSampleRate(-1.0));
    EXPECT_EQ(unit.clientSampleRate(), 96000.0);

    std::vector<uint64_t> hostTimes;
    unit.stop();
    unit.setRenderCallback([&](const OutputUnit::RenderCall& call) {
        hostTimes.push_back(call.hostTime);
        return true;
    });
    unit.render(16);
    unit.render(16);
    ASSERT_EQ(hostTimes.size(), 2u);
    EXPECT_GT(hostTimes[0], 0u);
    EXPECT_GE(hostTimes[1], hostTimes[0]);

    unit.removePropertyListeners();
    unit.changeDeviceSampleRate(44100.0);
    EXPECT_EQ(heard.size(), 1u);
}

TEST(AudioUnitServicesTest, TheDeviceOutputIsTheOnlyComponentAndFollowsTheClientRateUntilInitialized) {
    EXPECT_EQ(AudioUnitServices::findNext({fourCharCode("aumu"), 0, 0, 0, 0}), nullptr);
    const AudioComponentDescription* component = AudioUnitServices::findNext({AudioComponents::kOutputType, 0, 0, 0, 0});
    ASSERT_NE(component, nullptr);
    OutputUnit* unit = nullptr;
    ASSERT_EQ(AudioUnitServices::instanceNew(component, &unit), AudioErr::None);
    EXPECT_EQ(AudioUnitServices::setClientSampleRate(unit, 48000.0), AudioErr::None);
    EXPECT_EQ(unit->sampleRate(), 48000.0);
    ASSERT_EQ(AudioUnitServices::initialize(unit, 2048), AudioErr::None);
    EXPECT_EQ(unit->maximumFramesPerSlice(), 2048u);
    EXPECT_EQ(AudioUnitServices::setClientSampleRate(unit, 44100.0), AudioErr::None);
    EXPECT_EQ(unit->sampleRate(), 48000.0);   // a running device keeps its rate
    EXPECT_EQ(AudioUnitServices::setClientSampleRate(unit, 0.0), AudioErr::FormatNotSupported);

    AudioUnitServices::failNextCall(AudioUnitCall::Start, -3);
    EXPECT_EQ(AudioUnitServices::start(unit), -3);
    EXPECT_EQ(AudioUnitServices::start(unit), AudioErr::None);
    EXPECT_TRUE(unit->isRunning());
    AudioUnitServices::dispose(unit);
}
