// The ALSA sequencer's sources on any machine: the other clients' ports come from a stand-in for
// the sequencer, their comings and goings arrive as the announcements the reader hands on, and the
// ALSA driver plays into the "null" device, so a routed source that leaves shows in the blocks.
#include "platform/midi/AlsaMidiSources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include <alsa/asoundlib.h>

#include "platform/audio/AlsaDriver.h"
#include "platform/audio/OutputUnit.h"
#include "platform/foundation/RunLoop.h"
#include "platform/midi/MidiClient.h"
#include "common/WaitFor.h"

using namespace Platform;

namespace {

using TestWait::pumpUntil;
using TestWait::waitFor;

// The other clients' readable ports as the test lists them; a subscription succeeds to a listed
// port only, as the kernel's does. Everything runs on the test's (main) thread.
class StandInSequencer : public AlsaSequencer {
public:
    std::vector<SourcePort> ports;
    std::vector<Address> subscribed;

    std::vector<SourcePort> sources() const override { return ports; }
    bool connect(const Address& source) override {
        const bool listed = std::any_of(ports.begin(), ports.end(), [&](const auto& p) { return p.address == source; });
        if (listed && !isSubscribed(source)) subscribed.push_back(source);
        return listed;
    }
    void disconnect(const Address& source) override { std::erase(subscribed, source); }
    bool isSubscribed(const Address& source) const {
        return std::find(subscribed.begin(), subscribed.end(), source) != subscribed.end();
    }
    // A port leaves as the kernel tells it: gone from the list, then announced.
    void remove(const std::string& name, int announcement) {
        std::erase_if(ports, [&](const auto& p) { return p.name == name; });
        snd_seq_event_t e;
        std::memset(&e, 0, sizeof e);
        e.type = static_cast<snd_seq_event_type_t>(announcement);
        deliver(e, midiHostTimeNow());
    }
};

} // namespace

// A keyboard whose port is subscribed leaves (its program killed, its cable pulled): the driver's
// next period carries All Notes Off on every channel, once, at its first frame and through the
// sources' port. A port that was never subscribed leaves without it.
TEST(AlsaMidiSources, ARoutedSourceLeavingReleasesAllNotesOnEveryChannel) {
    std::array<std::atomic<int>, 16> releases{};
    std::atomic<int> otherEvents{0};
    std::atomic<int> misplaced{0};
    OutputUnit unit;
    ASSERT_TRUE(unit.setSampleRate(48000.0));
    ASSERT_TRUE(unit.setMaximumFramesPerSlice(64));
    ASSERT_TRUE(unit.setRenderCallback([&](const OutputUnit::RenderCall& call) {
        for (const MidiEvent& e : call.midi) {
            if ((e.status & 0xF0) != 0xB0 || e.data1 != 123 || e.data2 != 0) {
                ++otherEvents;
                continue;
            }
            if (e.port != AlsaDriver::kSourcesPort || e.sampleTime != call.sampleTime) ++misplaced;
            ++releases[e.status & 0x0F];
        }
        return true;
    }));
    ASSERT_TRUE(unit.initialize());
    ASSERT_TRUE(unit.start());

    StandInSequencer sequencer;
    sequencer.ports = {{{20, 0}, "Keyboard:out"}, {{21, 0}, "Idle:out"}};
    AlsaDriver driver(unit);
    driver.setMidiInput(&sequencer.queue());
    std::string error;
    ASSERT_TRUE(driver.open("null", &error)) << error;
    AlsaMidiSources sources(sequencer, driver);
    ASSERT_NE(sources.source("Keyboard:out"), nullptr);
    ASSERT_NE(sources.source("Idle:out"), nullptr);

    std::unique_ptr<MidiClient> client;
    ASSERT_EQ(MidiClient::create("listener", [](const MidiNotification&) {}, client), MidiErr::None);
    std::shared_ptr<MidiInputPort> input;
    ASSERT_EQ(client->createInputPort("in", [](const MidiPacketList&, void*) {}, input), MidiErr::None);
    ASSERT_EQ(input->connectSource(sources.source("Keyboard:out"), nullptr), MidiErr::None);
    EXPECT_TRUE(sequencer.isSubscribed({20, 0}));
    EXPECT_FALSE(sequencer.isSubscribed({21, 0}));

    auto total = [&] {
        int sum = 0;
        for (const auto& r : releases) sum += r.load();
        return sum;
    };
    // A few periods played, so that a release asked for would have gone out.
    auto periodsPass = [&] {
        const uint64_t written = driver.framesWritten();
        return waitFor([&] { return driver.framesWritten() > written + 3 * driver.periodFrames(); });
    };

    sequencer.remove("Idle:out", SND_SEQ_EVENT_PORT_EXIT);
    ASSERT_TRUE(pumpUntil([&] { return sources.source("Idle:out") == nullptr; }));
    ASSERT_TRUE(periodsPass());
    EXPECT_EQ(total(), 0) << "the port that was never subscribed released notes";

    sequencer.remove("Keyboard:out", SND_SEQ_EVENT_CLIENT_EXIT);
    ASSERT_TRUE(pumpUntil([&] { return sources.source("Keyboard:out") == nullptr; }));
    ASSERT_TRUE(waitFor([&] { return total() >= 16; }));
    ASSERT_TRUE(periodsPass());
    driver.close();
    for (unsigned channel = 0; channel < 16; ++channel) EXPECT_EQ(releases[channel].load(), 1) << "channel " << channel;
    EXPECT_EQ(misplaced.load(), 0);
    EXPECT_EQ(otherEvents.load(), 0);   // the announcements queued nothing
    client->dispose();
}

// A release asked for while the unit does not run waits for it rather than being lost with the
// period's MIDI.
TEST(AlsaMidiSources, TheDriverKeepsARequestedReleaseUntilTheUnitRuns) {
    std::atomic<int> releases{0};
    OutputUnit unit;
    ASSERT_TRUE(unit.setSampleRate(48000.0));
    ASSERT_TRUE(unit.setRenderCallback([&](const OutputUnit::RenderCall& call) {
        for (const MidiEvent& e : call.midi)
            if ((e.status & 0xF0) == 0xB0 && e.data1 == 123) ++releases;
        return true;
    }));
    ASSERT_TRUE(unit.initialize());
    AlsaDriver driver(unit);
    std::string error;
    ASSERT_TRUE(driver.open("null", &error)) << error;
    driver.releaseAllNotes();
    driver.releaseAllNotes();   // two requests before a period takes them: one release
    const uint64_t written = driver.framesWritten();
    ASSERT_TRUE(waitFor([&] { return driver.framesWritten() > written + 3 * driver.periodFrames(); }));
    EXPECT_EQ(releases.load(), 0);
    ASSERT_TRUE(unit.start());
    ASSERT_TRUE(waitFor([&] { return releases.load() >= 16; }));
    const uint64_t later = driver.framesWritten();
    ASSERT_TRUE(waitFor([&] { return driver.framesWritten() > later + 3 * driver.periodFrames(); }));
    driver.close();
    EXPECT_EQ(releases.load(), 16);
}
