#include "app/CoreMIDIClient.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/midi/MidiNetworkSession.h"
#include "platform/midi/MidiSystem.h"
#include "platform/midi/SmfSource.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <mutex>
#include <thread>

using namespace Platform;
using Lumora::MidiPortSetting;

namespace {

using Message = std::array<int, 4>;   // status, data1, data2, kind

struct Recorder : Lumora::CoreMIDI::Observer {
    void didChangeSources(int added) override { changes.push_back(added); }
    void didReceiveMidi(int status, int data1, int data2, int kind) override {
        std::lock_guard<std::mutex> guard(lock);
        messages.push_back({status, data1, data2, kind});
    }
    std::vector<Message> take() {
        std::lock_guard<std::mutex> guard(lock);
        return std::exchange(messages, {});
    }
    std::vector<int> changes;
    std::mutex lock;
    std::vector<Message> messages;
};

class CoreMIDIClientTest : public ::testing::Test {
protected:
    void SetUp() override { pump(); }
    void TearDown() override {
        client.close();
        for (auto& s : published) MidiSystem::shared().removeSource(s);
        MidiNetworkSession::defaultSession().setEnabled(false);
        pump();
    }
    static void pump() { RunLoop::main().runOnce(); }

    std::shared_ptr<MidiSource> publish(std::optional<std::string> name, int32_t id = 0) {
        auto s = MidiSource::create(std::move(name), id);
        EXPECT_TRUE(MidiSystem::shared().addSource(s));
        published.push_back(s);
        return s;
    }
    std::shared_ptr<MidiDestination> destinationNamed(const std::string& name) {
        for (auto& d : MidiSystem::shared().destinations())
            if (d->displayName() == name) return d;
        return nullptr;
    }
    // Another program's output port sending to our virtual destination.
    void sendToVirtualDestination(std::initializer_list<uint8_t> bytes) {
        if (!sender) {
            ASSERT_EQ(MidiClient::create("other app", nullptr, sender), MidiErr::None);
            ASSERT_EQ(sender->createOutputPort("out", senderPort), MidiErr::None);
        }
        MidiPacketList list;
        list.add(0, bytes);
        senderPort->send(destinationNamed("Corvane"), list);
    }

    Recorder observer;
    Lumora::CoreMIDI::Client client{&observer};
    std::vector<std::shared_ptr<MidiSource>> published;
    std::unique_ptr<MidiClient> sender;
    std::shared_ptr<MidiOutputPort> senderPort;
};

} // namespace

