#include "platform/foundation/RunLoop.h"
#include "platform/midi/MidiClient.h"
#include "platform/midi/MidiNetworkSession.h"
#include "platform/midi/MidiSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace Platform;

namespace {

struct Received {
    std::vector<std::vector<uint8_t>> packets;
    std::vector<void*> refCons;
};

MidiReadProc recorder(Received& into) {
    return [&into](const MidiPacketList& list, void* refCon) {
        for (MidiPacket p : list) {
            into.packets.emplace_back(p.data.begin(), p.data.end());
            into.refCons.push_back(refCon);
        }
    };
}

class MidiClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().runOnce();   // notifications left by earlier tests
        ASSERT_EQ(MidiClient::create("test", [this](const MidiNotification& n) { notes.push_back(n); },
                                     client),
                  MidiErr::None);
    }
    void TearDown() override {
        for (auto& s : published) MidiSystem::shared().removeSource(s);
        client.reset();
        RunLoop::main().runOnce();
    }
    std::shared_ptr<MidiSource> publish(const char* name, int32_t id = 0) {
        auto s = MidiSource::create(std::string(name), id);
        EXPECT_TRUE(MidiSystem::shared().addSource(s));
        published.push_back(s);
        return s;
    }

    std::unique_ptr<MidiClient> client;
    std::vector<MidiNotification> notes;
    std::vector<std::shared_ptr<MidiSource>> published;
};

} // namespace

TEST_F(MidiClientTest, ConnectedSourceReachesTheReadProcWithItsReferenceUntilDisconnected) {
    Received got;
    std::shared_ptr<MidiInputPort> port;
    ASSERT_EQ(client->createInputPort("in", recorder(got), port), MidiErr::None);
    auto source = publish("keys");
    int reference = 0;
    ASSERT_EQ(port->connectSource(source, &reference), MidiErr::None);
    EXPECT_EQ(port->connectSource(source, &reference), MidiErr::AlreadyConnected);

    MidiPacketList list;
    list.add(5, {0x90, 60, 100});
    list.add(6, {0x80, 60, 0});
    source->send(list);
    ASSERT_EQ(got.packets.size(), 2u);
    EXPECT_EQ(got.packets[1], (std::vector<uint8_t>{0x80, 60, 0}));
    EXPECT_EQ(got.refCons[0], &reference);

    EXPECT_EQ(port->disconnectSource(source), MidiErr::None);
    EXPECT_EQ(port->disconnectSource(source), MidiErr::NoConnection);
    source->send({0xF8});
    EXPECT_EQ(got.packets.size(), 2u);
}

TEST_F(MidiClientTest, UnpublishedOrDisposedThingsRefuse) {
    Received got;
    std::shared_ptr<MidiInputPort> port;
    ASSERT_EQ(client->createInputPort("in", recorder(got), port), MidiErr::None);
    auto loose = MidiSource::create(std::string("loose"));
    EXPECT_EQ(port->connectSource(loose, nullptr), MidiErr::UnknownEndpoint);
    EXPECT_EQ(port->connectSource(nullptr, nullptr), MidiErr::InvalidArgument);

    auto source = publish("a");
    ASSERT_EQ(port->connectSource(source, nullptr), MidiErr::None);
    port->dispose();
    EXPECT_EQ(source->numberOfConnections(), 0u);
    EXPECT_EQ(port->connectSource(source, nullptr), MidiErr::InvalidPort);

    client->dispose();
    std::shared_ptr<MidiOutputPort> out;
    EXPECT_EQ(client->createOutputPort("out", out), MidiErr::InvalidClient);
    EXPECT_FALSE(out);
}

TEST_F(MidiClientTest, RemovingAConnectedSourceCutsItOffAndNotifiesOnTheRunLoop) {
    Received got;
    std::shared_ptr<MidiInputPort> port;
    ASSERT_EQ(client->createInputPort("in", recorder(got), port), MidiErr::None);
    auto source = publish("synth");
    ASSERT_EQ(port->connectSource(source, nullptr), MidiErr::None);

    EXPECT_TRUE(notes.empty()) << "notifications wait for the run loop";
    RunLoop::main().runOnce();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].id, MidiNotificationId::ObjectAdded);
    EXPECT_EQ(notes[0].childType, MidiObjectType::Source);
    EXPECT_EQ(notes[0].child, source);
    EXPECT_EQ(notes[1].id, MidiNotificationId::SetupChanged);

    EXPECT_TRUE(MidiSystem::shared().removeSource(source));
    EXPECT_FALSE(MidiSystem::shared().removeSource(source));
    EXPECT_FALSE(source->isOnline());
    source->send({0x90, 1, 1});
    EXPECT_TRUE(got.packets.empty());
    EXPECT_EQ(port->disconnectSource(source), MidiErr::NoConnection);
    RunLoop::main().runOnce();
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[2].id, MidiNotificationId::ObjectRemoved);
    EXPECT_EQ(notes[2].child, source);
}

