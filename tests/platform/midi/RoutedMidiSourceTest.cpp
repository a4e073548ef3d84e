// The routing that JACK and ALSA sequencer sources share, over a back-end of the test's own: when
// a port is routed, when it stays counted as routed, and when its leaving releases all notes.
#include "platform/midi/RoutedMidiSources.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "platform/midi/AlsaMidiSource.h"
#include "platform/midi/JackMidiSource.h"
#include "platform/midi/MidiClient.h"
#include "platform/midi/MidiSystem.h"

using namespace Platform;

namespace {

// A port whose server can be down (nowhere to route to) and whose program can be dying (its port
// still listed but no longer routable).
class FakePort : public RoutedMidiSource {
public:
    static std::shared_ptr<FakePort> create(const std::string& name) {
        return std::shared_ptr<FakePort>(new FakePort(name));
    }
    bool serverUp = true;
    bool routable = true;
    bool connectedInServer = false;

protected:
    bool canRoute() const override { return serverUp; }
    bool connectRoute() override {
        if (routable) connectedInServer = true;
        return routable;
    }
    void disconnectRoute() override { connectedInServer = false; }

private:
    explicit FakePort(const std::string& name) : RoutedMidiSource(name, stableIdFor(name)) {}
};

// A MIDI client with one input port, as the app connects to every source.
struct Listener {
    Listener() {
        EXPECT_EQ(MidiClient::create("listener", [](const MidiNotification&) {}, client), MidiErr::None);
        EXPECT_EQ(client->createInputPort("in", [](const MidiPacketList&, void*) {}, input), MidiErr::None);
    }
    ~Listener() { client->dispose(); }
    std::unique_ptr<MidiClient> client;
    std::shared_ptr<MidiInputPort> input;
};

} // namespace

TEST(RoutedMidiSource, RoutedWhileListenedToAndEnabledAndStaysCountedWhenItsDyingPortCannotBeRoutedAgain) {
    RoutedMidiSources published([] {});
    auto port = FakePort::create("keys:out");
    published.publish(port);
    Listener listener;
    EXPECT_FALSE(port->isRouted());

    ASSERT_EQ(listener.input->connectSource(port, nullptr), MidiErr::None);
    EXPECT_TRUE(port->isRouted());
    EXPECT_TRUE(port->connectedInServer);
    port->setEnabled(false);   // an unused port
    EXPECT_FALSE(port->isRouted());
    EXPECT_FALSE(port->connectedInServer);
    port->setEnabled(true);
    EXPECT_TRUE(port->isRouted());

    // Its program is being killed: the server still lists the port, but routing it again fails.
    port->routable = false;
    published.routeAll();
    EXPECT_TRUE(port->isRouted());
    EXPECT_TRUE(port->leavingReleasesNotes());

    // Deliberately unrouted, it no longer counts; a route that fails from the start never did.
    ASSERT_EQ(listener.input->disconnectSource(port), MidiErr::None);
    EXPECT_FALSE(port->isRouted());
    ASSERT_EQ(listener.input->connectSource(port, nullptr), MidiErr::None);
    EXPECT_FALSE(port->isRouted());

    // With the server gone there is nowhere to route to.
    port->routable = true;
    port->serverUp = false;
    port->route();
    EXPECT_FALSE(port->isRouted());
    port->serverUp = true;
    port->route();
    EXPECT_TRUE(port->isRouted());
}

// Two published ports, each brought into a state, then some leave in one refresh: the driver is
// asked to release all notes once when any of those that left counted as routed.
TEST(RoutedMidiSources, ALeavingSourceReleasesAllNotesOnceWhenItCountedAsRouted) {
    enum class State { Idle, Routed, Dying, Disabled };
    struct Case {
        const char* what;
        State a, b;
        std::set<std::string> leaving;
        int releases;
    };
    const Case cases[] = {
        {"nothing leaves", State::Routed, State::Routed, {}, 0},
        {"an idle port leaves", State::Idle, State::Routed, {"a"}, 0},
        {"a routed port leaves", State::Routed, State::Idle, {"a"}, 1},
        {"two routed ports leave at once", State::Routed, State::Routed, {"a", "b"}, 1},
        {"a dying port that was routed leaves", State::Dying, State::Idle, {"a"}, 1},
        {"a port disabled before it left", State::Disabled, State::Idle, {"a"}, 0},
        {"a routed port stays while another leaves", State::Routed, State::Idle, {"b"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int releases = 0;
        auto published = std::make_unique<RoutedMidiSources>([&] { ++releases; });
        Listener listener;
        std::shared_ptr<FakePort> ports[] = {FakePort::create("a"), FakePort::create("b")};
        const State states[] = {c.a, c.b};
        for (int i = 0; i < 2; ++i) {
            published->publish(ports[i]);
            if (states[i] == State::Idle) continue;
            ASSERT_EQ(listener.input->connectSource(ports[i], nullptr), MidiErr::None);
            if (states[i] == State::Disabled) ports[i]->setEnabled(false);
            if (states[i] == State::Dying) {
                ports[i]->routable = false;
                ports[i]->route();
            }
        }

        published->removeLeft([&](const RoutedMidiSource& source) { return !c.leaving.count(source.portName()); });
        EXPECT_EQ(releases, c.releases);
        for (const auto& port : ports) {
            const bool left = c.leaving.count(port->portName()) != 0;
            EXPECT_EQ(published->contains(port->portName()), !left) << port->portName();
            EXPECT_EQ(MidiSystem::shared().findEndpoint(*port->uniqueId()) != nullptr, !left) << port->portName();
        }
        // What is still published goes with the set, without releasing anything.
        published.reset();
        EXPECT_EQ(releases, c.releases);
        for (const auto& port : ports) EXPECT_EQ(MidiSystem::shared().findEndpoint(*port->uniqueId()), nullptr);
    }
}

// The ids keep the users' settings for a port from one run and one version to the next: they must
// never change. A JACK and an ALSA port of the same name get different ones.
TEST(RoutedMidiSource, IdsOfJackAndAlsaPortsStayAsTheyWere) {
    EXPECT_EQ(JackMidiSource::idForPortName("system:midi_capture_1"), 957492654);
    EXPECT_EQ(AlsaMidiSource::idForPortName("Keystation 49:Keystation 49 MIDI 1"), 1498890118);
    EXPECT_NE(JackMidiSource::idForPortName("a:b"), AlsaMidiSource::idForPortName("a:b"));
}
