#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/audio/MidiPhrase.h"
#include "platform/midi/MidiEndpoint.h"
#include "platform/midi/MidiPacketList.h"

namespace AppShell {

// A MIDI source that plays a phrase of events at sample times against an audio clock, the way a
// sequencer app would send it: each advance() is one audio block, and the events that fall
// inside it are sent at once on the caller's thread. advance() allocates nothing, so it may run
// on a render thread.
class MidiPhraseSource {
public:
    MidiPhraseSource(Platform::MidiPhrase phrase, std::optional<std::string> name);

    std::shared_ptr<Platform::MidiSource> const& source() const { return source_; }
    Platform::MidiPhrase const& phrase() const { return phrase_; }

    // Sends the events of frames [position, position + frames) and moves on by the block.
    void advance(unsigned frames);
    bool finished() const { return position_ >= phrase_.endTime(); }
    std::uint64_t positionFrames() const { return position_; }

private:
    Platform::MidiPhrase const phrase_;
    std::shared_ptr<Platform::MidiSource> source_;
    Platform::MidiPacketList packets_;
    std::uint64_t position_ = 0;
};

} // namespace AppShell