TEST_F(MidiClientTest, VirtualDestinationIsPublishedAndReceivesFromAnotherClient) {
    Received got;
    std::shared_ptr<MidiDestination> destination;
    ASSERT_EQ(client->createDestination("My Synth", recorder(got), destination), MidiErr::None);
    ASSERT_TRUE(destination->uniqueId());
    auto found = MidiSystem::shared().findEndpoint(*destination->uniqueId());
    EXPECT_EQ(found, destination);
    EXPECT_EQ(destination->displayName(), "My Synth");
    RunLoop::main().runOnce();
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes[0].childType, MidiObjectType::Destination);

    std::unique_ptr<MidiClient> other;
    ASSERT_EQ(MidiClient::create("sender", nullptr, other), MidiErr::None);
    std::shared_ptr<MidiOutputPort> out;
    ASSERT_EQ(other->createOutputPort("out", out), MidiErr::None);
    MidiPacketList list;
    list.add(0, {0xB0, 1, 64});
    EXPECT_EQ(out->send(destination, list), MidiErr::None);
    ASSERT_EQ(got.packets.size(), 1u);
    EXPECT_EQ(got.refCons[0], nullptr);

    // Disposing the client withdraws its destination; sending to it then fails.
    client->dispose();
    EXPECT_TRUE(destination->isDisposed());
    EXPECT_FALSE(MidiSystem::shared().findEndpoint(*destination->uniqueId()));
    EXPECT_NE(out->send(destination, list), MidiErr::None);
    EXPECT_EQ(got.packets.size(), 1u);
}

TEST_F(MidiClientTest, NotificationsQueuedForADisposedClientAreDropped) {
    publish("late");
    client.reset();
    RunLoop::main().runOnce();
    EXPECT_TRUE(notes.empty());
}

TEST_F(MidiClientTest, UniqueIdsStayUniqueAndPropertiesCanBecomeUnreadable) {
    auto a = publish("a", 777);
    auto b = publish("b", 777);
    EXPECT_EQ(a->uniqueId(), 777);
    ASSERT_TRUE(b->uniqueId());
    EXPECT_NE(*b->uniqueId(), 777);
    EXPECT_NE(*b->uniqueId(), 0);

    auto unnamed = MidiSource::create(std::nullopt);
    EXPECT_FALSE(unnamed->uniqueId()) << "no id before it is published";
    EXPECT_FALSE(unnamed->displayName());

    b->forgetProperties();
    EXPECT_FALSE(b->uniqueId());
    EXPECT_FALSE(b->displayName());
    EXPECT_EQ(MidiSystem::shared().numberOfSources(), 2u);
    EXPECT_EQ(MidiSystem::shared().source(0), a);
    EXPECT_FALSE(MidiSystem::shared().source(9));
}

TEST_F(MidiClientTest, InjectedFailureHitsTheNextCallOnly) {
    MidiSystem::shared().failNextCall(MidiCall::InputPortCreate, -7);
    std::shared_ptr<MidiInputPort> port;
    EXPECT_EQ(client->createInputPort("in", [](const MidiPacketList&, void*) {}, port), -7);
    EXPECT_FALSE(port);
    EXPECT_EQ(client->createInputPort("in", [](const MidiPacketList&, void*) {}, port), MidiErr::None);

    MidiSystem::shared().failNextCall(MidiCall::ClientCreate, -3);
    std::unique_ptr<MidiClient> second;
    EXPECT_EQ(MidiClient::create("x", nullptr, second), -3);
    EXPECT_FALSE(second);
}

TEST_F(MidiClientTest, NetworkSessionPublishesItsEndpointWhileEnabled) {
    auto& session = MidiNetworkSession::defaultSession();
    const std::size_t before = MidiSystem::shared().numberOfSources();
    session.setEnabled(true);
    session.setConnectionPolicy(MidiNetworkConnectionPolicy::Anyone);
    EXPECT_EQ(MidiSystem::shared().numberOfSources(), before + 1);
    EXPECT_EQ(session.sourceEndpoint()->displayName(), MidiNetworkSession::endpointName);
    EXPECT_TRUE(session.sourceEndpoint()->isOnline());
    session.setEnabled(true);
    EXPECT_EQ(MidiSystem::shared().numberOfSources(), before + 1);
    session.setEnabled(false);
    EXPECT_EQ(MidiSystem::shared().numberOfSources(), before);
    EXPECT_EQ(session.connectionPolicy(), MidiNetworkConnectionPolicy::Anyone);
}

// After a disconnection returns, a sender on another thread never reaches the read procedure
// again: the receiver may free what the connection's reference points to.
TEST_F(MidiClientTest, DisconnectionWaitsForADeliveryInProgress) {
    std::atomic<int> calls{0};
    std::shared_ptr<MidiInputPort> port;
    ASSERT_EQ(client->createInputPort("in", [&calls](const MidiPacketList&, void* refCon) {
                  auto* alive = static_cast<std::atomic<bool>*>(refCon);
                  EXPECT_TRUE(alive->load());
                  calls.fetch_add(1);
              }, port), MidiErr::None);
    auto source = publish("busy");
    for (int round = 0; round < 50; ++round) {
        auto alive = std::make_unique<std::atomic<bool>>(true);
        ASSERT_EQ(port->connectSource(source, alive.get()), MidiErr::None);
        std::atomic<bool> stop{false};
        std::thread sender([&] {
            MidiPacketList list;
            list.add(0, {0xF8});
            while (!stop.load()) source->send(list);
        });
        while (calls.load() == 0) std::this_thread::yield();
        if (round % 2)
            port->disconnectSource(source);
        else
            MidiSystem::shared().removeSource(source);
        alive->store(false);
        alive.reset();
        stop.store(true);
        sender.join();
        calls.store(0);
        MidiSystem::shared().addSource(source);
    }
}
