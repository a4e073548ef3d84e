#include "platform/audio/InterAppAudio.h"

#include <memory>
#include <vector>

namespace Platform {

struct InterAppAudioHost::Node {
    OutputUnit* unit = nullptr;   // null once withdrawn
    AudioComponentDescription description;
    std::string name;
    uint32_t version = 0;
    InterAppAudio::MidiCallbacks midi;
    std::atomic<InterAppAudioHost*> host{nullptr};
};

// Every node ever published. Nodes stay allocated for the life of the process, because a node is
// the user data of the host procedures that a unit's owner read once and may still call.
struct InterAppAudioRegistry {
    using Node = InterAppAudioHost::Node;

    static InterAppAudioRegistry& shared() {
        static InterAppAudioRegistry registry;
        return registry;
    }

    // Caller holds lock.
    Node* published(const OutputUnit* unit) {
        for (auto& node : nodes) {
            if (node->unit == unit && unit != nullptr) {
                return node.get();
            }
        }
        return nullptr;
    }
    Node* published(const AudioComponentDescription& description) {
        for (auto& node : nodes) {
            if (node->unit != nullptr && node->description == description) {
                return node.get();
            }
        }
        return nullptr;
    }
    // Caller holds lock: the node forgets its host and the host its node.
    static OutputUnit* detach(Node* node) {
        if (InterAppAudioHost* host = node->host.exchange(nullptr)) {
            host->node_ = nullptr;
            return node->unit;
        }
        return nullptr;
    }

    static InterAppAudioHost* hostOf(void* userData) {
        return static_cast<Node*>(userData)->host.load(std::memory_order_acquire);
    }
    static AudioStatus beatAndTempo(void* userData, double* beat, double* tempo) {
        InterAppAudioHost* host = hostOf(userData);
        return host == nullptr ? AudioErr::NoConnection : host->beatAndTempo(beat, tempo);
    }
    static AudioStatus musicalTimeLocation(void* userData, uint32_t* offset, float* numerator,
                                           uint32_t* denominator, double* downbeat) {
        InterAppAudioHost* host = hostOf(userData);
        return host == nullptr ? AudioErr::NoConnection
                               : host->musicalTimeLocation(offset, numerator, denominator, downbeat);
    }
    static AudioStatus transportState(void* userData, bool* playing, bool* changed, double* sample,
                                      bool* cycling, double* cycleStart, double* cycleEnd) {
        InterAppAudioHost* host = hostOf(userData);
        return host == nullptr
                   ? AudioErr::NoConnection
                   : host->transportState(playing, nullptr, changed, sample, cycling, cycleStart, cycleEnd);
    }
    static AudioStatus transportState2(void* userData, bool* playing, bool* recording, bool* changed,
                                       double* sample, bool* cycling, double* cycleStart, double* cycleEnd) {
        InterAppAudioHost* host = hostOf(userData);
        return host == nullptr
                   ? AudioErr::NoConnection
                   : host->transportState(playing, recording, changed, sample, cycling, cycleStart, cycleEnd);
    }

    std::mutex lock;
    std::vector<std::unique_ptr<Node>> nodes;
};

namespace InterAppAudio {

AudioStatus publish(OutputUnit* unit, const AudioComponentDescription& description,
                    const std::string& name, uint32_t version) {
    if (unit == nullptr || description.componentType == 0 || description.componentSubType == 0 ||
        description.componentManufacturer == 0) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = AudioUnitServices::takeInjectedFailure(AudioUnitCall::Publish)) {
        return status;
    }
    auto& registry = InterAppAudioRegistry::shared();
    std::lock_guard lock(registry.lock);
    if (auto* other = registry.published(description); other != nullptr && other->unit != unit) {
        return AudioErr::AlreadyPublished;
    }
    InterAppAudioRegistry::Node* node = registry.published(unit);
    if (node == nullptr) {
        registry.nodes.push_back(std::make_unique<InterAppAudioRegistry::Node>());
        node = registry.nodes.back().get();
        node->unit = unit;
    }
    node->description = description;
    node->name = name;
    node->version = version;
    return AudioErr::None;
}

void withdraw(OutputUnit* unit) {
    auto& registry = InterAppAudioRegistry::shared();
    std::lock_guard lock(registry.lock);
    if (auto* node = registry.published(unit)) {
        InterAppAudioRegistry::detach(node);
        node->midi = {};
        node->unit = nullptr;
    }
}

AudioStatus getHostCallbacks(OutputUnit* unit, HostCallbackInfo* info) {
    if (unit == nullptr || info == nullptr) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = AudioUnitServices::takeInjectedFailure(AudioUnitCall::GetHostCallbacks)) {
        return status;
    }
    auto& registry = InterAppAudioRegistry::shared();
    std::lock_guard lock(registry.lock);
    auto* node = registry.published(unit);
    if (node == nullptr) {
        *info = {};   // an unpublished unit has no host to ask
        return AudioErr::None;
    }
    info->hostUserData = node;
    info->beatAndTempoProc = &InterAppAudioRegistry::beatAndTempo;
    info->musicalTimeLocationProc = &InterAppAudioRegistry::musicalTimeLocation;
    info->transportStateProc = &InterAppAudioRegistry::transportState;
    info->transportStateProc2 = &InterAppAudioRegistry::transportState2;
    return AudioErr::None;
}

