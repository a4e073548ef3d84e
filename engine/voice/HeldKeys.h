#pragma once

#include <bitset>

namespace Lumora {

// The note numbers of the keys that are down, as a set kept in fixed storage so that key
// changes on the render thread never allocate. MIDI note bytes run 0..255; other numbers are
// not recorded.
class HeldKeys {
public:
    static constexpr int kNoteCount = 256;

    void insert(int note);
    void erase(int note);
    void clear() { keys_.reset(); }
    bool contains(int note) const;
    bool empty() const { return keys_.none(); }
    int size() const { return static_cast<int>(keys_.count()); }
    // The lowest note held, or -1 when no key is down.
    int lowest() const;

private:
    static bool inRange(int note) { return note >= 0 && note < kNoteCount; }
    std::bitset<kNoteCount> keys_;
};

} // namespace Lumora
