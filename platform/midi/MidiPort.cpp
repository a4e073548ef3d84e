#include "platform/midi/MidiPort.h"

#include "platform/midi/MidiSystem.h"

#include <algorithm>

namespace Platform {

MidiInputPort::MidiInputPort(std::string name, MidiReadProc read)
    : name_(std::move(name)), read_(std::move(read)) {}

MidiInputPort::~MidiInputPort() { dispose(); }

MidiStatus MidiInputPort::connectSource(const std::shared_ptr<MidiSource>& source,
                                        void* connectionRefCon) {
    if (!source) return MidiErr::InvalidArgument;
    std::lock_guard<std::mutex> guard(lock_);
    if (disposed_) return MidiErr::InvalidPort;
    if (MidiStatus injected = MidiSystem::shared().takeInjectedFailure(MidiCall::PortConnectSource))
        return injected;
    MidiStatus status = source->connect(this, connectionRefCon);
    if (status != MidiErr::None) return status;
    std::erase_if(sources_, [](const std::weak_ptr<MidiSource>& s) { return s.expired(); });
    sources_.push_back(source);
    return MidiErr::None;
}

MidiStatus MidiInputPort::disconnectSource(const std::shared_ptr<MidiSource>& source) {
    if (!source) return MidiErr::InvalidArgument;
    std::lock_guard<std::mutex> guard(lock_);
    if (disposed_) return MidiErr::InvalidPort;
    std::erase_if(sources_, [&source](const std::weak_ptr<MidiSource>& s) {
        auto held = s.lock();
        return !held || held == source;
    });
    return source->disconnect(this);
}

void MidiInputPort::dispose() {
    std::vector<std::weak_ptr<MidiSource>> sources;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (disposed_) return;
        disposed_ = true;
        sources.swap(sources_);
    }
    for (const auto& weak : sources)
        if (auto source = weak.lock()) source->disconnect(this);
}

bool MidiInputPort::isDisposed() const {
    std::lock_guard<std::mutex> guard(lock_);
    return disposed_;
}

MidiStatus MidiOutputPort::send(const std::shared_ptr<MidiDestination>& destination,
                                const MidiPacketList& packets) {
    if (isDisposed()) return MidiErr::InvalidPort;
    if (!destination) return MidiErr::InvalidArgument;
    return destination->receive(packets);
}

void MidiOutputPort::dispose() {
    std::lock_guard<std::mutex> guard(lock_);
    disposed_ = true;
}

bool MidiOutputPort::isDisposed() const {
    std::lock_guard<std::mutex> guard(lock_);
    return disposed_;
}

} // namespace Platform
