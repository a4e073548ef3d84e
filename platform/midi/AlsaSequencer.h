#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/MidiEventQueue.h"

typedef struct _snd_seq snd_seq_t;
typedef struct snd_seq_event snd_seq_event_t;

namespace Platform {

// Corvane's client of the ALSA sequencer (the MIDI of the ALSA fallback): a client under the
// given name with two writable ports, "midi_in", which the sources the user uses are subscribed
// to, and "Virtual Midi Input", which other programs send to themselves. A reader thread of its
// own takes the incoming events, turns each into its message and pushes it with its arrival time
// into a queue that the ALSA driver's render thread drains; port and client announcements only
// call the ports-changed handler.
//
// Threads: open, close, sources, connect and disconnect on the controlling (main) thread; the
// ports-changed handler runs on the reader thread.
class AlsaSequencer {
public:
    static constexpr uint8_t kSourcesPort = 0;        // MidiEvent::port of a subscribed source
    static constexpr uint8_t kVirtualInputPort = 1;   // of anything sent to "Virtual Midi Input"
    static constexpr const char* kDevice = "/dev/snd/seq";

    struct Address {
        int client = 0;
        int port = 0;
        bool operator==(const Address&) const = default;
    };
    // A readable MIDI port of another client.
    struct SourcePort {
        Address address;
        std::string name;   // "client name:port name"
    };

    AlsaSequencer();
    virtual ~AlsaSequencer();
    AlsaSequencer(const AlsaSequencer&) = delete;
    AlsaSequencer& operator=(const AlsaSequencer&) = delete;

    // Opens the client and its ports and starts the reader; false with a one-line reason (also
    // when the machine has no sequencer device).
    bool open(const std::string& clientName, std::string* error = nullptr);
    void close();
    bool isOpen() const { return seq_ != nullptr; }
    int clientId() const { return clientId_; }
    Address sourcesPort() const { return {clientId_, sourcesPort_}; }
    Address virtualInputPort() const { return {clientId_, virtualPort_}; }

    // Other clients' ports that can be read from (the system client's excepted). Virtual, as are
    // connect and disconnect, so that a test can stand in for the other clients on a machine
    // without a sequencer.
    virtual std::vector<SourcePort> sources() const;
    // Subscribes our sources port to that port, or ends the subscription.
    virtual bool connect(const Address& source);
    virtual void disconnect(const Address& source);

    // Called on the reader thread when a port or client comes or goes.
    void setPortsChangedHandler(std::function<void()> handler);

    // The messages the reader took, for the audio driver's render thread.
    MidiEventQueue& queue() { return queue_; }

    // What the reader does with one event that arrived at the given host time: queues its message
    // (tagged by the port it was sent to), or reports an announcement. Public for tests that run
    // where no sequencer exists.
    void deliver(const snd_seq_event_t& event, uint64_t hostTime);

private:
    void run();
    void readPending();
    void announce();

    snd_seq_t* seq_ = nullptr;
    int clientId_ = -1;
    int sourcesPort_ = -1;
    int virtualPort_ = -1;
    int wakeFd_ = -1;   // an eventfd that ends the reader's wait
    std::thread reader_;
    std::atomic<bool> running_{false};
    MidiEventQueue queue_;
    std::mutex handlerLock_;
    std::function<void()> portsChanged_;
};

} // namespace Platform
