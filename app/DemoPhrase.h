#pragma once

#include "platform/audio/MidiPhrase.h"

namespace AppShell {

// The built-in phrase: four bars of chords (A minor, F, C, G) with a bass line in eighths and
// an arpeggio in sixteenths over each chord, on MIDI channel 1.
struct DemoPhrase {
    static constexpr double kTempo = 120.0;
    static constexpr int kBars = 4;
    static constexpr int kBeatsPerBar = 4;
    // Silence before the first note, as a device renders a little before anyone plays.
    static constexpr double kLeadInSeconds = 0.1;

    // The events at sample times for a sample rate.
    static Platform::MidiPhrase build(double sampleRate);
    // Length of the lead-in and the music in seconds, without the release tail.
    static double seconds() { return kLeadInSeconds + kBars * kBeatsPerBar * 60.0 / kTempo; }
};

} // namespace AppShell
