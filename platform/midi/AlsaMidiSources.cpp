#include "platform/midi/AlsaMidiSources.h"

#include <algorithm>

#include "platform/foundation/RunLoop.h"
#include "platform/midi/MidiSystem.h"

namespace Platform {

AlsaMidiSources::AlsaMidiSources(AlsaSequencer& sequencer) : sequencer_(sequencer) {
    std::weak_ptr<bool> alive = alive_;
    sequencer_.setPortsChangedHandler([this, alive] {
        RunLoop::main().post([this, alive] {
            if (alive.lock()) refresh();
        });
    });
    refresh();
}

AlsaMidiSources::~AlsaMidiSources() {
    sequencer_.setPortsChangedHandler(nullptr);
    alive_.reset();
    for (auto& [name, source] : published_) MidiSystem::shared().removeSource(source);
}

void AlsaMidiSources::refresh() {
    const std::vector<AlsaSequencer::SourcePort> present = sequencer_.sources();
    auto isPresent = [&](const std::string& name, const AlsaSequencer::Address& address) {
        return std::any_of(present.begin(), present.end(),
                           [&](const auto& port) { return port.name == name && port.address == address; });
    };
    // A port that came back under another address (a device plugged in again) is a new source
    // object under the same name, and so the same id.
    for (auto it = published_.begin(); it != published_.end();) {
        if (!isPresent(it->first, it->second->address())) {
            MidiSystem::shared().removeSource(it->second);
            it = published_.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& port : present) {
        if (published_.count(port.name)) continue;
        auto source = AlsaMidiSource::create(sequencer_, port);
        published_.emplace(port.name, source);
        MidiSystem::shared().addSource(source);
    }
}

std::vector<std::string> AlsaMidiSources::portNames() const {
    std::vector<std::string> names;
    for (const auto& [name, source] : published_) names.push_back(name);
    return names;
}

std::shared_ptr<AlsaMidiSource> AlsaMidiSources::source(const std::string& portName) const {
    auto it = published_.find(portName);
    return it == published_.end() ? nullptr : it->second;
}

} // namespace Platform
