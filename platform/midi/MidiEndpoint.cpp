#include "platform/midi/MidiEndpoint.h"

#include "platform/midi/MidiPort.h"
#include "platform/midi/MidiSystem.h"

#include <algorithm>

namespace Platform {

MidiEndpoint::MidiEndpoint(MidiObjectType type, std::optional<std::string> name, int32_t uniqueId)
    : type_(type), name_(std::move(name)), uniqueId_(uniqueId) {}

std::optional<int32_t> MidiEndpoint::uniqueId() const {
    std::lock_guard<std::mutex> guard(propertyLock_);
    if (!readable_ || !idReadable_ || uniqueId_ == 0) return std::nullopt;
    return uniqueId_;
}

std::optional<std::string> MidiEndpoint::displayName() const {
    std::lock_guard<std::mutex> guard(propertyLock_);
    if (!readable_) return std::nullopt;
    return name_;
}

void MidiEndpoint::setDisplayName(std::optional<std::string> name) {
    std::lock_guard<std::mutex> guard(propertyLock_);
    name_ = std::move(name);
}

void MidiEndpoint::forgetProperties() {
    std::lock_guard<std::mutex> guard(propertyLock_);
    readable_ = false;
}

void MidiEndpoint::forgetUniqueId() {
    std::lock_guard<std::mutex> guard(propertyLock_);
    idReadable_ = false;
}

int32_t MidiEndpoint::assignedId() const {
    std::lock_guard<std::mutex> guard(propertyLock_);
    return uniqueId_;
}

void MidiEndpoint::assignId(int32_t id) {
    std::lock_guard<std::mutex> guard(propertyLock_);
    uniqueId_ = id;
}

// ---- sources

std::shared_ptr<MidiSource> MidiSource::create(std::optional<std::string> name, int32_t uniqueId) {
    return std::shared_ptr<MidiSource>(new MidiSource(std::move(name), uniqueId));
}

MidiSource::MidiSource(std::optional<std::string> name, int32_t uniqueId)
    : MidiEndpoint(MidiObjectType::Source, std::move(name), uniqueId) {}

void MidiSource::send(const MidiPacketList& packets) {
    if (packets.empty()) return;
    std::lock_guard<std::mutex> guard(deliveryLock_);
    for (const Connection& c : connections_) c.port->deliver(packets, c.refCon);
}

void MidiSource::send(std::initializer_list<uint8_t> bytes, MidiTimeStamp timeStamp) {
    MidiPacketList list;
    list.add(timeStamp, bytes);
    send(list);
}

std::size_t MidiSource::numberOfConnections() const {
    std::lock_guard<std::mutex> guard(deliveryLock_);
    return connections_.size();
}

bool MidiSource::isOnline() const {
    std::lock_guard<std::mutex> guard(deliveryLock_);
    return online_;
}

MidiStatus MidiSource::connect(MidiInputPort* port, void* refCon) {
    std::size_t count = 0;
    {
        std::lock_guard<std::mutex> guard(deliveryLock_);
        if (!online_) return MidiErr::UnknownEndpoint;
        for (const Connection& c : connections_)
            if (c.port == port) return MidiErr::AlreadyConnected;
        connections_.push_back({port, refCon});
        count = connections_.size();
    }
    connectionsChanged(count);
    return MidiErr::None;
}

MidiStatus MidiSource::disconnect(const MidiInputPort* port) {
    std::size_t count = 0;
    {
        std::lock_guard<std::mutex> guard(deliveryLock_);
        auto it = std::find_if(connections_.begin(), connections_.end(),
                               [port](const Connection& c) { return c.port == port; });
        if (it == connections_.end()) return MidiErr::NoConnection;
        connections_.erase(it);
        count = connections_.size();
    }
    connectionsChanged(count);
    return MidiErr::None;
}

void MidiSource::setOnline(bool online) {
    std::lock_guard<std::mutex> guard(deliveryLock_);
    online_ = online;
    if (!online) connections_.clear();
}

// ---- virtual destinations

MidiDestination::MidiDestination(std::string name, MidiReadProc read)
    : MidiEndpoint(MidiObjectType::Destination, std::move(name), 0), read_(std::move(read)) {}

MidiStatus MidiDestination::receive(const MidiPacketList& packets) {
    std::lock_guard<std::mutex> guard(deliveryLock_);
    if (disposed_) return MidiErr::InvalidArgument;
    if (!packets.empty() && read_) read_(packets, nullptr);
    return MidiErr::None;
}

void MidiDestination::dispose() {
    {
        std::lock_guard<std::mutex> guard(deliveryLock_);
        if (disposed_) return;
        disposed_ = true;
        read_ = nullptr;
    }
    MidiSystem::shared().withdrawDestination(this);
}

bool MidiDestination::isDisposed() const {
    std::lock_guard<std::mutex> guard(deliveryLock_);
    return disposed_;
}

} // namespace Platform
