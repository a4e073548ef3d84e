#pragma once

namespace Lumora {

// What a voice hands its sound modules for one block: the note being played and its glided
// frequency. Built on the stack every block and passed by const reference.
struct NoteInformation {
    // A source of the voice's frequency inside a block, for modules that follow a pitch
    // modulated faster than once per block.
    class iVoiceFrequency {
    public:
        // Frequency in Hz at the given sample of the current block.
        virtual float frequency(unsigned sampleIndex) const = 0;
        virtual ~iVoiceFrequency() = default;
    };

    int note = -1;
    int velocity = 0;
    float frequency = 0.0f;      // Hz, glided
    float pitch = 0.0f;          // fractional note number: 69 + 12 log2(frequency / 440)
    int previousState = 0;       // gate state before the last change
    int state = 0;               // 0 off, 1 note-on in this block, 2 on, 3 note-off in this block
    int pressure = 0;
    const iVoiceFrequency* frequencyProvider = nullptr; // null in the record the voice base builds
};

} // namespace Lumora
