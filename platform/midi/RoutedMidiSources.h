#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/RoutedMidiSource.h"

namespace Platform {

// The sources one back-end has published to the MIDI system, by port name: what a refresh
// against the server's list of ports adds and removes. A source that leaves while it counts as
// routed, a keyboard unplugged or a sequencer killed with keys down, sends no note-offs any more;
// which channels and notes it played is not known, so its leaving asks the back-end's driver to
// release all notes on every channel, once per refresh however many left.
//
// Threads: the controlling (main) thread only; the release request must take no lock that a
// render thread holds (the drivers' is an atomic counter).
class RoutedMidiSources {
public:
    explicit RoutedMidiSources(std::function<void()> releaseAllNotes);
    // Removes every source still published.
    ~RoutedMidiSources();
    RoutedMidiSources(const RoutedMidiSources&) = delete;
    RoutedMidiSources& operator=(const RoutedMidiSources&) = delete;

    // Removes each source that the server no longer lists, releasing the notes if a routed one
    // was among them.
    void removeLeft(const std::function<bool(const RoutedMidiSource&)>& stillListed);
    void publish(std::shared_ptr<RoutedMidiSource> source);
    void routeAll();

    bool contains(const std::string& portName) const { return published_.count(portName) != 0; }
    std::shared_ptr<RoutedMidiSource> find(const std::string& portName) const;
    std::vector<std::string> portNames() const;

private:
    std::function<void()> releaseAllNotes_;
    std::map<std::string, std::shared_ptr<RoutedMidiSource>> published_;
};

} // namespace Platform
