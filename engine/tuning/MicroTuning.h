#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

namespace Lumora {

// Retunes notes by pitch class: twelve entries (C..B), each a whole-semitone offset and a fine
// detune in semitones. Written on the main or a host thread, read by the render thread without
// a lock: each entry is one atomic word, so a reader never sees half of an entry.
class MicroTuning {
public:
    struct Entry {
        int32_t offset = 0;  // whole semitones
        float detune = 0.0f; // semitones, -1..1
    };

    static constexpr int kPitchClasses = 12;
    static constexpr int32_t kMaxOffset = 127;
    static constexpr float kMaxDetune = 1.0f;

    MicroTuning();
    virtual ~MicroTuning();
    MicroTuning(MicroTuning const&) = delete;
    MicroTuning& operator=(MicroTuning const&) = delete;

    // The entry of the pitch class of note (C = 0).
    Entry data(int note) const;
    // Detune of pitch class note % 12, clamped to -1..1.
    void setDetune(int note, float detune);
    // Every entry back to {0, 0}.
    void reset();
    // How many entries were stored so far. A reader that worked something out from the entries
    // after seeing a count may keep it while the count stands: a store is counted after the entry
    // is written, so a reader that sees the new count reads the new entry.
    uint32_t changes() const { return changes_.load(std::memory_order_acquire); }

    // The "MicroTuning" text: a version line "1" and twelve lines "offset:detune".
    std::string serialize() const;
    // Reads such a text; false for a wrong version or any entry line that does not convert,
    // with the table updated up to the failure. An empty text changes nothing and succeeds.
    bool deserialize(std::string const& text);

private:
    static uint64_t pack(Entry e);
    static Entry unpack(uint64_t word);
    void store(int pitchClass, Entry e);
    // Reads one entry line into e; false when a piece does not convert.
    static bool readEntry(std::string const& line, Entry& e);

    std::array<std::atomic<uint64_t>, kPitchClasses> entries_;
    std::atomic<uint32_t> changes_{0};
};

} // namespace Lumora
