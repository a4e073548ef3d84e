#pragma once

#include "platform/midi/MidiEndpoint.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

// A client's input port: every source connected to it hands its packet lists to the port's read
// procedure, on the source's sending thread, with the reference given at the connection.
class MidiInputPort {
public:
    ~MidiInputPort();
    MidiInputPort(const MidiInputPort&) = delete;
    MidiInputPort& operator=(const MidiInputPort&) = delete;

    // UnknownEndpoint for a source that is not published, AlreadyConnected when connected,
    // InvalidPort once disposed; an injected failure of MidiCall::PortConnectSource is answered once.
    MidiStatus connectSource(const std::shared_ptr<MidiSource>& source, void* connectionRefCon);
    // NoConnection when that source is not connected (also after it left the system).
    MidiStatus disconnectSource(const std::shared_ptr<MidiSource>& source);

    // Disconnects every source. After it returns the read procedure is never called again; a
    // delivery in progress on another thread is waited for.
    void dispose();
    bool isDisposed() const;
    const std::string& name() const { return name_; }

private:
    friend class MidiClient;
    friend class MidiSource;
    MidiInputPort(std::string name, MidiReadProc read);
    void deliver(const MidiPacketList& packets, void* refCon) const { read_(packets, refCon); }

    const std::string name_;
    const MidiReadProc read_;
    mutable std::mutex lock_;
    std::vector<std::weak_ptr<MidiSource>> sources_;
    bool disposed_ = false;
};

// A client's output port: sends packet lists to destinations.
class MidiOutputPort {
public:
    MidiOutputPort(const MidiOutputPort&) = delete;
    MidiOutputPort& operator=(const MidiOutputPort&) = delete;

    // The destination's read procedure runs on the caller's thread. InvalidPort once disposed,
    // InvalidArgument for a missing or disposed destination.
    MidiStatus send(const std::shared_ptr<MidiDestination>& destination, const MidiPacketList& packets);

    void dispose();
    bool isDisposed() const;
    const std::string& name() const { return name_; }

private:
    friend class MidiClient;
    explicit MidiOutputPort(std::string name) : name_(std::move(name)) {}

    const std::string name_;
    mutable std::mutex lock_;
    bool disposed_ = false;
};

} // namespace Platform
