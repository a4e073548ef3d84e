#pragma once

#include "platform/midi/MidiEndpoint.h"
#include "platform/midi/StandardMidiFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Platform {

// A source that plays a Standard MIDI File against an audio clock: each advance() is one audio
// block, and the events whose time falls inside it are sent at once, on the caller's thread,
// stamped with their time on the file's timeline. advance() and rewind() belong to one thread
// (the audio clock's); advance() allocates nothing.
class SmfSource : public MidiSource {
public:
    static std::shared_ptr<SmfSource> create(StandardMidiFile file, std::optional<std::string> name,
                                             int32_t uniqueId = 0);

    // Sends the events of frames [position, position + frames) at the sample rate and moves the
    // position on by the block. A new sample rate keeps the position's time; a rate that is not
    // positive and finite does nothing.
    void advance(unsigned frames, double sampleRate);
    void rewind();
    // Every event has been sent.
    bool finished() const { return next_ >= file_.events().size(); }
    uint64_t positionFrames() const { return position_; }
    const StandardMidiFile& file() const { return file_; }

    // The frame an event at that time falls on. The small bias keeps an event that lies exactly
    // on a frame (1/3 s at 48 kHz) from slipping to the frame before through rounding.
    static uint64_t frameOf(double seconds, double sampleRate);

private:
    SmfSource(StandardMidiFile file, std::optional<std::string> name, int32_t uniqueId);

    const StandardMidiFile file_;
    MidiPacketList packets_;
    std::size_t next_ = 0;
    uint64_t position_ = 0;
    double rate_ = 0;
};

} // namespace Platform