TEST_F(CoreMIDIClientTest, OpenConnectsEverySourceAndPublishesTheVirtualDestination) {
    auto keys = publish("Keys", 5001);
    auto unnamed = publish(std::nullopt);
    auto blank = publish(std::string());
    ASSERT_TRUE(client.open("Corvane"));
    EXPECT_TRUE(client.isOpen());

    const auto table = client.sources();
    ASSERT_EQ(table.size(), 4u) << "three sources and the network session";
    const MidiPortSetting& k = table.at(5001);
    EXPECT_EQ(k.kind, MidiPortSetting::ExternalSource);
    EXPECT_EQ(k.uniqueID, 5001);
    EXPECT_EQ(k.displayName, "Keys");
    EXPECT_TRUE(k.enabled);
    EXPECT_EQ(table.at(*unnamed->uniqueId()).displayName, "(unnamed)");
    EXPECT_EQ(table.at(*blank->uniqueId()).displayName, "(unnamed)");
    auto network = MidiNetworkSession::defaultSession().sourceEndpoint();
    EXPECT_TRUE(MidiNetworkSession::defaultSession().isEnabled());
    EXPECT_EQ(MidiNetworkSession::defaultSession().connectionPolicy(), MidiNetworkConnectionPolicy::Anyone);
    EXPECT_EQ(table.at(*network->uniqueId()).displayName, MidiNetworkSession::endpointName);
    EXPECT_EQ(observer.changes, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(keys->numberOfConnections(), 1u);

    auto destination = destinationNamed("Corvane");
    ASSERT_TRUE(destination);
    EXPECT_TRUE(destination->uniqueId());
    const MidiPortSetting& v = client.virtualDestinationSetting();
    EXPECT_EQ(v.kind, MidiPortSetting::VirtualDestination);
    EXPECT_EQ(v.uniqueID, 0);
    EXPECT_EQ(v.displayName, "Virtual Midi Input");
    EXPECT_TRUE(v.enabled);
}

TEST_F(CoreMIDIClientTest, SourcesAndTheVirtualDestinationReachTheObserverWithTheirKind) {
    auto keys = publish("Keys");
    ASSERT_TRUE(client.open("Corvane"));
    keys->send({0x90, 0x3C, 0x64, 0x80, 0x3C, 0x00});
    sendToVirtualDestination({0xB0, 0x07, 0x50});
    EXPECT_EQ(observer.take(), (std::vector<Message>{
                                   {0x90, 0x3C, 0x64, 0}, {0x80, 0x3C, 0x00, 0}, {0xB0, 0x07, 0x50, 1}}));
}

TEST_F(CoreMIDIClientTest, TheUsersSelectionDropsADisabledSourceWhole) {
    auto keys = publish("Keys", 7001);
    auto pads = publish("Pads", 7002);
    ASSERT_TRUE(client.open("Corvane"));

    client.enableSource(7001, false);
    client.enableSource(424242, false);   // unknown: ignored
    client.enableSource(0, false);        // the virtual destination cannot be disabled
    auto table = client.sources();
    EXPECT_FALSE(table.at(7001).enabled);
    EXPECT_TRUE(table.at(7002).enabled);
    EXPECT_EQ(table.count(424242), 0u);

    keys->send({0x90, 1, 1, 0xF8});
    pads->send({0x90, 2, 2});
    sendToVirtualDestination({0x90, 3, 3});
    EXPECT_EQ(observer.take(), (std::vector<Message>{{0x90, 2, 2, 0}, {0x90, 3, 3, 1}}));

    client.enableSource(7001, true);
    keys->send({0x90, 1, 1});
    EXPECT_EQ(observer.take(), (std::vector<Message>{{0x90, 1, 1, 0}}));
}

TEST_F(CoreMIDIClientTest, SourcesThatComeLaterAreFollowedOnTheMainRunLoopAndConnectedOnce) {
    ASSERT_TRUE(client.open("Corvane"));
    observer.changes.clear();
    auto late = publish("Late", 8001);
    EXPECT_EQ(client.sources().count(8001), 0u);
    pump();
    EXPECT_EQ(observer.changes, (std::vector<int>{1}));
    ASSERT_EQ(client.sources().count(8001), 1u);

    // The same source reported again is connected once.
    client.handleNotification({MidiNotificationId::ObjectAdded, MidiObjectType::Source, late});
    EXPECT_EQ(observer.changes, (std::vector<int>{1}));
    EXPECT_EQ(late->numberOfConnections(), 1u);
    late->send({0xFA});
    EXPECT_EQ(observer.take(), (std::vector<Message>{{0xFA, 0, 0, 0}}));

    // Destinations and setup changes are not sources.
    client.handleNotification({MidiNotificationId::ObjectAdded, MidiObjectType::Destination,
                               destinationNamed("Corvane")});
    client.handleNotification({MidiNotificationId::SetupChanged, MidiObjectType::Source, nullptr});
    EXPECT_EQ(observer.changes, (std::vector<int>{1}));
}

TEST_F(CoreMIDIClientTest, AnUnpluggedSourceWithAReadableNameIsErasedAndReported) {
    auto keys = publish("Keys", 9001);
    auto pads = publish("Pads", 9002);
    ASSERT_TRUE(client.open("Corvane"));
    observer.changes.clear();

    ASSERT_TRUE(MidiSystem::shared().removeSource(keys));
    keys->send({0x90, 1, 1});   // already cut off before the notification is handled
    EXPECT_TRUE(observer.take().empty());
    pump();
    EXPECT_EQ(observer.changes, (std::vector<int>{0}));
    EXPECT_EQ(client.sources().count(9001), 0u);
    EXPECT_EQ(client.sources().count(9002), 1u);
    pads->send({0x90, 2, 2});
    EXPECT_EQ(observer.take().size(), 1u);
}

TEST_F(CoreMIDIClientTest, AnUnpluggedSourceWithoutItsNameRebuildsTheTableKeepingTheFlags) {
    auto keys = publish("Keys", 9101);
    auto pads = publish("Pads", 9102);
    auto gone = publish("Gone", 9103);
    ASSERT_TRUE(client.open("Corvane"));
    client.enableSource(9102, false);
    observer.changes.clear();

    gone->forgetProperties();
    ASSERT_TRUE(MidiSystem::shared().removeSource(gone));
    pump();
    // Every remaining source reports again (network session included); no removal is reported.
    EXPECT_EQ(observer.changes, (std::vector<int>{1, 1, 1}));
    auto table = client.sources();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table.count(9103), 0u);
    EXPECT_TRUE(table.at(9101).enabled);
    EXPECT_FALSE(table.at(9102).enabled);
    EXPECT_EQ(keys->numberOfConnections(), 1u);

    keys->send({0x90, 1, 1});
    pads->send({0x90, 2, 2});
    EXPECT_EQ(observer.take(), (std::vector<Message>{{0x90, 1, 1, 0}}));
}

