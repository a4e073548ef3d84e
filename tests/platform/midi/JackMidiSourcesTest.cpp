#include "platform/midi/JackMidiSources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include <unistd.h>

#include "common/JackTestClient.h"
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

// Pumps the main loop until the condition holds (the driver's notifications arrive on JACK's thread).
template <typename Condition>
bool pumpUntil(Condition condition) {
    return JackTest::waitFor([&] {
        RunLoop::main().runOnce();
        return condition();
    });
}

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
