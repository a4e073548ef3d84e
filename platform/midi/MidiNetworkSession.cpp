#include "platform/midi/MidiNetworkSession.h"

#include "platform/midi/MidiSystem.h"

namespace Platform {

MidiNetworkSession& MidiNetworkSession::defaultSession() {
    static MidiNetworkSession session;
    return session;
}

MidiNetworkSession::MidiNetworkSession() : source_(MidiSource::create(std::string(endpointName))) {}

bool MidiNetworkSession::isEnabled() const {
    std::lock_guard<std::mutex> guard(lock_);
    return enabled_;
}

void MidiNetworkSession::setEnabled(bool enabled) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (enabled_ == enabled) return;
        enabled_ = enabled;
    }
    if (enabled)
        MidiSystem::shared().addSource(source_);
    else
        MidiSystem::shared().removeSource(source_);
}

MidiNetworkConnectionPolicy MidiNetworkSession::connectionPolicy() const {
    std::lock_guard<std::mutex> guard(lock_);
    return policy_;
}

void MidiNetworkSession::setConnectionPolicy(MidiNetworkConnectionPolicy policy) {
    std::lock_guard<std::mutex> guard(lock_);
    policy_ = policy;
}

} // namespace Platform
