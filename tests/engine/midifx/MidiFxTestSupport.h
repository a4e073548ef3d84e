#pragma once

// Small helpers shared by the MIDI effect tests.

#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "engine/clock/Clock.h"
#include "engine/clock/GrooveClockAdapter.h"
#include "engine/midifx/MidiQueue.h"

namespace Lumora {
// Readable failure messages: "90 3c 64" for a note-on of middle C.
inline void PrintTo(MidiMessage const& m, std::ostream* os) {
    *os << std::hex << m.status() << ' ' << m.data1() << ' ' << m.data2() << std::dec;
}
} // namespace Lumora

namespace MidiFxTest {

using Lumora::MidiMessage;
using Lumora::MidiQueue;

inline MidiMessage on(int note, int velocity = 100, int channel = 0) {
    return MidiMessage(0x90, channel, note, velocity);
}
inline MidiMessage off(int note, int velocity = 0, int channel = 0) {
    return MidiMessage(0x80, channel, note, velocity);
}
inline MidiMessage cc(int controller, int value, int channel = 0) {
    return MidiMessage(0xB0, channel, controller, value);
}

inline MidiQueue queue(std::initializer_list<MidiMessage> messages) { return MidiQueue(messages); }

inline std::vector<int> noteOnNumbers(MidiQueue const& midi) {
    std::vector<int> notes;
    for (MidiMessage const& m : midi) {
        if (m.kind() == 0x90) {
            notes.push_back(m.data1());
        }
    }
    return notes;
}

// What an instrument would sound: a note-on starts a key, a note-off ends it. Counts the
// faults that would be audible: a note-on for a key that already sounds.
struct SoundingNotes {
    std::set<std::pair<int, int>> keys;
    int doubleStarts = 0;

    void apply(MidiQueue const& midi) {
        for (MidiMessage const& m : midi) {
            auto const key = std::make_pair(m.channel(), m.data1());
            if (m.kind() == 0x90) {
                doubleStarts += keys.count(key) != 0 ? 1 : 0;
                keys.insert(key);
            } else if (m.kind() == 0x80) {
                keys.erase(key);
            }
        }
    }
};

// The engine's clocks for a run of equal blocks: the free-running clock and the groove clock
// that follows it with swing.
class ClockRun {
public:
    ClockRun(unsigned blockSize, double bpm = 120.0, float sampleRate = 48000.0f, double swing = 0.0)
        : blockSize_(blockSize), bpm_(bpm), sampleRate_(sampleRate), swing_(swing) {}

    // Moves the clocks to the next block's start and answers the groove clock.
    Lumora::Clock const& begin(bool restart = false) {
        clock_.internalSync_pre(Lumora::TimeSignature{}, bpm_, restart || first_);
        first_ = false;
        groove_.process(&clock_, swing_, 0.0);
        return groove_;
    }
    void end() {
        clock_.internalSync_post(blockSize_, sampleRate_);
        sampleTime_ += blockSize_;
    }

    Lumora::Clock const& clock() const { return clock_; }
    Lumora::Clock const& groove() const { return groove_; }
    uint64_t blockStartSample() const { return sampleTime_; }
    unsigned blockSize() const { return blockSize_; }
    double samplesPerBeat() const { return sampleRate_ * 60.0 / bpm_; }

private:
    unsigned blockSize_;
    double bpm_;
    float sampleRate_;
    double swing_;
    bool first_ = true;
    uint64_t sampleTime_ = 0;
    Lumora::Clock clock_;
    Lumora::GrooveClockAdapter groove_;
};

} // namespace MidiFxTest
