#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/AlsaMidiSource.h"

namespace Platform {

// Keeps the MIDI system's sources in step with the readable ports of the ALSA sequencer's other
// clients: a port that appears is published (the MIDI clients hear "object added" and connect to
// it), one that disappears is removed. The sequencer's announcements arrive on its reader thread
// and only post a refresh to the main run loop.
//
// Threads: construction, refresh and destruction on the main thread.
class AlsaMidiSources {
public:
    explicit AlsaMidiSources(AlsaSequencer& sequencer);
    ~AlsaMidiSources();
    AlsaMidiSources(const AlsaMidiSources&) = delete;
    AlsaMidiSources& operator=(const AlsaMidiSources&) = delete;

    void refresh();
    std::vector<std::string> portNames() const;
    std::shared_ptr<AlsaMidiSource> source(const std::string& portName) const;

private:
    AlsaSequencer& sequencer_;
    std::map<std::string, std::shared_ptr<AlsaMidiSource>> published_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace Platform
