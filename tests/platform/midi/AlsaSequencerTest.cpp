// The ALSA fallback's MIDI: the sequencer client's events through its queue into the ALSA driver's
// blocks (runs everywhere: events are handed to the reader's delivery as the reader would, and
// the driver plays into the "null" device), and, where the machine has a sequencer, another
// client's port found, subscribed while used, and its messages and those sent to "Virtual Midi
// Input" queued with their port.
#include "platform/midi/AlsaSequencer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <alsa/asoundlib.h>
#include <unistd.h>

#include "platform/audio/AlsaDriver.h"
#include "platform/audio/OutputUnit.h"
#include "platform/foundation/RunLoop.h"
#include "platform/midi/AlsaMidiSources.h"
#include "platform/midi/MidiClient.h"
#include "common/WaitFor.h"
#include "platform/midi/MidiSystem.h"

using namespace Platform;

namespace {

using TestWait::pumpUntil;
using TestWait::waitFor;

snd_seq_event_t noteOn(int note, int destinationPort) {
    snd_seq_event_t e;
    std::memset(&e, 0, sizeof e);
    snd_seq_ev_set_noteon(&e, 0, note, 100);
    e.dest.port = static_cast<unsigned char>(destinationPort);
    return e;
}

// What the unit's render callback saw: each event with the block it came in.
struct Seen {
    uint64_t blockStart = 0;
    unsigned frames = 0;
    MidiEvent event;
};

} // namespace

TEST(AlsaSequencerDelivery, EventsReachTheAlsaDriversBlocksOnceInOrderAndAnnouncementsOnlyNotify) {
    AlsaSequencer sequencer;   // not opened: the reader's delivery is driven by hand
    std::atomic<int> announced{0};
    sequencer.setPortsChangedHandler([&] { ++announced; });

    OutputUnit unit;
    ASSERT_TRUE(unit.setSampleRate(48000.0));
    ASSERT_TRUE(unit.setMaximumFramesPerSlice(64));
    std::mutex lock;
    std::vector<Seen> seen;
    seen.reserve(64);
    ASSERT_TRUE(unit.setRenderCallback([&](const OutputUnit::RenderCall& call) {
        std::lock_guard guard(lock);
        for (const MidiEvent& e : call.midi) seen.push_back({call.sampleTime, call.frames, e});
        return true;
    }));
    ASSERT_TRUE(unit.initialize());
    ASSERT_TRUE(unit.start());
    AlsaDriver driver(unit);
    driver.setMidiInput(&sequencer.queue());
    std::string error;
    ASSERT_TRUE(driver.open("null", &error)) << error;

    snd_seq_event_t announcement;
    std::memset(&announcement, 0, sizeof announcement);
    announcement.type = SND_SEQ_EVENT_PORT_START;
    sequencer.deliver(announcement, midiHostTimeNow());
    EXPECT_EQ(announced.load(), 1);
    for (int note = 60; note < 64; ++note) sequencer.deliver(noteOn(note, 0), midiHostTimeNow());

    ASSERT_TRUE(waitFor([&] {
        std::lock_guard guard(lock);
        return seen.size() >= 4;
    }));
    driver.close();
    ASSERT_EQ(seen.size(), 4u);   // the announcement queued nothing
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].event.status, 0x90);
        EXPECT_EQ(seen[i].event.data1, 60 + i);
        EXPECT_EQ(seen[i].event.data2, 100);
        EXPECT_EQ(seen[i].event.port, AlsaSequencer::kSourcesPort);
        // Inside the block it was handed with, and never before an earlier message.
        EXPECT_GE(seen[i].event.sampleTime, seen[i].blockStart);
        EXPECT_LT(seen[i].event.sampleTime, seen[i].blockStart + seen[i].frames);
        if (i > 0) {
            EXPECT_GE(seen[i].event.sampleTime, seen[i - 1].event.sampleTime);
        }
    }
    EXPECT_EQ(sequencer.queue().dropped(), 0u);
}

TEST(AlsaSequencerDelivery, OpensWhereTheMachineHasASequencerElseSaysWhyInOneLine) {
    AlsaSequencer sequencer;
    std::string error;
    if (::access(AlsaSequencer::kDevice, F_OK) == 0) {
        ASSERT_TRUE(sequencer.open("corvane-open-test", &error)) << error;
        EXPECT_GT(sequencer.clientId(), 0);
        EXPECT_NE(sequencer.sourcesPort().port, sequencer.virtualInputPort().port);
    } else {
        EXPECT_FALSE(sequencer.open("corvane-open-test", &error));
        EXPECT_FALSE(sequencer.isOpen());
        EXPECT_EQ(error, "no ALSA sequencer (/dev/snd/seq is missing)");
    }
    sequencer.close();
    EXPECT_FALSE(sequencer.isOpen());
    sequencer.close();   // twice is harmless
}

