#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/midi/JackMidiSource.h"
#include "platform/midi/RoutedMidiSources.h"

namespace Platform {

class JackDriver;

// Keeps the MIDI system's sources in step with the MIDI output ports of the JACK server's other
// clients: a port that appears is published (the MIDI clients hear "object added" and connect to
// it), one that disappears is removed. The driver's port notifications arrive on JACK's thread
// and only post a refresh to the main run loop.
//
// Threads: construction, refresh and destruction on the main thread.
class JackMidiSources {
public:
    explicit JackMidiSources(JackDriver& driver);
    ~JackMidiSources();
    JackMidiSources(const JackMidiSources&) = delete;
    JackMidiSources& operator=(const JackMidiSources&) = delete;

    // Publishes and removes sources to match the server's ports, and routes every kept source
    // again (after the server came back its connections are gone). When a source that was routed
    // into the driver leaves, the driver's next cycle releases all notes.
    void refresh();
    std::vector<std::string> portNames() const;
    std::shared_ptr<JackMidiSource> source(const std::string& portName) const;

private:
    JackDriver& driver_;
    RoutedMidiSources published_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace Platform
