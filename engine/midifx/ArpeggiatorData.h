#pragma once

#include <array>
#include <atomic>
#include <string>
#include <string_view>

namespace Lumora {

namespace MIDI {
class Arpeggiator;
}

// The user's arpeggiator settings and its program of sixteen steps, stored as the
// "Arpeggiator" text. The editor and document loading write the fields on the main (or a
// host) thread while the render thread reads them every block, so every field is an atomic:
// a reader may see a record in the middle of an update, but never a torn value.
class ArpeggiatorData {
public:
    static constexpr unsigned kStepCount = 16;

    struct Step {
        std::atomic<bool> active{true};
        std::atomic<int> transpose{0};  // semitones, 0..12 as read from text
        std::atomic<bool> accent{false};
        std::atomic<bool> staccato{false};
        std::atomic<bool> portamento{false};  // read by the engine, not the arpeggiator
        std::atomic<int> program{0};          // which key the programmed order picks

        void reset();
    };

    ArpeggiatorData() = default;
    ArpeggiatorData(ArpeggiatorData const&) = delete;
    ArpeggiatorData& operator=(ArpeggiatorData const&) = delete;

    // Configures the arpeggiator from the record; the engine calls it every block while the
    // arpeggiator is on.
    void setupArpeggiator(MIDI::Arpeggiator& arpeggiator) const;

    // Every field back to its default.
    void initialize();

    // The version 2 text.
    std::string serialize() const;
    // Reads a version 1 or 2 text over the current values: fields whose lines are missing
    // keep their values; values are clamped to their ranges; step lines beyond the sixteenth
    // are ignored. False for an unknown version or a value that does not convert (what was
    // read before it stays).
    bool deserialize(std::string_view text);
    bool deserialize_v1(std::string_view text);
    bool deserialize_v2(std::string_view text);

    std::atomic<bool> syncToKeyOn{false};
    std::atomic<float> swing{0.0f};           // 0..1
    std::atomic<unsigned> style{0};           // 0 up, 1 down, 2 up-down, 3 down-up, 4 random, 5 programmed
    std::atomic<unsigned> octaves{0};         // 0..2
    std::atomic<unsigned> rate{2};            // 0 quarter, 1 eighth, 2 sixteenth
    std::atomic<float> gate{0.5f};            // 0..1
    std::atomic<unsigned> stepLength{16};     // 2..16
    std::atomic<unsigned> patternLength{8};   // 2..16
    std::atomic<float> accentAmount{0.5f};    // velocity taken off steps without accent
    std::atomic<float> staccatoAmount{0.5f};  // length taken off staccato steps
    std::array<Step, kStepCount> steps{};
};

// The render thread reads the record without waiting for the writer.
static_assert(std::atomic<float>::is_always_lock_free && std::atomic<unsigned>::is_always_lock_free &&
              std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

} // namespace Lumora