// Another client's port becomes a source; the MIDI client's connection subscribes it, disabling
// it ends the subscription, and its note and one sent straight to "Virtual Midi Input" arrive
// with their ports. A machine whose kernel has no sequencer (no sound support at all, as in some
// virtual machines) cannot run that; there the sources stay empty and asking for them is harmless.
TEST(AlsaSequencerDevice, SubscribesUsedSourcesAndQueuesTheirMessagesWithTheirPort) {
    if (::access(AlsaSequencer::kDevice, F_OK) != 0) {
        AlsaSequencer sequencer;
        std::string error;
        EXPECT_FALSE(sequencer.open("corvane-seq-test", &error));
        OutputUnit unit;
        AlsaDriver driver(unit);
        AlsaMidiSources sources(sequencer, driver);
        sources.refresh();
        EXPECT_TRUE(sources.portNames().empty());
        EXPECT_EQ(sources.source("anyone:out"), nullptr);
        EXPECT_EQ(sequencer.queue().dropped(), 0u);
        return;
    }
    const std::string clientName = "corvane-seq-test-" + std::to_string(getpid());
    AlsaSequencer sequencer;
    std::string error;
    ASSERT_TRUE(sequencer.open(clientName, &error)) << error;
    OutputUnit unit;
    AlsaDriver driver(unit);
    AlsaMidiSources sources(sequencer, driver);

    snd_seq_t* keyboard = nullptr;
    ASSERT_GE(snd_seq_open(&keyboard, "default", SND_SEQ_OPEN_DUPLEX, 0), 0);
    const std::string keyboardName = "corvane-keyboard-" + std::to_string(getpid());
    snd_seq_set_client_name(keyboard, keyboardName.c_str());
    const int keyboardPort = snd_seq_create_simple_port(keyboard, "out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                                        SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    ASSERT_GE(keyboardPort, 0);
    const std::string portName = keyboardName + ":out";
    ASSERT_TRUE(pumpUntil([&] { return sources.source(portName) != nullptr; }));
    auto source = sources.source(portName);
    EXPECT_EQ(source->uniqueId(), AlsaMidiSource::idForPortName(portName));
    for (const auto& name : sources.portNames()) EXPECT_NE(name.rfind(clientName + ":", 0), 0u) << name;

    auto send = [&](int note, bool toVirtualInput) {
        snd_seq_event_t e;
        snd_seq_ev_clear(&e);
        snd_seq_ev_set_source(&e, keyboardPort);
        if (toVirtualInput)
            snd_seq_ev_set_dest(&e, sequencer.clientId(), sequencer.virtualInputPort().port);
        else
            snd_seq_ev_set_subs(&e);
        snd_seq_ev_set_direct(&e);
        snd_seq_ev_set_noteon(&e, 0, note, 90);
        return snd_seq_event_output_direct(keyboard, &e) >= 0;
    };
    auto next = [&](std::chrono::milliseconds timeout) {
        MidiEventQueue::Entry entry;
        bool got = waitFor([&] { return sequencer.queue().popArrivedBefore(UINT64_MAX, entry); }, timeout);
        return got ? std::optional<MidiEventQueue::Entry>(entry) : std::nullopt;
    };

    std::unique_ptr<MidiClient> client;
    ASSERT_EQ(MidiClient::create("listener", [](const MidiNotification&) {}, client), MidiErr::None);
    std::shared_ptr<MidiInputPort> input;
    ASSERT_EQ(client->createInputPort("in", [](const MidiPacketList&, void*) {}, input), MidiErr::None);
    EXPECT_FALSE(source->isRouted());
    ASSERT_EQ(input->connectSource(source, nullptr), MidiErr::None);
    EXPECT_TRUE(source->isRouted());

    ASSERT_TRUE(send(64, false));
    auto heard = next(std::chrono::seconds(10));
    ASSERT_TRUE(heard);
    EXPECT_EQ(heard->status, 0x90);
    EXPECT_EQ(heard->data1, 64);
    EXPECT_EQ(heard->data2, 90);
    EXPECT_EQ(heard->port, AlsaSequencer::kSourcesPort);

    source->setEnabled(false);   // an unused port: no longer subscribed
    EXPECT_FALSE(source->isRouted());
    ASSERT_TRUE(send(65, false));
    EXPECT_FALSE(next(std::chrono::milliseconds(300)));

    ASSERT_TRUE(send(66, true));
    heard = next(std::chrono::seconds(10));
    ASSERT_TRUE(heard);
    EXPECT_EQ(heard->data1, 66);
    EXPECT_EQ(heard->port, AlsaSequencer::kVirtualInputPort);

    snd_seq_close(keyboard);
    ASSERT_TRUE(pumpUntil([&] { return sources.source(portName) == nullptr; }));
    client->dispose();
}
