#include "app/DemoPhrase.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace AppShell {

namespace {

constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kNoteOff = 0x80;

struct Chord {
    int bass;
    std::array<int, 3> tones;
};

// i - VI - III - VII in A minor, in close voicing around middle C.
constexpr std::array<Chord, DemoPhrase::kBars> kChords = {{
    {45, {57, 60, 64}}, // A minor
    {41, {57, 60, 65}}, // F
    {48, {55, 60, 64}}, // C
    {43, {55, 59, 62}}, // G
}};

class Writer {
public:
    Writer(Platform::MidiPhrase& phrase, double sampleRate)
        : phrase_(phrase),
          samplesPerBeat_(sampleRate * 60.0 / DemoPhrase::kTempo),
          leadIn_(sampleRate * DemoPhrase::kLeadInSeconds) {}

    // A note from a beat position, lasting some beats.
    void note(double beat, double length, int key, int velocity) {
        phrase_.add(at(beat), kNoteOn, static_cast<uint8_t>(key), static_cast<uint8_t>(velocity));
        phrase_.add(at(beat + length), kNoteOff, static_cast<uint8_t>(key), 0);
    }

private:
    uint64_t at(double beat) const {
        return static_cast<uint64_t>(std::llround(leadIn_ + beat * samplesPerBeat_));
    }

    Platform::MidiPhrase& phrase_;
    double samplesPerBeat_;
    double leadIn_;
};

} // namespace

Platform::MidiPhrase DemoPhrase::build(double sampleRate) {
    Platform::MidiPhrase phrase;
    Writer write(phrase, sampleRate);
    constexpr std::array<int, 4> kArpOrder = {0, 1, 2, 1};
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& chord = kChords[static_cast<size_t>(bar)];
        const double start = bar * kBeatsPerBar;
        for (int tone : chord.tones) {
            write.note(start, kBeatsPerBar - 0.25, tone, 72);
        }
        // Bass in eighths: root, root, octave, root.
        for (int eighth = 0; eighth < 2 * kBeatsPerBar; ++eighth) {
            const int key = chord.bass + (eighth % 4 == 2 ? 12 : 0);
            write.note(start + eighth * 0.5, 0.4, key, eighth % 2 == 0 ? 100 : 84);
        }
        // Arpeggio in sixteenths an octave above the chord.
        for (int sixteenth = 0; sixteenth < 4 * kBeatsPerBar; ++sixteenth) {
            const int tone = chord.tones[static_cast<size_t>(kArpOrder[static_cast<size_t>(sixteenth % 4)])];
            write.note(start + sixteenth * 0.25, 0.15, tone + 12, sixteenth % 4 == 0 ? 90 : 64);
        }
    }
    return phrase;
}

} // namespace AppShell