// Sources whose unique ids cannot be read all key as 0. Removing one of them must not free the
// entry of another that is still connected (its next packet would read freed memory).
TEST_F(CoreMIDIClientTest, ARemovedSourceWithoutAnIdNeverTakesAnotherSourcesEntry) {
    auto anonymous = publish("Anonymous");
    anonymous->forgetUniqueId();
    auto other = publish("Other", 9150);
    ASSERT_TRUE(client.open("Corvane"));
    ASSERT_EQ(client.sources().at(0).displayName, "Anonymous");
    observer.changes.clear();

    other->forgetUniqueId();
    ASSERT_TRUE(MidiSystem::shared().removeSource(other));
    pump();
    EXPECT_EQ(observer.changes, (std::vector<int>{0}));
    auto table = client.sources();
    EXPECT_EQ(table.count(9150), 0u);
    ASSERT_EQ(table.count(0), 1u);
    EXPECT_EQ(table.at(0).displayName, "Anonymous");
    anonymous->send({0x90, 5, 5});
    EXPECT_EQ(observer.take(), (std::vector<Message>{{0x90, 5, 5, 0}}));
}

TEST_F(CoreMIDIClientTest, AFailedOpenIsLoggedAndLeavesNothingBehind) {
    auto keys = publish("Keys");
    const std::vector<std::pair<MidiCall, const char*>> calls{
        {MidiCall::ClientCreate, "ERROR: MIDIClientCreate (-1234)"},
        {MidiCall::OutputPortCreate, "ERROR: MIDIOutputPortCreate (-1234)"},
        {MidiCall::InputPortCreate, "ERROR: MIDIInputPortCreate (-1234)"},
        {MidiCall::DestinationCreate, "ERROR: MIDIDestinationCreate (-1234)"},
    };
    for (const auto& [call, line] : calls) {
        ScopedLogCapture log;
        MidiSystem::shared().failNextCall(call, -1234);
        EXPECT_FALSE(client.open("Corvane")) << line;
        EXPECT_TRUE(log.contains(line)) << log.text();
        EXPECT_FALSE(client.isOpen());
        EXPECT_TRUE(client.sources().empty());
        EXPECT_FALSE(destinationNamed("Corvane"));
        EXPECT_EQ(keys->numberOfConnections(), 0u);
    }
    EXPECT_TRUE(observer.changes.empty());
    EXPECT_TRUE(client.open("Corvane"));
}

