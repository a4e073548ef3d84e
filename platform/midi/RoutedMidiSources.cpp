#include "platform/midi/RoutedMidiSources.h"

#include "platform/midi/MidiSystem.h"

namespace Platform {

RoutedMidiSources::RoutedMidiSources(std::function<void()> releaseAllNotes)
    : releaseAllNotes_(std::move(releaseAllNotes)) {}

RoutedMidiSources::~RoutedMidiSources() {
    for (auto& [name, source] : published_) MidiSystem::shared().removeSource(source);
}

void RoutedMidiSources::removeLeft(const std::function<bool(const RoutedMidiSource&)>& stillListed) {
    bool release = false;
    for (auto it = published_.begin(); it != published_.end();) {
        if (stillListed(*it->second)) {
            ++it;
            continue;
        }
        // Asked before the removal, which drops the source's connections.
        release = release || it->second->leavingReleasesNotes();
        MidiSystem::shared().removeSource(it->second);
        it = published_.erase(it);
    }
    if (release && releaseAllNotes_) releaseAllNotes_();
}

void RoutedMidiSources::publish(std::shared_ptr<RoutedMidiSource> source) {
    const std::string name = source->portName();
    auto [it, added] = published_.emplace(name, std::move(source));
    if (added) MidiSystem::shared().addSource(it->second);
}

void RoutedMidiSources::routeAll() {
    for (auto& [name, source] : published_) source->route();
}

std::shared_ptr<RoutedMidiSource> RoutedMidiSources::find(const std::string& portName) const {
    auto it = published_.find(portName);
    return it == published_.end() ? nullptr : it->second;
}

std::vector<std::string> RoutedMidiSources::portNames() const {
    std::vector<std::string> names;
    names.reserve(published_.size());
    for (const auto& [name, source] : published_) names.push_back(name);
    return names;
}

} // namespace Platform