AudioStatus setMidiCallbacks(OutputUnit* unit, const MidiCallbacks& callbacks) {
    if (unit == nullptr) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = AudioUnitServices::takeInjectedFailure(AudioUnitCall::SetMidiCallbacks)) {
        return status;
    }
    auto& registry = InterAppAudioRegistry::shared();
    std::lock_guard lock(registry.lock);
    auto* node = registry.published(unit);
    if (node == nullptr) {
        return AudioErr::InvalidParameter;
    }
    node->midi = callbacks;
    return AudioErr::None;
}

AudioStatus isInterAppConnected(OutputUnit* unit, uint32_t* connected) {
    if (unit == nullptr || connected == nullptr) {
        return AudioErr::InvalidParameter;
    }
    auto& registry = InterAppAudioRegistry::shared();
    std::lock_guard lock(registry.lock);
    auto* node = registry.published(unit);
    *connected = node != nullptr && node->host.load() != nullptr ? 1u : 0u;
    return AudioErr::None;
}

AudioStatus sendRemoteControlToHost(OutputUnit* unit, uint32_t event) {
    if (unit == nullptr || event < TogglePlayPause || event > Rewind) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = AudioUnitServices::takeInjectedFailure(AudioUnitCall::RemoteControlToHost)) {
        return status;
    }
    InterAppAudioHost* host = nullptr;
    {
        auto& registry = InterAppAudioRegistry::shared();
        std::lock_guard lock(registry.lock);
        auto* node = registry.published(unit);
        if (node == nullptr) {
            return AudioErr::InvalidParameter;
        }
        host = node->host.load();
        if (host == nullptr) {
            return AudioErr::NoConnection;
        }
    }
    host->handleRemoteControlEvent(event);
    return AudioErr::None;
}

AudioStatus getPeerURL(OutputUnit* unit, std::string* url) {
    if (unit == nullptr || url == nullptr) {
        return AudioErr::InvalidParameter;
    }
    auto& registry = InterAppAudioRegistry::shared();
    std::lock_guard lock(registry.lock);
    auto* node = registry.published(unit);
    InterAppAudioHost* host = node == nullptr ? nullptr : node->host.load();
    if (host == nullptr) {
        return AudioErr::NoConnection;
    }
    *url = host->peerURL();
    return AudioErr::None;
}

} // namespace InterAppAudio

InterAppAudioHost::~InterAppAudioHost() { disconnect(); }

bool InterAppAudioHost::connect(const AudioComponentDescription& description) {
    disconnect();
    auto& registry = InterAppAudioRegistry::shared();
    OutputUnit* unit = nullptr;
    {
        std::lock_guard lock(registry.lock);
        Node* node = registry.published(description);
        if (node == nullptr) {
            return false;
        }
        // A host already connected to the node is dropped; the node stays connected.
        InterAppAudioRegistry::detach(node);
        node_ = node;
        lastPlaying_.store(playing_.load());
        node->host.store(this, std::memory_order_release);
        unit = node->unit;
    }
    unit->notifyPropertyChanged(OutputUnit::Property::IsInterAppConnected);
    return true;
}

void InterAppAudioHost::disconnect() {
    auto& registry = InterAppAudioRegistry::shared();
    OutputUnit* unit = nullptr;
    {
        std::lock_guard lock(registry.lock);
        if (node_ == nullptr) {
            return;
        }
        unit = InterAppAudioRegistry::detach(node_);
    }
    if (unit != nullptr) {
        unit->notifyPropertyChanged(OutputUnit::Property::IsInterAppConnected);
    }
}

