#include "platform/midi/JackMidiSources.h"

#include <algorithm>

#include <jack/jack.h>

#include "platform/audio/JackDriver.h"
#include "platform/foundation/RunLoop.h"
#include "platform/midi/MidiSystem.h"

namespace Platform {

JackMidiSources::JackMidiSources(JackDriver& driver) : driver_(driver) {
    std::weak_ptr<bool> alive = alive_;
    driver_.setPortsChangedHandler([this, alive] {
        RunLoop::main().post([this, alive] {
            if (alive.lock()) refresh();
        });
    });
    refresh();
}

JackMidiSources::~JackMidiSources() {
    driver_.setPortsChangedHandler(nullptr);
    alive_.reset();
    for (auto& [name, source] : published_) MidiSystem::shared().removeSource(source);
}

void JackMidiSources::refresh() {
    const std::string own = driver_.clientName() + ":";
    std::vector<std::string> present;
    if (driver_.isOpen()) {
        for (auto& name : driver_.ports(true, JackPortIsOutput))
            if (name.compare(0, own.size(), own) != 0) present.push_back(std::move(name));
    }
    bool routedSourceLeft = false;
    for (auto it = published_.begin(); it != published_.end();) {
        if (std::find(present.begin(), present.end(), it->first) == present.end()) {
            routedSourceLeft = routedSourceLeft || it->second->isRouted();
            MidiSystem::shared().removeSource(it->second);
            it = published_.erase(it);
        } else {
            it->second->route();
            ++it;
        }
    }
    // A keyboard unplugged or a sequencer killed with keys down sends no note-offs any more: its
    // notes, and the keys they light, are released here. Which channels and notes it played is
    // not known, so every channel hears All Notes Off.
    if (routedSourceLeft) driver_.releaseAllNotes();
    for (const auto& name : present) {
        if (published_.count(name)) continue;
        auto source = JackMidiSource::create(driver_, name);
        published_.emplace(name, source);
        MidiSystem::shared().addSource(source);
    }
}

std::vector<std::string> JackMidiSources::portNames() const {
    std::vector<std::string> names;
    for (const auto& [name, source] : published_) names.push_back(name);
    return names;
}

std::shared_ptr<JackMidiSource> JackMidiSources::source(const std::string& portName) const {
    auto it = published_.find(portName);
    return it == published_.end() ? nullptr : it->second;
}

} // namespace Platform
