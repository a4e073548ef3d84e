#pragma once

#include "platform/midi/MidiPacketList.h"
#include "platform/midi/MidiStatus.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

class MidiInputPort;

enum class MidiObjectType { Source, Destination };

// What an input port or a virtual destination calls with every packet list it receives, on the
// sender's thread. The reference is the one given when the source was connected (null for a
// destination).
using MidiReadProc = std::function<void(const MidiPacketList& packets, void* connectionRefCon)>;

// A source or destination of MIDI, identified across the process by a unique id.
class MidiEndpoint {
public:
    virtual ~MidiEndpoint() = default;
    MidiEndpoint(const MidiEndpoint&) = delete;
    MidiEndpoint& operator=(const MidiEndpoint&) = delete;

    MidiObjectType type() const { return type_; }

    // The properties as a client reads them: empty when they cannot be read (never set, no id
    // assigned yet, or forgotten as those of a vanished device are).
    std::optional<int32_t> uniqueId() const;
    std::optional<std::string> displayName() const;
    void setDisplayName(std::optional<std::string> name);

    // What an unplugged device leaves behind: every property read fails from now on.
    void forgetProperties();
    // Only the unique id can no longer be read (a driver that never set one).
    void forgetUniqueId();

protected:
    MidiEndpoint(MidiObjectType type, std::optional<std::string> name, int32_t uniqueId);

private:
    friend class MidiSystem;
    int32_t assignedId() const;
    void assignId(int32_t id);

    const MidiObjectType type_;
    mutable std::mutex propertyLock_;
    std::optional<std::string> name_;
    int32_t uniqueId_;   // 0: none assigned yet
    bool readable_ = true;
    bool idReadable_ = true;
};

// A source: whatever it sends reaches every input port connected to it. A source reaches no one
// until it is published (MidiSystem::addSource), and removing it from the system drops all its
// connections at once.
class MidiSource : public MidiEndpoint {
public:
    // A unique id of 0, or one already in use, is replaced by a fresh one when it is published.
    static std::shared_ptr<MidiSource> create(std::optional<std::string> name, int32_t uniqueId = 0);

    // Hands the packets to the read procedure of every connected input port, with each
    // connection's reference, on the caller's thread. Read procedures must not connect or
    // disconnect this same source.
    void send(const MidiPacketList& packets);
    // Sends one packet (allocates: for tests and tools, not for a render thread).
    void send(std::initializer_list<uint8_t> bytes, MidiTimeStamp timeStamp = 0);

    std::size_t numberOfConnections() const;
    bool isOnline() const;

protected:
    MidiSource(std::optional<std::string> name, int32_t uniqueId);
    // After an input port connected or disconnected (not when the source goes offline), on that
    // caller's thread, without the delivery lock: a source backed by a sound server's port routes
    // the port there.
    virtual void connectionsChanged(std::size_t /*connections*/) {}

private:
    friend class MidiInputPort;
    friend class MidiSystem;
    MidiStatus connect(MidiInputPort* port, void* refCon);
    MidiStatus disconnect(const MidiInputPort* port);
    // Going offline drops every connection; a delivery in progress is waited for.
    void setOnline(bool online);

    struct Connection {
        MidiInputPort* port;
        void* refCon;
    };
    // Held while delivering, so that after a disconnection returns the port's read procedure
    // never sees this source again.
    mutable std::mutex deliveryLock_;
    std::vector<Connection> connections_;
    bool online_ = false;
};

// A virtual destination that a client publishes: whatever is sent to it reaches its read
// procedure on the sender's thread.
class MidiDestination : public MidiEndpoint {
public:
    // InvalidArgument once the destination was disposed.
    MidiStatus receive(const MidiPacketList& packets);

    // Withdraws the destination from the system; its read procedure is never called again
    // after this returns (a delivery in progress on another thread is waited for).
    void dispose();
    bool isDisposed() const;

private:
    friend class MidiClient;
    MidiDestination(std::string name, MidiReadProc read);

    mutable std::mutex deliveryLock_;
    MidiReadProc read_;
    bool disposed_ = false;
};

} // namespace Platform
