#include "app/CoreMIDIClient.h"

#include <algorithm>
#include <string>

#include "app/CoreMIDIPacketParser.h"
#include "platform/foundation/Log.h"
#include "platform/midi/MidiNetworkSession.h"
#include "platform/midi/MidiSystem.h"

namespace Lumora::CoreMIDI {

using Platform::MidiErr::None;

Client::Client(Observer* observer) : observer_(observer) {}

Client::~Client() { close(); }

bool Client::fail(const char* call, Platform::MidiStatus status) {
    Platform::log(std::string("ERROR: ") + call + " (" + std::to_string(status) + ")");
    close();
    return false;
}

bool Client::open(const std::string& clientName) {
    close();
    name_ = clientName;

    auto& session = Platform::MidiNetworkSession::defaultSession();
    session.setEnabled(true);
    session.setConnectionPolicy(Platform::MidiNetworkConnectionPolicy::Anyone);

    Platform::MidiStatus status = Platform::MidiClient::create(
        name_, [this](const Platform::MidiNotification& n) { handleNotification(n); }, client_);
    if (status != None) return fail("MIDIClientCreate", status);
    status = client_->createOutputPort(name_, outputPort_);
    if (status != None) return fail("MIDIOutputPortCreate", status);
    status = createInputPort();
    if (status != None) return fail("MIDIInputPortCreate", status);
    status = client_->createDestination(
        name_, [this](const Platform::MidiPacketList& packets, void*) { readDestinationPackets(packets); },
        destination_);
    if (status != None) return fail("MIDIDestinationCreate", status);

    for (const auto& source : Platform::MidiSystem::shared().sources()) addSource(source);
    return true;
}

Platform::MidiStatus Client::createInputPort() {
    return client_->createInputPort(
        name_,
        [this](const Platform::MidiPacketList& packets, void* refCon) { readSourcePackets(packets, refCon); },
        inputPort_);
}

void Client::close() {
    if (outputPort_) {
        outputPort_->dispose();
        outputPort_.reset();
    }
    if (inputPort_) {
        inputPort_->dispose();
        inputPort_.reset();
    }
    if (destination_) {
        destination_->dispose();
        destination_.reset();
    }
    if (client_) {
        client_->dispose();
        client_.reset();
    }
    sources_.clear();
}

Client::Sources Client::sources() const {
    Sources copy;
    for (const auto& [id, entry] : sources_) {
        MidiPortSetting setting = entry.setting;
        setting.enabled = entry.enabled.load(std::memory_order_relaxed);
        copy.emplace(id, std::move(setting));
    }
    return copy;
}

void Client::enableSource(std::int32_t uniqueID, bool enabled) {
    auto it = sources_.find(uniqueID);
    if (it != sources_.end()) it->second.enabled.store(enabled, std::memory_order_relaxed);
}

void Client::handleNotification(const Platform::MidiNotification& notification) {
    if (notification.childType != Platform::MidiObjectType::Source || !notification.child) return;
    auto source = std::static_pointer_cast<Platform::MidiSource>(notification.child);
    if (notification.id == Platform::MidiNotificationId::ObjectAdded)
        addSource(source);
    else if (notification.id == Platform::MidiNotificationId::ObjectRemoved)
        removeSource(source);
}

void Client::addSource(const std::shared_ptr<Platform::MidiSource>& source, const Sources* kept) {
    if (!source) return;
    const std::int32_t id = source->uniqueId().value_or(0);
    std::string name = source->displayName().value_or(std::string());
    if (name.empty()) name = "(unnamed)";

    MidiPortSetting setting{MidiPortSetting::ExternalSource, id, std::move(name), true};
    if (kept) {
        // A source that survives a rebuild keeps what its entry held, the user's flag included.
        auto old = kept->find(id);
        if (old != kept->end()) setting = old->second;
    }
    auto [it, inserted] = sources_.try_emplace(id, std::move(setting), source.get());
    if (!inserted) return;

    // The entry is the connection's reference: the read procedure finds its flag through it.
    if (!inputPort_ || inputPort_->connectSource(source, &it->second) != None) {
        sources_.erase(it);
        return;
    }
    if (observer_) observer_->didChangeSources(1);
}

void Client::removeSource(const std::shared_ptr<Platform::MidiSource>& source) {
    const std::int32_t id = source->uniqueId().value_or(0);
    const std::string name = source->displayName().value_or(std::string());
    if (inputPort_) inputPort_->disconnectSource(source);

    if (!name.empty()) {
        // Only the removed source's own entry may go: another one under the same key is still
        // connected, and its read procedure would find its entry freed.
        auto it = sources_.find(id);
        if (it == sources_.end() || it->second.endpoint != source.get()) {
            it = std::find_if(sources_.begin(), sources_.end(),
                              [&source](const auto& e) { return e.second.endpoint == source.get(); });
        }
        if (it != sources_.end()) sources_.erase(it);
        if (observer_) observer_->didChangeSources(0);
        return;
    }
    // A vanished endpoint whose properties can no longer be read cannot say which entry was
    // its own: rebuild the table from the sources that are still there.
    rebuildSources();
}

void Client::rebuildSources() {
    // Disposing the port first means no packet list can still refer to an entry.
    if (inputPort_) {
        inputPort_->dispose();
        inputPort_.reset();
    }
    const Sources kept = sources();
    sources_.clear();
    if (!client_) return;
    if (Platform::MidiStatus status = createInputPort(); status != None) {
        Platform::log("ERROR: MIDIInputPortCreate (" + std::to_string(status) + ")");
        return;
    }
    for (const auto& source : Platform::MidiSystem::shared().sources()) addSource(source, &kept);
}

void Client::readSourcePackets(const Platform::MidiPacketList& packets, void* connectionRefCon) {
    const auto* entry = static_cast<const Entry*>(connectionRefCon);
    if (!entry || !observer_ || !entry->enabled.load(std::memory_order_relaxed)) return;
    for (Platform::MidiPacket packet : packets) parsePacket(packet.data, entry->setting.kind, *observer_);
}

void Client::readDestinationPackets(const Platform::MidiPacketList& packets) {
    if (!observer_ || !virtualDestination_.enabled) return;
    for (Platform::MidiPacket packet : packets)
        parsePacket(packet.data, virtualDestination_.kind, *observer_);
}

} // namespace Lumora::CoreMIDI
