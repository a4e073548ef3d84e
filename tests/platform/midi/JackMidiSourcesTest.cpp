#include "platform/midi/JackMidiSources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include <unistd.h>

#include "common/JackTestClient.h"
#include "common/WaitFor.h"
#include "platform/audio/JackDriver.h"
#include "platform/foundation/RunLoop.h"
#include "platform/midi/MidiClient.h"
#include "platform/midi/MidiSystem.h"

using namespace Platform;

namespace {

std::string unique(const char* what) { return std::string(what) + "-" + std::to_string(getpid()); }

bool connected(const JackTest::Sender& sender, const std::string& input) {
    return jack_port_connected_to(jack_port_by_name(sender.client(), sender.portName().c_str()), input.c_str()) != 0;
}

// The driver's notifications arrive from JACK's thread through the main loop.
using TestWait::pumpUntil;

} // namespace

// A MIDI port of another program appears: it becomes a source with an id kept from its name, the
// MIDI client hears it added, and connecting an input port to it routes the JACK port into the
// driver's sources input; disabling it (an unused port) takes that route away again, and the
// port leaving removes the source with a notification.
TEST(JackMidiSources, FollowTheServersMidiPortsAndRouteConnectedOnes) {
    const std::string server = JackTest::defaultServer();
    if (!JackTest::serverAnswers(server)) {
        if (JackTest::servicesRequired()) FAIL() << "no JACK server answers, and the services are required";
        GTEST_SKIP() << "no JACK server is running";
    }
    OutputUnit unit;
    JackDriver driver(unit);
    std::string error;
    ASSERT_TRUE(driver.open({unique("corvane-sources-driver"), server, false}, &error)) << error;
    JackMidiSources sources(driver);

    std::vector<std::pair<MidiNotificationId, std::optional<std::string>>> heard;
    std::unique_ptr<MidiClient> client;
    ASSERT_EQ(MidiClient::create("listener", [&](const MidiNotification& n) {
        if (n.id != MidiNotificationId::SetupChanged) heard.emplace_back(n.id, n.child->displayName());
    }, client), MidiErr::None);
    std::shared_ptr<MidiInputPort> input;
    ASSERT_EQ(client->createInputPort("in", [](const MidiPacketList&, void*) {}, input), MidiErr::None);

    auto keyboard = std::make_unique<JackTest::Sender>();
    ASSERT_TRUE(keyboard->open(unique("corvane-keyboard"), server));
    const std::string portName = keyboard->portName();
    ASSERT_TRUE(pumpUntil([&] { return sources.source(portName) != nullptr; }));
    auto source = sources.source(portName);
    EXPECT_EQ(source->uniqueId(), JackMidiSource::idForPortName(portName));
    EXPECT_EQ(source->displayName(), portName);
    for (const auto& name : sources.portNames()) EXPECT_NE(name.rfind(driver.clientName() + ":", 0), 0u) << name;
    ASSERT_TRUE(pumpUntil([&] {
        return std::count(heard.begin(), heard.end(), std::make_pair(MidiNotificationId::ObjectAdded,
                                                                     std::optional<std::string>(portName))) == 1;
    }));

    const std::string midiIn = driver.midiInputPortName(JackDriver::kSourcesPort);
    // The server's graph takes a change at its next cycle, so each state is waited for.
    auto routed = [&](bool expected) {
        return pumpUntil([&] { return connected(*keyboard, midiIn) == expected; });
    };
    EXPECT_TRUE(routed(false));
    ASSERT_EQ(input->connectSource(source, nullptr), MidiErr::None);
    EXPECT_TRUE(routed(true));
    source->setEnabled(false);
    EXPECT_TRUE(routed(false));
    source->setEnabled(true);
    EXPECT_TRUE(routed(true));
    ASSERT_EQ(input->disconnectSource(source), MidiErr::None);
    EXPECT_TRUE(routed(false));

    keyboard.reset();
    ASSERT_TRUE(pumpUntil([&] { return sources.source(portName) == nullptr; }));
    ASSERT_TRUE(pumpUntil([&] {
        return std::count(heard.begin(), heard.end(), std::make_pair(MidiNotificationId::ObjectRemoved,
                                                                     std::optional<std::string>(portName))) == 1;
    }));
    client->dispose();
}

