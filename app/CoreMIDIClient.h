#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include <boost/noncopyable.hpp>

#include "app/CoreMIDIObserver.h"
#include "model/audio/iAudioIO_for_App.h"
#include "platform/midi/MidiClient.h"
#include "platform/midi/MidiPort.h"

namespace Lumora::CoreMIDI {

// The app's MIDI input: every source of the system, connected to one input port, plus a virtual
// destination that other programs send to, published under the client's name. Each connected
// source has an entry with an enabled flag that the user sets; sources are followed as they come
// and go. Incoming packets are parsed and every message goes to the observer. Nothing is sent.
//
// Threads: open, close, the notification procedure and enableSource run on the main thread; the
// read procedures run on the senders' threads and read only an entry's kind and its atomic
// enabled flag. An entry is erased only after its source was disconnected (or the input port
// disposed), which waits for a delivery in progress, so a read procedure never sees a dead entry.
class Client : private boost::noncopyable {
public:
    using Sources = iAudioIO_for_App::MidiSources;

    explicit Client(Observer* observer);
    ~Client();

    // Creates the client, its ports and the virtual destination under the name and connects
    // every source. A failing call is logged with its status and leaves the client closed.
    bool open(const std::string& clientName);
    // Disposes the output port, the input port, the virtual destination and the client, in that
    // order, and empties the table.
    void close();
    bool isOpen() const { return client_ != nullptr; }

    // A copy of the table of connected sources, by unique id, with their enabled flags.
    Sources sources() const;
    // Sets the enabled flag of the entry with that unique id; unknown ids are ignored.
    void enableSource(std::int32_t uniqueID, bool enabled);

    // How the port selector lists the virtual destination; it is always enabled.
    const MidiPortSetting& virtualDestinationSetting() const { return virtualDestination_; }
    const std::string& clientName() const { return name_; }

    // The client's notification procedure (main thread): sources added or removed.
    void handleNotification(const Platform::MidiNotification& notification);

private:
    struct Entry {
        Entry(MidiPortSetting s, const Platform::MidiSource* e)
            : setting(std::move(s)), enabled(setting.enabled), endpoint(e) {}
        MidiPortSetting setting;     // setting.enabled is not used: `enabled` is the flag
        std::atomic<bool> enabled;   // read by the receive thread without a lock
        // The connected source, compared by identity only: unique ids that cannot be read all
        // key as 0, so the key alone may name another source's entry.
        const Platform::MidiSource* endpoint;
    };

    bool fail(const char* call, Platform::MidiStatus status);
    Platform::MidiStatus createInputPort();
    // kept: the entries of a table being rebuilt, whose values a re-added source takes back.
    void addSource(const std::shared_ptr<Platform::MidiSource>& source, const Sources* kept = nullptr);
    void removeSource(const std::shared_ptr<Platform::MidiSource>& source);
    void rebuildSources();
    void readSourcePackets(const Platform::MidiPacketList& packets, void* connectionRefCon);
    void readDestinationPackets(const Platform::MidiPacketList& packets);

    Observer* const observer_;
    std::unique_ptr<Platform::MidiClient> client_;
    std::shared_ptr<Platform::MidiOutputPort> outputPort_;
    std::shared_ptr<Platform::MidiInputPort> inputPort_;
    std::shared_ptr<Platform::MidiDestination> destination_;
    std::string name_;
    std::map<std::int32_t, Entry> sources_;
    const MidiPortSetting virtualDestination_{MidiPortSetting::VirtualDestination, 0,
                                              "Virtual Midi Input", true};
};

} // namespace Lumora::CoreMIDI
