#include "platform/midi/MidiSystem.h"

#include "platform/foundation/RunLoop.h"

#include <algorithm>

namespace Platform {

MidiSystem& MidiSystem::shared() {
    static MidiSystem system;
    return system;
}

bool MidiSystem::addSource(const std::shared_ptr<MidiSource>& source) {
    if (!source) return false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (std::find(sources_.begin(), sources_.end(), source) != sources_.end()) return false;
        giveUniqueId(*source);
        sources_.push_back(source);
    }
    // Outside the system's lock: a source's delivery lock is never taken under it.
    source->setOnline(true);
    announce(MidiNotificationId::ObjectAdded, MidiObjectType::Source, source);
    return true;
}

bool MidiSystem::removeSource(const std::shared_ptr<MidiSource>& source) {
    if (!source) return false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto it = std::find(sources_.begin(), sources_.end(), source);
        if (it == sources_.end()) return false;
        sources_.erase(it);
    }
    source->setOnline(false);
    announce(MidiNotificationId::ObjectRemoved, MidiObjectType::Source, source);
    return true;
}

std::size_t MidiSystem::numberOfSources() const {
    std::lock_guard<std::mutex> guard(lock_);
    return sources_.size();
}

std::shared_ptr<MidiSource> MidiSystem::source(std::size_t index) const {
    std::lock_guard<std::mutex> guard(lock_);
    return index < sources_.size() ? sources_[index] : nullptr;
}

std::vector<std::shared_ptr<MidiSource>> MidiSystem::sources() const {
    std::lock_guard<std::mutex> guard(lock_);
    return sources_;
}

std::size_t MidiSystem::numberOfDestinations() const {
    std::lock_guard<std::mutex> guard(lock_);
    return destinations_.size();
}

std::shared_ptr<MidiDestination> MidiSystem::destination(std::size_t index) const {
    std::lock_guard<std::mutex> guard(lock_);
    return index < destinations_.size() ? destinations_[index] : nullptr;
}

std::vector<std::shared_ptr<MidiDestination>> MidiSystem::destinations() const {
    std::lock_guard<std::mutex> guard(lock_);
    return destinations_;
}

std::shared_ptr<MidiEndpoint> MidiSystem::findEndpoint(int32_t uniqueId) const {
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& s : sources_)
        if (s->uniqueId() == uniqueId) return s;
    for (const auto& d : destinations_)
        if (d->uniqueId() == uniqueId) return d;
    return nullptr;
}

void MidiSystem::failNextCall(MidiCall call, MidiStatus status) {
    injected_[static_cast<std::size_t>(call)].store(status);
}

MidiStatus MidiSystem::takeInjectedFailure(MidiCall call) {
    return injected_[static_cast<std::size_t>(call)].exchange(MidiErr::None);
}

void MidiSystem::addClient(const std::shared_ptr<MidiClient::Notifier>& notifier, RunLoop& loop) {
    std::lock_guard<std::mutex> guard(lock_);
    clients_.push_back({notifier, &loop});
}

void MidiSystem::removeClient(const MidiClient::Notifier* notifier) {
    std::lock_guard<std::mutex> guard(lock_);
    std::erase_if(clients_, [notifier](const ClientEntry& e) {
        auto held = e.notifier.lock();
        return !held || held.get() == notifier;
    });
}

void MidiSystem::publishDestination(const std::shared_ptr<MidiDestination>& destination) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        giveUniqueId(*destination);
        destinations_.push_back(destination);
    }
    announce(MidiNotificationId::ObjectAdded, MidiObjectType::Destination, destination);
}

void MidiSystem::withdrawDestination(const MidiDestination* destination) {
    std::shared_ptr<MidiDestination> removed;
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto it = std::find_if(destinations_.begin(), destinations_.end(),
                               [destination](const auto& d) { return d.get() == destination; });
        if (it == destinations_.end()) return;
        removed = *it;
        destinations_.erase(it);
    }
    announce(MidiNotificationId::ObjectRemoved, MidiObjectType::Destination, removed);
}

void MidiSystem::giveUniqueId(MidiEndpoint& endpoint) {
    int32_t id = endpoint.assignedId();
    if (id != 0 && !idInUse(id, &endpoint)) return;
    do {
        id = nextId_++;
        if (nextId_ <= 0) nextId_ = 1;
    } while (id == 0 || idInUse(id, &endpoint));
    endpoint.assignId(id);
}

bool MidiSystem::idInUse(int32_t id, const MidiEndpoint* except) const {
    for (const auto& s : sources_)
        if (s.get() != except && s->assignedId() == id) return true;
    for (const auto& d : destinations_)
        if (d.get() != except && d->assignedId() == id) return true;
    return false;
}

// Clients hear of the endpoint itself, then that the setup changed.
void MidiSystem::announce(MidiNotificationId id, MidiObjectType type, const std::shared_ptr<MidiEndpoint>& endpoint) {
    postToClients(id, type, endpoint);
    postToClients(MidiNotificationId::SetupChanged, type, nullptr);
}

void MidiSystem::postToClients(MidiNotificationId id, MidiObjectType type,
                               const std::shared_ptr<MidiEndpoint>& child) {
    std::vector<ClientEntry> clients;
    {
        std::lock_guard<std::mutex> guard(lock_);
        std::erase_if(clients_, [](const ClientEntry& e) { return e.notifier.expired(); });
        clients = clients_;
    }
    MidiNotification notification{id, type, child};
    for (const ClientEntry& entry : clients) {
        std::weak_ptr<MidiClient::Notifier> weak = entry.notifier;
        entry.loop->post([weak, notification] {
            if (auto notifier = weak.lock()) notifier->deliver(notification);
        });
    }
}

} // namespace Platform