// A routed keyboard that leaves with a key down will never send its note-off: the driver's next
// cycle carries All Notes Off on every channel, once, through the sources' port. A port that was
// never routed into the driver leaves without it.
TEST(JackMidiSources, ARoutedSourceLeavingReleasesAllNotesOnEveryChannel) {
    const std::string server = JackTest::defaultServer();
    if (!JackTest::serverAnswers(server)) {
        if (JackTest::servicesRequired()) FAIL() << "no JACK server answers, and the services are required";
        GTEST_SKIP() << "no JACK server is running";
    }
    // The unit keeps every control change 123 it is handed, by channel and port, at the frame of
    // its render call (the driver's first frame of the cycle).
    std::array<std::atomic<int>, 16> releases{};
    std::atomic<int> elsewhere{0};
    std::atomic<int> offFirstFrame{0};
    OutputUnit unit;
    unit.setRenderCallback([&](const OutputUnit::RenderCall& call) {
        for (const auto& e : call.midi) {
            if ((e.status & 0xF0) != 0xB0 || e.data1 != 123) continue;
            if (e.port != JackDriver::kSourcesPort || e.data2 != 0) ++elsewhere;
            if (e.sampleTime != call.sampleTime) ++offFirstFrame;
            ++releases[e.status & 0x0F];
        }
        return true;
    });
    unit.initialize();
    unit.start();
    JackDriver driver(unit);
    std::string error;
    ASSERT_TRUE(driver.open({unique("corvane-release-driver"), server, false}, &error)) << error;
    JackMidiSources sources(driver);
    std::unique_ptr<MidiClient> client;
    ASSERT_EQ(MidiClient::create("listener", [](const MidiNotification&) {}, client), MidiErr::None);
    std::shared_ptr<MidiInputPort> input;
    ASSERT_EQ(client->createInputPort("in", [](const MidiPacketList&, void*) {}, input), MidiErr::None);
    auto total = [&] {
        int sum = 0;
        for (const auto& r : releases) sum += r.load();
        return sum;
    };
    const std::string midiIn = driver.midiInputPortName(JackDriver::kSourcesPort);

    // Never routed: no input port listens to it.
    auto idle = std::make_unique<JackTest::Sender>();
    ASSERT_TRUE(idle->open(unique("corvane-idle-keyboard"), server));
    const std::string idleName = idle->portName();
    ASSERT_TRUE(pumpUntil([&] { return sources.source(idleName) != nullptr; }));
    idle.reset();
    ASSERT_TRUE(pumpUntil([&] { return sources.source(idleName) == nullptr; }));

    auto keyboard = std::make_unique<JackTest::Sender>();
    ASSERT_TRUE(keyboard->open(unique("corvane-leaving-keyboard"), server));
    const std::string portName = keyboard->portName();
    ASSERT_TRUE(pumpUntil([&] { return sources.source(portName) != nullptr; }));
    ASSERT_EQ(input->connectSource(sources.source(portName), nullptr), MidiErr::None);
    ASSERT_TRUE(pumpUntil([&] { return connected(*keyboard, midiIn); }));
    const uint64_t cyclesBefore = driver.cycles();
    ASSERT_TRUE(JackTest::waitFor([&] { return driver.cycles() > cyclesBefore + 2; }));
    EXPECT_EQ(total(), 0) << "the port that was never routed released notes";

    keyboard.reset();
    ASSERT_TRUE(pumpUntil([&] { return sources.source(portName) == nullptr; }));
    ASSERT_TRUE(JackTest::waitFor([&] { return total() >= 16; }));
    const uint64_t cyclesAfter = driver.cycles();
    ASSERT_TRUE(JackTest::waitFor([&] { return driver.cycles() > cyclesAfter + 2; }));
    for (unsigned channel = 0; channel < 16; ++channel) EXPECT_EQ(releases[channel].load(), 1) << "channel " << channel;
    EXPECT_EQ(elsewhere.load(), 0);
    EXPECT_EQ(offFirstFrame.load(), 0);
    client->dispose();
}
