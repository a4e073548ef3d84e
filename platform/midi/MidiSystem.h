#pragma once

#include "platform/midi/MidiClient.h"
#include "platform/midi/MidiEndpoint.h"
#include "platform/midi/MidiStatus.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace Platform {

class RunLoop;

// The process-wide MIDI system: the published sources and destinations, in the order they were
// published, and the clients that hear about changes. Publishing or removing an endpoint posts
// "object added"/"object removed" and then "setup changed" to every client's run loop.
class MidiSystem {
public:
    static MidiSystem& shared();

    // Publishes a source: gives it a fresh unique id when it has none or its id is taken, and
    // puts it online. False when it is already published.
    bool addSource(const std::shared_ptr<MidiSource>& source);
    // Takes a source out of the system: every connection of it is dropped at once (a delivery
    // in progress is waited for), so no port hears from it afterwards. False when not published.
    bool removeSource(const std::shared_ptr<MidiSource>& source);

    std::size_t numberOfSources() const;
    // Null for an index out of range.
    std::shared_ptr<MidiSource> source(std::size_t index) const;
    std::vector<std::shared_ptr<MidiSource>> sources() const;
    std::size_t numberOfDestinations() const;
    std::shared_ptr<MidiDestination> destination(std::size_t index) const;
    std::vector<std::shared_ptr<MidiDestination>> destinations() const;
    // The published endpoint with that unique id, or null.
    std::shared_ptr<MidiEndpoint> findEndpoint(int32_t uniqueId) const;

    // Makes the next call of that kind fail with the status (tests of failure paths); a status of
    // 0 cancels a pending failure.
    void failNextCall(MidiCall call, MidiStatus status);

private:
    friend class MidiClient;
    friend class MidiDestination;
    friend class MidiInputPort;
    MidiSystem() = default;

    struct ClientEntry {
        std::weak_ptr<MidiClient::Notifier> notifier;
        RunLoop* loop;
    };

    MidiStatus takeInjectedFailure(MidiCall call);
    void addClient(const std::shared_ptr<MidiClient::Notifier>& notifier, RunLoop& loop);
    void removeClient(const MidiClient::Notifier* notifier);
    void publishDestination(const std::shared_ptr<MidiDestination>& destination);
    void withdrawDestination(const MidiDestination* destination);
    // Caller holds lock_.
    void giveUniqueId(MidiEndpoint& endpoint);
    bool idInUse(int32_t id, const MidiEndpoint* except) const;
    // Caller does not hold lock_.
    void announce(MidiNotificationId id, MidiObjectType type, const std::shared_ptr<MidiEndpoint>& endpoint);
    void postToClients(MidiNotificationId id, MidiObjectType type,
                       const std::shared_ptr<MidiEndpoint>& child);

    mutable std::mutex lock_;
    std::vector<std::shared_ptr<MidiSource>> sources_;
    std::vector<std::shared_ptr<MidiDestination>> destinations_;
    std::vector<ClientEntry> clients_;
    int32_t nextId_ = 0x10000;
    std::array<std::atomic<MidiStatus>, static_cast<std::size_t>(MidiCall::Count)> injected_{};
};

} // namespace Platform
