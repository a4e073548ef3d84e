#pragma once

#include <cstdint>

// Told of every key press and release of the on-screen keyboard, as a MIDI note number and a
// velocity 0..127 taken from where on the key the finger landed (or left it).
class Lumora_KeybordDelegate {
public:
    virtual ~Lumora_KeybordDelegate() = default;
    virtual void keyDown(std::int32_t note, std::int32_t velocity) = 0;
    virtual void keyUp(std::int32_t note, std::int32_t velocity) = 0;
};
