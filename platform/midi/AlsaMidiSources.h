#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/midi/AlsaMidiSource.h"
#include "platform/midi/RoutedMidiSources.h"

namespace Platform {

class AlsaDriver;

// Keeps the MIDI system's sources in step with the readable ports of the ALSA sequencer's other
// clients: a port that appears is published (the MIDI clients hear "object added" and connect to
// it), one that disappears is removed. The sequencer's announcements (a port or client that
// starts, changes or exits) arrive on its reader thread and only post a refresh to the main run
// loop.
//
// Threads: construction, refresh and destruction on the main thread.
class AlsaMidiSources {
public:
    // The driver plays what the sequencer's subscribed sources send.
    AlsaMidiSources(AlsaSequencer& sequencer, AlsaDriver& driver);
    ~AlsaMidiSources();
    AlsaMidiSources(const AlsaMidiSources&) = delete;
    AlsaMidiSources& operator=(const AlsaMidiSources&) = delete;

    // Publishes and removes sources to match the sequencer's ports. When a source that was
    // subscribed leaves, the driver's next period releases all notes.
    void refresh();
    std::vector<std::string> portNames() const;
    std::shared_ptr<AlsaMidiSource> source(const std::string& portName) const;

private:
    AlsaSequencer& sequencer_;
    RoutedMidiSources published_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace Platform