bool InterAppAudioHost::isConnected() const {
    auto& registry = InterAppAudioRegistry::shared();
    std::lock_guard lock(registry.lock);
    return node_ != nullptr;
}

std::string InterAppAudioHost::nodeName() const {
    auto& registry = InterAppAudioRegistry::shared();
    std::lock_guard lock(registry.lock);
    return node_ == nullptr ? std::string() : node_->name;
}

uint32_t InterAppAudioHost::nodeVersion() const {
    auto& registry = InterAppAudioRegistry::shared();
    std::lock_guard lock(registry.lock);
    return node_ == nullptr ? 0u : node_->version;
}

bool InterAppAudioHost::sendMidi(uint32_t status, uint32_t data1, uint32_t data2, uint32_t offsetSampleFrame) {
    InterAppAudio::MidiCallbacks midi;
    {
        auto& registry = InterAppAudioRegistry::shared();
        std::lock_guard lock(registry.lock);
        if (node_ == nullptr) {
            return false;
        }
        midi = node_->midi;
    }
    if (midi.midiEventProc == nullptr) {
        return false;
    }
    midi.midiEventProc(midi.userData, status, data1, data2, offsetSampleFrame);
    return true;
}

AudioStatus InterAppAudioHost::beatAndTempo(double* beat, double* tempo) const {
    if (beat != nullptr) *beat = beat_.load();
    if (tempo != nullptr) *tempo = tempo_.load();
    return AudioErr::None;
}

AudioStatus InterAppAudioHost::musicalTimeLocation(uint32_t* offsetToNextBeat, float* numerator,
                                                   uint32_t* denominator, double* downbeat) const {
    if (!answersTimeLocation_.load()) {
        return AudioErr::NoConnection;
    }
    if (offsetToNextBeat != nullptr) *offsetToNextBeat = 0;
    if (numerator != nullptr) *numerator = numerator_.load();
    if (denominator != nullptr) *denominator = denominator_.load();
    if (downbeat != nullptr) *downbeat = downbeat_.load();
    return AudioErr::None;
}

AudioStatus InterAppAudioHost::transportState(bool* playing, bool* recording, bool* changed,
                                              double* sampleInTimeLine, bool* cycling, double* cycleStart,
                                              double* cycleEnd) {
    const bool now = playing_.load();
    if (playing != nullptr) *playing = now;
    if (recording != nullptr) *recording = recording_.load();
    if (changed != nullptr) *changed = lastPlaying_.exchange(now) != now;
    if (sampleInTimeLine != nullptr) *sampleInTimeLine = sampleInTimeLine_.load();
    if (cycling != nullptr) *cycling = false;
    if (cycleStart != nullptr) *cycleStart = 0.0;
    if (cycleEnd != nullptr) *cycleEnd = 0.0;
    return AudioErr::None;
}

void InterAppAudioHost::setPeerURL(std::string url) {
    std::lock_guard lock(remoteLock_);
    peerURL_ = std::move(url);
}

std::string InterAppAudioHost::peerURL() const {
    std::lock_guard lock(remoteLock_);
    return peerURL_;
}

std::vector<uint32_t> InterAppAudioHost::remoteControlEvents() const {
    std::lock_guard lock(remoteLock_);
    return remoteEvents_;
}

void InterAppAudioHost::handleRemoteControlEvent(uint32_t event) {
    {
        std::lock_guard lock(remoteLock_);
        remoteEvents_.push_back(event);
    }
    switch (event) {
    case InterAppAudio::TogglePlayPause:
        playing_.store(!playing_.load());
        break;
    case InterAppAudio::ToggleRecord:
        recording_.store(!recording_.load());
        break;
    case InterAppAudio::Rewind:
        sampleInTimeLine_.store(0.0);
        break;
    default:
        return;
    }
    notifyTransportStateChanged();
}

void InterAppAudioHost::notifyTransportStateChanged() {
    OutputUnit* unit = nullptr;
    {
        auto& registry = InterAppAudioRegistry::shared();
        std::lock_guard lock(registry.lock);
        if (node_ != nullptr) {
            unit = node_->unit;
        }
    }
    if (unit != nullptr) {
        unit->notifyPropertyChanged(OutputUnit::Property::HostTransportState);
    }
}

} // namespace Platform