TEST_F(CoreMIDIClientTest, ASourceThatCannotBeConnectedIsLeftOutSilently) {
    ASSERT_TRUE(client.open("Corvane"));
    observer.changes.clear();
    MidiSystem::shared().failNextCall(MidiCall::PortConnectSource, -5);
    publish("Broken", 9201);
    pump();
    EXPECT_EQ(client.sources().count(9201), 0u);
    EXPECT_TRUE(observer.changes.empty());
}

TEST_F(CoreMIDIClientTest, CloseDisconnectsEverythingAndTheClientOpensAgain) {
    auto keys = publish("Keys");
    ASSERT_TRUE(client.open("Corvane"));
    client.close();
    EXPECT_FALSE(client.isOpen());
    EXPECT_TRUE(client.sources().empty());
    EXPECT_FALSE(destinationNamed("Corvane"));
    EXPECT_EQ(keys->numberOfConnections(), 0u);
    keys->send({0x90, 1, 1});
    EXPECT_TRUE(observer.take().empty());

    // A source that arrives while closed is not followed.
    publish("While closed");
    pump();
    EXPECT_TRUE(client.sources().empty());

    ASSERT_TRUE(client.open("Corvane"));
    EXPECT_EQ(client.sources().size(), 3u);
    {
        Recorder other;
        Lumora::CoreMIDI::Client scoped(&other);
        ASSERT_TRUE(scoped.open("Scoped"));
        EXPECT_TRUE(destinationNamed("Scoped"));
    }
    EXPECT_FALSE(destinationNamed("Scoped"));
    EXPECT_EQ(keys->numberOfConnections(), 1u);
}

TEST_F(CoreMIDIClientTest, AStandardMidiFilePlayedAgainstTheAudioClockReachesTheObserver) {
    const std::vector<uint8_t> file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                                    'M', 'T', 'r', 'k', 0, 0, 0, 11,
                                    0x00, 0x90, 60, 100,
                                    0x60, 60, 0,          // running status, one beat later (0.5 s)
                                    0x00, 0xFF, 0x2F, 0x00};
    auto smf = StandardMidiFile::parse(file);
    ASSERT_TRUE(smf);
    auto song = SmfSource::create(std::move(*smf), std::string("phrase.mid"));
    ASSERT_TRUE(MidiSystem::shared().addSource(song));
    published.push_back(song);
    ASSERT_TRUE(client.open("Corvane"));
    ASSERT_EQ(client.sources().at(*song->uniqueId()).displayName, "phrase.mid");

    song->advance(512, 44100);
    EXPECT_EQ(observer.take(), (std::vector<Message>{{0x90, 60, 100, 0}}));
    for (int block = 1; block < 43; ++block) song->advance(512, 44100);   // up to frame 22016
    EXPECT_TRUE(observer.take().empty());
    song->advance(512, 44100);   // frame 22050 lies in this block
    EXPECT_EQ(observer.take(), (std::vector<Message>{{0x90, 60, 0, 0}}));
}

// Senders on other threads keep sending while the main thread removes, rebuilds, disables and
// closes: no read procedure may touch an entry that is gone (the sanitizer watches).
TEST_F(CoreMIDIClientTest, SendersOnOtherThreadsSurviveSourcesComingAndGoing) {
    auto steady = publish("Steady", 9301);
    ASSERT_TRUE(client.open("Corvane"));
    std::atomic<bool> stop{false};
    std::thread sender([&] {
        MidiPacketList list;
        list.add(0, {0x90, 0x3C, 0x64});
        while (!stop.load()) steady->send(list);
    });
    for (int round = 0; round < 30; ++round) {
        auto flaky = publish("Flaky");
        pump();
        client.enableSource(9301, round % 2 == 0);
        if (round % 3 == 0) flaky->forgetProperties();
        MidiSystem::shared().removeSource(flaky);
        pump();
        if (round % 10 == 9) {
            client.close();
            ASSERT_TRUE(client.open("Corvane"));
        }
    }
    stop.store(true);
    sender.join();
    for (const Message& m : observer.take()) ASSERT_EQ(m, (Message{0x90, 0x3C, 0x64, 0}));
}
